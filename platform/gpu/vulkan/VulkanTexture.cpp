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
                                                     const TextureDescriptor& descriptor, HostPixels pixelsInto) {
    const VkFormat format = vulkanFormat(descriptor.pixelFormat);
    const std::uint64_t maxSide = logicalDevice->properties().limits.maxImageDimension2D;
    const bool sizeFits = descriptor.width >= 1 && descriptor.height >= 1 && descriptor.width <= maxSide &&
                          descriptor.height <= maxSide;
    if (format == VK_FORMAT_UNDEFINED || !sizeFits || descriptor.mipmapped || !isDrawable(descriptor.usage)) {
        return nullptr;
    }
    std::shared_ptr<VulkanTexture> texture(new VulkanTexture(std::move(logicalDevice), descriptor, format, false));
    const bool shared = descriptor.storageMode == StorageMode::Shared;
    const bool given = shared && !pixelsInto.memory.empty();
    const bool drawnInHost = given && texture->createImageInHostMemory(pixelsInto) == VK_SUCCESS;
    if (!drawnInHost && texture->createImage() != VK_SUCCESS) return nullptr;
    if (texture->createView() != VK_SUCCESS) return nullptr;
    if (shared && !drawnInHost && !texture->makeReadback(pixelsInto)) return nullptr;
    return texture;
}

// The host memory each pass's result is copied into: the memory given, else
// a buffer of its own with rows tightly packed.
bool VulkanTexture::makeReadback(HostPixels pixelsInto) {
    const VkDeviceSize rowLength = descriptor_.width * kBytesPerPixel;
    const bool given = !pixelsInto.memory.empty();
    hostBytesPerRow_ = given ? pixelsInto.bytesPerRow : rowLength;
    if (hostBytesPerRow_ < rowLength || hostBytesPerRow_ % kBytesPerPixel != 0) return false;
    const VkDeviceSize size = hostBytesPerRow_ * (descriptor_.height - 1) + rowLength;
    VkResult result;
    readback_ = given ? HostBuffer::importing(logicalDevice_, pixelsInto.memory.data(), pixelsInto.memory.size(),
                                              VK_BUFFER_USAGE_TRANSFER_DST_BIT, &result)
                      : HostBuffer::create(logicalDevice_, size, VK_BUFFER_USAGE_TRANSFER_DST_BIT, &result);
    return readback_ && readback_->size() >= size;
}

std::optional<HostImageLayout> VulkanTexture::hostImageLayout(std::shared_ptr<LogicalDevice> logicalDevice,
                                                              const TextureDescriptor& descriptor) {
    const VkFormat format = vulkanFormat(descriptor.pixelFormat);
    if (format == VK_FORMAT_UNDEFINED || descriptor.width < 1 || descriptor.height < 1) return std::nullopt;
    // Made only to be asked; it goes with its image.
    VulkanTexture probe(std::move(logicalDevice), descriptor, format, false);
    if (probe.createLinearImage() != VK_SUCCESS) return std::nullopt;
    VkMemoryRequirements requirements;
    const HostImageLayout layout = probe.linearLayout(&requirements);
    if (layout.bytesPerRow == 0) return std::nullopt;
    return layout;
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

VkImageCreateInfo VulkanTexture::imageInfo(VkImageTiling tiling, const void* next) const {
    return {
        .sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO,
        .pNext = next,
        .imageType = VK_IMAGE_TYPE_2D,
        .format = format_,
        .extent = {extent().width, extent().height, 1},
        .mipLevels = 1,
        .arrayLayers = 1,
        .samples = VK_SAMPLE_COUNT_1_BIT,
        .tiling = tiling,
        .usage = imageUsage(descriptor_),
        .sharingMode = VK_SHARING_MODE_EXCLUSIVE,
        .initialLayout = VK_IMAGE_LAYOUT_UNDEFINED,
    };
}

VkResult VulkanTexture::createImage() {
    const VkDevice device = logicalDevice_->device();
    const VkImageCreateInfo info = imageInfo(VK_IMAGE_TILING_OPTIMAL, nullptr);
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

bool VulkanTexture::canDrawIntoHostMemory() const {
    const VkPhysicalDeviceExternalImageFormatInfo external{
        .sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_EXTERNAL_IMAGE_FORMAT_INFO,
        .handleType = VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT,
    };
    const VkPhysicalDeviceImageFormatInfo2 info{
        .sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_IMAGE_FORMAT_INFO_2,
        .pNext = &external,
        .format = format_,
        .type = VK_IMAGE_TYPE_2D,
        .tiling = VK_IMAGE_TILING_LINEAR,
        .usage = imageUsage(descriptor_),
    };
    VkExternalImageFormatProperties externalProperties{.sType = VK_STRUCTURE_TYPE_EXTERNAL_IMAGE_FORMAT_PROPERTIES};
    VkImageFormatProperties2 properties{.sType = VK_STRUCTURE_TYPE_IMAGE_FORMAT_PROPERTIES_2,
                                        .pNext = &externalProperties};
    if (vkGetPhysicalDeviceImageFormatProperties2(logicalDevice_->physicalDevice(), &info, &properties) != VK_SUCCESS) {
        return false;
    }
    const auto& limits = properties.imageFormatProperties.maxExtent;
    return (externalProperties.externalMemoryProperties.externalMemoryFeatures &
            VK_EXTERNAL_MEMORY_FEATURE_IMPORTABLE_BIT) &&
           extent().width <= limits.width && extent().height <= limits.height;
}

VkResult VulkanTexture::createLinearImage() {
    if (!logicalDevice_->importsHostMemory() || !canDrawIntoHostMemory()) return VK_ERROR_FORMAT_NOT_SUPPORTED;
    const VkExternalMemoryImageCreateInfo external{
        .sType = VK_STRUCTURE_TYPE_EXTERNAL_MEMORY_IMAGE_CREATE_INFO,
        .handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT,
    };
    const VkImageCreateInfo info = imageInfo(VK_IMAGE_TILING_LINEAR, &external);
    const VkResult result = vkCreateImage(logicalDevice_->device(), &info, nullptr, &image_);
    if (result != VK_SUCCESS) image_ = VK_NULL_HANDLE;
    return result;
}

// The rows of the linear image start at its memory's start, one after
// another; an image that wants an offset has no such layout.
HostImageLayout VulkanTexture::linearLayout(VkMemoryRequirements* requirements) const {
    const VkDevice device = logicalDevice_->device();
    const VkImageSubresource colour{.aspectMask = VK_IMAGE_ASPECT_COLOR_BIT};
    VkSubresourceLayout layout;
    vkGetImageSubresourceLayout(device, image_, &colour, &layout);
    vkGetImageMemoryRequirements(device, image_, requirements);
    if (layout.offset != 0) return {};
    return {layout.rowPitch, requirements->size};
}

// A linear image whose rows are the host memory's, so that what a pass
// draws is where the host reads it. Memory laid out otherwise than the
// device wants leaves it to an image of its own and a copy.
VkResult VulkanTexture::createImageInHostMemory(HostPixels pixels) {
    if (VkResult result = createLinearImage(); result != VK_SUCCESS) return result;
    const VkDevice device = logicalDevice_->device();
    VkMemoryRequirements requirements;
    const HostImageLayout wanted = linearLayout(&requirements);
    const bool fits = wanted.bytesPerRow == pixels.bytesPerRow && wanted.size <= pixels.memory.size() &&
                      reinterpret_cast<std::uintptr_t>(pixels.memory.data()) % requirements.alignment == 0;
    VkResult result = fits ? logicalDevice_->importHostMemory(pixels.memory.data(), pixels.memory.size(),
                                                              requirements.memoryTypeBits, &memory_)
                           : VK_ERROR_FORMAT_NOT_SUPPORTED;
    if (result == VK_SUCCESS) result = vkBindImageMemory(device, image_, memory_, 0);
    if (result != VK_SUCCESS) {
        if (memory_) vkFreeMemory(device, memory_, nullptr);
        vkDestroyImage(device, image_, nullptr);
        memory_ = VK_NULL_HANDLE;
        image_ = VK_NULL_HANDLE;
        return result;
    }
    drawnPixels_ = pixels.memory.data();
    hostBytesPerRow_ = pixels.bytesPerRow;
    return VK_SUCCESS;
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
    if (drawnPixels_) return kHostReadImage;
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
        .bufferRowLength = static_cast<std::uint32_t>(hostBytesPerRow_ / kBytesPerPixel),
        .imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1},
        .imageExtent = {extent().width, extent().height, 1},
    };
    recordBufferRewriteBarrier(commandBuffer, readback_->handle());
    vkCmdCopyImageToBuffer(commandBuffer, image_, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, readback_->handle(), 1,
                           &region);
    recordHostReadBarrier(commandBuffer, readback_->handle());
}

const std::byte* VulkanTexture::hostPixels() const { return readback_ ? readback_->data() : drawnPixels_; }

bool VulkanTexture::coversRegion(const Region& region) const {
    return region.origin.x + region.size.width <= descriptor_.width &&
           region.origin.y + region.size.height <= descriptor_.height && region.origin.z == 0 &&
           region.size.depth == 1;
}

void VulkanTexture::getBytes(void* bytes, std::size_t bytesPerRow, const Region& region, std::uint64_t mipmapLevel) {
    const std::size_t rowLength = region.size.width * kBytesPerPixel;
    const std::byte* pixels = hostPixels();
    if (!pixels || !bytes || mipmapLevel != 0 || !coversRegion(region) || bytesPerRow < rowLength) return;
    auto* destination = static_cast<std::byte*>(bytes);
    const std::size_t sourceBytesPerRow = hostBytesPerRow_;
    for (std::uint64_t row = 0; row < region.size.height; ++row) {
        const std::byte* source =
            pixels + (region.origin.y + row) * sourceBytesPerRow + region.origin.x * kBytesPerPixel;
        std::memcpy(destination + row * bytesPerRow, source, rowLength);
    }
}

} // namespace gpu::vulkan
