#include "platform/graphics/BitmapImage.h"

namespace graphics {

namespace {

constexpr std::size_t kBytesPerPixel = 4;

bool describesBytes(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow, std::size_t byteCount) {
    if (width == 0 || height == 0) return false;
    if (bytesPerRow < std::size_t{width} * kBytesPerPixel) return false;
    std::size_t needed = 0;
    if (__builtin_mul_overflow(bytesPerRow, std::size_t{height}, &needed)) return false;
    return byteCount >= needed;
}

} // namespace

BitmapImage::BitmapImage(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow, BitmapLayout layout,
                         std::vector<std::uint8_t> bytes)
    : width_(width), height_(height), bytesPerRow_(bytesPerRow), layout_(layout), bytes_(std::move(bytes)) {}

std::shared_ptr<BitmapImage> BitmapImage::create(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow,
                                                 BitmapLayout layout, std::vector<std::uint8_t> bytes) {
    if (!describesBytes(width, height, bytesPerRow, bytes.size())) return nullptr;
    return std::shared_ptr<BitmapImage>(new BitmapImage(width, height, bytesPerRow, layout, std::move(bytes)));
}

std::span<const std::uint8_t> BitmapImage::row(std::uint32_t y) const {
    return bytes().subspan(std::size_t{y} * bytesPerRow_, std::size_t{width_} * kBytesPerPixel);
}

} // namespace graphics
