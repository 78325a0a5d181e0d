#pragma once

// The byte layouts handed to the GPU programs. The programs read them at
// fixed offsets, so every offset is pinned here at compile time.

#include <cmath>
#include <cstddef>
#include <type_traits>

// Inline bytes of the pattern pass, handed to both its stages, little-endian,
// no gaps.
struct KORLANFlowUniforms {
    float width;      // pattern target, pixels
    float height;     // pattern target, pixels
    float time;       // animation time, seconds, in [0, kTimePeriod)
    float speed;      // configuration factors, as stored
    float intensity;
    float complexity;
    float seed;       // a whole number, 1 to 1,000,000
    float reserved;   // always 0
};

static_assert(std::is_standard_layout_v<KORLANFlowUniforms>);
static_assert(sizeof(KORLANFlowUniforms) == 32);
static_assert(offsetof(KORLANFlowUniforms, width) == 0);
static_assert(offsetof(KORLANFlowUniforms, height) == 4);
static_assert(offsetof(KORLANFlowUniforms, time) == 8);
static_assert(offsetof(KORLANFlowUniforms, speed) == 12);
static_assert(offsetof(KORLANFlowUniforms, intensity) == 16);
static_assert(offsetof(KORLANFlowUniforms, complexity) == 20);
static_assert(offsetof(KORLANFlowUniforms, seed) == 24);
static_assert(offsetof(KORLANFlowUniforms, reserved) == 28);

// One corner of the logo quad: position in normalised device coordinates
// (y = +1 at the top edge), then texture coordinates ((0, 0) top-left).
struct KORLANFlowLogoVertex {
    float x;
    float y;
    float u;
    float v;
};

static_assert(std::is_standard_layout_v<KORLANFlowLogoVertex>);
static_assert(sizeof(KORLANFlowLogoVertex) == 16);
static_assert(offsetof(KORLANFlowLogoVertex, x) == 0);
static_assert(offsetof(KORLANFlowLogoVertex, y) == 4);
static_assert(offsetof(KORLANFlowLogoVertex, u) == 8);
static_assert(offsetof(KORLANFlowLogoVertex, v) == 12);

// The animation clock runs over [0, kTimePeriod) seconds and then starts
// again; the pattern repeats exactly after one period, so the wrap does not
// show. A power of two, so that time in ticks wraps in unsigned arithmetic.
// The pattern program holds the same value.
inline constexpr float kTimePeriod = 16384.0f;

// Any time in seconds as the pattern sees it: inside [0, kTimePeriod), also
// where rounding to single precision would reach the period itself.
inline float KORLANFlowTimeWithinPeriod(double seconds) {
    const double period = kTimePeriod;
    const float wrapped = static_cast<float>(std::fmod(std::fmod(seconds, period) + period, period));
    return wrapped < kTimePeriod ? wrapped : 0.0f;
}
