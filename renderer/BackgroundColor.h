#pragma once

#include "platform/graphics/Color.h"

// The dark background of every frame: what the scene's passes clear to
// (BackgroundClearColor.h), what a captured pixel is compared with to count
// it as drawn on, and what views and the settings sheet paint.
inline constexpr int kBackgroundRed = 15, kBackgroundGreen = 18, kBackgroundBlue = 22;
inline constexpr graphics::Color kBackgroundColor{kBackgroundRed / 255.0, kBackgroundGreen / 255.0,
                                                  kBackgroundBlue / 255.0, 1.0};
