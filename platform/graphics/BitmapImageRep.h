#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <memory>

struct _cairo_surface;

namespace graphics {

// A raster to draw into: 8 bits per sample, red, green, blue and alpha,
// colour premultiplied by alpha, rows from the top, device RGB. It starts
// fully transparent. Its point size, at first equal to its pixel size, is
// the extent of the coordinates a graphics context on it draws in.
class KF_PLATFORM_API BitmapImageRep {
public:
    // Null when a side is 0 or the raster is too large to allocate.
    static std::shared_ptr<BitmapImageRep> initWithPixelsWide(std::uint32_t pixelsWide, std::uint32_t pixelsHigh);

    ~BitmapImageRep();
    BitmapImageRep(const BitmapImageRep&) = delete;
    BitmapImageRep& operator=(const BitmapImageRep&) = delete;

    std::uint32_t pixelsWide() const { return pixelsWide_; }
    std::uint32_t pixelsHigh() const { return pixelsHigh_; }
    Size size() const { return size_; }
    void setSize(Size size) { size_ = size; }

    // A copy of the pixels drawn so far, as RGBAPremultipliedLast with rows
    // from the top; null once an image's drawing into the raster was given
    // up (a document that could not be rendered in time).
    std::shared_ptr<BitmapImage> CGImage() const;

    // The pixels as cairo sees them, for graphics contexts.
    _cairo_surface* cairoSurface() const { return surface_; }

private:
    BitmapImageRep(_cairo_surface* surface, std::uint32_t pixelsWide, std::uint32_t pixelsHigh);

    _cairo_surface* surface_;
    std::uint32_t pixelsWide_;
    std::uint32_t pixelsHigh_;
    Size size_;
};

} // namespace graphics
