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

VulkanSamplerState::VulkanSamplerState(std::shared_ptr<VulkanContext> context, std::string label,
                                       VkSampler sampler)
    : context_(std::move(context)), label_(std::move(label)), sampler_(sampler) {}

std::shared_ptr<VulkanSamplerState> VulkanSamplerState::create(std::shared_ptr<VulkanContext> context,
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
    if (vkCreateSampler(context->device(), &info, nullptr, &sampler) != VK_SUCCESS) return nullptr;
    return std::shared_ptr<VulkanSamplerState>(new VulkanSamplerState(std::move(context), descriptor.label, sampler));
}

VulkanSamplerState::~VulkanSamplerState() { vkDestroySampler(context_->device(), sampler_, nullptr); }

} // namespace gpu::vulkan
