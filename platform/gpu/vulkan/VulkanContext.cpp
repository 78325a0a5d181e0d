#include "platform/gpu/vulkan/VulkanContext.h"

#include "platform/gpu/RenderCommandEncoder.h"
#include "platform/gpu/vulkan/PhysicalDeviceSelection.h"

#include <array>

namespace gpu::vulkan {

static_assert(kFragmentPushConstantsOffset == kMaxVertexBytes);
static_assert(kFragmentPushConstantsSize == kMaxFragmentBytes);

std::shared_ptr<VulkanContext> VulkanContext::create(const DeviceOptions& options) {
    std::shared_ptr<VulkanContext> context(new VulkanContext());
    context->instance_ = VulkanInstance::create(options);
    if (!context->instance_ || !context->openDevice(options)) return nullptr;
    if (context->createSharedLayouts() != VK_SUCCESS) return nullptr;
    context->pipelineCache_ = std::make_unique<PipelineCache>(context->device_, context->properties_);
    return context;
}

bool VulkanContext::openDevice(const DeviceOptions& options) {
    const auto choice = choosePhysicalDevice(instance_->handle(), options.allowSoftwareDevice);
    if (!choice) return false;
    physicalDevice_ = choice->physicalDevice;
    queueFamily_ = choice->queueFamily;
    vkGetPhysicalDeviceProperties(physicalDevice_, &properties_);
    vkGetPhysicalDeviceMemoryProperties(physicalDevice_, &memoryProperties_);

    const float priority = 1.0f;
    VkDeviceQueueCreateInfo queueInfo{VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
    queueInfo.queueFamilyIndex = queueFamily_;
    queueInfo.queueCount = 1;
    queueInfo.pQueuePriorities = &priority;

    VkPhysicalDeviceVulkan13Features features13{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_3_FEATURES};
    features13.dynamicRendering = VK_TRUE;
    features13.synchronization2 = VK_TRUE;
    VkPhysicalDeviceVulkan12Features features12{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_2_FEATURES};
    features12.pNext = &features13;
    features12.timelineSemaphore = VK_TRUE;

    const char* extension = VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME;
    VkDeviceCreateInfo info{VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
    info.pNext = &features12;
    info.queueCreateInfoCount = 1;
    info.pQueueCreateInfos = &queueInfo;
    info.enabledExtensionCount = 1;
    info.ppEnabledExtensionNames = &extension;
    if (vkCreateDevice(physicalDevice_, &info, nullptr, &device_) != VK_SUCCESS) {
        device_ = VK_NULL_HANDLE;
        return false;
    }
    vkGetDeviceQueue(device_, queueFamily_, 0, &queue_);
    cmdPushDescriptorSet_ =
        reinterpret_cast<PFN_vkCmdPushDescriptorSetKHR>(vkGetDeviceProcAddr(device_, "vkCmdPushDescriptorSetKHR"));
    return cmdPushDescriptorSet_ != nullptr;
}

VkResult VulkanContext::createSharedLayouts() {
    const std::array bindings = {
        VkDescriptorSetLayoutBinding{kSampledImageBinding, VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE, 1,
                                     VK_SHADER_STAGE_FRAGMENT_BIT, nullptr},
        VkDescriptorSetLayoutBinding{kSamplerBinding, VK_DESCRIPTOR_TYPE_SAMPLER, 1, VK_SHADER_STAGE_FRAGMENT_BIT,
                                     nullptr},
    };
    VkDescriptorSetLayoutCreateInfo setInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO};
    setInfo.flags = VK_DESCRIPTOR_SET_LAYOUT_CREATE_PUSH_DESCRIPTOR_BIT_KHR;
    setInfo.bindingCount = static_cast<std::uint32_t>(bindings.size());
    setInfo.pBindings = bindings.data();
    if (VkResult result = vkCreateDescriptorSetLayout(device_, &setInfo, nullptr, &descriptorSetLayout_);
        result != VK_SUCCESS) {
        descriptorSetLayout_ = VK_NULL_HANDLE;
        return result;
    }

    const std::array ranges = {
        VkPushConstantRange{VK_SHADER_STAGE_VERTEX_BIT, kVertexPushConstantsOffset,
                            static_cast<std::uint32_t>(kMaxVertexBytes)},
        VkPushConstantRange{VK_SHADER_STAGE_FRAGMENT_BIT, kFragmentPushConstantsOffset, kFragmentPushConstantsSize},
    };
    VkPipelineLayoutCreateInfo layoutInfo{VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO};
    layoutInfo.setLayoutCount = 1;
    layoutInfo.pSetLayouts = &descriptorSetLayout_;
    layoutInfo.pushConstantRangeCount = static_cast<std::uint32_t>(ranges.size());
    layoutInfo.pPushConstantRanges = ranges.data();
    VkResult result = vkCreatePipelineLayout(device_, &layoutInfo, nullptr, &pipelineLayout_);
    if (result != VK_SUCCESS) pipelineLayout_ = VK_NULL_HANDLE;
    return result;
}

VulkanContext::~VulkanContext() {
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

std::optional<std::uint32_t> VulkanContext::memoryTypeIndex(std::uint32_t allowedTypes,
                                                            VkMemoryPropertyFlags properties) const {
    for (std::uint32_t index = 0; index < memoryProperties_.memoryTypeCount; ++index) {
        const bool allowed = allowedTypes & (1u << index);
        if (allowed && (memoryProperties_.memoryTypes[index].propertyFlags & properties) == properties) return index;
    }
    return std::nullopt;
}

VkResult VulkanContext::allocateMemory(const VkMemoryRequirements& requirements, VkMemoryPropertyFlags properties,
                                       VkDeviceMemory* memory) const {
    const auto type = memoryTypeIndex(requirements.memoryTypeBits, properties);
    if (!type) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
    VkMemoryAllocateInfo info{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    info.allocationSize = requirements.size;
    info.memoryTypeIndex = *type;
    return vkAllocateMemory(device_, &info, nullptr, memory);
}

void VulkanContext::pushDescriptorSet(VkCommandBuffer commandBuffer, std::uint32_t writeCount,
                                      const VkWriteDescriptorSet* writes) const {
    cmdPushDescriptorSet_(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipelineLayout_, 0, writeCount, writes);
}

} // namespace gpu::vulkan
