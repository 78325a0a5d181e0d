#pragma once

#include "renderer/KORLANFlowRenderer.h"

#include "tests/support/RecordingDevice.h"
#include "tests/support/SvgDocument.h"
#include "tests/support/TestBundle.h"

#include <memory>

// A renderer on a windowless view of the recording device, built from a
// test bundle whose logo is a plain light rectangle.
struct RendererHarness {
    explicit RendererHarness(view::Size points = {1440.0, 900.0}, double scale = 1.0)
        : view(view::MetalView::initWithFrame({{0.0, 0.0}, points}, device, scale)) {
        bundle.withResource("overlay-logo.svg", svgDocument(547, 100, "<rect width=\"547\" height=\"100\" fill=\"#eeeeee\"/>"));
    }

    std::shared_ptr<KORLANFlowRenderer> makeRenderer(ErrorRef* error = nullptr) const {
        return KORLANFlowRenderer::initWithMetalView(view, *bundle.bundle(), error);
    }

    std::shared_ptr<testing_gpu::RecordingDevice> device = std::make_shared<testing_gpu::RecordingDevice>();
    TestBundle bundle;
    std::shared_ptr<view::MetalView> view;
};

// A render target as a drawable's texture would be.
inline std::shared_ptr<testing_gpu::RecordingTexture> renderTarget(std::uint64_t width, std::uint64_t height) {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(gpu::PixelFormat::BGRA8Unorm, width, height, false);
    descriptor.usage = gpu::TextureUsageRenderTarget | gpu::TextureUsageShaderRead;
    return std::make_shared<testing_gpu::RecordingTexture>(descriptor);
}
