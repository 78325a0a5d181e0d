#pragma once

#include "tests/support/ScratchDirectoryVariable.h"
#include "tests/support/SvgDocument.h"

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

// Draws image into the whole raster the way the logo is made: copy, full
// opacity, in a context made current between saved states.
std::shared_ptr<BitmapImage> drawIntoRaster(const Image& image, const std::shared_ptr<BitmapImageRep>& rep,
                                            CompositingOperation operation = CompositingOperation::Copy);

} // namespace graphics::test
