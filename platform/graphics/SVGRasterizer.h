#pragma once

#include "platform/graphics/Geometry.h"

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <span>

namespace graphics {

// librsvg at work in a process of its own: it cannot be interrupted, and a
// hostile document can crash it while it reads or renders, render for ever
// or take all memory. Each call gets about two seconds; a document that
// needs longer, or that ends the process, counts as one that cannot be
// read or rendered.

// The document's own size: its width and height in pixels, else its view
// box's size, else zero. Nullopt when librsvg does not read the bytes as an
// SVG document.
std::optional<Size> measureSVGInSeparateProcess(std::span<const std::uint8_t> document);

// Renders the document fitted into viewport (user space) over the clip of
// cairo, as librsvg would render it there directly. False, with nothing
// drawn, when it could not be rendered or is too large to.
bool renderSVGInSeparateProcess(std::span<const std::uint8_t> document, cairo_t* cairo, Size viewport);

} // namespace graphics
