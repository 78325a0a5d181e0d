#include "tests/support/VulkanFaults.h"

#include <dlfcn.h>
#include <vulkan/vulkan.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<bool> deviceLost = false;

std::atomic<bool> watchingThreads = false;
std::mutex submittingMutex;
std::vector<std::thread::id> submittingThreads;

// The loader's definition, which this executable's one displaces.
PFN_vkQueueSubmit2 loaderQueueSubmit2() {
    static const auto loader = reinterpret_cast<PFN_vkQueueSubmit2>(dlsym(RTLD_NEXT, "vkQueueSubmit2"));
    if (!loader) {
        std::fprintf(stderr, "Vulkan faults: the loader defines no vkQueueSubmit2\n");
        std::abort();
    }
    return loader;
}

} // namespace

LoseDeviceOnSubmit::LoseDeviceOnSubmit() { deviceLost = true; }

LoseDeviceOnSubmit::~LoseDeviceOnSubmit() { deviceLost = false; }

SubmittingThreads::SubmittingThreads() { watchingThreads = true; }

SubmittingThreads::~SubmittingThreads() {
    watchingThreads = false;
    std::lock_guard lock(submittingMutex);
    submittingThreads.clear();
}

std::vector<std::thread::id> SubmittingThreads::seen() const {
    std::lock_guard lock(submittingMutex);
    return submittingThreads;
}

// Exported, so the platform library finds it before the loader's.
extern "C" __attribute__((visibility("default"))) VkResult VKAPI_CALL vkQueueSubmit2(VkQueue queue, uint32_t submitCount,
                                                         const VkSubmitInfo2* submits, VkFence fence) {
    if (watchingThreads) {
        std::lock_guard lock(submittingMutex);
        submittingThreads.push_back(std::this_thread::get_id());
    }
    if (deviceLost) return VK_ERROR_DEVICE_LOST;
    return loaderQueueSubmit2()(queue, submitCount, submits, fence);
}
