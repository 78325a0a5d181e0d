#pragma once

#include "platform/graphics/Color.h"

namespace ui {

// A colour as an interface names it: sRGB components, or a grey by its
// white level. Greys are shown as the sRGB grey of the same level.
class Color {
public:
    static Color colorWithSRGBRed(double red, double green, double blue, double alpha) {
        return Color(false, {red, green, blue, alpha});
    }
    static Color colorWithWhite(double white, double alpha) { return Color(true, {white, white, white, alpha}); }
    static Color whiteColor() { return colorWithWhite(1.0, 1.0); }
    // The graphics layer's colours are sRGB.
    static Color colorWithGraphicsColor(const graphics::Color& color) { return Color(false, color); }

    bool isGrey() const { return grey_; }
    const graphics::Color& sRGBColor() const { return components_; }

    bool operator==(const Color&) const = default;

private:
    Color(bool grey, graphics::Color components) : grey_(grey), components_(components) {}

    bool grey_;
    graphics::Color components_;
};

} // namespace ui
