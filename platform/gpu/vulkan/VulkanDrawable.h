#pragma once

#include "platform/gpu/Drawable.h"
#include "platform/gpu/vulkan/VulkanQueue.h"

#include <vulkan/vulkan.h>

namespace gpu::vulkan {

// What a command buffer needs of the drawables it presents.
class VulkanDrawable : public Drawable {
public:
    // While the presenting buffer still records: whatever the image needs
    // before it can be shown.
    virtual void recordBeforePresent(VkCommandBuffer) {}
    // What the presenting buffer's submission must wait for, signal and
    // present; nothing for a drawable that is shown nowhere.
    virtual void addToSubmission(SubmissionSync&) {}
    // Called on the completion thread once the buffer that presented the
    // drawable has finished: with the uptime at that moment, or 0 when the
    // buffer failed. Runs the presented handlers.
    virtual void presentationFinished(double presentedTime) = 0;
};

} // namespace gpu::vulkan
