#include "tests/unit/graphics/GraphicsTestSupport.h"

#include "platform/graphics/GraphicsContext.h"


namespace graphics::test {

Pixel pixelAt(const BitmapImage& bitmap, std::uint32_t x, std::uint32_t y) {
    const auto row = bitmap.row(y);
    return {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
}

std::shared_ptr<BitmapImage> drawIntoRaster(const Image& image, const std::shared_ptr<BitmapImageRep>& rep,
                                            CompositingOperation operation) {
    const auto context = GraphicsContext::graphicsContextWithBitmapImageRep(rep);
    GraphicsContext::saveGraphicsState();
    GraphicsContext::setCurrentContext(context);
    context->setImageInterpolation(ImageInterpolation::High);
    image.drawInRect({{0, 0}, rep->size()}, {}, operation, 1.0, true);
    context->flushGraphics();
    GraphicsContext::restoreGraphicsState();
    return rep->CGImage();
}

} // namespace graphics::test
