#include "platform/gpu/Device.h"

#include "platform/gpu/vulkan/VulkanDevice.h"

#include <cstdlib>
#include <mutex>

namespace gpu {

namespace {

// The process's device and the options it was made under. Created once and
// never destroyed, like the other process-wide objects; the device itself
// goes when the options change or the process has let go of it.
struct SystemDevice {
    std::mutex mutex;
    DeviceOptions options;
    std::shared_ptr<vulkan::VulkanDevice> device;
};

SystemDevice& systemDevice() {
    static auto* shared = new SystemDevice;
    return *shared;
}

} // namespace

std::shared_ptr<Device> Device::createSystemDefaultDevice() {
    auto& shared = systemDevice();
    std::lock_guard lock(shared.mutex);
    if (!shared.device || shared.device->isLost()) shared.device = vulkan::VulkanDevice::create(shared.options);
    // The device goes before the process does, whoever forgets to let go
    // of it: its completion thread is joined and the driver's objects are
    // destroyed while the driver's own threads still run (their exit
    // handlers, registered while the device was made, run after this one).
    static std::once_flag releasedAtExit;
    if (shared.device) std::call_once(releasedAtExit, [] { std::atexit(&releaseSystemDefaultDevice); });
    return shared.device;
}

std::shared_ptr<Device> Device::newIsolatedDevice(const DeviceOptions& options) {
    return vulkan::VulkanDevice::create(options);
}

void setDeviceOptions(DeviceOptions options) {
    auto& shared = systemDevice();
    {
        std::lock_guard lock(shared.mutex);
        shared.options = std::move(options);
    }
    releaseSystemDefaultDevice();
}

void releaseSystemDefaultDevice() {
    auto& shared = systemDevice();
    std::shared_ptr<vulkan::VulkanDevice> previous;
    {
        std::lock_guard lock(shared.mutex);
        previous = std::move(shared.device);
    }
    // Released outside the lock: a device with work in flight finishes it
    // first, and its completions may ask for the device again.
    previous.reset();
}

} // namespace gpu
