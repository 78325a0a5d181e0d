#pragma once

#include "platform/PlatformExport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace graphics {

// How a pixel's four bytes lie in memory; colour is premultiplied by alpha
// in both.
enum class BitmapLayout {
    // Red, green, blue, alpha: what rasters draw into.
    RGBAPremultipliedLast,
    // Blue, green, red, alpha: a 32-bit little-endian pixel with alpha
    // first, the layout of the GPU read-back.
    BGRAPremultipliedFirst,
};

// An immutable bitmap: rows from the top, each bytesPerRow long, of which
// the first width * 4 bytes are pixels.
class KF_PLATFORM_API BitmapImage {
public:
    // Null when a side is 0, bytesPerRow is shorter than a row of pixels or
    // bytes holds fewer than height rows.
    static std::shared_ptr<BitmapImage> create(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow,
                                               BitmapLayout layout, std::vector<std::uint8_t> bytes);

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::size_t bytesPerRow() const { return bytesPerRow_; }
    BitmapLayout layout() const { return layout_; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::span<const std::uint8_t> row(std::uint32_t y) const;

private:
    BitmapImage(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow, BitmapLayout layout,
                std::vector<std::uint8_t> bytes);

    std::uint32_t width_;
    std::uint32_t height_;
    std::size_t bytesPerRow_;
    BitmapLayout layout_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace graphics
