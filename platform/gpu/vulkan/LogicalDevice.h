#pragma once

#include "platform/gpu/Device.h"
#include "platform/gpu/vulkan/PipelineCache.h"
#include "platform/gpu/vulkan/VulkanInstance.h"

#include <vulkan/vulkan.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace gpu::vulkan {

// The binding ABI every program of the library is written against: one
// pipeline layout for all pipelines, its descriptors pushed at draw time.
inline constexpr std::uint32_t kVertexPushConstantsOffset = 0;
inline constexpr std::uint32_t kFragmentPushConstantsOffset = 96;
inline constexpr std::uint32_t kFragmentPushConstantsSize = 32;
inline constexpr std::uint32_t kSampledImageBinding = 0;
inline constexpr std::uint32_t kSamplerBinding = 1;

// The Vulkan logical device with its one queue, and what every object made
// on it shares: the pipeline layout above, the pipeline cache, the memory
// types. Each GPU object holds it, so the device outlives everything made
// on it, whichever is released last and on whichever thread.
class LogicalDevice {
public:
    // Null when there is no driver, no usable device, or the device cannot
    // be opened.
    static std::shared_ptr<LogicalDevice> create(const DeviceOptions& options);
    ~LogicalDevice();
    LogicalDevice(const LogicalDevice&) = delete;
    LogicalDevice& operator=(const LogicalDevice&) = delete;

    VkInstance instance() const { return instance_->handle(); }
    VkPhysicalDevice physicalDevice() const { return physicalDevice_; }
    VkDevice device() const { return device_; }
    VkQueue queue() const { return queue_; }
    std::uint32_t queueFamily() const { return queueFamily_; }
    const VkPhysicalDeviceProperties& properties() const { return properties_; }
    VkPipelineLayout pipelineLayout() const { return pipelineLayout_; }
    PipelineCache& pipelineCache() { return *pipelineCache_; }
    // Windows of the system can be presented to: its surfaces and
    // swapchains are there.
    bool canPresentTo(WindowSystem system) const { return canPresent_ && instance_->hasSurfacesFor(system); }

    // Remembers a lost device, whichever call learnt of it, and announces
    // it once; passes the result on.
    VkResult noteResult(VkResult result);
    bool isLost() const { return lost_; }

    // Memory of a type the requirements allow with all the given properties.
    VkResult allocateMemory(const VkMemoryRequirements& requirements, VkMemoryPropertyFlags properties,
                            VkDeviceMemory* memory) const;
    // Whether the device draws on the processor's cores: its memory is the
    // process's own.
    bool isCpuDevice() const { return properties_.deviceType == VK_PHYSICAL_DEVICE_TYPE_CPU; }
    // Whether memory the process already has can become device memory
    // (VK_EXT_external_memory_host), and the alignment its address and size
    // need.
    bool importsHostMemory() const { return getMemoryHostPointerProperties_ != nullptr; }
    VkDeviceSize hostMemoryAlignment() const { return hostMemoryAlignment_; }
    // Device memory over the process's memory at the pointer, of the size;
    // both aligned as above, and of one of the allowed types (a resource's
    // memory requirements). The memory must outlive it.
    VkResult importHostMemory(void* pointer, VkDeviceSize size, std::uint32_t allowedTypes,
                              VkDeviceMemory* memory) const;
    void pushDescriptorSet(VkCommandBuffer commandBuffer, std::uint32_t writeCount,
                           const VkWriteDescriptorSet* writes) const;

private:
    LogicalDevice() = default;
    bool openDevice(const DeviceOptions& options);
    void enableHostMemoryImport();
    VkResult createSharedLayouts();
    std::optional<std::uint32_t> memoryTypeIndex(std::uint32_t allowedTypes, VkMemoryPropertyFlags properties) const;

    std::unique_ptr<VulkanInstance> instance_;
    VkPhysicalDevice physicalDevice_ = VK_NULL_HANDLE;
    VkPhysicalDeviceProperties properties_{};
    VkPhysicalDeviceMemoryProperties memoryProperties_{};
    std::uint32_t queueFamily_ = 0;
    VkDevice device_ = VK_NULL_HANDLE;
    VkQueue queue_ = VK_NULL_HANDLE;
    VkDescriptorSetLayout descriptorSetLayout_ = VK_NULL_HANDLE;
    VkPipelineLayout pipelineLayout_ = VK_NULL_HANDLE;
    std::unique_ptr<PipelineCache> pipelineCache_;
    PFN_vkCmdPushDescriptorSetKHR cmdPushDescriptorSet_ = nullptr;
    PFN_vkGetMemoryHostPointerPropertiesEXT getMemoryHostPointerProperties_ = nullptr;
    VkDeviceSize hostMemoryAlignment_ = 0;
    bool canPresent_ = false;
    std::atomic<bool> lost_ = false;
};

} // namespace gpu::vulkan
