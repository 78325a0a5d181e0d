#pragma once

namespace gpu::vulkan {

// Tells the main queue's observers that the device or a window's surface
// was lost. Callable from any thread; the caller announces each loss once.
void announcePresentationLost();

} // namespace gpu::vulkan
