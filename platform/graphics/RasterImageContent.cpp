#include "platform/graphics/RasterImageContent.h"

#include "platform/graphics/PixelConversion.h"

namespace graphics {

namespace {

cairo_filter_t filterFor(ImageInterpolation interpolation) {
    switch (interpolation) {
    case ImageInterpolation::None: return CAIRO_FILTER_NEAREST;
    case ImageInterpolation::Low: return CAIRO_FILTER_BILINEAR;
    case ImageInterpolation::High: return CAIRO_FILTER_BEST;
    case ImageInterpolation::Default:
    case ImageInterpolation::Medium: break;
    }
    return CAIRO_FILTER_GOOD;
}

} // namespace

std::unique_ptr<RasterImageContent> RasterImageContent::fromBitmap(const BitmapImage& bitmap) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(bitmap.width()),
                                                          static_cast<int>(bitmap.height()));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    copySwappingRedAndBlue(bitmap.bytes().data(), bitmap.bytesPerRow(), cairo_image_surface_get_data(surface),
                           static_cast<std::size_t>(cairo_image_surface_get_stride(surface)), bitmap.width(),
                           bitmap.height());
    cairo_surface_mark_dirty(surface);
    return std::unique_ptr<RasterImageContent>(new RasterImageContent(surface));
}

RasterImageContent::~RasterImageContent() { cairo_surface_destroy(surface_); }

Size RasterImageContent::size() const {
    return {static_cast<double>(cairo_image_surface_get_width(surface_)),
            static_cast<double>(cairo_image_surface_get_height(surface_))};
}

void RasterImageContent::draw(cairo_t* cairo, Size, ImageInterpolation interpolation) const {
    cairo_set_source_surface(cairo, surface_, 0.0, 0.0);
    cairo_pattern_t* pattern = cairo_get_source(cairo);
    cairo_pattern_set_filter(pattern, filterFor(interpolation));
    // Scaled up, the edge pixels continue outwards instead of fading into
    // transparency.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_paint(cairo);
}

} // namespace graphics
