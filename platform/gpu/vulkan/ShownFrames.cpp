#include "platform/gpu/vulkan/ShownFrames.h"

#include "platform/gpu/PresentationStatistics.h"

#include <atomic>
#include <cstdint>

namespace gpu {

namespace {

std::atomic<std::uint64_t> shownFrames = 0;

} // namespace

std::uint64_t framesShownInWindows() { return shownFrames; }

void vulkan::countFrameShown() { ++shownFrames; }

} // namespace gpu
