#pragma once

// Conversions between the pixel layouts of bitmaps, cairo surfaces and PNG
// files. Internal to the graphics library.

#include "platform/graphics/BitmapImage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace graphics {

// The PNG reader's way to its bitmaps: BitmapImage::create under an older
// name, until the reader calls create itself.
struct BitmapImageAccess {
    static std::shared_ptr<BitmapImage> make(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow,
                                             BitmapLayout layout, std::vector<std::uint8_t> bytes) {
        return BitmapImage::create(width, height, bytesPerRow, layout, std::move(bytes));
    }
};

// Tight rows of red, green, blue, alpha with straight (not premultiplied)
// alpha. Opaque pixels keep their exact colour; fully transparent ones
// become 0, 0, 0, 0.
std::vector<std::uint8_t> straightRGBA(const BitmapImage& image);

// Straight red, green, blue, alpha pixels to premultiplied ones, in place.
void premultiplyRGBA(std::span<std::uint8_t> pixels);

// Copies height rows of width pixels, exchanging each pixel's first and
// third byte: RGBA to BGRA and back.
void copySwappingRedAndBlue(const std::uint8_t* source, std::size_t sourceBytesPerRow, std::uint8_t* destination,
                            std::size_t destinationBytesPerRow, std::uint32_t width, std::uint32_t height);

} // namespace graphics
