#include "platform/gpu/vulkan/OffscreenDrawableSource.h"

namespace gpu::vulkan {

namespace {

constexpr std::chrono::seconds kDrawableTimeout{1};

} // namespace

OffscreenTexturePool::OffscreenTexturePool(std::vector<std::shared_ptr<VulkanTexture>> textures)
    : free_(std::move(textures)) {}

std::shared_ptr<VulkanTexture> OffscreenTexturePool::take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!returned_.wait_for(lock, timeout, [this] { return !free_.empty(); })) return nullptr;
    auto texture = std::move(free_.back());
    free_.pop_back();
    return texture;
}

void OffscreenTexturePool::giveBack(std::shared_ptr<VulkanTexture> texture) {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(std::move(texture));
    }
    returned_.notify_one();
}

OffscreenDrawable::OffscreenDrawable(std::shared_ptr<VulkanTexture> texture, std::shared_ptr<OffscreenTexturePool> pool)
    : texture_(std::move(texture)), pool_(std::move(pool)) {}

OffscreenDrawable::~OffscreenDrawable() { pool_->giveBack(std::move(texture_)); }

void OffscreenDrawable::addPresentedHandler(PresentedHandler handler) { presentedHandlers_.add(std::move(handler)); }

void OffscreenDrawable::presentationFinished(double presentedTime) {
    presentedTime_ = presentedTime;
    presentedHandlers_.run(shared_from_this());
}

OffscreenDrawableSource::OffscreenDrawableSource(std::shared_ptr<OffscreenTexturePool> pool)
    : pool_(std::move(pool)) {}

std::shared_ptr<OffscreenDrawableSource> OffscreenDrawableSource::create(const TextureMaker& makeTexture,
                                                                         PixelFormat pixelFormat, std::uint64_t width,
                                                                         std::uint64_t height) {
    auto descriptor = TextureDescriptor::texture2DDescriptor(pixelFormat, width, height, false);
    descriptor.usage = TextureUsageRenderTarget | TextureUsageShaderRead;
    // Shared, so a frame can be read back like a window's screenshot.
    descriptor.storageMode = StorageMode::Shared;
    std::vector<std::shared_ptr<VulkanTexture>> textures;
    for (std::size_t index = 0; index < kDrawableCount; ++index) {
        auto texture = makeTexture(descriptor);
        if (!texture) return nullptr;
        textures.push_back(std::move(texture));
    }
    auto pool = std::make_shared<OffscreenTexturePool>(std::move(textures));
    return std::shared_ptr<OffscreenDrawableSource>(new OffscreenDrawableSource(std::move(pool)));
}

std::shared_ptr<Drawable> OffscreenDrawableSource::nextDrawable() {
    auto texture = pool_->take(kDrawableTimeout);
    if (!texture) return nullptr;
    return std::make_shared<OffscreenDrawable>(std::move(texture), pool_);
}

} // namespace gpu::vulkan
