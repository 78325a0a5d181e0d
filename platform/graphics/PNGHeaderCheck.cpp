#include "platform/graphics/PNGHeaderCheck.h"

#include "platform/graphics/ImageLimits.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace graphics {

namespace {

// Ancillary chunks kept, and the bytes one chunk may take once inflated:
// a compressed text or colour profile chunk cannot become a memory bomb.
constexpr png_uint_32 kMaximumAncillaryChunks = 128;
constexpr png_alloc_size_t kMaximumChunkBytes = 1 << 20;

struct MemoryReader {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
};

void readFromMemory(png_structp png, png_bytep destination, png_size_t length) {
    auto& reader = *static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader.bytes.size() - reader.offset) png_error(png, "truncated");
    std::memcpy(destination, reader.bytes.data() + reader.offset, length);
    reader.offset += length;
}

// libpng reports errors by jumping back to png_jmpbuf; nothing is printed.
[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// Kept free of C++ objects with destructors: libpng's errors leave it by
// longjmp.
bool readHeader(png_structp png, png_infop info, MemoryReader* reader, png_uint_32* width, png_uint_32* height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaximumImageSide, kMaximumImageSide);
    png_set_chunk_cache_max(png, kMaximumAncillaryChunks);
    png_set_chunk_malloc_max(png, kMaximumChunkBytes);
    png_set_read_fn(png, reader, &readFromMemory);
    png_read_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    return true;
}

} // namespace

bool pngHeaderFitsLimits(std::span<const std::uint8_t> bytes) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &jumpOnError, &ignoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{bytes};
    png_uint_32 width = 0, height = 0;
    const bool read = info && readHeader(png, info, &reader, &width, &height);
    png_destroy_read_struct(&png, &info, nullptr);
    return read && fitsImageLimits(width, height);
}

} // namespace graphics
