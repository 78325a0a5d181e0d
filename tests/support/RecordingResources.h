#pragma once

#include "platform/gpu/Library.h"
#include "platform/gpu/RenderPipeline.h"
#include "platform/gpu/Texture.h"
#include "platform/gpu/TextureLoader.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace testing_gpu {

class RecordingDevice;

// Every pixel format of the GPU layer has four bytes per pixel.
inline constexpr std::size_t kBytesPerPixel = 4;

// A texture whose contents the test sets: getBytes reads them back.
class RecordingTexture final : public gpu::Texture {
public:
    struct ReadBack {
        std::size_t bytesPerRow = 0;
        gpu::Region region;
        std::uint64_t mipmapLevel = 0;
    };

    explicit RecordingTexture(const gpu::TextureDescriptor& descriptor, std::vector<std::uint8_t> contents = {})
        : descriptor_(descriptor), contents_(std::move(contents)) {}

    const gpu::TextureDescriptor& descriptor() const { return descriptor_; }

    std::uint64_t width() const override { return descriptor_.width; }
    std::uint64_t height() const override { return descriptor_.height; }
    gpu::PixelFormat pixelFormat() const override { return descriptor_.pixelFormat; }
    std::uint32_t usage() const override { return descriptor_.usage; }
    gpu::StorageMode storageMode() const override { return descriptor_.storageMode; }
    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override { label_.assign(label); }

    // The texture's bytes, rows from the top, in the format's byte order.
    // The pattern repeats to cover the whole texture: four bytes fill it
    // with one colour, width × height × 4 bytes set every pixel. Empty
    // reads as zeros.
    void setContents(std::vector<std::uint8_t> pattern);
    void getBytes(void* bytes, std::size_t bytesPerRow, const gpu::Region& region, std::uint64_t mipmapLevel) override;
    std::vector<ReadBack> readBacks() const;

private:
    std::uint8_t byteAt(std::size_t offset) const;

    const gpu::TextureDescriptor descriptor_;
    std::string label_;
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> contents_;
    std::vector<ReadBack> readBacks_;
};

class RecordingFunction final : public gpu::Function {
public:
    explicit RecordingFunction(std::string name) : name_(std::move(name)) {}
    std::string name() const override { return name_; }

private:
    std::string name_;
};

class RecordingLibrary final : public gpu::Library {
public:
    explicit RecordingLibrary(std::weak_ptr<RecordingDevice> device) : device_(std::move(device)) {}
    // Every name is found, except the device's Failures::missingFunctions.
    std::shared_ptr<gpu::Function> newFunctionWithName(const std::string& name) override;

private:
    std::weak_ptr<RecordingDevice> device_;
};

class RecordingRenderPipelineState final : public gpu::RenderPipelineState {
public:
    explicit RecordingRenderPipelineState(gpu::RenderPipelineDescriptor descriptor)
        : descriptor_(std::move(descriptor)) {}
    const gpu::RenderPipelineDescriptor& descriptor() const { return descriptor_; }
    std::string label() const override { return descriptor_.label; }

private:
    const gpu::RenderPipelineDescriptor descriptor_;
};

class RecordingSamplerState final : public gpu::SamplerState {
public:
    explicit RecordingSamplerState(gpu::SamplerDescriptor descriptor) : descriptor_(std::move(descriptor)) {}
    const gpu::SamplerDescriptor& descriptor() const { return descriptor_; }
    std::string label() const override { return descriptor_.label; }

private:
    const gpu::SamplerDescriptor descriptor_;
};

class RecordingTextureLoader final : public gpu::TextureLoader {
public:
    explicit RecordingTextureLoader(std::weak_ptr<RecordingDevice> device) : device_(std::move(device)) {}
    // Records the image (its pixels copied) and the options, and makes a
    // private texture of the image's size, unless the device's
    // Failures::textureLoad says otherwise.
    std::shared_ptr<gpu::Texture> newTextureWithImage(const gpu::CPUImage& image,
                                                      const gpu::TextureLoaderOptions& options,
                                                      foundation::ErrorRef* error = nullptr) override;

private:
    std::weak_ptr<RecordingDevice> device_;
};

} // namespace testing_gpu
