#include "platform/gpu/vulkan/VulkanTexture.h"

#include "platform/gpu/vulkan/PixelFormats.h"

#include <cstring>

namespace gpu::vulkan {

namespace {

bool isDrawable(std::uint32_t usage) { return usage & (TextureUsageShaderRead | TextureUsageRenderTarget); }

VkImageUsageFlags imageUsage(const TextureDescriptor& descriptor) {
    // Every texture may receive an upload; Shared ones are read back.
    VkImageUsageFlags usage = VK_IMAGE_USAGE_TRANSFER_DST_BIT;
    if (descriptor.usage & TextureUsageShaderRead) usage |= VK_IMAGE_USAGE_SAMPLED_BIT;
    if (descriptor.usage & TextureUsageRenderTarget) usage |= VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT;
    if (descriptor.storageMode == StorageMode::Shared) usage |= VK_IMAGE_USAGE_TRANSFER_SRC_BIT;
    return usage;
}

} // namespace

VulkanTexture::VulkanTexture(std::shared_ptr<LogicalDevice> logicalDevice, const TextureDescriptor& descriptor,
                             VkFormat format, bool presentable)
    : logicalDevice_(std::move(logicalDevice)), descriptor_(descriptor), format_(format), presentable_(presentable),
      layoutDefined_(!presentable) {}

std::shared_ptr<VulkanTexture> VulkanTexture::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                     const TextureDescriptor& descriptor,
                                                     std::unique_ptr<HostBuffer> readbackInto) {
    const VkFormat format = vulkanFormat(descriptor.pixelFormat);
    const std::uint64_t maxSide = logicalDevice->properties().limits.maxImageDimension2D;
    const bool sizeFits = descriptor.width >= 1 && descriptor.height >= 1 && descriptor.width <= maxSide &&
                          descriptor.height <= maxSide;
    if (format == VK_FORMAT_UNDEFINED || !sizeFits || descriptor.mipmapped || !isDrawable(descriptor.usage)) {
        return nullptr;
    }
    std::shared_ptr<VulkanTexture> texture(new VulkanTexture(std::move(logicalDevice), descriptor, format, false));
    if (texture->createImage() != VK_SUCCESS || texture->createView() != VK_SUCCESS) return nullptr;
    if (descriptor.storageMode == StorageMode::Shared) {
        VkResult result;
        const VkDeviceSize size = descriptor.width * descriptor.height * kBytesPerPixel;
        texture->readback_ = readbackInto ? std::move(readbackInto)
                                          : HostBuffer::create(texture->logicalDevice_, size,
                                                               VK_BUFFER_USAGE_TRANSFER_DST_BIT, &result);
        if (!texture->readback_ || texture->readback_->size() < size) return nullptr;
    }
    return texture;
}

std::shared_ptr<VulkanTexture> VulkanTexture::wrapPresentableImage(std::shared_ptr<LogicalDevice> logicalDevice,
                                                                   VkImage image, VkFormat format, VkExtent2D extent) {
    auto descriptor = TextureDescriptor::texture2DDescriptor(PixelFormat::BGRA8Unorm, extent.width, extent.height, false);
    descriptor.usage = TextureUsageRenderTarget;
    descriptor.storageMode = StorageMode::Private;
    std::shared_ptr<VulkanTexture> texture(new VulkanTexture(std::move(logicalDevice), descriptor, format, true));
    texture->image_ = image;
    if (texture->createView() != VK_SUCCESS) return nullptr;
    return texture;
}

VkResult VulkanTexture::createImage() {
    const VkDevice device = logicalDevice_->device();
    const VkImageCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO,
        .imageType = VK_IMAGE_TYPE_2D,
        .format = format_,
        .extent = {extent().width, extent().height, 1},
        .mipLevels = 1,
        .arrayLayers = 1,
        .samples = VK_SAMPLE_COUNT_1_BIT,
        .tiling = VK_IMAGE_TILING_OPTIMAL,
        .usage = imageUsage(descriptor_),
        .sharingMode = VK_SHARING_MODE_EXCLUSIVE,
        .initialLayout = VK_IMAGE_LAYOUT_UNDEFINED,
    };
    if (VkResult result = vkCreateImage(device, &info, nullptr, &image_); result != VK_SUCCESS) {
        image_ = VK_NULL_HANDLE;
        return result;
    }
    VkMemoryRequirements requirements;
    vkGetImageMemoryRequirements(device, image_, &requirements);
    if (VkResult result = logicalDevice_->allocateMemory(requirements, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, &memory_);
        result != VK_SUCCESS) {
        memory_ = VK_NULL_HANDLE;
        return result;
    }
    return vkBindImageMemory(device, image_, memory_, 0);
}

VkResult VulkanTexture::createView() {
    const VkImageViewCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO,
        .image = image_,
        .viewType = VK_IMAGE_VIEW_TYPE_2D,
        .format = format_,
        .subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1},
    };
    VkResult result = vkCreateImageView(logicalDevice_->device(), &info, nullptr, &view_);
    if (result != VK_SUCCESS) view_ = VK_NULL_HANDLE;
    return result;
}

VulkanTexture::~VulkanTexture() {
    const VkDevice device = logicalDevice_->device();
    if (view_) vkDestroyImageView(device, view_, nullptr);
    if (image_ && !presentable_) vkDestroyImage(device, image_, nullptr);
    if (memory_) vkFreeMemory(device, memory_, nullptr);
}

void VulkanTexture::releaseView() {
    if (view_) vkDestroyImageView(logicalDevice_->device(), view_, nullptr);
    view_ = VK_NULL_HANDLE;
}

VkExtent2D VulkanTexture::extent() const {
    return {static_cast<std::uint32_t>(descriptor_.width), static_cast<std::uint32_t>(descriptor_.height)};
}

const ImageState& VulkanTexture::restingState() const {
    if (presentable_) return kPresentImage;
    return descriptor_.usage & TextureUsageShaderRead ? kSampledImage : kColorAttachmentImage;
}

void VulkanTexture::recordInitialLayout(VkCommandBuffer commandBuffer) const {
    recordImageTransition(commandBuffer, image_, kUndefinedImage, restingState());
}

void VulkanTexture::recordAttachmentBegin(VkCommandBuffer commandBuffer, bool discardContents) const {
    recordImageTransition(commandBuffer, image_, restingState(), kColorAttachmentImage,
                          discardContents || !layoutDefined_);
    layoutDefined_ = true;
}

void VulkanTexture::recordRestingLayoutIfUndefined(VkCommandBuffer commandBuffer) const {
    if (layoutDefined_) return;
    recordImageTransition(commandBuffer, image_, restingState(), restingState(), true);
    layoutDefined_ = true;
}

void VulkanTexture::recordAttachmentEnd(VkCommandBuffer commandBuffer) const {
    if (!readback_) {
        recordImageTransition(commandBuffer, image_, kColorAttachmentImage, restingState());
        return;
    }
    recordImageTransition(commandBuffer, image_, kColorAttachmentImage, kCopySourceImage);
    recordReadback(commandBuffer);
    recordImageTransition(commandBuffer, image_, kCopySourceImage, restingState());
}

void VulkanTexture::recordReadback(VkCommandBuffer commandBuffer) const {
    const VkBufferImageCopy region{
        .imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1},
        .imageExtent = {extent().width, extent().height, 1},
    };
    recordBufferRewriteBarrier(commandBuffer, readback_->handle());
    vkCmdCopyImageToBuffer(commandBuffer, image_, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, readback_->handle(), 1,
                           &region);
    recordHostReadBarrier(commandBuffer, readback_->handle());
}

bool VulkanTexture::coversRegion(const Region& region) const {
    return region.origin.x + region.size.width <= descriptor_.width &&
           region.origin.y + region.size.height <= descriptor_.height && region.origin.z == 0 &&
           region.size.depth == 1;
}

void VulkanTexture::getBytes(void* bytes, std::size_t bytesPerRow, const Region& region, std::uint64_t mipmapLevel) {
    const std::size_t rowLength = region.size.width * kBytesPerPixel;
    if (!readback_ || !bytes || mipmapLevel != 0 || !coversRegion(region) || bytesPerRow < rowLength) return;
    auto* destination = static_cast<std::byte*>(bytes);
    const std::size_t sourceBytesPerRow = descriptor_.width * kBytesPerPixel;
    for (std::uint64_t row = 0; row < region.size.height; ++row) {
        const std::byte* source =
            readback_->data() + (region.origin.y + row) * sourceBytesPerRow + region.origin.x * kBytesPerPixel;
        std::memcpy(destination + row * bytesPerRow, source, rowLength);
    }
}

} // namespace gpu::vulkan
