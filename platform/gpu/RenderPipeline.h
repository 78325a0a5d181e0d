#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/Library.h"
#include "platform/gpu/Types.h"

#include <array>
#include <memory>
#include <string>

namespace gpu {

struct RenderPipelineColorAttachmentDescriptor {
    PixelFormat pixelFormat = PixelFormat::Invalid;
    bool blendingEnabled = false;
    BlendOperation rgbBlendOperation = BlendOperation::Add;
    BlendOperation alphaBlendOperation = BlendOperation::Add;
    BlendFactor sourceRGBBlendFactor = BlendFactor::One;
    BlendFactor destinationRGBBlendFactor = BlendFactor::Zero;
    BlendFactor sourceAlphaBlendFactor = BlendFactor::One;
    BlendFactor destinationAlphaBlendFactor = BlendFactor::Zero;
};

// One colour attachment, no depth or stencil, one sample per pixel, no
// vertex buffers: vertices come from inline bytes or the vertex index.
struct RenderPipelineDescriptor {
    std::string label;
    std::shared_ptr<Function> vertexFunction;
    std::shared_ptr<Function> fragmentFunction;
    std::array<RenderPipelineColorAttachmentDescriptor, 1> colorAttachments;
};

class KF_PLATFORM_API RenderPipelineState {
public:
    virtual ~RenderPipelineState() = default;
    virtual std::string label() const = 0;
};

struct SamplerDescriptor {
    std::string label;
    SamplerMinMagFilter minFilter = SamplerMinMagFilter::Nearest;
    SamplerMinMagFilter magFilter = SamplerMinMagFilter::Nearest;
    SamplerAddressMode sAddressMode = SamplerAddressMode::ClampToEdge;
    SamplerAddressMode tAddressMode = SamplerAddressMode::ClampToEdge;
};

class KF_PLATFORM_API SamplerState {
public:
    virtual ~SamplerState() = default;
    virtual std::string label() const = 0;
};

} // namespace gpu
