#pragma once

#include "platform/gpu/RenderPipeline.h"
#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <memory>
#include <string>

namespace gpu::vulkan {

// Filtering and addressing without mipmaps, on normalised coordinates.
class VulkanSamplerState final : public SamplerState {
public:
    // Null when the device cannot make another sampler.
    static std::shared_ptr<VulkanSamplerState> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                      const SamplerDescriptor& descriptor);
    ~VulkanSamplerState() override;

    std::string label() const override { return label_; }
    VkSampler handle() const { return sampler_; }

private:
    VulkanSamplerState(std::shared_ptr<LogicalDevice> logicalDevice, std::string label, VkSampler sampler);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::string label_;
    VkSampler sampler_;
};

} // namespace gpu::vulkan
