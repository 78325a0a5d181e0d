#pragma once

#include "renderer/BackgroundColor.h"

#include "platform/graphics/Color.h"

// The frames' background as the view system paints it: the view's layer
// background and its fallback fill, so the screen shows the same colour
// before the first frame, between frames and without a GPU.
inline constexpr graphics::Color kSaverBackgroundColor{kBackgroundClearColor.red, kBackgroundClearColor.green,
                                                       kBackgroundClearColor.blue, kBackgroundClearColor.alpha};
