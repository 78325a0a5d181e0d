#pragma once

#include "platform/gpu/Texture.h"
#include "platform/gpu/vulkan/Barriers.h"
#include "platform/gpu/vulkan/HostBuffer.h"
#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <memory>
#include <optional>
#include <span>
#include <string>

namespace gpu::vulkan {

// How a texture's pixels lie in host memory: rows of `bytesPerRow` bytes
// (at least its width), `size` bytes in all.
struct HostImageLayout {
    std::uint64_t bytesPerRow = 0;
    std::uint64_t size = 0;
};

// Host memory a Shared texture's pixels are to land in, with its rows.
struct HostPixels {
    std::span<std::byte> memory;
    std::uint64_t bytesPerRow = 0;
};

// A device-local 2D image. Between uses it rests in one layout (sampled when
// it may be sampled, else attachment), so every pass can order itself after
// whatever came before without knowing what that was. A Shared texture also
// copies each pass's result into host memory, where getBytes reads it; or,
// where the device can draw into the host memory it is given, it is drawn
// there itself and rests readable by the host.
class VulkanTexture final : public Texture {
public:
    // Null for an invalid format, size or usage, a mipmapped texture, or
    // when memory runs out. Its layout is undefined until recordInitialLayout
    // or an upload has run. A Shared texture's pixels land in the host
    // memory given (aligned for import, of at least its rows), else in
    // memory of its own.
    static std::shared_ptr<VulkanTexture> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                 const TextureDescriptor& descriptor, HostPixels pixelsInto = {});
    // The layout host memory needs for a Shared texture of the descriptor
    // to be drawn straight into it; none where the device cannot do that.
    static std::optional<HostImageLayout> hostImageLayout(std::shared_ptr<LogicalDevice> logicalDevice,
                                                          const TextureDescriptor& descriptor);
    // A swapchain's image, owned by its swapchain. Between frames it rests
    // in the presentation layout; its contents are undefined until it was
    // first drawn. Null when no view of it can be made.
    static std::shared_ptr<VulkanTexture> wrapPresentableImage(std::shared_ptr<LogicalDevice> logicalDevice,
                                                               VkImage image, VkFormat format, VkExtent2D extent);
    ~VulkanTexture() override;

    std::uint64_t width() const override { return descriptor_.width; }
    std::uint64_t height() const override { return descriptor_.height; }
    PixelFormat pixelFormat() const override { return descriptor_.pixelFormat; }
    std::uint32_t usage() const override { return descriptor_.usage; }
    StorageMode storageMode() const override { return descriptor_.storageMode; }
    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override { label_.assign(label); }
    void getBytes(void* bytes, std::size_t bytesPerRow, const Region& region, std::uint64_t mipmapLevel) override;

    VkImage image() const { return image_; }
    VkImageView view() const { return view_; }
    VkFormat format() const { return format_; }
    VkExtent2D extent() const;
    const ImageState& restingState() const;

    void recordInitialLayout(VkCommandBuffer commandBuffer) const;
    void recordAttachmentBegin(VkCommandBuffer commandBuffer, bool discardContents) const;
    void recordAttachmentEnd(VkCommandBuffer commandBuffer) const;
    // Destroys the view now, for a swapchain about to destroy the image.
    void releaseView();
    // For an image shown before anything was drawn into it: gives it its
    // resting layout.
    void recordRestingLayoutIfUndefined(VkCommandBuffer commandBuffer) const;

private:
    VulkanTexture(std::shared_ptr<LogicalDevice> logicalDevice, const TextureDescriptor& descriptor, VkFormat format,
                  bool presentable);
    VkImageCreateInfo imageInfo(VkImageTiling tiling, const void* next) const;
    VkResult createImage();
    VkResult createLinearImage();
    HostImageLayout linearLayout(VkMemoryRequirements* requirements) const;
    VkResult createImageInHostMemory(HostPixels pixels);
    bool makeReadback(HostPixels pixelsInto);
    bool canDrawIntoHostMemory() const;
    const std::byte* hostPixels() const;
    VkResult createView();
    void recordReadback(VkCommandBuffer commandBuffer) const;
    bool coversRegion(const Region& region) const;

    std::shared_ptr<LogicalDevice> logicalDevice_;
    TextureDescriptor descriptor_;
    VkFormat format_;
    // A swapchain's image: not ours to destroy, presented between frames.
    bool presentable_;
    // Recorded on the queue's recording thread in submission order, so it
    // tells what the layout will be when the next recorded use runs.
    mutable bool layoutDefined_;
    std::string label_;
    VkImage image_ = VK_NULL_HANDLE;
    VkDeviceMemory memory_ = VK_NULL_HANDLE;
    VkImageView view_ = VK_NULL_HANDLE;
    std::unique_ptr<HostBuffer> readback_;
    // The host memory the image itself lies in, when it does.
    std::byte* drawnPixels_ = nullptr;
    // Of the host memory its pixels land in.
    std::uint64_t hostBytesPerRow_ = 0;
};

} // namespace gpu::vulkan
