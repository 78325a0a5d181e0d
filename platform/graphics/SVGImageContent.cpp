#include "platform/graphics/SVGImageContent.h"

#include <librsvg/rsvg.h>

namespace graphics {

std::unique_ptr<SVGImageContent> SVGImageContent::fromData(std::span<const std::uint8_t> bytes) {
    // Without a base file, the document cannot pull in other files.
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(bytes.data(), bytes.size(), &error);
    g_clear_error(&error);
    if (!handle) return nullptr;
    return std::unique_ptr<SVGImageContent>(new SVGImageContent(handle));
}

SVGImageContent::~SVGImageContent() { g_object_unref(handle_); }

Size SVGImageContent::size() const {
    gdouble width = 0.0;
    gdouble height = 0.0;
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle_, &width, &height)) return {width, height};
    gboolean hasViewBox = FALSE;
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle_, nullptr, nullptr, nullptr, nullptr, &hasViewBox, &viewBox);
    if (hasViewBox) return {viewBox.width, viewBox.height};
    return {};
}

// librsvg fits the document into the viewport keeping its aspect ratio; the
// viewport has the document's own size, so the caller's scaling alone
// decides how it is stretched. Vectors are rendered at the final resolution,
// so there is nothing to interpolate.
void SVGImageContent::draw(cairo_t* cairo, Size extent, ImageInterpolation) const {
    const RsvgRectangle viewport{0.0, 0.0, extent.width, extent.height};
    // A document that fails part-way has drawn what it could; like any other
    // image, it reports nothing.
    GError* error = nullptr;
    rsvg_handle_render_document(handle_, cairo, &viewport, &error);
    g_clear_error(&error);
}

} // namespace graphics
