#pragma once

#include <cstdint>

namespace gpu {

// A window of the display server as the window system names it: for X11,
// the connection (an Xlib Display*) and the window's id. Kept opaque, so no
// window-system header reaches the GPU interfaces.
struct NativeWindow {
    void* display = nullptr;
    std::uint64_t window = 0;
};

} // namespace gpu
