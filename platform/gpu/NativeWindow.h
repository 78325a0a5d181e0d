#pragma once

#include <cstdint>

namespace gpu {

// The display servers that windows are shown on.
enum class WindowSystem { X11, Wayland };

// A connection to a display server as the window system names it: an Xlib
// Display* or a wl_display*. Kept opaque, so no window-system header
// reaches the GPU interfaces.
struct NativeDisplay {
    WindowSystem system = WindowSystem::X11;
    void* display = nullptr;
};

// A window of the display server: for X11 the window's id, for Wayland its
// wl_surface*, on the connection.
struct NativeWindow {
    WindowSystem system = WindowSystem::X11;
    void* display = nullptr;
    std::uint64_t window = 0;
};

} // namespace gpu
