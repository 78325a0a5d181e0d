#include "platform/gpu/vulkan/VulkanSamplerState.h"

namespace gpu::vulkan {

namespace {

VkFilter vulkanFilter(SamplerMinMagFilter filter) {
    return filter == SamplerMinMagFilter::Linear ? VK_FILTER_LINEAR : VK_FILTER_NEAREST;
}

VkSamplerAddressMode vulkanAddressMode(SamplerAddressMode mode) {
    return mode == SamplerAddressMode::Repeat ? VK_SAMPLER_ADDRESS_MODE_REPEAT
                                              : VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
}

} // namespace

VulkanSamplerState::VulkanSamplerState(std::shared_ptr<LogicalDevice> logicalDevice, std::string label,
                                       VkSampler sampler)
    : logicalDevice_(std::move(logicalDevice)), label_(std::move(label)), sampler_(sampler) {}

std::shared_ptr<VulkanSamplerState> VulkanSamplerState::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                               const SamplerDescriptor& descriptor) {
    const VkSamplerCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO,
        .magFilter = vulkanFilter(descriptor.magFilter),
        .minFilter = vulkanFilter(descriptor.minFilter),
        .mipmapMode = VK_SAMPLER_MIPMAP_MODE_NEAREST,
        .addressModeU = vulkanAddressMode(descriptor.sAddressMode),
        .addressModeV = vulkanAddressMode(descriptor.tAddressMode),
        .addressModeW = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE,
        .maxLod = 0.0f,
    };
    VkSampler sampler = VK_NULL_HANDLE;
    if (vkCreateSampler(logicalDevice->device(), &info, nullptr, &sampler) != VK_SUCCESS) return nullptr;
    return std::shared_ptr<VulkanSamplerState>(
        new VulkanSamplerState(std::move(logicalDevice), descriptor.label, sampler));
}

VulkanSamplerState::~VulkanSamplerState() { vkDestroySampler(logicalDevice_->device(), sampler_, nullptr); }

} // namespace gpu::vulkan
