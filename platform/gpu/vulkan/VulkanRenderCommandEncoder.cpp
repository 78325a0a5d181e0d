#include "platform/gpu/vulkan/VulkanRenderCommandEncoder.h"

#include "platform/gpu/vulkan/Misuse.h"
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
    return {.color = {.float32 = {static_cast<float>(color.red), static_cast<float>(color.green),
                                  static_cast<float>(color.blue), static_cast<float>(color.alpha)}}};
}

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

void VulkanRenderCommandEncoder::begin(VulkanCommandBuffer* commandBuffer, std::shared_ptr<VulkanTexture> target,
                                       const RenderPassColorAttachmentDescriptor& attachment) {
    commandBuffer_ = commandBuffer;
    recording_ = commandBuffer->handle();
    target_ = std::move(target);
    label_.clear();
    hasPipeline_ = false;
    ended_ = false;
    beginRendering(attachment);
}

void VulkanRenderCommandEncoder::beginRendering(const RenderPassColorAttachmentDescriptor& attachment) {
    target_->recordAttachmentBegin(recording_, attachment.loadAction != LoadAction::Load);

    const VkRenderingAttachmentInfo color{
        .sType = VK_STRUCTURE_TYPE_RENDERING_ATTACHMENT_INFO,
        .imageView = target_->view(),
        .imageLayout = kColorAttachmentImage.layout,
        .loadOp = vulkanLoadOp(attachment.loadAction),
        .storeOp = vulkanStoreOp(attachment.storeAction),
        .clearValue = vulkanClearValue(attachment.clearColor),
    };
    const VkRect2D renderArea{.offset = {0, 0}, .extent = target_->extent()};
    const VkRenderingInfo rendering{
        .sType = VK_STRUCTURE_TYPE_RENDERING_INFO,
        .renderArea = renderArea,
        .layerCount = 1,
        .colorAttachmentCount = 1,
        .pColorAttachments = &color,
    };
    vkCmdBeginRendering(recording_, &rendering);

    const auto width = static_cast<float>(renderArea.extent.width);
    const auto height = static_cast<float>(renderArea.extent.height);
    const VkViewport viewport{.x = 0.0f, .y = height, .width = width, .height = -height, .minDepth = 0.0f, .maxDepth = 1.0f};
    vkCmdSetViewport(recording_, 0, 1, &viewport);
    vkCmdSetScissor(recording_, 0, 1, &renderArea);
}

bool VulkanRenderCommandEncoder::isEncoding(const char* call) const {
    if (!ended_ && commandBuffer_) return true;
    reportMisuse(call, "the render encoder was used after endEncoding");
    return false;
}

void VulkanRenderCommandEncoder::setRenderPipelineState(const std::shared_ptr<RenderPipelineState>& pipeline) {
    auto vulkanPipeline = std::dynamic_pointer_cast<VulkanRenderPipelineState>(pipeline);
    if (!isEncoding("setRenderPipelineState") || !vulkanPipeline) return;
    vkCmdBindPipeline(recording_, VK_PIPELINE_BIND_POINT_GRAPHICS, vulkanPipeline->handle());
    commandBuffer_->retain(std::move(vulkanPipeline));
    hasPipeline_ = true;
}

void VulkanRenderCommandEncoder::pushConstants(VkShaderStageFlags stage, std::uint32_t offset, std::size_t maxLength,
                                               const void* bytes, std::size_t length, std::size_t index) {
    // Push constants are written in whole 32-bit words.
    const bool fits = index == 0 && bytes && length > 0 && length <= maxLength && length % sizeof(float) == 0;
    if (!isEncoding(stage == VK_SHADER_STAGE_VERTEX_BIT ? "setVertexBytes" : "setFragmentBytes")) return;
    if (!fits) {
        reportMisuse(stage == VK_SHADER_STAGE_VERTEX_BIT ? "setVertexBytes" : "setFragmentBytes",
                     "inline bytes go to index 0, whole 32-bit words, within the stage's limit");
        return;
    }
    vkCmdPushConstants(recording_, commandBuffer_->logicalDevice().pipelineLayout(), stage, offset,
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
    if (!isEncoding("setFragmentTexture") || index != 0 || !vulkanTexture ||
        !(vulkanTexture->usage() & TextureUsageShaderRead)) {
        return;
    }
    commandBuffer_->retain(vulkanTexture);
    fragmentTexture_ = std::move(vulkanTexture);
    fragmentResourcesChanged_ = true;
}

void VulkanRenderCommandEncoder::setFragmentSamplerState(const std::shared_ptr<SamplerState>& sampler,
                                                         std::size_t index) {
    auto vulkanSampler = std::dynamic_pointer_cast<VulkanSamplerState>(sampler);
    if (!isEncoding("setFragmentSamplerState") || index != 0 || !vulkanSampler) return;
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
        images[count] = {.imageView = fragmentTexture_->view(), .imageLayout = kSampledImage.layout};
        writes[count] = descriptorWrite(kSampledImageBinding, VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE, &images[count]);
        ++count;
    }
    if (fragmentSampler_) {
        images[count] = {.sampler = fragmentSampler_->handle()};
        writes[count] = descriptorWrite(kSamplerBinding, VK_DESCRIPTOR_TYPE_SAMPLER, &images[count]);
        ++count;
    }
    commandBuffer_->logicalDevice().pushDescriptorSet(recording_, count, writes.data());
}

void VulkanRenderCommandEncoder::drawPrimitives(PrimitiveType, std::size_t vertexStart, std::size_t vertexCount) {
    if (!isEncoding("drawPrimitives") || vertexCount == 0) return;
    if (!hasPipeline_) {
        reportMisuse("drawPrimitives", "no render pipeline state was set");
        return;
    }
    pushFragmentResources();
    vkCmdDraw(recording_, static_cast<std::uint32_t>(vertexCount), 1, static_cast<std::uint32_t>(vertexStart), 0);
}

// What the pass used stays retained by the command buffer; the encoder
// lets go of it at once.
void VulkanRenderCommandEncoder::endEncoding() {
    if (ended_ || !commandBuffer_) return;
    ended_ = true;
    vkCmdEndRendering(recording_);
    target_->recordAttachmentEnd(recording_);
    target_.reset();
    fragmentTexture_.reset();
    fragmentSampler_.reset();
    fragmentResourcesChanged_ = false;
}

} // namespace gpu::vulkan
