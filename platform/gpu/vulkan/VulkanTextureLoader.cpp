#include "platform/gpu/vulkan/VulkanTextureLoader.h"

#include "platform/gpu/vulkan/HostBuffer.h"
#include "platform/gpu/vulkan/PixelFormats.h"
#include "platform/gpu/vulkan/VulkanError.h"

#include <cstring>

namespace gpu::vulkan {

namespace {

constexpr const char* kOperation = "Loading a texture";

bool isUsable(const CPUImage& image) {
    return image.width > 0 && image.height > 0 && image.pixels && image.bytesPerRow >= image.width * kBytesPerPixel;
}

// Rows in texture order: a bottom-left image is stored bottom row first.
void copyRows(const CPUImage& image, TextureLoaderOrigin origin, std::byte* destination) {
    const std::size_t rowLength = image.width * kBytesPerPixel;
    for (std::uint32_t row = 0; row < image.height; ++row) {
        const std::uint32_t sourceRow = origin == TextureLoaderOrigin::BottomLeft ? image.height - 1 - row : row;
        std::memcpy(destination + row * rowLength, image.pixels + sourceRow * image.bytesPerRow, rowLength);
    }
}

} // namespace

VulkanTextureLoader::VulkanTextureLoader(std::shared_ptr<LogicalDevice> logicalDevice,
                                         std::shared_ptr<ImmediateCommands> commands)
    : logicalDevice_(std::move(logicalDevice)), commands_(std::move(commands)) {}

std::shared_ptr<Texture> VulkanTextureLoader::newTextureWithImage(const CPUImage& image,
                                                                 const TextureLoaderOptions& options,
                                                                 foundation::ErrorRef* error) {
    if (!isUsable(image)) {
        reportError(error, vulkanError(kOperation, VK_ERROR_INITIALIZATION_FAILED, "the image has no pixels"));
        return nullptr;
    }
    auto descriptor = TextureDescriptor::texture2DDescriptor(
        options.SRGB ? PixelFormat::RGBA8Unorm_sRGB : PixelFormat::RGBA8Unorm, image.width, image.height, false);
    descriptor.usage = options.textureUsage;
    descriptor.storageMode = StorageMode::Private;
    auto texture = VulkanTexture::create(logicalDevice_, descriptor);
    if (!texture) {
        reportError(error, vulkanError(kOperation, VK_ERROR_INITIALIZATION_FAILED,
                                       "no texture of its size with that usage can be made"));
        return nullptr;
    }
    if (auto failure = upload(image, options.origin, *texture)) {
        reportError(error, std::move(failure));
        return nullptr;
    }
    return texture;
}

foundation::ErrorRef VulkanTextureLoader::upload(const CPUImage& image, TextureLoaderOrigin origin,
                                                 const VulkanTexture& texture) {
    VkResult result;
    const auto staging = HostBuffer::create(logicalDevice_, VkDeviceSize{image.width} * image.height * kBytesPerPixel,
                                            VK_BUFFER_USAGE_TRANSFER_SRC_BIT, &result);
    if (!staging) return vulkanError("Allocating the staging buffer", result);
    copyRows(image, origin, staging->data());
    return commands_->submitAndWait([&](VkCommandBuffer commandBuffer) {
        recordImageTransition(commandBuffer, texture.image(), kUndefinedImage, kCopyDestinationImage);
        const VkBufferImageCopy region{
            .imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1},
            .imageExtent = {image.width, image.height, 1},
        };
        vkCmdCopyBufferToImage(commandBuffer, staging->handle(), texture.image(), kCopyDestinationImage.layout, 1,
                               &region);
        recordImageTransition(commandBuffer, texture.image(), kCopyDestinationImage, texture.restingState());
    });
}

} // namespace gpu::vulkan
