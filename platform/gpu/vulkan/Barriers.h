#pragma once

#include <vulkan/vulkan.h>

namespace gpu::vulkan {

// How an image is being used: its layout and the stages and accesses that
// use it that way.
struct ImageState {
    VkImageLayout layout;
    VkPipelineStageFlags2 stages;
    VkAccessFlags2 access;
};

inline constexpr ImageState kUndefinedImage{VK_IMAGE_LAYOUT_UNDEFINED, VK_PIPELINE_STAGE_2_NONE, VK_ACCESS_2_NONE};
inline constexpr ImageState kColorAttachmentImage{
    VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL, VK_PIPELINE_STAGE_2_COLOR_ATTACHMENT_OUTPUT_BIT,
    VK_ACCESS_2_COLOR_ATTACHMENT_READ_BIT | VK_ACCESS_2_COLOR_ATTACHMENT_WRITE_BIT};
inline constexpr ImageState kSampledImage{VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL,
                                          VK_PIPELINE_STAGE_2_FRAGMENT_SHADER_BIT,
                                          VK_ACCESS_2_SHADER_SAMPLED_READ_BIT};
inline constexpr ImageState kCopySourceImage{VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_PIPELINE_STAGE_2_COPY_BIT,
                                             VK_ACCESS_2_TRANSFER_READ_BIT};
// Handed to the presentation engine; the semaphore that gave the image back
// is waited for at the colour output stage, so the next use orders itself
// after that stage.
inline constexpr ImageState kPresentImage{VK_IMAGE_LAYOUT_PRESENT_SRC_KHR,
                                          VK_PIPELINE_STAGE_2_COLOR_ATTACHMENT_OUTPUT_BIT, VK_ACCESS_2_NONE};
// Drawn straight into host memory, which the host reads once the pass that
// drew it has completed.
inline constexpr ImageState kHostReadImage{VK_IMAGE_LAYOUT_GENERAL, VK_PIPELINE_STAGE_2_HOST_BIT,
                                           VK_ACCESS_2_HOST_READ_BIT};
inline constexpr ImageState kCopyDestinationImage{VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_PIPELINE_STAGE_2_COPY_BIT,
                                                  VK_ACCESS_2_TRANSFER_WRITE_BIT};

// Orders every earlier use of the image (in this buffer and in those
// submitted before it) before the next one. With discardContents the old
// contents need not survive, which spares the layout change its copy.
void recordImageTransition(VkCommandBuffer commandBuffer, VkImage image, const ImageState& from,
                           const ImageState& to, bool discardContents = false);

// Orders a copy into the buffer after the copies into it before, also
// those of earlier command buffers.
void recordBufferRewriteBarrier(VkCommandBuffer commandBuffer, VkBuffer buffer);

// Makes copies into the buffer visible to the host once the work completed.
void recordHostReadBarrier(VkCommandBuffer commandBuffer, VkBuffer buffer);

} // namespace gpu::vulkan
