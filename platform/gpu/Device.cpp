#include "platform/gpu/Device.h"

#include "platform/gpu/vulkan/VulkanDevice.h"

namespace gpu {

namespace {

// Created once and never destroyed, like the other process-wide objects.
DeviceOptions& storedOptions() {
    static auto* options = new DeviceOptions();
    return *options;
}

} // namespace

std::shared_ptr<Device> Device::createSystemDefaultDevice() { return vulkan::VulkanDevice::create(deviceOptions()); }

void setDeviceOptions(DeviceOptions options) { storedOptions() = std::move(options); }

const DeviceOptions& deviceOptions() { return storedOptions(); }

} // namespace gpu
