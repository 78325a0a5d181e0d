#pragma once

#include "platform/gpu/Drawable.h"

namespace gpu::vulkan {

// What a command buffer needs of the drawables it presents.
class VulkanDrawable : public Drawable {
public:
    // Called on the completion thread once the buffer that presented the
    // drawable has finished: with the uptime at that moment, or 0 when the
    // buffer failed. Runs the presented handlers.
    virtual void presentationFinished(double presentedTime) = 0;
};

} // namespace gpu::vulkan
