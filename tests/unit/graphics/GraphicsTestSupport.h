#pragma once

#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace graphics::test {

// Channel values as numbers, so that failures print them readably.
using Pixel = std::array<int, 4>;

// The four bytes of an RGBAPremultipliedLast bitmap's pixel, rows from the top.
Pixel pixelAt(const BitmapImage& bitmap, std::uint32_t x, std::uint32_t y);

// A fresh directory for the files of one test, removed with it.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::filesystem::path write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path root_;
};

// An SVG document of the given view box and size attributes around body.
std::string svgDocument(const std::string& body, const std::string& sizeAttributes = R"(viewBox="0 0 100 100")");

// Draws image into the whole raster the way the logo is made: copy, full
// opacity, in a context made current between saved states.
std::shared_ptr<BitmapImage> drawIntoRaster(const Image& image, const std::shared_ptr<BitmapImageRep>& rep,
                                            CompositingOperation operation = CompositingOperation::Copy);

} // namespace graphics::test
