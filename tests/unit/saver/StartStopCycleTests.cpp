#include "tests/unit/saver/SaverHarness.h"

#include "tests/support/LiveObjectCountingDevice.h"
#include "tests/support/ProcessMemory.h"

#include "platform/dispatch/MainQueue.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr int kCycles = 1000;
// Rounds that let allocators and caches reach their steady size first.
constexpr int kWarmUpCycles = 20;

} // namespace

TEST(SaverStartStopCycles, AThousandCyclesLeaveNoGPUObjectAndNoMemoryBehind) {
    SaverHarness harness;
    const auto device = std::make_shared<testing_gpu::LiveObjectCountingDevice>(harness.device);
    harness.useDevice(device);
    const auto placed = SaverHarness::placedView();
    const auto cycle = [&] {
        placed.view->startAnimation();
        dispatch::MainQueue::shared().runPending();
        const bool drew =
            placed.view->renderer() && placed.view->renderer()->frameCount() >= 1 && device->liveObjects() > 0;
        placed.view->stopAnimation();
        dispatch::MainQueue::shared().drain();
        // The recording keeps every command and drawable source; only the
        // view's own objects are counted.
        harness.device->clearRecording();
        return drew;
    };
    for (int round = 0; round < kWarmUpCycles; ++round) ASSERT_TRUE(cycle());
    const auto before = ProcessMemory::now();

    int cyclesThatDrew = 0;
    std::size_t mostLiveObjects = 0;
    for (int round = 0; round < kCycles; ++round) {
        cyclesThatDrew += cycle();
        mostLiveObjects = std::max(mostLiveObjects, device->liveObjects());
    }

    const auto after = ProcessMemory::now();
    std::cout << "before: " << before << "; after " << kCycles << " cycles: " << after << "\n";
    EXPECT_EQ(cyclesThatDrew, kCycles);
    EXPECT_EQ(mostLiveObjects, 0u);
    EXPECT_EQ(harness.device->pendingCommandBuffers(), 0u);
    if (!kMemoryIsQuarantined) {
        // Under five bytes a cycle, where a renderer left behind would hold
        // kilobytes.
        EXPECT_LT(after.heapBytes, before.heapBytes + 4096);
    }
}
