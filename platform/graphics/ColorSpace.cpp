#include "platform/graphics/ColorSpace.h"

namespace graphics {

std::shared_ptr<ColorSpace> ColorSpace::createWithName(const std::string& name) {
    if (name != kColorSpaceSRGB) return nullptr;
    return std::shared_ptr<ColorSpace>(new ColorSpace(name));
}

} // namespace graphics
