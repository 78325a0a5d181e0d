#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/Error.h"
#include "platform/gpu/Texture.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gpu {

// Pixels in memory: 8-bit red, green, blue, alpha per pixel (alpha
// premultiplied or not, as the caller drew them), rows one after another.
struct CPUImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t bytesPerRow = 0;
    const std::uint8_t* pixels = nullptr;
};

enum class TextureLoaderOrigin { TopLeft, BottomLeft };

struct TextureLoaderOptions {
    // True gives an sRGB format, so samples are decoded to linear light;
    // false returns the stored values scaled to 0 to 1.
    bool SRGB = true;
    // TopLeft: the image's first row becomes the texture's first row.
    TextureLoaderOrigin origin = TextureLoaderOrigin::BottomLeft;
    std::uint32_t textureUsage = TextureUsageShaderRead;
};

class KF_PLATFORM_API TextureLoader {
public:
    virtual ~TextureLoader() = default;
    // A GPU-private texture of the image's size holding its pixels; null
    // with an error when the image is empty or the upload fails.
    virtual std::shared_ptr<Texture> newTextureWithImage(const CPUImage& image, const TextureLoaderOptions& options,
                                                         foundation::ErrorRef* error = nullptr) = 0;
};

} // namespace gpu
