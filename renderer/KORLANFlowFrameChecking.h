#pragma once

// What a checking caller outside the module may do with a renderer: set the
// state a frame depends on, and read the frame back. Every operation is
// virtual, so a host that loaded the module calls it without linking it.

#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Error.h"
#include "platform/view/MetalView.h"

#include <cstdint>
#include <memory>
#include <vector>

class KORLANFlowFrameChecking : public view::MetalViewDelegate {
public:
    virtual void applyConfiguration(KORLANFlowConfiguration configuration) = 0;
    virtual void setElapsedTime(float seconds) = 0;
    virtual void setRandomSeed(float seed) = 0;
    virtual bool copyCurrentFramePixels(std::vector<std::uint8_t>& pixels, std::uint64_t* width = nullptr,
                                        std::uint64_t* height = nullptr, foundation::ErrorRef* error = nullptr) = 0;
    virtual bool captureFrameChecksum(std::uint64_t* checksum, std::uint64_t* occupiedPixels,
                                      foundation::ErrorRef* error = nullptr) = 0;
    // The frame as a PNG file's bytes; null on failure.
    virtual std::shared_ptr<const std::vector<std::uint8_t>> captureFramePNGWithError(
        foundation::ErrorRef* error = nullptr) = 0;
};

// The renderer's class object, registered under "KORLANFlowRenderer" in the
// platform's class registry when the module is loaded.
struct KORLANFlowRendererClass {
    std::shared_ptr<KORLANFlowFrameChecking> (*initWithMetalView)(const std::shared_ptr<view::MetalView>& view,
                                                                  const foundation::Bundle& bundle,
                                                                  foundation::ErrorRef* error);
    // Keeps each setting inside its range, as storing it would.
    KORLANFlowConfiguration (*clampConfiguration)(KORLANFlowConfiguration configuration);
};

inline constexpr const char* kKORLANFlowRendererClassName = "KORLANFlowRenderer";
