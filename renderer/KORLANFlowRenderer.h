#pragma once

#include "renderer/KORLANFlowFrameChecking.h"
#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Error.h"
#include "platform/gpu/Device.h"
#include "platform/view/MetalView.h"

#include <cstdint>
#include <memory>
#include <vector>

using foundation::ErrorRef;

// Draws the flow pattern and the logo into one GPU view: owns the GPU
// objects, the animation clock, the per-frame scene and the frame read-back.
// Made, used and released on the main thread.
class KORLANFlowRenderer : public KORLANFlowFrameChecking, public std::enable_shared_from_this<KORLANFlowRenderer> {
public:
    // The ready renderer, or null with the error of the first step that failed.
    static std::shared_ptr<KORLANFlowRenderer> initWithMetalView(const std::shared_ptr<view::MetalView>& view,
                                                                 const foundation::Bundle& bundle,
                                                                 ErrorRef* error = nullptr);

    bool configurePipelinesWithBundle(const foundation::Bundle& bundle, ErrorRef* error = nullptr);
    bool loadLogoTextureFromBundle(const foundation::Bundle& bundle, ErrorRef* error = nullptr);
    void applyConfiguration(KORLANFlowConfiguration configuration) override;
    void startAtTimestamp(double timestamp);
    void advanceToTimestamp(double timestamp);
    void stop();
    void stopAndWaitForPendingCommands();
    void updateDrawableMetrics(view::Size drawableSize);
    bool encodeSceneToTexture(const std::shared_ptr<gpu::Texture>& target,
                              const std::shared_ptr<gpu::CommandBuffer>& commandBuffer, ErrorRef* error = nullptr);
    void drawInMTKView(view::MetalView& view) override;
    void mtkViewDrawableSizeWillChange(view::MetalView& view, view::Size size) override;
    bool copyCurrentFramePixels(std::vector<std::uint8_t>& pixels, std::uint64_t* width = nullptr,
                                std::uint64_t* height = nullptr, ErrorRef* error = nullptr) override;
    bool captureFrameChecksum(std::uint64_t* checksum, std::uint64_t* occupiedPixels,
                              ErrorRef* error = nullptr) override;
    std::shared_ptr<const std::vector<std::uint8_t>> captureFramePNGWithError(ErrorRef* error = nullptr) override;

    std::shared_ptr<view::MetalView> metalView() const { return metalView_.lock(); }
    const std::shared_ptr<gpu::Device>& device() const { return device_; }
    const std::shared_ptr<gpu::CommandQueue>& commandQueue() const { return commandQueue_; }
    const std::shared_ptr<gpu::RenderPipelineState>& flowPipeline() const { return flowPipeline_; }
    const std::shared_ptr<gpu::RenderPipelineState>& compositePipeline() const { return compositePipeline_; }
    const std::shared_ptr<gpu::RenderPipelineState>& logoPipeline() const { return logoPipeline_; }
    const std::shared_ptr<gpu::SamplerState>& textureSampler() const { return textureSampler_; }
    const std::shared_ptr<gpu::Texture>& logoTexture() const { return logoTexture_; }
    void setLogoTexture(std::shared_ptr<gpu::Texture> texture) { logoTexture_ = std::move(texture); }
    const std::shared_ptr<gpu::Texture>& reducedPatternTexture() const { return reducedPatternTexture_; }
    bool isReady() const { return ready_; }
    void setReady(bool ready) { ready_ = ready; }
    std::uint64_t frameCount() const { return frameCount_; }
    std::uint64_t presentedFrameCount() const { return presentedFrameCount_; }
    float elapsedTime() const { return elapsedTime_; }
    void setElapsedTime(float seconds) override;
    KORLANFlowConfiguration configuration() const { return configuration_; }
    const ErrorRef& lastError() const { return lastError_; }
    void setLastError(ErrorRef error) { lastError_ = std::move(error); }
    double lastTimestampMilliseconds() const { return lastTimestampMilliseconds_; }
    bool hasLastTimestamp() const { return hasLastTimestamp_; }
    bool running() const { return running_; }
    float randomSeed() const { return randomSeed_; }
    void setRandomSeed(float seed) override { randomSeed_ = seed; }
    view::Size drawableSize() const { return drawableSize_; }
    float logicalWidth() const { return logicalWidth_; }
    float logicalHeight() const { return logicalHeight_; }

private:
    KORLANFlowRenderer() = default;

    std::shared_ptr<gpu::RenderPipelineState> newPipeline(const char* label,
                                                         const std::shared_ptr<gpu::Function>& vertexFunction,
                                                         const std::shared_ptr<gpu::Function>& fragmentFunction,
                                                         bool blendsOver, ErrorRef* error);
    // The texture the pattern is drawn into for a target: the target itself
    // within the pixel budget, else the reduced texture (made on demand);
    // null when that cannot be made.
    std::shared_ptr<gpu::Texture> patternTargetFor(const std::shared_ptr<gpu::Texture>& target, ErrorRef* error);
    void encodeLogo(gpu::RenderCommandEncoder& encoder) const;

    std::weak_ptr<view::MetalView> metalView_;
    std::shared_ptr<gpu::Device> device_;
    std::shared_ptr<gpu::CommandQueue> commandQueue_;
    std::shared_ptr<gpu::RenderPipelineState> flowPipeline_;
    std::shared_ptr<gpu::RenderPipelineState> compositePipeline_;
    std::shared_ptr<gpu::RenderPipelineState> logoPipeline_;
    std::shared_ptr<gpu::SamplerState> textureSampler_;
    std::shared_ptr<gpu::Texture> logoTexture_;
    std::shared_ptr<gpu::Texture> reducedPatternTexture_;
    bool ready_ = false;
    std::uint64_t frameCount_ = 0;
    std::uint64_t presentedFrameCount_ = 0;
    float elapsedTime_ = 0.0f;
    KORLANFlowConfiguration configuration_{};
    ErrorRef lastError_;
    double lastTimestampMilliseconds_ = 0.0;
    bool hasLastTimestamp_ = false;
    bool running_ = false;
    float randomSeed_ = 0.0f;
    view::Size drawableSize_;
    float logicalWidth_ = 0.0f;
    float logicalHeight_ = 0.0f;

    // Animation time in double precision, wrapped into one period of the
    // pattern; elapsedTime is its single-precision image. Adding frame steps
    // to a float directly loses them once the float grows large.
    double animationTime_ = 0.0;
};
