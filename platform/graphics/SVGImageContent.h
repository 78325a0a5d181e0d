#pragma once

#include "platform/graphics/ImageContent.h"

#include <cstdint>
#include <memory>
#include <span>

typedef struct _RsvgHandle RsvgHandle;

namespace graphics {

// A vector document, rendered afresh at the size it is drawn at.
class SVGImageContent final : public ImageContent {
public:
    // Null when librsvg does not read the bytes as an SVG document.
    static std::unique_ptr<SVGImageContent> fromData(std::span<const std::uint8_t> bytes);

    ~SVGImageContent() override;
    SVGImageContent(const SVGImageContent&) = delete;
    SVGImageContent& operator=(const SVGImageContent&) = delete;

    // The width and height in pixels, else the view box's size, else zero
    // (a document sized in percentages fills whatever it is drawn into).
    Size size() const override;
    void draw(cairo_t* cairo, Size extent, ImageInterpolation interpolation) const override;

private:
    explicit SVGImageContent(RsvgHandle* handle) : handle_(handle) {}

    RsvgHandle* handle_;
};

} // namespace graphics
