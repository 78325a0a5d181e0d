#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/RenderPipeline.h"
#include "platform/gpu/Texture.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace gpu {

struct RenderPassColorAttachmentDescriptor {
    std::shared_ptr<Texture> texture;
    LoadAction loadAction = LoadAction::DontCare;
    StoreAction storeAction = StoreAction::DontCare;
    ClearColor clearColor;
};

struct RenderPassDescriptor {
    std::array<RenderPassColorAttachmentDescriptor, 1> colorAttachments;

    static RenderPassDescriptor renderPassDescriptor() { return {}; }
};

// Inline data limits: vertex bytes at index 0 up to 96, fragment bytes at
// index 0 up to 32. Bytes are copied when set, so the caller's memory may
// change right after the call.
inline constexpr std::size_t kMaxVertexBytes = 96;
inline constexpr std::size_t kMaxFragmentBytes = 32;

// Records one render pass into its command buffer. The viewport covers the
// whole attachment with y = +1 at the top edge.
class KF_PLATFORM_API RenderCommandEncoder {
public:
    virtual ~RenderCommandEncoder() = default;

    virtual std::string label() const = 0;
    virtual void setLabel(std::string_view label) = 0;
    virtual void setRenderPipelineState(const std::shared_ptr<RenderPipelineState>& pipeline) = 0;
    virtual void setVertexBytes(const void* bytes, std::size_t length, std::size_t index) = 0;
    virtual void setFragmentBytes(const void* bytes, std::size_t length, std::size_t index) = 0;
    virtual void setFragmentTexture(const std::shared_ptr<Texture>& texture, std::size_t index) = 0;
    virtual void setFragmentSamplerState(const std::shared_ptr<SamplerState>& sampler, std::size_t index) = 0;
    virtual void drawPrimitives(PrimitiveType type, std::size_t vertexStart, std::size_t vertexCount) = 0;
    virtual void endEncoding() = 0;
};

} // namespace gpu
