// Counts the frames a program shows, for the comparisons of bench/: loaded
// with LD_PRELOAD, it counts every eglSwapBuffers and glXSwapBuffers
// (OpenGL programs; XScreenSaver 6's hacks use EGL), every
// vkQueuePresentKHR (Vulkan programs) and every XShmPutImage (korlan-flow on
// a CPU device, whose frames reach the server through shared memory), and
// keeps the count, as decimal
// text, at the start of the file that KORLAN_FLOW_FRAME_COUNT_FILE names,
// where another process reads it at any time.
#include "tests/support/NextDefinition.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kLibrary = "frame counter";

std::atomic<std::uint64_t> frames = 0;

// One write per frame, of a fixed width, so a reader never sees half a
// number.
void countFrame() {
    static const int file = [] {
        const char* path = std::getenv("KORLAN_FLOW_FRAME_COUNT_FILE");
        return path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }();
    const std::uint64_t count = ++frames;
    if (file < 0) return;
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%20llu\n", static_cast<unsigned long long>(count));
    // A failed write costs the reader one count, never the program a frame.
    [[maybe_unused]] const auto written = pwrite(file, text, std::size_t(length), 0);
}

} // namespace

// The libraries' own types stay out: displays, surfaces, drawables, queues
// and present infos are passed through untouched.
extern "C" __attribute__((visibility("default"))) unsigned eglSwapBuffers(void* display, void* surface) {
    using Swap = unsigned (*)(void*, void*);
    static const auto forward = nextDefinition<Swap>("eglSwapBuffers", kLibrary);
    const unsigned swapped = forward(display, surface);
    countFrame();
    return swapped;
}

extern "C" __attribute__((visibility("default"))) void glXSwapBuffers(void* display, unsigned long drawable) {
    using Swap = void (*)(void*, unsigned long);
    static const auto forward = nextDefinition<Swap>("glXSwapBuffers", kLibrary);
    forward(display, drawable);
    countFrame();
}

extern "C" __attribute__((visibility("default"))) int vkQueuePresentKHR(void* queue, const void* presentInfo) {
    using Present = int (*)(void*, const void*);
    static const auto forward = nextDefinition<Present>("vkQueuePresentKHR", kLibrary);
    const int result = forward(queue, presentInfo);
    countFrame();
    return result;
}

extern "C" __attribute__((visibility("default"))) int XShmPutImage(void* display, unsigned long drawable, void* gc,
                                                                   void* image, int sourceX, int sourceY, int x,
                                                                   int y, unsigned width, unsigned height,
                                                                   int sendEvent) {
    using Put = int (*)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);
    static const auto forward = nextDefinition<Put>("XShmPutImage", kLibrary);
    const int put = forward(display, drawable, gc, image, sourceX, sourceY, x, y, width, height, sendEvent);
    countFrame();
    return put;
}
