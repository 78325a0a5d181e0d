#include "platform/gpu/vulkan/XlibSurface.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vulkan/vulkan_xlib.h>

#include <algorithm>
#include <cstring>

namespace gpu::vulkan {

namespace {

constexpr std::uint64_t kBytesPerPixel = 4;

// Only a server on this machine can read this process's memory.
bool isLocal(Display* display) {
    const char* name = DisplayString(display);
    return name && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

bool takesTexturePixels(const XWindowAttributes& attributes) {
    const Visual* visual = attributes.visual;
    return (attributes.depth == 24 || attributes.depth == 32) && visual && visual->red_mask == 0xff0000 &&
           visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff;
}

std::uint64_t roundedUp(std::uint64_t size, std::uint64_t alignment) {
    return alignment ? (size + alignment - 1) / alignment * alignment : size;
}

} // namespace

bool canPresentToXlibDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, void* display) {
    auto* connection = static_cast<Display*>(display);
    const VisualID visual = XVisualIDFromVisual(DefaultVisual(connection, DefaultScreen(connection)));
    return vkGetPhysicalDeviceXlibPresentationSupportKHR(device, queueFamily, connection, visual) == VK_TRUE;
}

VkResult createXlibSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface) {
    const VkXlibSurfaceCreateInfoKHR info{
        .sType = VK_STRUCTURE_TYPE_XLIB_SURFACE_CREATE_INFO_KHR,
        .dpy = static_cast<Display*>(window.display),
        .window = static_cast<Window>(window.window),
    };
    return vkCreateXlibSurfaceKHR(instance, &info, nullptr, surface);
}

struct SharedMemoryWindow {
    Display* display = nullptr;
    ::Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;

    ~SharedMemoryWindow() {
        if (gc) XFreeGC(display, gc);
        if (display) XCloseDisplay(display);
    }
};

std::shared_ptr<SharedMemoryWindow> connectSharedMemoryWindow(const NativeWindow& window) {
    auto* shared = static_cast<Display*>(window.display);
    if (window.system != WindowSystem::X11 || !shared || !isLocal(shared)) return nullptr;
    auto server = std::make_shared<SharedMemoryWindow>();
    server->display = XOpenDisplay(DisplayString(shared));
    if (!server->display || !XShmQueryExtension(server->display)) return nullptr;
    server->window = static_cast<::Window>(window.window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(server->display, server->window, &attributes) || !takesTexturePixels(attributes)) {
        return nullptr;
    }
    server->visual = attributes.visual;
    server->depth = attributes.depth;
    server->gc = XCreateGC(server->display, server->window, 0, nullptr);
    return server;
}

struct SharedMemoryImage::Segment {
    std::shared_ptr<SharedMemoryWindow> window;
    XShmSegmentInfo info{};
    XImage* image = nullptr;
    std::uint64_t size = 0;
    std::uint64_t width = 0;
    bool attached = false;

    ~Segment() {
        if (attached) {
            XShmDetach(window->display, &info);
            XSync(window->display, False);
        }
        if (image) {
            // The pixels are the segment's, not Xlib's to free.
            image->data = nullptr;
            XDestroyImage(image);
        }
        if (info.shmaddr && info.shmaddr != reinterpret_cast<char*>(-1)) shmdt(info.shmaddr);
    }

    // The server's image is as wide as a row holds pixels; only the frame's
    // width of it is put into the window.
    bool attach(std::uint64_t height, HostImageLayout layout, std::uint64_t alignment) {
        image = XShmCreateImage(window->display, window->visual, unsigned(window->depth), ZPixmap, nullptr, &info,
                                unsigned(layout.bytesPerRow / kBytesPerPixel), unsigned(height));
        if (!image || std::uint64_t(image->bytes_per_line) != layout.bytesPerRow) return false;
        size = roundedUp(std::max(layout.size, layout.bytesPerRow * height), alignment);
        info.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        if (info.shmid < 0) return false;
        info.shmaddr = static_cast<char*>(shmat(info.shmid, nullptr, 0));
        const bool mapped = info.shmaddr != reinterpret_cast<char*>(-1);
        image->data = mapped ? info.shmaddr : nullptr;
        info.readOnly = True;
        attached = mapped && XShmAttach(window->display, &info);
        XSync(window->display, False);
        // Gone with the last process that detaches it, whatever happens.
        shmctl(info.shmid, IPC_RMID, nullptr);
        return attached;
    }
};

SharedMemoryImage::SharedMemoryImage(std::unique_ptr<Segment> segment) : segment_(std::move(segment)) {}

SharedMemoryImage::~SharedMemoryImage() = default;

std::unique_ptr<SharedMemoryImage> SharedMemoryImage::create(std::shared_ptr<SharedMemoryWindow> window,
                                                             std::uint64_t width, std::uint64_t height,
                                                             HostImageLayout layout, std::uint64_t alignment) {
    if (layout.bytesPerRow < width * kBytesPerPixel || layout.bytesPerRow % kBytesPerPixel != 0) return nullptr;
    auto segment = std::make_unique<Segment>();
    segment->window = std::move(window);
    segment->width = width;
    if (!segment->attach(height, layout, alignment)) return nullptr;
    return std::unique_ptr<SharedMemoryImage>(new SharedMemoryImage(std::move(segment)));
}

std::byte* SharedMemoryImage::data() const { return reinterpret_cast<std::byte*>(segment_->info.shmaddr); }

std::uint64_t SharedMemoryImage::size() const { return segment_->size; }

// The question about the window is the round trip that waits.
bool SharedMemoryImage::putIntoWindow() const {
    const auto& window = *segment_->window;
    XImage* image = segment_->image;
    XShmPutImage(window.display, window.window, window.gc, image, 0, 0, 0, 0, unsigned(segment_->width),
                 unsigned(image->height), False);
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    return XGetGeometry(window.display, window.window, &root, &x, &y, &width, &height, &border, &depth);
}

} // namespace gpu::vulkan
