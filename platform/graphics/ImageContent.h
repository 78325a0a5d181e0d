#pragma once

// What an Image holds: artwork that draws itself into its own space, with
// the origin at its top-left corner, y growing downwards and the artwork
// filling extent. Internal to the graphics library.

#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

namespace graphics {

class ImageContent {
public:
    virtual ~ImageContent() = default;
    // The artwork's own size in points; zero when it has none and takes the
    // size it is drawn at.
    virtual Size size() const = 0;
    virtual void draw(cairo_t* cairo, Size extent, ImageInterpolation interpolation) const = 0;
};

} // namespace graphics
