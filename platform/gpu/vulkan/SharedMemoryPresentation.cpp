#include "platform/gpu/vulkan/SharedMemoryPresentation.h"

#include "platform/gpu/PresentedHandlers.h"
#include "platform/gpu/vulkan/ShownFrames.h"
#include "platform/gpu/vulkan/VulkanDrawable.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <atomic>
#include <chrono>
#include <cstring>

namespace gpu::vulkan {

namespace {

// Two frames out, and one free to draw the next into meanwhile.
constexpr int kFrameCount = 3;
constexpr int kMaximumFramesOut = 2;
constexpr std::chrono::seconds kFramesOutTimeout{2};
constexpr std::uint64_t kBytesPerPixel = 4;

// Only a server on this machine can read this process's memory.
bool isLocal(Display* display) {
    const char* name = DisplayString(display);
    return name && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

// A true colour visual whose 32-bit pixels are the bytes blue, green, red
// and a fourth the server ignores: what a B8G8R8A8 texture holds.
bool takesTexturePixels(const XWindowAttributes& attributes) {
    const Visual* visual = attributes.visual;
    return (attributes.depth == 24 || attributes.depth == 32) && visual && visual->red_mask == 0xff0000 &&
           visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff;
}

std::uint64_t roundedUp(std::uint64_t size, std::uint64_t alignment) {
    return alignment ? (size + alignment - 1) / alignment * alignment : size;
}

} // namespace

// The window as a connection of our own sees it; frames are put from the
// completion thread, segments made and freed on the main thread.
struct SharedMemoryServer {
    Display* display = nullptr;
    ::Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;

    ~SharedMemoryServer() {
        if (gc) XFreeGC(display, gc);
        if (display) XCloseDisplay(display);
    }

    static std::shared_ptr<SharedMemoryServer> connect(const NativeWindow& window) {
        auto* shared = static_cast<Display*>(window.display);
        if (!shared || !isLocal(shared)) return nullptr;
        auto server = std::make_shared<SharedMemoryServer>();
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
};

namespace {

// One frame's pixels, in a System V segment the server has attached too.
class SharedSegment {
public:
    static std::unique_ptr<SharedSegment> create(std::shared_ptr<SharedMemoryServer> server, std::uint64_t width,
                                                 std::uint64_t height, std::uint64_t alignment) {
        std::unique_ptr<SharedSegment> segment(new SharedSegment(std::move(server)));
        return segment->attach(width, height, alignment) ? std::move(segment) : nullptr;
    }
    ~SharedSegment() {
        if (attached_) {
            XShmDetach(server_->display, &info_);
            XSync(server_->display, False);
        }
        if (image_) {
            // The pixels are the segment's, not Xlib's to free.
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        if (info_.shmaddr && info_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(info_.shmaddr);
    }
    SharedSegment(const SharedSegment&) = delete;
    SharedSegment& operator=(const SharedSegment&) = delete;

    std::byte* data() const { return reinterpret_cast<std::byte*>(info_.shmaddr); }
    std::uint64_t size() const { return size_; }

    // Waits until the server has copied the pixels, so the segment may be
    // drawn into again; false when the window is gone. The question about
    // the window is the round trip that waits.
    bool putIntoWindow() const {
        XShmPutImage(server_->display, server_->window, server_->gc, image_, 0, 0, 0, 0, unsigned(image_->width),
                     unsigned(image_->height), False);
        ::Window root = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        return XGetGeometry(server_->display, server_->window, &root, &x, &y, &width, &height, &border, &depth);
    }

private:
    explicit SharedSegment(std::shared_ptr<SharedMemoryServer> server) : server_(std::move(server)) {}

    bool attach(std::uint64_t width, std::uint64_t height, std::uint64_t alignment) {
        image_ = XShmCreateImage(server_->display, server_->visual, unsigned(server_->depth), ZPixmap, nullptr, &info_,
                                 unsigned(width), unsigned(height));
        // The texture reads back rows of exactly its width.
        if (!image_ || std::uint64_t(image_->bytes_per_line) != width * kBytesPerPixel) return false;
        size_ = roundedUp(width * height * kBytesPerPixel, alignment);
        info_.shmid = shmget(IPC_PRIVATE, size_, IPC_CREAT | 0600);
        if (info_.shmid < 0) return false;
        info_.shmaddr = static_cast<char*>(shmat(info_.shmid, nullptr, 0));
        const bool mapped = info_.shmaddr != reinterpret_cast<char*>(-1);
        image_->data = mapped ? info_.shmaddr : nullptr;
        info_.readOnly = True;
        attached_ = mapped && XShmAttach(server_->display, &info_);
        XSync(server_->display, False);
        // Gone with the last process that detaches it, whatever happens.
        shmctl(info_.shmid, IPC_RMID, nullptr);
        return attached_;
    }

    std::shared_ptr<SharedMemoryServer> server_;
    XShmSegmentInfo info_{};
    XImage* image_ = nullptr;
    std::uint64_t size_ = 0;
    bool attached_ = false;
};

} // namespace

// A record of its source, handed out again once nobody else holds it. The
// texture goes before the segment its read-back memory lies in.
class SharedMemoryFrame final : public VulkanDrawable, public std::enable_shared_from_this<SharedMemoryFrame> {
public:
    SharedMemoryFrame(std::unique_ptr<SharedSegment> segment, std::shared_ptr<VulkanTexture> texture,
                      std::shared_ptr<FrameFinishedSignal> finished, std::shared_ptr<std::atomic<bool>> windowLost)
        : segment_(std::move(segment)), texture_(std::move(texture)), finished_(std::move(finished)),
          windowLost_(std::move(windowLost)) {}

    void restart() {
        presentedHandlers_.clear();
        presentedTime_ = 0.0;
    }

    std::shared_ptr<Texture> texture() const override { return texture_; }
    void addPresentedHandler(PresentedHandler handler) override { presentedHandlers_.add(std::move(handler)); }
    double presentedTime() const override { return presentedTime_; }

    // On the completion thread: the frame's pixels are in the segment.
    void presentationFinished(double presentedTime) override {
        const bool shown = presentedTime > 0.0 && !*windowLost_ && segment_->putIntoWindow();
        if (presentedTime > 0.0 && !shown) *windowLost_ = true;
        if (shown) countFrameShown();
        presentedTime_ = shown ? presentedTime : 0.0;
        presentedHandlers_.run(shared_from_this());
        finished_->frameFinished();
    }

private:
    std::unique_ptr<SharedSegment> segment_;
    std::shared_ptr<VulkanTexture> texture_;
    std::shared_ptr<FrameFinishedSignal> finished_;
    std::shared_ptr<std::atomic<bool>> windowLost_;
    gpu::PresentedHandlers presentedHandlers_;
    std::atomic<double> presentedTime_ = 0.0;
};

SharedMemoryDrawableSource::SharedMemoryDrawableSource(std::shared_ptr<LogicalDevice> logicalDevice,
                                                       TextureMaker makeTexture,
                                                       std::shared_ptr<SharedMemoryServer> server)
    : logicalDevice_(std::move(logicalDevice)), makeTexture_(std::move(makeTexture)), server_(std::move(server)) {}

std::shared_ptr<SharedMemoryDrawableSource> SharedMemoryDrawableSource::create(
    std::shared_ptr<LogicalDevice> logicalDevice, TextureMaker makeTexture, const NativeWindow& window,
    std::uint64_t width, std::uint64_t height) {
    if (window.system != WindowSystem::X11 || !logicalDevice->isCpuDevice() || !logicalDevice->importsHostMemory()) {
        return nullptr;
    }
    auto server = SharedMemoryServer::connect(window);
    if (!server) return nullptr;
    std::shared_ptr<SharedMemoryDrawableSource> source(
        new SharedMemoryDrawableSource(std::move(logicalDevice), std::move(makeTexture), std::move(server)));
    source->setDrawableSize(width, height);
    return source->makeFrames() ? source : nullptr;
}

SharedMemoryDrawableSource::~SharedMemoryDrawableSource() {
    finished_->waitUntil([this] { return framesOut() == 0; }, kFramesOutTimeout);
}

int SharedMemoryDrawableSource::framesOut() const {
    int free = 0;
    frames_.forEachFree([&free](const SharedMemoryFrame&) { ++free; });
    return int(frames_.size()) - free;
}

void SharedMemoryDrawableSource::setDrawableSize(std::uint64_t width, std::uint64_t height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    framesMatchSize_ = false;
}

bool SharedMemoryDrawableSource::makeFrames() {
    frames_.clear();
    auto descriptor = TextureDescriptor::texture2DDescriptor(PixelFormat::BGRA8Unorm, width_, height_, false);
    descriptor.usage = TextureUsageRenderTarget;
    // Read back after every pass: into the segment.
    descriptor.storageMode = StorageMode::Shared;
    for (int index = 0; index < kFrameCount; ++index) {
        auto segment = SharedSegment::create(server_, width_, height_, logicalDevice_->hostMemoryAlignment());
        if (!segment) return false;
        VkResult result;
        auto readback = HostBuffer::importing(logicalDevice_, segment->data(), segment->size(),
                                              VK_BUFFER_USAGE_TRANSFER_DST_BIT, &result);
        if (!readback) return false;
        auto texture = makeTexture_(descriptor, std::move(readback));
        if (!texture) return false;
        frames_.add(
            std::make_shared<SharedMemoryFrame>(std::move(segment), std::move(texture), finished_, windowLost_));
    }
    framesMatchSize_ = true;
    return true;
}

// Never waits: without a free frame, or while the frames of the old size
// are out, there is none.
std::shared_ptr<Drawable> SharedMemoryDrawableSource::nextDrawable() {
    if (*windowLost_) return nullptr;
    if (!framesMatchSize_ && (framesOut() > 0 || !makeFrames())) return nullptr;
    if (framesOut() >= kMaximumFramesOut) return nullptr;
    auto frame = frames_.takeFree();
    if (!frame) return nullptr;
    frame->restart();
    return frame;
}

} // namespace gpu::vulkan
