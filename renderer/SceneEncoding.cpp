#include "renderer/KORLANFlowRenderer.h"

#include "renderer/BackgroundClearColor.h"
#include "renderer/RendererErrors.h"
#include "renderer/WholePixels.h"
#include "shaders/KORLANFlowShaderTypes.h"

#include <array>
#include <cmath>

namespace {

// The pattern program never shades more pixels than this in one frame.
constexpr double kPixelBudget = 4194304.0; // 2048 × 2048
constexpr float kLogoAspectRatio = 5.4724174f;
constexpr const char* kReducedPatternLabel = "KORLAN Flow Reduced Pattern";

struct LogoPlacement {
    float margin;
    float height;
};

LogoPlacement logoPlacementForWidth(float logicalWidth) {
    if (logicalWidth <= 360.0f) return {14.0f, 21.0f};
    if (logicalWidth <= 720.0f) return {16.0f, 24.0f};
    return {24.0f, 27.0f};
}

gpu::RenderPassDescriptor clearingPass(const std::shared_ptr<gpu::Texture>& texture, gpu::ClearColor clearColor) {
    auto pass = gpu::RenderPassDescriptor::renderPassDescriptor();
    auto& attachment = pass.colorAttachments[0];
    attachment.texture = texture;
    attachment.loadAction = gpu::LoadAction::Clear;
    attachment.storeAction = gpu::StoreAction::Store;
    attachment.clearColor = clearColor;
    return pass;
}

} // namespace

std::shared_ptr<gpu::Texture> KORLANFlowRenderer::patternTargetFor(const std::shared_ptr<gpu::Texture>& target,
                                                                   ErrorRef* error) {
    const double pixels = static_cast<double>(target->width()) * static_cast<double>(target->height());
    if (pixels <= kPixelBudget) return target;

    const double scale = std::sqrt(kPixelBudget / pixels);
    const std::uint64_t width = wholePixelsAtLeastOne(scale * static_cast<double>(target->width()));
    const std::uint64_t height = wholePixelsAtLeastOne(scale * static_cast<double>(target->height()));
    if (!reducedPatternTexture_ || reducedPatternTexture_->width() != width ||
        reducedPatternTexture_->height() != height) {
        const auto view = metalView();
        auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(
            view ? view->colorPixelFormat() : gpu::PixelFormat::Invalid, width, height, false);
        descriptor.usage = gpu::TextureUsageShaderRead | gpu::TextureUsageRenderTarget;
        descriptor.storageMode = gpu::StorageMode::Private;
        // Stored even when null, so a failed creation drops the old texture.
        reducedPatternTexture_ = device_->newTextureWithDescriptor(descriptor);
        if (reducedPatternTexture_) reducedPatternTexture_->setLabel(kReducedPatternLabel);
    }
    if (!reducedPatternTexture_) reportRendererError(error, RendererErrorCode::ReducedPatternTextureUnavailable);
    return reducedPatternTexture_;
}

bool KORLANFlowRenderer::encodeSceneToTexture(const std::shared_ptr<gpu::Texture>& target,
                                              const std::shared_ptr<gpu::CommandBuffer>& commandBuffer,
                                              ErrorRef* error) {
    const auto patternTarget = patternTargetFor(target, error);
    if (!patternTarget) return false;
    const bool reduced = patternTarget != target;

    const auto patternPass = clearingPass(patternTarget, kBackgroundClearColor);
    auto encoder = commandBuffer ? commandBuffer->renderCommandEncoderWithDescriptor(patternPass) : nullptr;
    if (!encoder) {
        reportRendererError(error, RendererErrorCode::PatternEncoderUnavailable);
        return false;
    }
    encoder->setLabel("KORLAN Flow Scene");
    const KORLANFlowUniforms uniforms{static_cast<float>(patternTarget->width()),
                                      static_cast<float>(patternTarget->height()),
                                      elapsedTime_,
                                      configuration_.speed,
                                      configuration_.intensity,
                                      configuration_.complexity,
                                      randomSeed_,
                                      0.0f};
    encoder->setRenderPipelineState(flowPipeline_);
    // The pattern's vertex stage works out from the block what is the same
    // for every pixel, once per frame instead of once per pixel.
    encoder->setVertexBytes(&uniforms, sizeof uniforms, 0);
    encoder->setFragmentBytes(&uniforms, sizeof uniforms, 0);
    encoder->drawPrimitives(gpu::PrimitiveType::Triangle, 0, 3);

    if (reduced) {
        encoder->endEncoding();
        const auto compositePass = clearingPass(target, patternPass.colorAttachments[0].clearColor);
        encoder = commandBuffer->renderCommandEncoderWithDescriptor(compositePass);
        if (!encoder) {
            reportRendererError(error, RendererErrorCode::CompositeEncoderUnavailable);
            return false;
        }
        encoder->setLabel("KORLAN Flow Native-Resolution Composite");
        encoder->setRenderPipelineState(compositePipeline_);
        encoder->setFragmentTexture(patternTarget, 0);
        encoder->setFragmentSamplerState(textureSampler_, 0);
        encoder->drawPrimitives(gpu::PrimitiveType::Triangle, 0, 3);
    }

    if (logoTexture_) encodeLogo(*encoder);
    encoder->endEncoding();
    return true;
}

void KORLANFlowRenderer::encodeLogo(gpu::RenderCommandEncoder& encoder) const {
    const float width = logicalWidth_;
    const float height = logicalHeight_;
    const auto [margin, logoHeight] = logoPlacementForWidth(width);
    // A view too small for the logo squeezes it into what is left; the
    // texture coordinates still span the whole image.
    float right = margin + logoHeight * kLogoAspectRatio;
    if (!(right < width)) right = width;
    float bottom = margin + logoHeight;
    if (!(bottom < height)) bottom = height;

    const float x0 = (margin + margin) / width - 1.0f;
    const float x1 = (right + right) / width - 1.0f;
    const float y0 = 1.0f - (margin + margin) / height;
    const float y1 = 1.0f - (bottom + bottom) / height;
    const std::array<KORLANFlowLogoVertex, 6> quad{{
        {x0, y0, 0.0f, 0.0f},
        {x0, y1, 0.0f, 1.0f},
        {x1, y0, 1.0f, 0.0f},
        {x1, y0, 1.0f, 0.0f},
        {x0, y1, 0.0f, 1.0f},
        {x1, y1, 1.0f, 1.0f},
    }};
    encoder.setRenderPipelineState(logoPipeline_);
    encoder.setVertexBytes(quad.data(), sizeof quad, 0);
    encoder.setFragmentTexture(logoTexture_, 0);
    encoder.setFragmentSamplerState(textureSampler_, 0);
    encoder.drawPrimitives(gpu::PrimitiveType::Triangle, 0, 6);
}
