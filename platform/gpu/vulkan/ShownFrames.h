#pragma once

namespace gpu::vulkan {

// Counts a frame shown in a window, for gpu::framesShownInWindows().
void countFrameShown();

} // namespace gpu::vulkan
