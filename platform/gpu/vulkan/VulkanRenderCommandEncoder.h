#pragma once

#include "platform/gpu/RenderCommandEncoder.h"
#include "platform/gpu/vulkan/VulkanCommandBuffer.h"
#include "platform/gpu/vulkan/VulkanSamplerState.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <vulkan/vulkan.h>

#include <memory>
#include <string>

namespace gpu::vulkan {

// One dynamic-rendering pass, encoded into its command buffer's list for
// the queue's thread to record. Inline bytes become push constants (vertex
// bytes at offset 0, fragment bytes at 96), the fragment texture and sampler
// push descriptors at the next draw.
//
// A record of its command buffer, which owns it and begins it again for
// another pass once nobody else holds it.
class VulkanRenderCommandEncoder final : public RenderCommandEncoder {
public:
    // Begins the pass on the target, which the buffer holds, in the buffer.
    void begin(VulkanCommandBuffer* commandBuffer, const VulkanTexture& target,
               const RenderPassColorAttachmentDescriptor& attachment);
    // The command buffer goes: whatever is asked from now on is misuse.
    void detach() { commandBuffer_ = nullptr; }

    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override { label_.assign(label); }
    void setRenderPipelineState(const std::shared_ptr<RenderPipelineState>& pipeline) override;
    void setVertexBytes(const void* bytes, std::size_t length, std::size_t index) override;
    void setFragmentBytes(const void* bytes, std::size_t length, std::size_t index) override;
    void setFragmentTexture(const std::shared_ptr<Texture>& texture, std::size_t index) override;
    void setFragmentSamplerState(const std::shared_ptr<SamplerState>& sampler, std::size_t index) override;
    void drawPrimitives(PrimitiveType type, std::size_t vertexStart, std::size_t vertexCount) override;
    void endEncoding() override;

    bool hasEnded() const { return ended_; }

private:
    // False, with the misuse reported, once the pass has ended.
    bool isEncoding(const char* call) const;
    void pushConstants(VkShaderStageFlags stage, std::uint32_t offset, std::size_t maxLength, const void* bytes,
                       std::size_t length, std::size_t index);
    void pushFragmentResources();

    // Not owned: it owns this.
    VulkanCommandBuffer* commandBuffer_ = nullptr;
    // Held by the command buffer, which keeps what its passes use.
    const VulkanTexture* fragmentTexture_ = nullptr;
    const VulkanSamplerState* fragmentSampler_ = nullptr;
    bool fragmentResourcesChanged_ = false;
    bool hasPipeline_ = false;
    bool ended_ = true;
    std::string label_;
};

} // namespace gpu::vulkan
