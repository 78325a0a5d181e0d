#include "tests/unit/saver/SaverHarness.h"

#include "platform/dispatch/MainQueue.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

class SaverRenderLoop : public ::testing::Test {
protected:
    std::uint64_t frames(const PlacedView& placed) const { return placed.view->renderer()->frameCount(); }

    SaverHarness harness;
};

} // namespace

TEST_F(SaverRenderLoop, TheTimerTicksAt60HzWithAMillisecondOfLeewayFirstRightAway) {
    const auto placed = SaverHarness::startedView();
    const auto& timer = placed.view->renderTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->intervalNanoseconds(), 16666666u);
    EXPECT_EQ(timer->leewayNanoseconds(), 1000000u);
    EXPECT_EQ(frames(placed), 1u);
    dispatch::MainQueue::shared().runPending();
    EXPECT_EQ(frames(placed), 2u);
    EXPECT_TRUE(dispatch::MainQueue::shared().runUntil([&] { return frames(placed) >= 4; }, std::chrono::seconds(5)));
}

TEST_F(SaverRenderLoop, StartingAndStoppingTheTimerEachAdvanceTheGeneration) {
    const auto saver = SaverHarness::newView();
    saver->stopRenderTimer(); // also without a timer
    EXPECT_EQ(saver->renderGeneration(), 1u);
    saver->startRenderTimer();
    EXPECT_EQ(saver->renderGeneration(), 2u);
    const auto timer = saver->renderTimer();
    saver->startRenderTimer(); // one timer at most
    EXPECT_EQ(saver->renderTimer(), timer);
    EXPECT_EQ(saver->renderGeneration(), 2u);
    saver->stopRenderTimer();
    EXPECT_TRUE(timer->isCancelled());
    EXPECT_EQ(saver->renderTimer(), nullptr);
    EXPECT_EQ(saver->renderGeneration(), 3u);
}

TEST_F(SaverRenderLoop, ATickOfAStoppedTimerDrawsNothingEvenWhileANewerOneRuns) {
    const auto placed = SaverHarness::startedView();
    const std::uint64_t stale = placed.view->renderGeneration();
    placed.view->setHidden(true);
    placed.view->setHidden(false);
    ASSERT_EQ(stateOf(*placed.view), SaverState::Rendering);
    harness.device->clearRecording();
    placed.view->renderOneFrameForGeneration(stale);
    EXPECT_EQ(frames(placed), 1u);
    EXPECT_EQ(harness.device->drawableCounts().requested, 0u);
    placed.view->renderOneFrameForGeneration(placed.view->renderGeneration());
    EXPECT_EQ(frames(placed), 2u);
}

TEST_F(SaverRenderLoop, ATickWithoutARunningRendererDrawsNothing) {
    const std::pair<PlacedView, SaverState> views[] = {{SaverHarness::placedView(), SaverState::Stopped},
                                                       {SaverHarness::startedView(true), SaverState::PreviewShowing}};
    for (const auto& [placed, state] : views) {
        placed.view->renderOneFrameForGeneration(placed.view->renderGeneration());
        EXPECT_EQ(stateOf(*placed.view), state);
    }
    EXPECT_TRUE(harness.device->calls().empty());
}

TEST_F(SaverRenderLoop, ATickThatFindsTheMetalViewOutsideTheWindowSuspends) {
    const auto placed = SaverHarness::startedView();
    // Taken out behind the saver view's back: no event tells it.
    placed.view->metalView()->removeFromSuperview();
    dispatch::MainQueue::shared().runPending();
    EXPECT_EQ(stateOf(*placed.view), SaverState::Waiting);
    EXPECT_EQ(placed.view->claimedDisplayIdentifier(), std::nullopt);
}

TEST_F(SaverRenderLoop, AnEmptyDrawableSkipsTheTickButKeepsTheTimer) {
    for (const view::Size empty : {view::Size{0.0, 180.0}, view::Size{320.0, 0.0}, view::Size{-1.0, -1.0}}) {
        const auto placed = SaverHarness::startedView();
        const auto size = placed.view->metalView()->drawableSize();
        placed.view->metalView()->setDrawableSize(empty);
        placed.view->renderOneFrameForGeneration(placed.view->renderGeneration());
        EXPECT_EQ(frames(placed), 1u);
        EXPECT_EQ(stateOf(*placed.view), SaverState::Rendering);
        placed.view->metalView()->setDrawableSize(size);
        placed.view->renderOneFrameForGeneration(placed.view->renderGeneration());
        EXPECT_EQ(frames(placed), 2u);
    }
}

TEST_F(SaverRenderLoop, WithoutATimerTheFirstFrameIsDrawnAndTheViewKeepsRendering) {
    // The base animation's timer is made first.
    const FailTimerCreation fault(1);
    const auto placed = SaverHarness::startedView();
    EXPECT_EQ(placed.view->renderTimer(), nullptr);
    EXPECT_EQ(placed.view->renderGeneration(), 0u);
    EXPECT_TRUE(placed.view->saverRunning() && placed.view->isAnimating());
    EXPECT_EQ(frames(placed), 1u);
    dispatch::MainQueue::shared().runPending();
    EXPECT_EQ(frames(placed), 1u);
}
