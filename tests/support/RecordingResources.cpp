#include "tests/support/RecordingResources.h"

#include "tests/support/RecordingDevice.h"

namespace testing_gpu {

void RecordingTexture::setContents(std::vector<std::uint8_t> pattern) {
    std::lock_guard lock(mutex_);
    contents_ = std::move(pattern);
}

std::uint8_t RecordingTexture::byteAt(std::size_t offset) const {
    return contents_.empty() ? 0 : contents_[offset % contents_.size()];
}

void RecordingTexture::getBytes(void* bytes, std::size_t bytesPerRow, const gpu::Region& region,
                                std::uint64_t mipmapLevel) {
    std::lock_guard lock(mutex_);
    readBacks_.push_back({bytesPerRow, region, mipmapLevel});
    auto* rows = static_cast<std::uint8_t*>(bytes);
    const std::size_t rowLength = region.size.width * kBytesPerPixel;
    for (std::uint64_t row = 0; row < region.size.height; ++row) {
        const std::size_t source = ((region.origin.y + row) * descriptor_.width + region.origin.x) * kBytesPerPixel;
        for (std::size_t byte = 0; byte < rowLength; ++byte) rows[row * bytesPerRow + byte] = byteAt(source + byte);
    }
}

std::vector<RecordingTexture::ReadBack> RecordingTexture::readBacks() const {
    std::lock_guard lock(mutex_);
    return readBacks_;
}

std::shared_ptr<gpu::Function> RecordingLibrary::newFunctionWithName(const std::string& name) {
    const auto device = device_.lock();
    return device ? device->functionWithName(name) : nullptr;
}

std::shared_ptr<gpu::Texture> RecordingTextureLoader::newTextureWithImage(const gpu::CPUImage& image,
                                                                          const gpu::TextureLoaderOptions& options,
                                                                          foundation::ErrorRef* error) {
    const auto device = device_.lock();
    return device ? device->loadTexture(image, options, error) : nullptr;
}

} // namespace testing_gpu
