#include "platform/graphics/SVGImageContent.h"

#include "platform/graphics/AbandonedDrawing.h"
#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/SVGRasterizer.h"

namespace graphics {

std::unique_ptr<SVGImageContent> SVGImageContent::fromData(std::span<const std::uint8_t> bytes) {
    const auto size = measureSVGInSeparateProcess(bytes);
    if (!size || !(size->width <= kMaximumImageSide && size->height <= kMaximumImageSide)) return nullptr;
    return std::unique_ptr<SVGImageContent>(new SVGImageContent({bytes.begin(), bytes.end()}, *size));
}

// librsvg fits the document into the viewport keeping its aspect ratio; the
// viewport has the document's own size, so the caller's scaling alone
// decides how it is stretched. Vectors are rendered at the final resolution,
// so there is nothing to interpolate.
void SVGImageContent::draw(cairo_t* cairo, Size extent, ImageInterpolation) const {
    if (!renderSVGInSeparateProcess(document_, cairo, extent)) markDrawingAbandoned(cairo);
}

} // namespace graphics
