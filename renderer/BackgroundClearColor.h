#pragma once

#include "renderer/BackgroundColor.h"

#include "platform/gpu/Types.h"

// The background colour as the GPU clears a target to it.
inline constexpr gpu::ClearColor kBackgroundClearColor{kBackgroundColor.red, kBackgroundColor.green,
                                                       kBackgroundColor.blue, kBackgroundColor.alpha};
