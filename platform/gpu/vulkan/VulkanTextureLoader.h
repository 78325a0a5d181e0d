#pragma once

#include "platform/gpu/TextureLoader.h"
#include "platform/gpu/vulkan/ImmediateCommands.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <memory>

namespace gpu::vulkan {

// Uploads images through a staging buffer and waits until the texture holds
// them, so the caller can draw with it at once.
class VulkanTextureLoader final : public TextureLoader {
public:
    VulkanTextureLoader(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<ImmediateCommands> commands);

    std::shared_ptr<Texture> newTextureWithImage(const CPUImage& image, const TextureLoaderOptions& options,
                                                 foundation::ErrorRef* error = nullptr) override;

private:
    foundation::ErrorRef upload(const CPUImage& image, TextureLoaderOrigin origin, const VulkanTexture& texture);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::shared_ptr<ImmediateCommands> commands_;
};

} // namespace gpu::vulkan
