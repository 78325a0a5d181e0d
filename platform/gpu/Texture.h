#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/Types.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace gpu {

struct TextureDescriptor {
    PixelFormat pixelFormat = PixelFormat::RGBA8Unorm;
    std::uint64_t width = 1;
    std::uint64_t height = 1;
    bool mipmapped = false;
    std::uint32_t usage = TextureUsageShaderRead;
    StorageMode storageMode = StorageMode::Shared;

    static TextureDescriptor texture2DDescriptor(PixelFormat pixelFormat, std::uint64_t width, std::uint64_t height,
                                                 bool mipmapped) {
        TextureDescriptor descriptor;
        descriptor.pixelFormat = pixelFormat;
        descriptor.width = width;
        descriptor.height = height;
        descriptor.mipmapped = mipmapped;
        return descriptor;
    }
};

// A 2D texture. Released by its last owner, it lives on until the GPU work
// that uses it has completed.
class KF_PLATFORM_API Texture {
public:
    virtual ~Texture() = default;

    virtual std::uint64_t width() const = 0;
    virtual std::uint64_t height() const = 0;
    virtual PixelFormat pixelFormat() const = 0;
    virtual std::uint32_t usage() const = 0;
    virtual StorageMode storageMode() const = 0;
    virtual std::string label() const = 0;
    virtual void setLabel(std::string_view label) = 0;

    // Copies a region of a Shared texture into memory, rows from the top.
    // Call it after the GPU work that wrote the texture has completed.
    virtual void getBytes(void* bytes, std::size_t bytesPerRow, const Region& region, std::uint64_t mipmapLevel) = 0;
};

} // namespace gpu
