#include "platform/dispatch/MainQueue.h"
#include "platform/view/ScreenSaverView.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

class CountingSaver : public view::ScreenSaverView {
public:
    static std::shared_ptr<CountingSaver> make(bool preview) {
        return std::shared_ptr<CountingSaver>(new CountingSaver(preview));
    }
    int frames = 0;
    void animateOneFrame() override { ++frames; }

private:
    explicit CountingSaver(bool preview) : ScreenSaverView({{0, 0}, {10, 10}}, preview) {}
};

} // namespace

TEST(ScreenSaverView, AnimatesOneFrameEveryIntervalBetweenStartAndStop) {
    const auto saver = CountingSaver::make(false);
    saver->setAnimationTimeInterval(1.0 / 100.0);
    EXPECT_FALSE(saver->isAnimating());
    saver->startAnimation();
    saver->startAnimation();
    EXPECT_TRUE(saver->isAnimating());
    dispatch::MainQueue::shared().runUntil([&] { return saver->frames >= 10; }, 2s);
    saver->stopAnimation();
    EXPECT_FALSE(saver->isAnimating());
    const int framesAtStop = saver->frames;
    EXPECT_GE(framesAtStop, 10);
    dispatch::MainQueue::shared().runUntil([] { return false; }, 50ms);
    EXPECT_EQ(saver->frames, framesAtStop);
}

TEST(ScreenSaverView, TheTimerDoesNotKeepAReleasedViewAlive) {
    std::weak_ptr<CountingSaver> watched;
    {
        const auto saver = CountingSaver::make(true);
        EXPECT_TRUE(saver->isPreview());
        saver->startAnimation();
        watched = saver;
    }
    EXPECT_TRUE(watched.expired());
    dispatch::MainQueue::shared().runUntil([] { return false; }, 50ms);
}
