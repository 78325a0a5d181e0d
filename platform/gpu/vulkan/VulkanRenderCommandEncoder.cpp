#include "platform/gpu/vulkan/VulkanRenderCommandEncoder.h"

#include "platform/gpu/vulkan/VulkanRenderPipelineState.h"

#include <array>

namespace gpu::vulkan {

namespace {

VkAttachmentLoadOp vulkanLoadOp(LoadAction action) {
    switch (action) {
    case LoadAction::Load: return VK_ATTACHMENT_LOAD_OP_LOAD;
    case LoadAction::Clear: return VK_ATTACHMENT_LOAD_OP_CLEAR;
    case LoadAction::DontCare: break;
    }
    return VK_ATTACHMENT_LOAD_OP_DONT_CARE;
}

VkAttachmentStoreOp vulkanStoreOp(StoreAction action) {
    return action == StoreAction::Store ? VK_ATTACHMENT_STORE_OP_STORE : VK_ATTACHMENT_STORE_OP_DONT_CARE;
}

VkClearValue vulkanClearValue(const ClearColor& color) {
    VkClearValue value{};
    value.color.float32[0] = static_cast<float>(color.red);
    value.color.float32[1] = static_cast<float>(color.green);
    value.color.float32[2] = static_cast<float>(color.blue);
    value.color.float32[3] = static_cast<float>(color.alpha);
    return value;
}

} // namespace

VulkanRenderCommandEncoder::VulkanRenderCommandEncoder(std::shared_ptr<VulkanCommandBuffer> commandBuffer,
                                                       std::shared_ptr<VulkanTexture> target)
    : commandBuffer_(std::move(commandBuffer)), recording_(commandBuffer_->handle()), target_(std::move(target)) {}

std::shared_ptr<VulkanRenderCommandEncoder> VulkanRenderCommandEncoder::begin(
    std::shared_ptr<VulkanCommandBuffer> commandBuffer, std::shared_ptr<VulkanTexture> target,
    const RenderPassColorAttachmentDescriptor& attachment) {
    std::shared_ptr<VulkanRenderCommandEncoder> encoder(
        new VulkanRenderCommandEncoder(std::move(commandBuffer), std::move(target)));
    encoder->beginRendering(attachment);
    return encoder;
}

void VulkanRenderCommandEncoder::beginRendering(const RenderPassColorAttachmentDescriptor& attachment) {
    target_->recordAttachmentBegin(recording_, attachment.loadAction != LoadAction::Load);

    VkRenderingAttachmentInfo color{VK_STRUCTURE_TYPE_RENDERING_ATTACHMENT_INFO};
    color.imageView = target_->view();
    color.imageLayout = kColorAttachmentImage.layout;
    color.loadOp = vulkanLoadOp(attachment.loadAction);
    color.storeOp = vulkanStoreOp(attachment.storeAction);
    color.clearValue = vulkanClearValue(attachment.clearColor);
    const VkExtent2D extent = target_->extent();
    VkRenderingInfo rendering{VK_STRUCTURE_TYPE_RENDERING_INFO};
    rendering.renderArea = {{0, 0}, extent};
    rendering.layerCount = 1;
    rendering.colorAttachmentCount = 1;
    rendering.pColorAttachments = &color;
    vkCmdBeginRendering(recording_, &rendering);

    const auto width = static_cast<float>(extent.width);
    const auto height = static_cast<float>(extent.height);
    const VkViewport viewport{0.0f, height, width, -height, 0.0f, 1.0f};
    vkCmdSetViewport(recording_, 0, 1, &viewport);
    vkCmdSetScissor(recording_, 0, 1, &rendering.renderArea);
}

VulkanRenderCommandEncoder::~VulkanRenderCommandEncoder() { endEncoding(); }

void VulkanRenderCommandEncoder::setRenderPipelineState(const std::shared_ptr<RenderPipelineState>& pipeline) {
    auto vulkanPipeline = std::dynamic_pointer_cast<VulkanRenderPipelineState>(pipeline);
    if (ended_ || !vulkanPipeline) return;
    vkCmdBindPipeline(recording_, VK_PIPELINE_BIND_POINT_GRAPHICS, vulkanPipeline->handle());
    commandBuffer_->retain(std::move(vulkanPipeline));
}

void VulkanRenderCommandEncoder::pushConstants(VkShaderStageFlags stage, std::uint32_t offset, std::size_t maxLength,
                                               const void* bytes, std::size_t length, std::size_t index) {
    // Push constants are written in whole 32-bit words.
    const bool fits = index == 0 && bytes && length > 0 && length <= maxLength && length % sizeof(float) == 0;
    if (ended_ || !fits) return;
    vkCmdPushConstants(recording_, commandBuffer_->context().pipelineLayout(), stage, offset,
                       static_cast<std::uint32_t>(length), bytes);
}

void VulkanRenderCommandEncoder::setVertexBytes(const void* bytes, std::size_t length, std::size_t index) {
    pushConstants(VK_SHADER_STAGE_VERTEX_BIT, kVertexPushConstantsOffset, kMaxVertexBytes, bytes, length, index);
}

void VulkanRenderCommandEncoder::setFragmentBytes(const void* bytes, std::size_t length, std::size_t index) {
    pushConstants(VK_SHADER_STAGE_FRAGMENT_BIT, kFragmentPushConstantsOffset, kMaxFragmentBytes, bytes, length,
                  index);
}

void VulkanRenderCommandEncoder::setFragmentTexture(const std::shared_ptr<Texture>& texture, std::size_t index) {
    auto vulkanTexture = std::dynamic_pointer_cast<VulkanTexture>(texture);
    if (ended_ || index != 0 || !vulkanTexture || !(vulkanTexture->usage() & TextureUsageShaderRead)) return;
    commandBuffer_->retain(vulkanTexture);
    fragmentTexture_ = std::move(vulkanTexture);
    fragmentResourcesChanged_ = true;
}

void VulkanRenderCommandEncoder::setFragmentSamplerState(const std::shared_ptr<SamplerState>& sampler,
                                                         std::size_t index) {
    auto vulkanSampler = std::dynamic_pointer_cast<VulkanSamplerState>(sampler);
    if (ended_ || index != 0 || !vulkanSampler) return;
    commandBuffer_->retain(vulkanSampler);
    fragmentSampler_ = std::move(vulkanSampler);
    fragmentResourcesChanged_ = true;
}

// A sampled texture rests in its sampled layout, made visible to fragment
// shaders by the barrier that ended the pass that wrote it, so pushing its
// descriptor is all a draw needs.
void VulkanRenderCommandEncoder::pushFragmentResources() {
    if (!fragmentResourcesChanged_) return;
    fragmentResourcesChanged_ = false;
    std::array<VkDescriptorImageInfo, 2> images{};
    std::array<VkWriteDescriptorSet, 2> writes{};
    std::uint32_t count = 0;
    if (fragmentTexture_) {
        images[count] = {VK_NULL_HANDLE, fragmentTexture_->view(), kSampledImage.layout};
        writes[count] = {VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET, nullptr, VK_NULL_HANDLE, kSampledImageBinding, 0, 1,
                         VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE, &images[count], nullptr, nullptr};
        ++count;
    }
    if (fragmentSampler_) {
        images[count] = {fragmentSampler_->handle(), VK_NULL_HANDLE, VK_IMAGE_LAYOUT_UNDEFINED};
        writes[count] = {VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET, nullptr, VK_NULL_HANDLE, kSamplerBinding, 0, 1,
                         VK_DESCRIPTOR_TYPE_SAMPLER, &images[count], nullptr, nullptr};
        ++count;
    }
    commandBuffer_->context().pushDescriptorSet(recording_, count, writes.data());
}

void VulkanRenderCommandEncoder::drawPrimitives(PrimitiveType, std::size_t vertexStart, std::size_t vertexCount) {
    if (ended_ || vertexCount == 0) return;
    pushFragmentResources();
    vkCmdDraw(recording_, static_cast<std::uint32_t>(vertexCount), 1, static_cast<std::uint32_t>(vertexStart), 0);
}

void VulkanRenderCommandEncoder::endEncoding() {
    if (ended_) return;
    ended_ = true;
    vkCmdEndRendering(recording_);
    target_->recordAttachmentEnd(recording_);
}

} // namespace gpu::vulkan
