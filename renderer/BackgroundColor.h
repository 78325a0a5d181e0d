#pragma once

#include "platform/gpu/Types.h"
#include "platform/graphics/Color.h"

// The dark background of every frame: what the scene's passes clear to, and
// what a captured pixel is compared with to count it as drawn on.
inline constexpr int kBackgroundRed = 15, kBackgroundGreen = 18, kBackgroundBlue = 22;
inline constexpr gpu::ClearColor kBackgroundClearColor{kBackgroundRed / 255.0, kBackgroundGreen / 255.0,
                                                       kBackgroundBlue / 255.0, 1.0};
// The same colour where views and the settings sheet paint it.
inline constexpr graphics::Color kBackgroundColor{kBackgroundClearColor.red, kBackgroundClearColor.green,
                                                  kBackgroundClearColor.blue, kBackgroundClearColor.alpha};
