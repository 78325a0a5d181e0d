#include "tests/unit/renderer/RendererHarness.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"

#include <gtest/gtest.h>

#include <thread>

using testing_gpu::CommandKind;
using testing_gpu::Completion;

namespace {

class FrameSubmission : public ::testing::Test {
protected:
    void SetUp() override {
        dispatch::MainQueue::shared().drain();
        renderer = harness.makeRenderer();
        ASSERT_NE(renderer, nullptr);
        harness.view->setDelegate(renderer);
        harness.device->clearRecording();
    }
    void TearDown() override { dispatch::MainQueue::shared().drain(); }

    // The GPU reports on a thread of its own; the renderer only hears of it
    // once the main queue runs.
    void completeOnGPUThread(const Completion& completion = {}) {
        std::thread([&] { harness.device->completeAll(completion); }).join();
    }
    testing_gpu::DrawableCounts drawables() const { return harness.device->drawableCounts(); }

    RendererHarness harness{{640.0, 360.0}};
    std::shared_ptr<KORLANFlowRenderer> renderer;
};

} // namespace

TEST_F(FrameSubmission, ARendererThatIsNotReadyDoesNothing) {
    renderer->setReady(false);
    renderer->startAtTimestamp(0.0);
    harness.view->draw();
    EXPECT_EQ(drawables().requested, 0u);
    EXPECT_TRUE(harness.device->commands().empty());
    EXPECT_EQ(renderer->frameCount(), 0u);
}

TEST_F(FrameSubmission, EncodesPresentsAndCommitsOneLabelledBufferPerFrame) {
    harness.view->draw();
    EXPECT_EQ(renderer->frameCount(), 1u);
    EXPECT_EQ(renderer->elapsedTime(), 0.0f); // stopped: the picture stands still
    const auto kinds = harness.device->commandKinds();
    ASSERT_GE(kinds.size(), 4u);
    EXPECT_EQ(kinds.front(), CommandKind::SetCommandBufferLabel);
    EXPECT_EQ(harness.device->commands().front().label, "KORLAN Flow Frame");
    EXPECT_EQ(std::vector<CommandKind>(kinds.end() - 4, kinds.end()),
              (std::vector<CommandKind>{CommandKind::EndEncoding, CommandKind::PresentDrawable,
                                        CommandKind::AddCompletedHandler, CommandKind::Commit}));
    EXPECT_EQ(harness.device->passes().at(0).descriptor.colorAttachments[0].texture->width(), 640u);
}

TEST_F(FrameSubmission, AdvancesTheClockToTheUptimeBeforeAskingForADrawable) {
    renderer->startAtTimestamp(foundation::ProcessInfo::systemUptime() * 1000.0 - 100.0);
    harness.device->failures.drawable = true;
    const double before = foundation::ProcessInfo::systemUptime() * 1000.0;
    harness.view->draw();
    EXPECT_GE(renderer->lastTimestampMilliseconds(), before);
    EXPECT_GE(renderer->elapsedTime(), 0.1f);
    EXPECT_EQ(renderer->frameCount(), 0u);
    EXPECT_EQ(drawables().requested, 1u);
    EXPECT_TRUE(harness.device->commands().empty());
}

TEST_F(FrameSubmission, AFrameThatCannotBeEncodedKeepsItsErrorAndGivesTheDrawableBack) {
    harness.device->failures.renderEncoderAt = 0;
    harness.view->draw();
    ASSERT_NE(renderer->lastError(), nullptr);
    EXPECT_EQ(renderer->lastError()->code(), 9);
    EXPECT_EQ(renderer->frameCount(), 0u);
    EXPECT_TRUE(testing_gpu::commandsOfKind(harness.device->commands(), CommandKind::Commit).empty());
    EXPECT_EQ(drawables().returned, 1u);

    // The next tick tries again; a success does not clear the old error.
    harness.view->draw();
    EXPECT_EQ(renderer->frameCount(), 1u);
    EXPECT_EQ(renderer->lastError()->code(), 9);
}

TEST_F(FrameSubmission, CountsPresentedFramesOnTheMainQueueOnly) {
    harness.view->draw();
    harness.view->draw();
    completeOnGPUThread({nullptr, 0.0}); // both dropped
    harness.view->draw();
    completeOnGPUThread({nullptr, 2.5});
    EXPECT_EQ(renderer->presentedFrameCount(), 0u);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(renderer->frameCount(), 3u);
    EXPECT_EQ(renderer->presentedFrameCount(), 1u);
}

TEST_F(FrameSubmission, GPUFailuresReachLastErrorLaterOnTheMainQueue) {
    harness.view->draw();
    const auto failure = testing_gpu::makeDeviceError(-4, "device lost");
    completeOnGPUThread({failure, 0.0});
    EXPECT_EQ(renderer->lastError(), nullptr);
    EXPECT_EQ(renderer->frameCount(), 1u);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(renderer->lastError(), failure);
}

TEST_F(FrameSubmission, ReportsForAReleasedRendererAreDropped) {
    harness.view->draw();
    harness.view->draw();
    completeOnGPUThread({testing_gpu::makeDeviceError(-4, "device lost"), 1.0});
    std::weak_ptr<KORLANFlowRenderer> weak = renderer;
    renderer.reset();
    EXPECT_TRUE(weak.expired());
    // Each frame queued a presented and a completed report.
    EXPECT_EQ(dispatch::MainQueue::shared().drain(), 4u);
}

TEST_F(FrameSubmission, ARestartCountsReportsThatArriveLateIntoTheNewRun) {
    renderer->startAtTimestamp(0.0);
    harness.view->draw();
    harness.view->draw();
    completeOnGPUThread();
    renderer->startAtTimestamp(1000.0);
    EXPECT_EQ(renderer->frameCount(), 0u);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(renderer->presentedFrameCount(), 2u);
}

TEST_F(FrameSubmission, ARestartZeroesBothFrameCounters) {
    renderer->startAtTimestamp(0.0);
    harness.view->draw();
    completeOnGPUThread();
    dispatch::MainQueue::shared().drain();
    ASSERT_EQ(renderer->frameCount(), 1u);
    ASSERT_EQ(renderer->presentedFrameCount(), 1u);

    renderer->startAtTimestamp(1000.0);
    EXPECT_EQ(renderer->frameCount(), 0u);
    EXPECT_EQ(renderer->presentedFrameCount(), 0u);
}
