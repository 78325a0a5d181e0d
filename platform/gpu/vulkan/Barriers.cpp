#include "platform/gpu/vulkan/Barriers.h"

namespace gpu::vulkan {

namespace {

void recordBufferBarrier(VkCommandBuffer commandBuffer, VkBuffer buffer, VkPipelineStageFlags2 dstStage,
                         VkAccessFlags2 dstAccess) {
    const VkBufferMemoryBarrier2 barrier{
        .sType = VK_STRUCTURE_TYPE_BUFFER_MEMORY_BARRIER_2,
        .srcStageMask = VK_PIPELINE_STAGE_2_COPY_BIT,
        .srcAccessMask = VK_ACCESS_2_TRANSFER_WRITE_BIT,
        .dstStageMask = dstStage,
        .dstAccessMask = dstAccess,
        .srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED,
        .dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED,
        .buffer = buffer,
        .size = VK_WHOLE_SIZE,
    };
    const VkDependencyInfo dependency{
        .sType = VK_STRUCTURE_TYPE_DEPENDENCY_INFO,
        .bufferMemoryBarrierCount = 1,
        .pBufferMemoryBarriers = &barrier,
    };
    vkCmdPipelineBarrier2(commandBuffer, &dependency);
}

} // namespace

void recordImageTransition(VkCommandBuffer commandBuffer, VkImage image, const ImageState& from,
                           const ImageState& to, bool discardContents) {
    const VkImageMemoryBarrier2 barrier{
        .sType = VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER_2,
        .srcStageMask = from.stages,
        .srcAccessMask = from.access,
        .dstStageMask = to.stages,
        .dstAccessMask = to.access,
        .oldLayout = discardContents ? VK_IMAGE_LAYOUT_UNDEFINED : from.layout,
        .newLayout = to.layout,
        .srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED,
        .dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED,
        .image = image,
        .subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1},
    };
    const VkDependencyInfo dependency{
        .sType = VK_STRUCTURE_TYPE_DEPENDENCY_INFO,
        .imageMemoryBarrierCount = 1,
        .pImageMemoryBarriers = &barrier,
    };
    vkCmdPipelineBarrier2(commandBuffer, &dependency);
}

void recordBufferRewriteBarrier(VkCommandBuffer commandBuffer, VkBuffer buffer) {
    recordBufferBarrier(commandBuffer, buffer, VK_PIPELINE_STAGE_2_COPY_BIT, VK_ACCESS_2_TRANSFER_WRITE_BIT);
}

void recordHostReadBarrier(VkCommandBuffer commandBuffer, VkBuffer buffer) {
    recordBufferBarrier(commandBuffer, buffer, VK_PIPELINE_STAGE_2_HOST_BIT, VK_ACCESS_2_HOST_READ_BIT);
}

} // namespace gpu::vulkan
