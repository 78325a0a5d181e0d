#include "platform/gpu/vulkan/LogicalDevice.h"

#include "platform/gpu/DeviceLossAnnouncement.h"
#include "platform/gpu/RenderCommandEncoder.h"
#include "platform/gpu/vulkan/PhysicalDeviceSelection.h"
#include "platform/gpu/vulkan/VulkanExtensions.h"

#include <array>
#include <vector>

namespace gpu::vulkan {

static_assert(kFragmentPushConstantsOffset == kMaxVertexBytes);
static_assert(kFragmentPushConstantsSize == kMaxFragmentBytes);

std::shared_ptr<LogicalDevice> LogicalDevice::create(const DeviceOptions& options) {
    std::shared_ptr<LogicalDevice> logicalDevice(new LogicalDevice());
    logicalDevice->instance_ = VulkanInstance::create(options);
    if (!logicalDevice->instance_ || !logicalDevice->openDevice(options)) return nullptr;
    if (logicalDevice->createSharedLayouts() != VK_SUCCESS) return nullptr;
    logicalDevice->pipelineCache_ = std::make_unique<PipelineCache>(logicalDevice->device_, logicalDevice->properties_);
    return logicalDevice;
}

bool LogicalDevice::openDevice(const DeviceOptions& options) {
    const NativeDisplay& display = options.presentationDisplay;
    const bool presents = display.display && instance_->hasSurfacesFor(display.system);
    const auto choice =
        choosePhysicalDevice(instance_->handle(), options.allowSoftwareDevice, presents ? display : NativeDisplay{});
    if (!choice) return false;
    physicalDevice_ = choice->physicalDevice;
    queueFamily_ = choice->queueFamily;
    vkGetPhysicalDeviceProperties(physicalDevice_, &properties_);
    vkGetPhysicalDeviceMemoryProperties(physicalDevice_, &memoryProperties_);

    // Without swapchains the device still draws off screen.
    canPresent_ = ExtensionSet::ofDevice(physicalDevice_).contains(VK_KHR_SWAPCHAIN_EXTENSION_NAME);
    std::vector<const char*> extensions{VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME};
    if (canPresent_) extensions.push_back(VK_KHR_SWAPCHAIN_EXTENSION_NAME);
    // A CPU device draws into the process's memory: frames can land right
    // in memory it shares with the display server.
    const bool importsHostMemory =
        isCpuDevice() && ExtensionSet::ofDevice(physicalDevice_).contains(VK_EXT_EXTERNAL_MEMORY_HOST_EXTENSION_NAME);
    if (importsHostMemory) extensions.push_back(VK_EXT_EXTERNAL_MEMORY_HOST_EXTENSION_NAME);

    const float priority = 1.0f;
    const VkDeviceQueueCreateInfo queueInfo{
        .sType = VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO,
        .queueFamilyIndex = queueFamily_,
        .queueCount = 1,
        .pQueuePriorities = &priority,
    };
    VkPhysicalDeviceVulkan13Features features13{
        .sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_3_FEATURES,
        .synchronization2 = VK_TRUE,
        .dynamicRendering = VK_TRUE,
        // A vertex program that serves several fragment programs may hand
        // on more than each of them reads.
        .maintenance4 = VK_TRUE,
    };
    VkPhysicalDeviceVulkan12Features features12{
        .sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_2_FEATURES,
        .pNext = &features13,
        .timelineSemaphore = VK_TRUE,
    };
    const VkDeviceCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO,
        .pNext = &features12,
        .queueCreateInfoCount = 1,
        .pQueueCreateInfos = &queueInfo,
        .enabledExtensionCount = static_cast<std::uint32_t>(extensions.size()),
        .ppEnabledExtensionNames = extensions.data(),
    };
    if (vkCreateDevice(physicalDevice_, &info, nullptr, &device_) != VK_SUCCESS) {
        device_ = VK_NULL_HANDLE;
        return false;
    }
    vkGetDeviceQueue(device_, queueFamily_, 0, &queue_);
    cmdPushDescriptorSet_ =
        reinterpret_cast<PFN_vkCmdPushDescriptorSetKHR>(vkGetDeviceProcAddr(device_, "vkCmdPushDescriptorSetKHR"));
    if (importsHostMemory) enableHostMemoryImport();
    return cmdPushDescriptorSet_ != nullptr;
}

VkResult LogicalDevice::createSharedLayouts() {
    const std::array bindings = {
        VkDescriptorSetLayoutBinding{
            .binding = kSampledImageBinding,
            .descriptorType = VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE,
            .descriptorCount = 1,
            .stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT,
        },
        VkDescriptorSetLayoutBinding{
            .binding = kSamplerBinding,
            .descriptorType = VK_DESCRIPTOR_TYPE_SAMPLER,
            .descriptorCount = 1,
            .stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT,
        },
    };
    const VkDescriptorSetLayoutCreateInfo setInfo{
        .sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO,
        .flags = VK_DESCRIPTOR_SET_LAYOUT_CREATE_PUSH_DESCRIPTOR_BIT_KHR,
        .bindingCount = static_cast<std::uint32_t>(bindings.size()),
        .pBindings = bindings.data(),
    };
    if (VkResult result = vkCreateDescriptorSetLayout(device_, &setInfo, nullptr, &descriptorSetLayout_);
        result != VK_SUCCESS) {
        descriptorSetLayout_ = VK_NULL_HANDLE;
        return result;
    }

    const std::array ranges = {
        VkPushConstantRange{
            .stageFlags = VK_SHADER_STAGE_VERTEX_BIT,
            .offset = kVertexPushConstantsOffset,
            .size = static_cast<std::uint32_t>(kMaxVertexBytes),
        },
        VkPushConstantRange{
            .stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT,
            .offset = kFragmentPushConstantsOffset,
            .size = kFragmentPushConstantsSize,
        },
    };
    const VkPipelineLayoutCreateInfo layoutInfo{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO,
        .setLayoutCount = 1,
        .pSetLayouts = &descriptorSetLayout_,
        .pushConstantRangeCount = static_cast<std::uint32_t>(ranges.size()),
        .pPushConstantRanges = ranges.data(),
    };
    VkResult result = vkCreatePipelineLayout(device_, &layoutInfo, nullptr, &pipelineLayout_);
    if (result != VK_SUCCESS) pipelineLayout_ = VK_NULL_HANDLE;
    return result;
}

LogicalDevice::~LogicalDevice() {
    if (device_) {
        vkDeviceWaitIdle(device_);
        if (pipelineCache_) pipelineCache_->save();
        pipelineCache_.reset();
        if (pipelineLayout_) vkDestroyPipelineLayout(device_, pipelineLayout_, nullptr);
        if (descriptorSetLayout_) vkDestroyDescriptorSetLayout(device_, descriptorSetLayout_, nullptr);
        vkDestroyDevice(device_, nullptr);
    }
    instance_.reset();
}

VkResult LogicalDevice::noteResult(VkResult result) {
    if (result == VK_ERROR_DEVICE_LOST && !lost_.exchange(true)) announceDeviceOrSurfaceLost();
    return result;
}

std::optional<std::uint32_t> LogicalDevice::memoryTypeIndex(std::uint32_t allowedTypes,
                                                            VkMemoryPropertyFlags properties) const {
    for (std::uint32_t index = 0; index < memoryProperties_.memoryTypeCount; ++index) {
        const bool allowed = allowedTypes & (1u << index);
        if (allowed && (memoryProperties_.memoryTypes[index].propertyFlags & properties) == properties) return index;
    }
    return std::nullopt;
}

VkResult LogicalDevice::allocateMemory(const VkMemoryRequirements& requirements, VkMemoryPropertyFlags properties,
                                       VkDeviceMemory* memory) const {
    const auto type = memoryTypeIndex(requirements.memoryTypeBits, properties);
    if (!type) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
    const VkMemoryAllocateInfo info{
        .sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO,
        .allocationSize = requirements.size,
        .memoryTypeIndex = *type,
    };
    return vkAllocateMemory(device_, &info, nullptr, memory);
}

void LogicalDevice::enableHostMemoryImport() {
    VkPhysicalDeviceExternalMemoryHostPropertiesEXT hostProperties{
        .sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_EXTERNAL_MEMORY_HOST_PROPERTIES_EXT};
    VkPhysicalDeviceProperties2 properties{.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2,
                                           .pNext = &hostProperties};
    vkGetPhysicalDeviceProperties2(physicalDevice_, &properties);
    hostMemoryAlignment_ = hostProperties.minImportedHostPointerAlignment;
    getMemoryHostPointerProperties_ = reinterpret_cast<PFN_vkGetMemoryHostPointerPropertiesEXT>(
        vkGetDeviceProcAddr(device_, "vkGetMemoryHostPointerPropertiesEXT"));
}

VkResult LogicalDevice::importHostMemory(void* pointer, VkDeviceSize size, std::uint32_t allowedTypes,
                                         VkDeviceMemory* memory) const {
    if (!getMemoryHostPointerProperties_) return VK_ERROR_EXTENSION_NOT_PRESENT;
    constexpr auto kHostMemory = VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT;
    VkMemoryHostPointerPropertiesEXT pointerProperties{.sType = VK_STRUCTURE_TYPE_MEMORY_HOST_POINTER_PROPERTIES_EXT};
    if (VkResult result = getMemoryHostPointerProperties_(device_, kHostMemory, pointer, &pointerProperties);
        result != VK_SUCCESS) {
        return result;
    }
    const auto type = memoryTypeIndex(pointerProperties.memoryTypeBits & allowedTypes,
                                      VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    if (!type) return VK_ERROR_INVALID_EXTERNAL_HANDLE;
    const VkImportMemoryHostPointerInfoEXT import{
        .sType = VK_STRUCTURE_TYPE_IMPORT_MEMORY_HOST_POINTER_INFO_EXT,
        .handleType = kHostMemory,
        .pHostPointer = pointer,
    };
    const VkMemoryAllocateInfo info{
        .sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO,
        .pNext = &import,
        .allocationSize = size,
        .memoryTypeIndex = *type,
    };
    return vkAllocateMemory(device_, &info, nullptr, memory);
}

void LogicalDevice::pushDescriptorSet(VkCommandBuffer commandBuffer, std::uint32_t writeCount,
                                      const VkWriteDescriptorSet* writes) const {
    cmdPushDescriptorSet_(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipelineLayout_, 0, writeCount, writes);
}

} // namespace gpu::vulkan
