#pragma once

#include "platform/graphics/BitmapImageRep.h"

#include <cstddef>
#include <memory>

struct wl_buffer;
struct wl_shm;

namespace view::wayland {

// A window's drawn contents in memory shared with the compositor, opaque:
// made for one commit, and free to go once the compositor has released it.
class ShmBuffer {
public:
    // Null when the shared memory cannot be had.
    static std::unique_ptr<ShmBuffer> create(wl_shm* shm, const graphics::BitmapImageRep& contents);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    wl_buffer* handle() const { return buffer_; }
    bool isReleased() const { return released_; }

private:
    ShmBuffer(void* memory, std::size_t length, wl_buffer* buffer);

    void* memory_;
    std::size_t length_;
    wl_buffer* buffer_;
    bool released_ = false;
};

} // namespace view::wayland
