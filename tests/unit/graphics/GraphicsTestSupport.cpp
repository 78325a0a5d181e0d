#include "tests/unit/graphics/GraphicsTestSupport.h"

#include "platform/graphics/GraphicsContext.h"

#include <cstdlib>
#include <fstream>

namespace graphics::test {

Pixel pixelAt(const BitmapImage& bitmap, std::uint32_t x, std::uint32_t y) {
    const auto row = bitmap.row(y);
    return {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "graphics-tests-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
}

ScratchDirectory::~ScratchDirectory() { std::filesystem::remove_all(root_); }

std::filesystem::path ScratchDirectory::write(const std::string& name, const std::string& contents) const {
    const auto path = root_ / name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string svgDocument(const std::string& body, const std::string& sizeAttributes) {
    return R"(<svg xmlns="http://www.w3.org/2000/svg" )" + sizeAttributes + ">" + body + "</svg>";
}

std::shared_ptr<BitmapImage> drawIntoRaster(const Image& image, const std::shared_ptr<BitmapImageRep>& rep,
                                            CompositingOperation operation) {
    const auto context = GraphicsContext::graphicsContextWithBitmapImageRep(rep);
    GraphicsContext::saveGraphicsState();
    GraphicsContext::setCurrentContext(context);
    context->setImageInterpolation(ImageInterpolation::High);
    image.drawInRect({{0, 0}, rep->size()}, {}, operation, 1.0, true);
    context->flushGraphics();
    GraphicsContext::restoreGraphicsState();
    return rep->CGImage();
}

} // namespace graphics::test
