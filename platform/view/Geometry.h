#pragma once

#include "platform/graphics/Geometry.h"

namespace view {

// Views measure in the same points as the graphics they draw.
using graphics::Point;
using graphics::Rect;
using graphics::Size;

} // namespace view
