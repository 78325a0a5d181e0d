#include "tests/unit/saver/SaverHarness.h"

#include "tests/support/PlatformCallProbe.h"

#include "platform/view/Screen.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class DisplayClaims : public ::testing::Test {
protected:
    static std::shared_ptr<KORLANFlowScreenSaverView> entered(std::int64_t display) {
        return KORLANFlowActiveViewsByDisplay().viewForDisplay(display);
    }

    SaverHarness harness;
};

} // namespace

TEST_F(DisplayClaims, TheNewestViewOnADisplayRendersAndTheOlderStaysDisplaced) {
    const auto older = SaverHarness::startedView();
    const auto newer = SaverHarness::startedView();
    EXPECT_EQ(stateOf(*newer.view), SaverState::Rendering);
    EXPECT_EQ(stateOf(*older.view), SaverState::Displaced);
    EXPECT_EQ(entered(kDisplay), newer.view);

    // Its own later suspension or stop leaves the newer view's entry alone.
    older.view->suspendForLifecycleChange();
    older.view->stopAnimation();
    EXPECT_EQ(entered(kDisplay), newer.view);

    older.view->startAnimation();
    EXPECT_EQ(stateOf(*older.view), SaverState::Rendering);
    EXPECT_EQ(stateOf(*newer.view), SaverState::Displaced);
    EXPECT_EQ(entered(kDisplay), older.view);
}

TEST_F(DisplayClaims, ClaimingItsOwnDisplayAgainDisplacesNobody) {
    const auto placed = SaverHarness::startedView();
    placed.view->claimCurrentDisplay();
    EXPECT_EQ(stateOf(*placed.view), SaverState::Rendering);
    EXPECT_EQ(entered(kDisplay), placed.view);
}

TEST_F(DisplayClaims, ViewsOnDifferentDisplaysAndPreviewsDoNotMeet) {
    const auto first = SaverHarness::startedView(false, kDisplay);
    const auto second = SaverHarness::startedView(false, kOtherDisplay);
    const auto preview = SaverHarness::startedView(true, kDisplay);
    EXPECT_EQ(stateOf(*first.view), SaverState::Rendering);
    EXPECT_EQ(stateOf(*second.view), SaverState::Rendering);
    EXPECT_EQ(entered(kDisplay), first.view);
    EXPECT_EQ(entered(kOtherDisplay), second.view);
    EXPECT_EQ(preview.view->claimedDisplayIdentifier(), std::nullopt);
}

TEST_F(DisplayClaims, AViewThatHasGoneReadsAsAbsentAndDisplacesNobody) {
    auto gone = SaverHarness::startedView();
    gone = {};
    EXPECT_EQ(entered(kDisplay), nullptr);
    const auto next = SaverHarness::startedView();
    EXPECT_EQ(stateOf(*next.view), SaverState::Rendering);
    EXPECT_EQ(entered(kDisplay), next.view);
}

TEST_F(DisplayClaims, AScreenWithoutANumberGivesNoClaimButTheViewStillRenders) {
    struct Case {
        const char* name;
        std::shared_ptr<view::Window> window;
    };
    const view::Rect frame{{0.0, 0.0}, {320.0, 180.0}};
    const Case cases[] = {
        {"no screen", view::Window::initWithContentRect(frame)},
        {"no number", SaverHarness::windowOnDisplay(std::nullopt)},
        {"text for a number",
         view::Window::initWithContentRect(
             frame, view::WindowStyleMaskBorderless,
             view::Screen::initWithFrame(frame, 1.0, {{view::kScreenNumberKey, std::string("69733248")}}))},
    };
    const auto other = SaverHarness::startedView();
    for (const auto& c : cases) {
        const auto saver = SaverHarness::newView();
        c.window->contentView()->addSubview(saver);
        saver->startAnimation();
        EXPECT_EQ(saver->currentDisplayIdentifier(), std::nullopt) << c.name;
        EXPECT_EQ(saver->claimedDisplayIdentifier(), std::nullopt) << c.name;
        EXPECT_EQ(stateOf(*saver), SaverState::Rendering) << c.name;
    }
    EXPECT_EQ(stateOf(*other.view), SaverState::Rendering);
}

TEST_F(DisplayClaims, TheOlderViewIsDisplacedOnlyAfterTheTableIsUnlocked) {
    const auto older = SaverHarness::startedView();
    const void* olderTimer = older.view->renderTimer().get();
    bool lockedWhileDisplacing = true;
    PlatformCallProbe probe([&](ProbedCall call, const void* object) {
        if (call != ProbedCall::TimerCancel || object != olderTimer) return;
        // The lock is recursive: only another thread can tell it is held.
        std::thread([&] {
            auto& table = KORLANFlowActiveViewsByDisplay();
            lockedWhileDisplacing = !table.try_lock();
            if (!lockedWhileDisplacing) table.unlock();
        }).join();
    });
    const auto newer = SaverHarness::startedView();
    EXPECT_EQ(stateOf(*older.view), SaverState::Displaced);
    EXPECT_FALSE(lockedWhileDisplacing);
}
