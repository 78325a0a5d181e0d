#pragma once

namespace graphics {

// Points: one point is one pixel unless a raster's point size says otherwise.
struct Point {
    double x = 0.0;
    double y = 0.0;
};

struct Size {
    double width = 0.0;
    double height = 0.0;
};

struct Rect {
    Point origin;
    Size size;

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxY() const { return origin.y + size.height; }
    // The zero rectangle stands for "the whole image" as a source rectangle.
    bool isZero() const { return size.width == 0.0 && size.height == 0.0 && origin.x == 0.0 && origin.y == 0.0; }
};

} // namespace graphics
