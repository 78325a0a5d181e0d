#pragma once

#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gpu::vulkan {

class VulkanSamplerState;
class VulkanTexture;

// What a command buffer's passes asked for, in a form of our own, until the
// queue's thread records it into Vulkan: the caller's thread only appends
// to two lists, which keep their room from one frame to the next. The
// textures and samplers named here are held by the command buffer.
class EncodedCommands {
public:
    void beginPass(const VulkanTexture* target, VkAttachmentLoadOp load, VkAttachmentStoreOp store,
                   VkClearColorValue clearColor, bool discardContents);
    void bindPipeline(VkPipeline pipeline);
    void pushConstants(VkShaderStageFlags stage, std::uint32_t offset, const void* bytes, std::uint32_t length);
    // Either may be null: only the other is pushed.
    void pushFragmentResources(const VulkanTexture* texture, const VulkanSamplerState* sampler);
    void draw(std::uint32_t vertexCount, std::uint32_t firstVertex);
    void endPass();

    void clear();
    // Records every command, in order, into the buffer.
    void recordInto(VkCommandBuffer commandBuffer, const LogicalDevice& logicalDevice) const;

private:
    enum class Kind : std::uint8_t { BeginPass, BindPipeline, PushConstants, PushFragmentResources, Draw, EndPass };

    struct BeginPassArguments {
        const VulkanTexture* target;
        VkAttachmentLoadOp load;
        VkAttachmentStoreOp store;
        VkClearColorValue clearColor;
        bool discardContents;
    };
    struct PushConstantsArguments {
        VkShaderStageFlags stage;
        std::uint32_t offset;
        std::uint32_t length;
        std::uint32_t firstByte; // in bytes_
    };
    struct FragmentResourcesArguments {
        const VulkanTexture* texture;
        const VulkanSamplerState* sampler;
    };
    struct DrawArguments {
        std::uint32_t vertexCount;
        std::uint32_t firstVertex;
    };
    struct Command {
        Kind kind;
        union {
            BeginPassArguments beginPass;
            VkPipeline pipeline;
            PushConstantsArguments pushConstants;
            FragmentResourcesArguments fragmentResources;
            DrawArguments draw;
        };
    };

    void recordBeginPass(VkCommandBuffer commandBuffer, const BeginPassArguments& pass) const;
    void recordFragmentResources(VkCommandBuffer commandBuffer, const LogicalDevice& logicalDevice,
                                 const FragmentResourcesArguments& resources) const;

    std::vector<Command> commands_;
    std::vector<std::byte> bytes_;
};

} // namespace gpu::vulkan
