#pragma once

// Plain values of the command-buffer GPU API. Enum values are the numbers
// the module's callers use, so descriptors read the same on every backend.

#include <cstdint>

namespace gpu {

enum class PixelFormat : std::uint32_t {
    Invalid = 0,
    RGBA8Unorm = 70,
    RGBA8Unorm_sRGB = 71,
    BGRA8Unorm = 80,
    BGRA8Unorm_sRGB = 81,
};

enum class LoadAction : std::uint32_t { DontCare = 0, Load = 1, Clear = 2 };
enum class StoreAction : std::uint32_t { DontCare = 0, Store = 1 };

// A bit set: ShaderRead | RenderTarget is 5.
enum TextureUsage : std::uint32_t {
    TextureUsageUnknown = 0,
    TextureUsageShaderRead = 1,
    TextureUsageShaderWrite = 2,
    TextureUsageRenderTarget = 4,
};

// Shared: the CPU can read the texture once the GPU work that wrote it has
// completed. Private: GPU only.
enum class StorageMode : std::uint32_t { Shared = 0, Private = 2 };

enum class PrimitiveType : std::uint32_t { Triangle = 3 };

enum class BlendOperation : std::uint32_t { Add = 0, Subtract = 1, ReverseSubtract = 2, Min = 3, Max = 4 };

enum class BlendFactor : std::uint32_t {
    Zero = 0,
    One = 1,
    SourceColor = 2,
    OneMinusSourceColor = 3,
    SourceAlpha = 4,
    OneMinusSourceAlpha = 5,
    DestinationColor = 6,
    OneMinusDestinationColor = 7,
    DestinationAlpha = 8,
    OneMinusDestinationAlpha = 9,
};

enum class SamplerMinMagFilter : std::uint32_t { Nearest = 0, Linear = 1 };
enum class SamplerAddressMode : std::uint32_t { ClampToEdge = 0, Repeat = 2 };

struct ClearColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;
};

struct Origin {
    std::uint64_t x = 0, y = 0, z = 0;
};

struct Size {
    std::uint64_t width = 0, height = 0, depth = 1;
};

struct Region {
    Origin origin;
    Size size;
};

} // namespace gpu
