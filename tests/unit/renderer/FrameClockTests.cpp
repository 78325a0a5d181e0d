#include "shaders/KORLANFlowShaderTypes.h"
#include "tests/support/DesktopAnimations.h"
#include "tests/unit/renderer/RendererHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Every test decides the reduced-motion answer through the desktop's own
// setting, which goes back to its default when the test ends.
class FrameClock : public ::testing::Test {
protected:
    void SetUp() override {
        setReduceMotion(false);
        renderer = harness.makeRenderer();
        ASSERT_NE(renderer, nullptr);
    }

    void setReduceMotion(bool reduce) { desktopAnimations.setEnabled(!reduce); }

    DesktopAnimations desktopAnimations;
    RendererHarness harness;
    std::shared_ptr<KORLANFlowRenderer> renderer;
};

} // namespace

TEST_F(FrameClock, AdvancesByTheCappedStepOfEachAcceptedTimestamp) {
    struct Case {
        const char* what;
        double start;
        std::vector<double> timestamps;
        bool reduceMotion;
        float expected;
    };
    for (const Case& c : {
             Case{"one frame", 1000.0, {1016.0}, false, 0.016f},
             Case{"repeated timestamp", 1000.0, {1000.0}, false, 0.0f},
             Case{"a stall counts a quarter second", 0.0, {5000.0}, false, 0.25f},
             Case{"backwards re-anchors", 1000.0, {900.0, 916.0}, false, 0.016f},
             Case{"infinity and NaN move nothing", 1000.0, {kInfinity, std::nan("")}, false, 0.0f},
             Case{"reduced motion frame", 1000.0, {1016.0}, true, std::fmaf(0.016f, 0.22f, 0.0f)},
             Case{"reduced motion stall", 1000.0, {1400.0}, true, std::fmaf(0.25f, 0.22f, 0.0f)},
         }) {
        setReduceMotion(c.reduceMotion);
        renderer->startAtTimestamp(c.start);
        for (double t : c.timestamps) renderer->advanceToTimestamp(t);
        EXPECT_EQ(renderer->elapsedTime(), c.expected) << c.what;
    }
    EXPECT_NEAR(std::fmaf(0.016f, 0.22f, 0.0f), 0.00352f, 1e-9);
    EXPECT_EQ(std::fmaf(0.25f, 0.22f, 0.0f), 0.055f);
}

TEST_F(FrameClock, RepeatedTimestampsKeepTheReferenceAndRejectedOnesBecomeIt) {
    renderer->startAtTimestamp(1000.0);
    renderer->advanceToTimestamp(1000.0);
    EXPECT_EQ(renderer->lastTimestampMilliseconds(), 1000.0);
    renderer->advanceToTimestamp(900.0);
    EXPECT_EQ(renderer->lastTimestampMilliseconds(), 900.0);
}

TEST_F(FrameClock, IgnoresTimestampsWhileStoppedAndRestartsFromZero) {
    renderer->advanceToTimestamp(500.0);
    EXPECT_FALSE(renderer->hasLastTimestamp());
    EXPECT_EQ(renderer->lastTimestampMilliseconds(), 0.0);

    renderer->startAtTimestamp(1000.0);
    renderer->advanceToTimestamp(1100.0);
    renderer->stop();
    EXPECT_FALSE(renderer->running());
    EXPECT_FALSE(renderer->hasLastTimestamp());
    renderer->advanceToTimestamp(1200.0);
    EXPECT_EQ(renderer->elapsedTime(), 0.1f);
    EXPECT_EQ(renderer->lastTimestampMilliseconds(), 1100.0);

    renderer->startAtTimestamp(2000.0);
    EXPECT_TRUE(renderer->running());
    EXPECT_EQ(renderer->elapsedTime(), 0.0f);
    renderer->advanceToTimestamp(2016.0);
    EXPECT_EQ(renderer->elapsedTime(), 0.016f);
}

TEST_F(FrameClock, ARendererThatIsNotReadyDoesNotStart) {
    renderer->setReady(false);
    renderer->startAtTimestamp(1000.0);
    EXPECT_FALSE(renderer->running());
    EXPECT_FALSE(renderer->hasLastTimestamp());
}

TEST_F(FrameClock, AsksForReducedMotionOnEveryAcceptedAdvance) {
    renderer->startAtTimestamp(0.0);
    renderer->advanceToTimestamp(100.0);
    setReduceMotion(true);
    renderer->advanceToTimestamp(200.0);
    setReduceMotion(false);
    renderer->advanceToTimestamp(300.0);
    const double expected = 0.1 + static_cast<double>(0.1f) * 0.22f + 0.1;
    EXPECT_NEAR(renderer->elapsedTime(), expected, 1e-6);
}

// Long runs once froze the animation: a float sum of 16.7 ms steps stops
// changing after some 18 hours, and reduced-motion steps sooner.
TEST_F(FrameClock, KeepsItsSpeedOverTenDaysAndStaysInsideOnePeriod) {
    constexpr double kFrameMilliseconds = 1000.0 / 60.0;
    constexpr double kTenDaysMilliseconds = 10.0 * 24 * 3600 * 1000;
    for (const bool reduceMotion : {false, true}) {
        setReduceMotion(reduceMotion);
        renderer->startAtTimestamp(0.0);
        double advanced = 0.0, expected = 0.0;
        float previous = 0.0f;
        bool insidePeriod = true;
        for (double t = kFrameMilliseconds; t < kTenDaysMilliseconds; t += kFrameMilliseconds) {
            renderer->advanceToTimestamp(t);
            const float now = renderer->elapsedTime();
            insidePeriod = insidePeriod && now >= 0.0f && now < kTimePeriod;
            advanced += now >= previous ? now - previous : now + kTimePeriod - previous;
            previous = now;
        }
        expected = static_cast<double>(static_cast<float>(kFrameMilliseconds / 1000.0)) * (reduceMotion ? static_cast<double>(0.22f) : 1.0) *
                   std::floor(kTenDaysMilliseconds / kFrameMilliseconds);
        EXPECT_TRUE(insidePeriod) << "reduce motion " << reduceMotion;
        EXPECT_NEAR(advanced / expected, 1.0, 0.01) << "reduce motion " << reduceMotion;
    }
}

TEST_F(FrameClock, DrawableMetricsAreNeverBelowOnePixelOrPoint) {
    renderer->updateDrawableMetrics({0.0, 0.0});
    EXPECT_EQ(renderer->drawableSize().width, 1.0);
    EXPECT_EQ(renderer->drawableSize().height, 1.0);
    renderer->mtkViewDrawableSizeWillChange(*harness.view, {std::nan(""), 720.0});
    EXPECT_EQ(renderer->drawableSize().width, 1.0);
    EXPECT_EQ(renderer->drawableSize().height, 720.0);
    EXPECT_EQ(renderer->logicalWidth(), 1440.0f);

    const auto empty = view::MetalView::initWithFrame({{0, 0}, {0, 0}}, harness.device);
    const auto onEmptyView = KORLANFlowRenderer::initWithMetalView(empty, *harness.bundle.bundle());
    ASSERT_NE(onEmptyView, nullptr);
    EXPECT_EQ(onEmptyView->logicalWidth(), 1.0f);
    EXPECT_EQ(onEmptyView->logicalHeight(), 1.0f);

    harness.view.reset(); // a view that is gone has no bounds
    renderer->updateDrawableMetrics({640.0, 480.0});
    EXPECT_EQ(renderer->logicalWidth(), 1.0f);
    EXPECT_EQ(renderer->logicalHeight(), 1.0f);
}

TEST_F(FrameClock, TakesConfigurationsAsGiven) {
    renderer->applyConfiguration({9.0f, -1.0f, std::nanf("")});
    EXPECT_EQ(renderer->configuration().speed, 9.0f);
    EXPECT_EQ(renderer->configuration().intensity, -1.0f);
    EXPECT_TRUE(std::isnan(renderer->configuration().complexity));
}

TEST_F(FrameClock, DrainingStopsAndWaitsForEveryEarlierBuffer) {
    renderer->startAtTimestamp(0.0);
    for (int i = 0; i < 2; ++i) renderer->commandQueue()->commandBuffer()->commit();
    harness.device->clearRecording();

    renderer->stopAndWaitForPendingCommands();
    EXPECT_FALSE(renderer->running());
    EXPECT_EQ(harness.device->pendingCommandBuffers(), 0u);
    using testing_gpu::CommandKind;
    EXPECT_EQ(harness.device->commandKinds(), (std::vector<CommandKind>{CommandKind::SetCommandBufferLabel,
                                                                         CommandKind::Commit,
                                                                         CommandKind::WaitUntilCompleted}));
    EXPECT_EQ(harness.device->commands()[0].label, "KORLAN Flow Renderer Drain");
    EXPECT_EQ(renderer->lastError(), nullptr);
}

TEST_F(FrameClock, ADrainThatFailsLeavesItsErrorAndOneThatCannotStartIsSkipped) {
    const auto lost = testing_gpu::makeDeviceError(-4, "device lost");
    harness.device->failures.execution = lost;
    renderer->stopAndWaitForPendingCommands();
    EXPECT_EQ(renderer->lastError(), lost);

    harness.device->failures = {};
    harness.device->failures.commandBuffer = true;
    harness.device->clearRecording();
    renderer->setLastError(nullptr);
    renderer->startAtTimestamp(0.0);
    renderer->stopAndWaitForPendingCommands();
    EXPECT_FALSE(renderer->running());
    EXPECT_TRUE(harness.device->commands().empty());
    EXPECT_EQ(renderer->lastError(), nullptr);
}
