#include "platform/gpu/vulkan/VulkanRenderCommandEncoder.h"

#include "platform/gpu/vulkan/Misuse.h"
#include "platform/gpu/vulkan/VulkanRenderPipelineState.h"

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

VkClearColorValue vulkanClearColor(const ClearColor& color) {
    return {.float32 = {static_cast<float>(color.red), static_cast<float>(color.green), static_cast<float>(color.blue),
                        static_cast<float>(color.alpha)}};
}

} // namespace

void VulkanRenderCommandEncoder::begin(VulkanCommandBuffer* commandBuffer, const VulkanTexture& target,
                                       const RenderPassColorAttachmentDescriptor& attachment) {
    commandBuffer_ = commandBuffer;
    label_.clear();
    hasPipeline_ = false;
    ended_ = false;
    commandBuffer_->commands().beginPass(&target, vulkanLoadOp(attachment.loadAction),
                                          vulkanStoreOp(attachment.storeAction),
                                          vulkanClearColor(attachment.clearColor),
                                          attachment.loadAction != LoadAction::Load);
}

bool VulkanRenderCommandEncoder::isEncoding(const char* call) const {
    if (!ended_ && commandBuffer_) return true;
    reportMisuse(call, "the render encoder was used after endEncoding");
    return false;
}

void VulkanRenderCommandEncoder::setRenderPipelineState(const std::shared_ptr<RenderPipelineState>& pipeline) {
    auto vulkanPipeline = std::dynamic_pointer_cast<VulkanRenderPipelineState>(pipeline);
    if (!isEncoding("setRenderPipelineState") || !vulkanPipeline) return;
    commandBuffer_->commands().bindPipeline(vulkanPipeline->handle());
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
    commandBuffer_->commands().pushConstants(stage, offset, bytes, static_cast<std::uint32_t>(length));
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
    fragmentTexture_ = vulkanTexture.get();
    commandBuffer_->retain(std::move(vulkanTexture));
    fragmentResourcesChanged_ = true;
}

void VulkanRenderCommandEncoder::setFragmentSamplerState(const std::shared_ptr<SamplerState>& sampler,
                                                         std::size_t index) {
    auto vulkanSampler = std::dynamic_pointer_cast<VulkanSamplerState>(sampler);
    if (!isEncoding("setFragmentSamplerState") || index != 0 || !vulkanSampler) return;
    fragmentSampler_ = vulkanSampler.get();
    commandBuffer_->retain(std::move(vulkanSampler));
    fragmentResourcesChanged_ = true;
}

void VulkanRenderCommandEncoder::pushFragmentResources() {
    if (!fragmentResourcesChanged_) return;
    fragmentResourcesChanged_ = false;
    commandBuffer_->commands().pushFragmentResources(fragmentTexture_, fragmentSampler_);
}

void VulkanRenderCommandEncoder::drawPrimitives(PrimitiveType, std::size_t vertexStart, std::size_t vertexCount) {
    if (!isEncoding("drawPrimitives") || vertexCount == 0) return;
    if (!hasPipeline_) {
        reportMisuse("drawPrimitives", "no render pipeline state was set");
        return;
    }
    pushFragmentResources();
    commandBuffer_->commands().draw(static_cast<std::uint32_t>(vertexCount), static_cast<std::uint32_t>(vertexStart));
}

void VulkanRenderCommandEncoder::endEncoding() {
    if (ended_ || !commandBuffer_) return;
    ended_ = true;
    commandBuffer_->commands().endPass();
    fragmentTexture_ = nullptr;
    fragmentSampler_ = nullptr;
    fragmentResourcesChanged_ = false;
}

} // namespace gpu::vulkan
