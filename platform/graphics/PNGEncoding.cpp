#include "platform/graphics/PNGEncoding.h"

#include "platform/graphics/PNGHeaderCheck.h"
#include "platform/graphics/PixelConversion.h"

#include <png.h>

#include <new>

namespace graphics {

namespace {

png_image rgbaImageDescription(std::uint32_t width, std::uint32_t height) {
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = width;
    description.height = height;
    description.format = PNG_FORMAT_RGBA;
    return description;
}

} // namespace

std::optional<std::vector<std::uint8_t>> encodePNG(const BitmapImage& image) {
    const std::vector<std::uint8_t> pixels = straightRGBA(image);
    // libpng's simplified writer tags 8-bit output with an sRGB chunk of
    // perceptual intent unless told the colours are not sRGB.
    png_image description = rgbaImageDescription(image.width(), image.height());
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&description, nullptr, &size, 0, pixels.data(), 0, nullptr)) return std::nullopt;
    std::vector<std::uint8_t> file(size);
    if (!png_image_write_to_memory(&description, file.data(), &size, 0, pixels.data(), 0, nullptr)) {
        return std::nullopt;
    }
    file.resize(size);
    return file;
}

std::shared_ptr<BitmapImage> decodePNG(std::span<const std::uint8_t> bytes) {
    // The simplified reader below takes no limits of its own.
    if (!pngHeaderFitsLimits(bytes)) return nullptr;
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&description, bytes.data(), bytes.size())) return nullptr;
    description.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels;
    try {
        pixels.resize(PNG_IMAGE_SIZE(description));
    } catch (const std::bad_alloc&) {
        png_image_free(&description);
        return nullptr;
    }
    if (!png_image_finish_read(&description, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&description);
        return nullptr;
    }
    premultiplyRGBA(pixels);
    return BitmapImageAccess::make(description.width, description.height, PNG_IMAGE_ROW_STRIDE(description),
                               BitmapLayout::RGBAPremultipliedLast, std::move(pixels));
}

} // namespace graphics
