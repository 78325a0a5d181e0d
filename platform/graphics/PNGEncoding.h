#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/BitmapImage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace graphics {

// An 8-bit RGBA PNG file tagged sRGB (perceptual intent). PNG alpha is
// straight, so colour is un-premultiplied: opaque pixels keep their exact
// red, green and blue. Nullopt when the writer fails.
KF_PLATFORM_API std::optional<std::vector<std::uint8_t>> encodePNG(const BitmapImage& image);

// A PNG file's pixels as RGBAPremultipliedLast with tight rows, converted to
// 8-bit sRGB whatever the file's depth, colour type or gamma. Null when the
// bytes are no PNG file the reader accepts, or one larger than 16384 pixels
// on a side or 256 MiB of pixels.
KF_PLATFORM_API std::shared_ptr<BitmapImage> decodePNG(std::span<const std::uint8_t> bytes);

} // namespace graphics
