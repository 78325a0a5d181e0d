#pragma once

#include "platform/foundation/Error.h"
#include "platform/gpu/RenderPipeline.h"
#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <memory>
#include <string>

namespace gpu::vulkan {

// A graphics pipeline for dynamic rendering into one colour attachment,
// with the shared layout, triangle lists, no culling and a dynamic viewport
// and scissor.
class VulkanRenderPipelineState final : public RenderPipelineState {
public:
    // Null with an error when a function is missing or of the wrong stage,
    // the pixel format is invalid, or the driver cannot build it.
    static std::shared_ptr<VulkanRenderPipelineState> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                             const RenderPipelineDescriptor& descriptor,
                                                             foundation::ErrorRef* error);
    ~VulkanRenderPipelineState() override;

    std::string label() const override { return label_; }
    VkPipeline handle() const { return pipeline_; }

private:
    VulkanRenderPipelineState(std::shared_ptr<LogicalDevice> logicalDevice, std::string label, VkPipeline pipeline);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::string label_;
    VkPipeline pipeline_;
};

} // namespace gpu::vulkan
