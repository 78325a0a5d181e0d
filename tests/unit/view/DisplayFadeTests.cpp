// The fade of the displays, whatever puts a brightness on them: steps at
// the displays' pace from where it is to where it is asked to go, and one
// call of done at the end of the fade that was not replaced.
#include "platform/dispatch/MainQueue.h"
#include "platform/view/DisplayFade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace std::chrono_literals;

namespace {

class RecordingFade : public view::DisplayFade {
public:
    std::vector<double> applied;

private:
    void applyBrightness(double brightness) override { applied.push_back(brightness); }
};

} // namespace

TEST(DisplayFade, StepsToTheBrightnessAndSaysSoOnce) {
    RecordingFade fade;
    int done = 0;
    const auto start = std::chrono::steady_clock::now();
    fade.fadeTo(0.0, 100ms, [&done] { ++done; });
    ASSERT_TRUE(dispatch::MainQueue::shared().runUntil([&] { return done > 0; }, 2s));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(done, 1);
    // More than a jump, and never back up on the way down.
    EXPECT_GT(fade.applied.size(), 2u);
    EXPECT_TRUE(std::is_sorted(fade.applied.rbegin(), fade.applied.rend()));
    EXPECT_EQ(fade.applied.back(), 0.0);

    // Out of range is the nearest end.
    fade.applied.clear();
    fade.setBrightness(2.0);
    EXPECT_EQ(fade.applied, (std::vector<double>{1.0}));
}

TEST(DisplayFade, ANewFadeTakesOverFromWhereTheOldOneGot) {
    RecordingFade fade;
    int firstDone = 0, secondDone = 0;
    fade.fadeTo(0.0, 200ms, [&firstDone] { ++firstDone; });
    dispatch::MainQueue::shared().runUntil([&] { return fade.applied.size() >= 3; }, 2s);
    const double reached = fade.applied.back();
    ASSERT_GT(reached, 0.0);
    fade.applied.clear();
    fade.fadeTo(1.0, 50ms, [&secondDone] { ++secondDone; });
    ASSERT_TRUE(dispatch::MainQueue::shared().runUntil([&] { return secondDone > 0; }, 2s));
    dispatch::MainQueue::shared().runUntil([] { return false; }, 250ms);
    EXPECT_EQ(firstDone, 0);
    EXPECT_EQ(secondDone, 1);
    EXPECT_GE(fade.applied.front(), reached);
    EXPECT_EQ(fade.applied.back(), 1.0);
}
