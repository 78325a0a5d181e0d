#pragma once

#include <cmath>
#include <cstdint>

// A length in pixels as a whole number of pixels: rounded half away from
// zero, and at least one.
inline std::uint64_t wholePixelsAtLeastOne(double pixels) {
    const double rounded = std::round(pixels);
    return rounded >= 1.0 ? static_cast<std::uint64_t>(rounded) : 1;
}
