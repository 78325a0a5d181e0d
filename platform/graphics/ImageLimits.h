#pragma once

// How large an image the graphics library takes on. Internal to it.

#include <cstddef>
#include <cstdint>

namespace graphics {

// A logo, a preview picture: a few hundred kilobytes at most.
inline constexpr std::size_t kMaximumImageFileSize = std::size_t{8} << 20;
inline constexpr std::uint32_t kMaximumImageSide = 16384;
// The pixels one image may take once decoded or rendered: 8192 × 8192 at
// four bytes each.
inline constexpr std::size_t kMaximumImageBytes = std::size_t{256} << 20;

inline bool fitsImageLimits(double width, double height) {
    return width <= kMaximumImageSide && height <= kMaximumImageSide && width * height * 4 <= kMaximumImageBytes;
}

} // namespace graphics
