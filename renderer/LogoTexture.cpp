#include "renderer/KORLANFlowRenderer.h"

#include "renderer/RendererErrors.h"

#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

namespace {

// The logo's raster: its aspect ratio, 5.4724174, times 270 rows, rounded.
constexpr std::uint32_t kLogoPixelsWide = 1478;
constexpr std::uint32_t kLogoPixelsHigh = 270;

// Draws the whole artwork over the whole raster through the context,
// replacing every pixel, and leaves the calling thread's current context as
// it found it. Without a context nothing is drawn.
void drawArtwork(const graphics::Image& image, const std::shared_ptr<graphics::GraphicsContext>& context) {
    const graphics::Rect whole{{0.0, 0.0}, {double(kLogoPixelsWide), double(kLogoPixelsHigh)}};
    graphics::GraphicsContext::saveGraphicsState();
    graphics::GraphicsContext::setCurrentContext(context);
    if (context) context->setImageInterpolation(graphics::ImageInterpolation::High);
    image.drawInRect(whole, graphics::Rect{}, graphics::CompositingOperation::Copy, 1.0, true);
    if (context) context->flushGraphics();
    graphics::GraphicsContext::restoreGraphicsState();
}

// The raster's pixels as the texture loader takes them; a raster's image is
// always red, green, blue, alpha. Valid while the bitmap lives.
gpu::CPUImage loaderImage(const graphics::BitmapImage& bitmap) {
    return {bitmap.width(), bitmap.height(), bitmap.bytesPerRow(), bitmap.bytes().data()};
}

} // namespace

bool KORLANFlowRenderer::loadLogoTextureFromBundle(const foundation::Bundle& bundle, ErrorRef* error) {
    const auto location = bundle.URLForResource("overlay-logo", "svg");
    const auto image = location.empty() ? nullptr : graphics::Image::initWithContentsOfFile(location);
    if (!image) {
        reportRendererError(error, RendererErrorCode::LogoUnreadable);
        return false;
    }

    const auto raster = graphics::BitmapImageRep::initWithPixelsWide(kLogoPixelsWide, kLogoPixelsHigh);
    if (raster) raster->setSize({double(kLogoPixelsWide), double(kLogoPixelsHigh)});
    const auto context = graphics::GraphicsContext::graphicsContextWithBitmapImageRep(raster);
    drawArtwork(*image, context);
    // A raster that no context drew into would pass for a blank logo.
    const auto bitmap = raster && context ? raster->CGImage() : nullptr;
    if (!bitmap) {
        reportRendererError(error, RendererErrorCode::LogoNotRasterized);
        return false;
    }

    gpu::TextureLoaderOptions options;
    options.SRGB = false;
    options.origin = gpu::TextureLoaderOrigin::TopLeft;
    options.textureUsage = gpu::TextureUsageShaderRead;
    const auto loader = device_->newTextureLoader();
    // The loader's own error, or none, reaches the caller unchanged.
    logoTexture_ = loader ? loader->newTextureWithImage(loaderImage(*bitmap), options, error) : nullptr;
    if (logoTexture_) logoTexture_->setLabel("KORLAN Flow Overlay Logo");
    return logoTexture_ != nullptr;
}
