#include "platform/graphics/BitmapImageRep.h"

#include "platform/graphics/AbandonedDrawing.h"
#include "platform/graphics/PixelConversion.h"

#include <cairo.h>

#include <bit>
#include <limits>

namespace graphics {

// cairo keeps a pixel as a native 32-bit word with alpha in the high byte,
// which is blue, green, red, alpha in memory on little-endian machines only.
static_assert(std::endian::native == std::endian::little);

BitmapImageRep::BitmapImageRep(cairo_surface_t* surface, std::uint32_t pixelsWide, std::uint32_t pixelsHigh)
    : surface_(surface), pixelsWide_(pixelsWide), pixelsHigh_(pixelsHigh),
      size_{static_cast<double>(pixelsWide), static_cast<double>(pixelsHigh)} {}

BitmapImageRep::~BitmapImageRep() { cairo_surface_destroy(surface_); }

std::shared_ptr<BitmapImageRep> BitmapImageRep::initWithPixelsWide(std::uint32_t pixelsWide, std::uint32_t pixelsHigh) {
    constexpr auto kLargestSide = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
    if (pixelsWide == 0 || pixelsHigh == 0 || pixelsWide > kLargestSide || pixelsHigh > kLargestSide) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(pixelsWide),
                                                          static_cast<int>(pixelsHigh));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::shared_ptr<BitmapImageRep>(new BitmapImageRep(surface, pixelsWide, pixelsHigh));
}

std::shared_ptr<BitmapImage> BitmapImageRep::CGImage() const {
    if (drawingWasAbandoned(surface_)) return nullptr;
    cairo_surface_flush(surface_);
    const std::size_t bytesPerRow = std::size_t{pixelsWide_} * 4;
    std::vector<std::uint8_t> pixels(bytesPerRow * pixelsHigh_);
    copySwappingRedAndBlue(cairo_image_surface_get_data(surface_),
                           static_cast<std::size_t>(cairo_image_surface_get_stride(surface_)), pixels.data(),
                           bytesPerRow, pixelsWide_, pixelsHigh_);
    return BitmapImage::create(pixelsWide_, pixelsHigh_, bytesPerRow, BitmapLayout::RGBAPremultipliedLast,
                               std::move(pixels));
}

} // namespace graphics
