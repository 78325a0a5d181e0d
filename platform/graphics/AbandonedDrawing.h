#pragma once

// A raster into which a drawing was given up part-way (an image that could
// not be rendered in time) holds no image: its bitmap image is null, so
// whoever rasterises sees the failure. Internal to the graphics library;
// the mark lives on the raster's cairo surface.

#include <cairo.h>

namespace graphics {

inline const cairo_user_data_key_t kAbandonedDrawingKey{};

inline void markDrawingAbandoned(cairo_t* cairo) {
    static int abandoned = 1;
    cairo_surface_set_user_data(cairo_get_target(cairo), &kAbandonedDrawingKey, &abandoned, nullptr);
}

inline bool drawingWasAbandoned(cairo_surface_t* surface) {
    return cairo_surface_get_user_data(surface, &kAbandonedDrawingKey) != nullptr;
}

} // namespace graphics
