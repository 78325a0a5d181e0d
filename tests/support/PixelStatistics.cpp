#include "tests/support/PixelStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Read-back order: blue, green, red, alpha.
constexpr std::array<int, 3> kBackgroundBGR{22, 18, 15};
constexpr std::size_t kColourChannels = 3;

} // namespace

double meanAbsoluteDifference(const Pixels& a, const Pixels& b) {
    double total = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.bytes.size(); i += 4) {
        for (std::size_t c = 0; c < kColourChannels; ++c, ++count) total += std::abs(a.bytes[i + c] - b.bytes[i + c]);
    }
    return count ? total / double(count) : 0.0;
}

int largestDifference(const Pixels& a, const Pixels& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.bytes.size(); i += 4) {
        for (std::size_t c = 0; c < kColourChannels; ++c) largest = std::max(largest, std::abs(a.bytes[i + c] - b.bytes[i + c]));
    }
    return largest;
}

Pixels downsample(const Pixels& pixels, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t blockWidth = pixels.width / width;
    const std::uint32_t blockHeight = pixels.height / height;
    Pixels result{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::array<double, 4> sum{};
            for (std::uint32_t by = 0; by < blockHeight; ++by) {
                for (std::uint32_t bx = 0; bx < blockWidth; ++bx) {
                    const auto pixel = pixels.at(x * blockWidth + bx, y * blockHeight + by);
                    for (std::size_t c = 0; c < 4; ++c) sum[c] += pixel[c];
                }
            }
            const std::size_t offset = (std::size_t(y) * width + x) * 4;
            for (std::size_t c = 0; c < 4; ++c) {
                result.bytes[offset + c] = std::uint8_t(std::lround(sum[c] / (blockWidth * blockHeight)));
            }
        }
    }
    return result;
}

double shareAwayFromBackground(const Pixels& pixels, int tolerance) {
    std::size_t away = 0;
    for (std::size_t i = 0; i < pixels.bytes.size(); i += 4) {
        for (std::size_t c = 0; c < kColourChannels; ++c) {
            if (std::abs(pixels.bytes[i + c] - kBackgroundBGR[c]) > tolerance) {
                ++away;
                break;
            }
        }
    }
    return pixels.bytes.empty() ? 0.0 : double(away) / double(pixels.bytes.size() / 4);
}

ChannelRange channelRange(const Pixels& pixels) {
    ChannelRange range;
    for (std::size_t i = 0; i < pixels.bytes.size(); i += 4) {
        for (std::size_t c = 0; c < kColourChannels; ++c) {
            range.lowestColour = std::min<int>(range.lowestColour, pixels.bytes[i + c]);
            range.highestColour = std::max<int>(range.highestColour, pixels.bytes[i + c]);
        }
        range.lowestAlpha = std::min<int>(range.lowestAlpha, pixels.bytes[i + 3]);
        range.highestAlpha = std::max<int>(range.highestAlpha, pixels.bytes[i + 3]);
    }
    return range;
}
