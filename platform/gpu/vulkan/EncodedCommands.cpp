#include "platform/gpu/vulkan/EncodedCommands.h"

#include "platform/gpu/vulkan/Barriers.h"
#include "platform/gpu/vulkan/VulkanSamplerState.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <array>

namespace gpu::vulkan {

namespace {

VkWriteDescriptorSet descriptorWrite(std::uint32_t binding, VkDescriptorType type, const VkDescriptorImageInfo* image) {
    return {
        .sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET,
        .dstBinding = binding,
        .descriptorCount = 1,
        .descriptorType = type,
        .pImageInfo = image,
    };
}

} // namespace

void EncodedCommands::beginPass(const VulkanTexture* target, VkAttachmentLoadOp load, VkAttachmentStoreOp store,
                                VkClearColorValue clearColor, bool discardContents) {
    Command command{.kind = Kind::BeginPass};
    command.beginPass = {target, load, store, clearColor, discardContents};
    commands_.push_back(command);
}

void EncodedCommands::bindPipeline(VkPipeline pipeline) {
    Command command{.kind = Kind::BindPipeline};
    command.pipeline = pipeline;
    commands_.push_back(command);
}

void EncodedCommands::pushConstants(VkShaderStageFlags stage, std::uint32_t offset, const void* bytes,
                                    std::uint32_t length) {
    Command command{.kind = Kind::PushConstants};
    command.pushConstants = {stage, offset, length, static_cast<std::uint32_t>(bytes_.size())};
    const auto* first = static_cast<const std::byte*>(bytes);
    bytes_.insert(bytes_.end(), first, first + length);
    commands_.push_back(command);
}

void EncodedCommands::pushFragmentResources(const VulkanTexture* texture, const VulkanSamplerState* sampler) {
    Command command{.kind = Kind::PushFragmentResources};
    command.fragmentResources = {texture, sampler};
    commands_.push_back(command);
}

void EncodedCommands::draw(std::uint32_t vertexCount, std::uint32_t firstVertex) {
    Command command{.kind = Kind::Draw};
    command.draw = {vertexCount, firstVertex};
    commands_.push_back(command);
}

void EncodedCommands::endPass() { commands_.push_back({.kind = Kind::EndPass}); }

void EncodedCommands::clear() {
    commands_.clear();
    bytes_.clear();
}

void EncodedCommands::recordInto(VkCommandBuffer commandBuffer, const LogicalDevice& logicalDevice) const {
    const VulkanTexture* target = nullptr;
    for (const auto& command : commands_) {
        switch (command.kind) {
        case Kind::BeginPass:
            target = command.beginPass.target;
            recordBeginPass(commandBuffer, command.beginPass);
            break;
        case Kind::BindPipeline:
            vkCmdBindPipeline(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, command.pipeline);
            break;
        case Kind::PushConstants: {
            const auto& push = command.pushConstants;
            vkCmdPushConstants(commandBuffer, logicalDevice.pipelineLayout(), push.stage, push.offset, push.length,
                               bytes_.data() + push.firstByte);
            break;
        }
        case Kind::PushFragmentResources:
            recordFragmentResources(commandBuffer, logicalDevice, command.fragmentResources);
            break;
        case Kind::Draw:
            vkCmdDraw(commandBuffer, command.draw.vertexCount, 1, command.draw.firstVertex, 0);
            break;
        case Kind::EndPass:
            vkCmdEndRendering(commandBuffer);
            target->recordAttachmentEnd(commandBuffer);
            break;
        }
    }
}

// The viewport is flipped, so that y = +1 is the top edge and the first row
// in memory.
void EncodedCommands::recordBeginPass(VkCommandBuffer commandBuffer, const BeginPassArguments& pass) const {
    pass.target->recordAttachmentBegin(commandBuffer, pass.discardContents);
    const VkRenderingAttachmentInfo color{
        .sType = VK_STRUCTURE_TYPE_RENDERING_ATTACHMENT_INFO,
        .imageView = pass.target->view(),
        .imageLayout = kColorAttachmentImage.layout,
        .loadOp = pass.load,
        .storeOp = pass.store,
        .clearValue = {.color = pass.clearColor},
    };
    const VkRect2D renderArea{.offset = {0, 0}, .extent = pass.target->extent()};
    const VkRenderingInfo rendering{
        .sType = VK_STRUCTURE_TYPE_RENDERING_INFO,
        .renderArea = renderArea,
        .layerCount = 1,
        .colorAttachmentCount = 1,
        .pColorAttachments = &color,
    };
    vkCmdBeginRendering(commandBuffer, &rendering);

    const auto width = static_cast<float>(renderArea.extent.width);
    const auto height = static_cast<float>(renderArea.extent.height);
    const VkViewport viewport{.x = 0.0f, .y = height, .width = width, .height = -height, .minDepth = 0.0f, .maxDepth = 1.0f};
    vkCmdSetViewport(commandBuffer, 0, 1, &viewport);
    vkCmdSetScissor(commandBuffer, 0, 1, &renderArea);
}

// A sampled texture rests in its sampled layout, made visible to fragment
// shaders by the barrier that ended the pass that wrote it, so pushing its
// descriptor is all a draw needs.
void EncodedCommands::recordFragmentResources(VkCommandBuffer commandBuffer, const LogicalDevice& logicalDevice,
                                              const FragmentResourcesArguments& resources) const {
    std::array<VkDescriptorImageInfo, 2> images{};
    std::array<VkWriteDescriptorSet, 2> writes{};
    std::uint32_t count = 0;
    if (resources.texture) {
        images[count] = {.imageView = resources.texture->view(), .imageLayout = kSampledImage.layout};
        writes[count] = descriptorWrite(kSampledImageBinding, VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE, &images[count]);
        ++count;
    }
    if (resources.sampler) {
        images[count] = {.sampler = resources.sampler->handle()};
        writes[count] = descriptorWrite(kSamplerBinding, VK_DESCRIPTOR_TYPE_SAMPLER, &images[count]);
        ++count;
    }
    logicalDevice.pushDescriptorSet(commandBuffer, count, writes.data());
}

} // namespace gpu::vulkan
