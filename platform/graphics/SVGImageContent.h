#pragma once

#include "platform/graphics/ImageContent.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace graphics {

// A vector document, rendered afresh at the size it is drawn at. librsvg
// reads and renders it in a process of its own with a time limit
// (SVGRasterizer.h).
class SVGImageContent final : public ImageContent {
public:
    // Null when librsvg, within its limits and time, does not read the bytes
    // as an SVG document, or the document declares more than 16384 pixels on
    // a side.
    static std::unique_ptr<SVGImageContent> fromData(std::span<const std::uint8_t> bytes);

    // The width and height in pixels, else the view box's size, else zero
    // (a document sized in percentages fills whatever it is drawn into).
    Size size() const override { return size_; }
    // A document that cannot be rendered in time leaves nothing drawn and
    // the raster without an image.
    void draw(cairo_t* cairo, Size extent, ImageInterpolation interpolation) const override;

private:
    SVGImageContent(std::vector<std::uint8_t> document, Size size) : document_(std::move(document)), size_(size) {}

    std::vector<std::uint8_t> document_;
    Size size_;
};

} // namespace graphics
