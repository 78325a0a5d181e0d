#include "renderer/KORLANFlowRenderer.h"

#include "renderer/RendererErrors.h"

#include <cstdlib>

namespace {

constexpr const char* kCommandQueueLabel = "KORLAN Flow Render Queue";
constexpr const char* kSamplerLabel = "KORLAN Flow Linear Logo Sampler";
constexpr std::uint32_t kSeedRange = 1000000;

// A whole number from 1 to 1,000,000, exact in single precision, so every
// renderer draws a pattern of its own.
float drawRandomSeed() { return static_cast<float>(arc4random_uniform(kSeedRange)) + 1.0f; }

} // namespace

std::shared_ptr<KORLANFlowRenderer> KORLANFlowRenderer::initWithMetalView(const std::shared_ptr<view::MetalView>& view,
                                                                          const foundation::Bundle& bundle,
                                                                          ErrorRef* error) {
    if (!view || !view->device()) {
        reportRendererError(error, RendererErrorCode::MissingDevice);
        return nullptr;
    }
    std::shared_ptr<KORLANFlowRenderer> renderer(new KORLANFlowRenderer);
    renderer->metalView_ = view;
    renderer->device_ = view->device();
    renderer->commandQueue_ = renderer->device_->newCommandQueue();
    if (renderer->commandQueue_) renderer->commandQueue_->setLabel(kCommandQueueLabel);
    renderer->configuration_ = KORLANFlowDefaultConfiguration();
    renderer->randomSeed_ = drawRandomSeed();
    if (!renderer->commandQueue_) {
        reportRendererError(error, RendererErrorCode::CommandQueueUnavailable);
        return nullptr;
    }
    ErrorRef stepError;
    if (!renderer->configurePipelinesWithBundle(bundle, &stepError) ||
        !renderer->loadLogoTextureFromBundle(bundle, &stepError)) {
        if (error) *error = stepError;
        return nullptr;
    }
    renderer->updateDrawableMetrics(view->drawableSize());
    renderer->ready_ = true;
    return renderer;
}

bool KORLANFlowRenderer::configurePipelinesWithBundle(const foundation::Bundle& bundle, ErrorRef* error) {
    ErrorRef libraryError;
    const auto library = device_->newDefaultLibraryWithBundle(bundle, &libraryError);
    if (!library) {
        if (error && libraryError) {
            *error = libraryError;
        } else {
            reportRendererError(error, RendererErrorCode::ShaderLibraryMissing);
        }
        return false;
    }

    // Every function is looked up before any is judged, so one error stands
    // for however many are missing.
    const auto flowVertex = library->newFunctionWithName("flowVertex");
    const auto flowFragment = library->newFunctionWithName("flowFragment");
    const auto flowCompositeFragment = library->newFunctionWithName("flowCompositeFragment");
    const auto logoVertex = library->newFunctionWithName("logoVertex");
    const auto logoFragment = library->newFunctionWithName("logoFragment");
    if (!flowVertex || !flowFragment || !flowCompositeFragment || !logoVertex || !logoFragment) {
        reportRendererError(error, RendererErrorCode::ShaderFunctionMissing);
        return false;
    }

    flowPipeline_ = newPipeline("KORLAN Flow Pattern Pipeline", flowVertex, flowFragment, false, error);
    if (!flowPipeline_) return false;
    compositePipeline_ =
        newPipeline("KORLAN Flow Composite Pipeline", flowVertex, flowCompositeFragment, false, error);
    if (!compositePipeline_) return false;
    logoPipeline_ = newPipeline("KORLAN Flow Logo Pipeline", logoVertex, logoFragment, true, error);
    if (!logoPipeline_) return false;

    gpu::SamplerDescriptor sampler;
    sampler.label = kSamplerLabel;
    sampler.minFilter = gpu::SamplerMinMagFilter::Linear;
    sampler.magFilter = gpu::SamplerMinMagFilter::Linear;
    sampler.sAddressMode = gpu::SamplerAddressMode::ClampToEdge;
    sampler.tAddressMode = gpu::SamplerAddressMode::ClampToEdge;
    textureSampler_ = device_->newSamplerStateWithDescriptor(sampler);
    if (!textureSampler_) {
        reportRendererError(error, RendererErrorCode::SamplerUnavailable);
        return false;
    }
    return true;
}

std::shared_ptr<gpu::RenderPipelineState> KORLANFlowRenderer::newPipeline(
    const char* label, const std::shared_ptr<gpu::Function>& vertexFunction,
    const std::shared_ptr<gpu::Function>& fragmentFunction, bool blendsOver, ErrorRef* error) {
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.label = label;
    descriptor.vertexFunction = vertexFunction;
    descriptor.fragmentFunction = fragmentFunction;
    auto& attachment = descriptor.colorAttachments[0];
    const auto view = metalView();
    attachment.pixelFormat = view ? view->colorPixelFormat() : gpu::PixelFormat::Invalid;
    if (blendsOver) {
        // Straight-alpha "over": the logo program un-premultiplies its raster.
        attachment.blendingEnabled = true;
        attachment.rgbBlendOperation = gpu::BlendOperation::Add;
        attachment.alphaBlendOperation = gpu::BlendOperation::Add;
        attachment.sourceRGBBlendFactor = gpu::BlendFactor::SourceAlpha;
        attachment.destinationRGBBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha;
        attachment.sourceAlphaBlendFactor = gpu::BlendFactor::One;
        attachment.destinationAlphaBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha;
    }
    // The platform's own error reaches the caller unchanged.
    return device_->newRenderPipelineStateWithDescriptor(descriptor, error);
}
