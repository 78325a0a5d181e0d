#pragma once

#include <cstdint>
#include <span>

namespace graphics {

// Whether a PNG file's header, read by libpng under its own limits (sides,
// ancillary chunk count and size), declares an image within the graphics
// library's limits. Checked before anything is allocated for the pixels.
bool pngHeaderFitsLimits(std::span<const std::uint8_t> bytes);

} // namespace graphics
