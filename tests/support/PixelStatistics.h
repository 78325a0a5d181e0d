#pragma once

// Measures for comparing read-back pictures, channel values 0 to 255.

#include "tests/support/GpuTestSupport.h"

// Mean absolute difference over the colour channels of two pictures of
// the same size.
double meanAbsoluteDifference(const Pixels& a, const Pixels& b);

// The largest difference of any colour channel of any pixel of two
// pictures of the same size.
int largestDifference(const Pixels& a, const Pixels& b);

// Box-filtered to width x height; each side must divide evenly.
Pixels downsample(const Pixels& pixels, std::uint32_t width, std::uint32_t height);

// The share of pixels whose colour lies more than `tolerance` from the
// background in some channel.
double shareAwayFromBackground(const Pixels& pixels, int tolerance);

// The lowest and highest value of any colour channel, and of alpha.
struct ChannelRange {
    int lowestColour = 255;
    int highestColour = 0;
    int lowestAlpha = 255;
    int highestAlpha = 0;
};
ChannelRange channelRange(const Pixels& pixels);
