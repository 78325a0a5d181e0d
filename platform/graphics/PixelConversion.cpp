#include "platform/graphics/PixelConversion.h"

#include <algorithm>

namespace graphics {

namespace {

std::uint8_t unpremultiplied(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>(std::min(255, (channel * 255 + alpha / 2) / alpha));
}

std::uint8_t premultiplied(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

} // namespace

std::vector<std::uint8_t> straightRGBA(const BitmapImage& image) {
    const bool blueFirst = image.layout() == BitmapLayout::BGRAPremultipliedFirst;
    const int red = blueFirst ? 2 : 0;
    const int blue = blueFirst ? 0 : 2;
    std::vector<std::uint8_t> out(std::size_t{image.width()} * image.height() * 4);
    std::uint8_t* to = out.data();
    for (std::uint32_t y = 0; y < image.height(); ++y) {
        const auto row = image.row(y);
        for (std::size_t x = 0; x < row.size(); x += 4, to += 4) {
            const std::uint8_t* pixel = &row[x];
            const std::uint8_t alpha = pixel[3];
            // Fully transparent pixels stay 0, 0, 0, 0 as the vector began.
            if (alpha == 0) continue;
            to[0] = unpremultiplied(pixel[red], alpha);
            to[1] = unpremultiplied(pixel[1], alpha);
            to[2] = unpremultiplied(pixel[blue], alpha);
            to[3] = alpha;
        }
    }
    return out;
}

void premultiplyRGBA(std::span<std::uint8_t> pixels) {
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const std::uint8_t alpha = pixels[i + 3];
        for (std::size_t c = 0; c < 3; ++c) pixels[i + c] = premultiplied(pixels[i + c], alpha);
    }
}

void copySwappingRedAndBlue(const std::uint8_t* source, std::size_t sourceBytesPerRow, std::uint8_t* destination,
                            std::size_t destinationBytesPerRow, std::uint32_t width, std::uint32_t height) {
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* from = source + y * sourceBytesPerRow;
        std::uint8_t* to = destination + y * destinationBytesPerRow;
        for (std::uint32_t x = 0; x < width; ++x, from += 4, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = from[3];
        }
    }
}

} // namespace graphics
