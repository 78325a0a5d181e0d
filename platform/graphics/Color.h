#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/Geometry.h"

namespace graphics {

// A colour in sRGB, each component from 0 to 1.
struct KF_PLATFORM_API Color {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;

    static Color colorWithSRGBRed(double red, double green, double blue, double alpha) {
        return {red, green, blue, alpha};
    }
    // A grey by its white level, as the sRGB grey of that level.
    static Color colorWithWhite(double white, double alpha) { return {white, white, white, alpha}; }
    static Color whiteColor() { return colorWithWhite(1.0, 1.0); }

    // Makes this the fill colour of the calling thread's current context.
    void setFill() const;
    bool operator==(const Color&) const = default;
};

// Fills the rectangle of the calling thread's current context with its
// fill colour, replacing what was there. Nothing without a context.
KF_PLATFORM_API void RectFill(Rect rect);

} // namespace graphics
