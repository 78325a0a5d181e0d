#pragma once

namespace gpu {

// Posted on the default notification centre, on the main queue and without
// a sender, the first time a driver call reports the GPU device lost or the
// surface of a window lost. What was made on it draws no more: a host stops
// its views and starts them again, and createSystemDefaultDevice then hands
// out a new device where the old one was lost.
inline constexpr const char* kDeviceOrSurfaceLostNotification = "KORLANFlowGPUDeviceOrSurfaceLost";

// Posts the notification; callable from any thread. The backend calls it
// once for each device or surface it learns is lost.
void announceDeviceOrSurfaceLost();

} // namespace gpu
