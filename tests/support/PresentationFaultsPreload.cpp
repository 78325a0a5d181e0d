// Driver results that no real device gives on demand, for a whole program
// under test: loaded with LD_PRELOAD, its vkQueueSubmit2 and
// vkQueuePresentKHR come before the Vulkan loader's. The environment says
// what to break, read by this library alone:
//
//   KORLAN_FLOW_FAULT_LOSE_DEVICE_AT=N   the Nth submission reports the
//       device lost, and so does every later one on that queue: a lost
//       device stays lost, while a device made afterwards works;
//   KORLAN_FLOW_FAULT_LOSE_SURFACE_AT=N  the Nth present reports its
//       surface lost. A CPU device then finds no MIT-SHM on the X server,
//       so that it presents through a swapchain, whose surface there is to
//       lose.
//
// Each fault it gives is told on standard error, once, as
// "presentation faults: …", so the test knows when it happened.
#include "tests/support/NextDefinition.h"

#include <X11/Xlib.h>
#include <vulkan/vulkan.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kLibrary = "presentation faults";

struct Fault {
    const char* variable;
    std::atomic<long> calls = 0;

    // True for the call that the environment names.
    bool isDue() {
        const char* text = std::getenv(variable);
        const long due = text ? std::atol(text) : 0;
        return due > 0 && ++calls == due;
    }
};

Fault loseDevice{"KORLAN_FLOW_FAULT_LOSE_DEVICE_AT"};
Fault loseSurface{"KORLAN_FLOW_FAULT_LOSE_SURFACE_AT"};
std::atomic<VkQueue> lostQueue = VK_NULL_HANDLE;

} // namespace

extern "C" __attribute__((visibility("default"))) VkResult VKAPI_CALL vkQueueSubmit2(VkQueue queue, uint32_t count,
                                                                                     const VkSubmitInfo2* submits,
                                                                                     VkFence fence) {
    static const auto forward = nextDefinition<PFN_vkQueueSubmit2>("vkQueueSubmit2", kLibrary);
    if (loseDevice.isDue()) {
        lostQueue = queue;
        std::fprintf(stderr, "presentation faults: lost the device at submission %ld\n", loseDevice.calls.load());
    }
    if (queue == lostQueue) return VK_ERROR_DEVICE_LOST;
    return forward(queue, count, submits, fence);
}

extern "C" __attribute__((visibility("default"))) VkResult VKAPI_CALL vkQueuePresentKHR(VkQueue queue,
                                                                                        const VkPresentInfoKHR* info) {
    static const auto forward = nextDefinition<PFN_vkQueuePresentKHR>("vkQueuePresentKHR", kLibrary);
    if (queue == lostQueue) return VK_ERROR_DEVICE_LOST;
    // Presented all the same, so the driver's state stays whole; only the
    // answer says otherwise.
    const VkResult result = forward(queue, info);
    if (!loseSurface.isDue()) return result;
    std::fprintf(stderr, "presentation faults: lost the surface at present %ld\n", loseSurface.calls.load());
    return VK_ERROR_SURFACE_LOST_KHR;
}

extern "C" __attribute__((visibility("default"))) Bool XShmQueryExtension(Display* display) {
    static const auto forward = nextDefinition<Bool (*)(Display*)>("XShmQueryExtension", kLibrary);
    return !std::getenv(loseSurface.variable) && forward(display);
}
