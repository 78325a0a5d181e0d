#include "platform/view/wayland/ShmBuffer.h"

#include <cairo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

namespace view::wayland {

namespace {

constexpr std::size_t kBytesPerPixel = 4;

// A file only this process and the compositor know of, of the length.
int sharedMemoryFile(std::size_t length) {
    const int descriptor = memfd_create("korlan-flow-contents", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (descriptor < 0) return -1;
    if (ftruncate(descriptor, off_t(length)) != 0) {
        close(descriptor);
        return -1;
    }
    // The compositor may rely on the length staying.
    fcntl(descriptor, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL);
    return descriptor;
}

} // namespace

ShmBuffer::ShmBuffer(void* memory, std::size_t length, wl_buffer* buffer)
    : memory_(memory), length_(length), buffer_(buffer) {
    static const wl_buffer_listener listener = {
        .release = [](void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->released_ = true; },
    };
    wl_buffer_add_listener(buffer_, &listener, this);
}

ShmBuffer::~ShmBuffer() {
    wl_buffer_destroy(buffer_);
    munmap(memory_, length_);
}

std::unique_ptr<ShmBuffer> ShmBuffer::create(wl_shm* shm, const graphics::BitmapImageRep& contents) {
    const int width = int(contents.pixelsWide()), height = int(contents.pixelsHigh());
    const int stride = width * int(kBytesPerPixel);
    const std::size_t length = std::size_t(stride) * std::size_t(height);
    const int descriptor = sharedMemoryFile(length);
    if (descriptor < 0) return nullptr;
    void* memory = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    if (memory == MAP_FAILED) {
        close(descriptor);
        return nullptr;
    }
    // cairo's 32-bit pixels in the machine's byte order are the
    // compositor's XRGB8888; the alpha byte is not looked at.
    cairo_surface_t* surface = contents.cairoSurface();
    cairo_surface_flush(surface);
    const auto* source = cairo_image_surface_get_data(surface);
    const int sourceStride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < height; ++row) {
        std::memcpy(static_cast<unsigned char*>(memory) + std::size_t(row) * stride,
                    source + std::size_t(row) * sourceStride, std::size_t(stride));
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, descriptor, int(length));
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    // The buffer keeps the memory; the pool and the file are not needed.
    wl_shm_pool_destroy(pool);
    close(descriptor);
    return std::unique_ptr<ShmBuffer>(new ShmBuffer(memory, length, buffer));
}

} // namespace view::wayland
