#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/TimerSource.h"
#include "platform/dispatch/Watches.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <numeric>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr std::uint64_t kFrameInterval = 16666666;
constexpr std::uint64_t kLeeway = 1000000;

dispatch::MainQueue& mainQueue() { return dispatch::MainQueue::shared(); }

double millisecondsSince(dispatch::Time start, dispatch::Time end) { return double(end - start) / 1e6; }

// A 60 Hz timer that records when each tick ran.
struct TickRecorder {
    std::shared_ptr<dispatch::TimerSource> timer = dispatch::TimerSource::create();
    std::vector<dispatch::Time> ticks;

    explicit TickRecorder(std::function<void(TickRecorder&)> onTick = {}) {
        timer->setTimer(dispatch::time(dispatch::now(), 0), kFrameInterval, kLeeway);
        timer->setEventHandler([this, onTick] {
            ticks.push_back(dispatch::now());
            if (onTick) onTick(*this);
        });
    }
};

} // namespace

TEST(RunLoop, TicksAtSixtyHertzOnTheMonotonicClock) {
    TickRecorder recorder;
    recorder.timer->resume();
    mainQueue().runUntil([] { return false; }, 2s);
    recorder.timer->cancel();

    ASSERT_GE(recorder.ticks.size(), 2u);
    const double mean =
        millisecondsSince(recorder.ticks.front(), recorder.ticks.back()) / double(recorder.ticks.size() - 1);
    std::printf("mean interval over %zu ticks: %.3f ms (target 16.667 ms)\n", recorder.ticks.size(), mean);
    // Measured, not judged tightly: this machine may be loaded.
    EXPECT_NEAR(mean, 16.667, 16.667 * 0.25);
}

TEST(RunLoop, AStartedTimerWaitsForResume) {
    TickRecorder recorder;
    mainQueue().runUntil([] { return false; }, 60ms);
    EXPECT_TRUE(recorder.ticks.empty());
    recorder.timer->resume();
    EXPECT_TRUE(mainQueue().runUntil([&] { return !recorder.ticks.empty(); }, 1s));
}

TEST(RunLoop, NoTickRunsAfterCancelEvenFromInsideTheHandler) {
    TickRecorder selfCancelling([](TickRecorder& recorder) { recorder.timer->cancel(); });
    selfCancelling.timer->resume();
    mainQueue().runUntil([] { return false; }, 100ms);
    EXPECT_EQ(selfCancelling.ticks.size(), 1u);
}

TEST(RunLoop, ATimerCancelledWhileItsTickIsDueNeverRunsIt) {
    // Both are due in the same turn of the loop; whichever runs first
    // cancels the other, whose tick must then not run.
    TickRecorder first, second;
    first.timer->setEventHandler([&] {
        first.ticks.push_back(dispatch::now());
        second.timer->cancel();
    });
    second.timer->setEventHandler([&] {
        second.ticks.push_back(dispatch::now());
        first.timer->cancel();
    });
    const dispatch::Time due = dispatch::time(dispatch::now(), 5000000);
    first.timer->setTimer(due, kFrameInterval, kLeeway);
    second.timer->setTimer(due, kFrameInterval, kLeeway);
    first.timer->resume();
    second.timer->resume();
    std::this_thread::sleep_for(20ms);
    mainQueue().runUntil([] { return false; }, 100ms);
    EXPECT_GE(std::max(first.ticks.size(), second.ticks.size()), 1u);
    EXPECT_EQ(std::min(first.ticks.size(), second.ticks.size()), 0u) << "the cancelled timer ran its due tick";
}

TEST(RunLoop, TicksMissedDuringAStallCoalesceIntoOne) {
    constexpr auto kStall = 200ms;
    TickRecorder recorder([&](TickRecorder& self) {
        if (self.ticks.size() == 1) std::this_thread::sleep_for(kStall);
    });
    recorder.timer->resume();
    mainQueue().runUntil([&] { return recorder.ticks.size() >= 6; }, 2s);
    recorder.timer->cancel();

    ASSERT_GE(recorder.ticks.size(), 6u);
    const dispatch::Time stallEnd = recorder.ticks[0] + std::chrono::nanoseconds(kStall).count();
    const auto afterStall = std::count_if(recorder.ticks.begin(), recorder.ticks.end(), [&](dispatch::Time tick) {
        return tick >= stallEnd && tick < stallEnd + 8000000;
    });
    EXPECT_EQ(afterStall, 1) << "the twelve missed ticks must run as one";
    for (std::size_t i = 3; i < recorder.ticks.size(); ++i) {
        EXPECT_NEAR(millisecondsSince(recorder.ticks[i - 1], recorder.ticks[i]), 16.667, 8.0)
            << "tick " << i << " is back on the regular cadence";
    }
}

TEST(RunLoop, BlocksFromManyThreadsRunOnTheMainThreadInTheOrderEachThreadQueuedThem) {
    constexpr int kThreads = 4, kBlocksPerThread = 500;
    const auto mainThread = std::this_thread::get_id();
    std::map<int, std::vector<int>> received;
    bool allOnMainThread = true;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&, thread] {
            for (int sequence = 0; sequence < kBlocksPerThread; ++sequence) {
                dispatch::async([&, thread, sequence] {
                    allOnMainThread = allOnMainThread && std::this_thread::get_id() == mainThread;
                    received[thread].push_back(sequence);
                });
            }
        });
    }
    for (auto& thread : threads) thread.join();
    mainQueue().runUntil([&] { return received.size() == kThreads && received[kThreads - 1].size() == kBlocksPerThread; },
                         5s);

    EXPECT_TRUE(allOnMainThread);
    std::vector<int> expected(kBlocksPerThread);
    std::iota(expected.begin(), expected.end(), 0);
    for (int thread = 0; thread < kThreads; ++thread) EXPECT_EQ(received[thread], expected) << "thread " << thread;
}

TEST(RunLoop, SignalsAreHandledOnTheLoopOutsideTheSignalHandler) {
    for (int signalNumber : {SIGINT, SIGTERM}) {
        int received = 0;
        const dispatch::SignalWatch watch(signalNumber, [&] { ++received; });
        ASSERT_EQ(kill(getpid(), signalNumber), 0);
        EXPECT_TRUE(mainQueue().runUntil([&] { return received == 1; }, 2s)) << strsignal(signalNumber);
    }
}

TEST(RunLoop, RunReturnsWhenAHandlerStopsTheLoop) {
    TickRecorder recorder([](TickRecorder& self) {
        if (self.ticks.size() == 3) mainQueue().stop();
    });
    recorder.timer->resume();
    mainQueue().run();
    EXPECT_EQ(recorder.ticks.size(), 3u);
}
