#include "tests/unit/saver/SaverHarness.h"

#include "tests/support/PlatformCallProbe.h"

#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/ProcessInfo.h"
#include "platform/graphics/ColorSpace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

class SaverLifecycle : public ::testing::Test {
protected:
    SaverHarness harness;
};

double uptimeMilliseconds() { return foundation::ProcessInfo::systemUptime() * 1000.0; }

} // namespace

TEST(SaverCreation, SetsUpTheViewAndLoadsThePictureOnlyForAPreview) {
    struct Case {
        const char* name;
        bool isPreview;
        std::function<void(SaverHarness&)> bundle;
        bool hasPicture;
    };
    const auto withPicture = [](const std::string& contents) {
        return [contents](SaverHarness& h) { h.bundle.withResource("preview.png", contents); };
    };
    const Case cases[] = {
        {"preview", true, [](SaverHarness&) {}, true},
        {"full screen", false, [](SaverHarness&) {}, false},
        {"preview, no picture", true,
         [](SaverHarness& h) { std::filesystem::remove(h.bundle.path() / "Contents/Resources/preview.png"); }, false},
        {"preview, undecodable picture", true, withPicture("no PNG at all"), false},
        {"preview, library in no bundle", true, [](SaverHarness& h) { h.useBundle(nullptr); }, false},
    };
    for (const auto& c : cases) {
        SaverHarness world;
        c.bundle(world);
        const auto saver = SaverHarness::newView(c.isPreview);
        EXPECT_EQ(saver->settingsPreviewImage() != nullptr, c.hasPicture) << c.name;
        EXPECT_EQ(saver->isPreview(), c.isPreview) << c.name;
        EXPECT_DOUBLE_EQ(saver->animationTimeInterval(), 1.0 / 60.0) << c.name;
        ASSERT_NE(saver->layer(), nullptr) << c.name;
        EXPECT_EQ(saver->layer()->backgroundColor,
                  graphics::Color::colorWithSRGBRed(15 / 255.0, 18 / 255.0, 22 / 255.0, 1.0));
        EXPECT_EQ(stateOf(*saver), SaverState::Stopped) << c.name;
        EXPECT_EQ(saver->renderGeneration(), 0u) << c.name;
        EXPECT_EQ(world.device->calls().size(), 0u) << c.name;
    }
}

// Each case breaks exactly one of the conditions, in the order they are
// tested, and has had every start trigger it could; one more start must
// change nothing.
TEST_F(SaverLifecycle, EachRunConditionOnItsOwnStopsTheStart) {
    struct Arranged {
        std::shared_ptr<KORLANFlowScreenSaverView> saver;
        std::vector<PlacedView> keep{};
    };
    const auto startedIn = [](std::shared_ptr<view::Window> window, std::shared_ptr<KORLANFlowScreenSaverView> saver) {
        window->contentView()->addSubview(saver);
        saver->startAnimation();
        return Arranged{saver, {{window, saver}}};
    };
    const auto window = [] { return SaverHarness::windowOnDisplay(); };
    const auto newView = [](view::Size points) { return SaverHarness::newView(false, points); };
    const std::pair<const char*, std::function<Arranged()>> cases[] = {
        {"animation requested",
         [] {
             const auto placed = SaverHarness::placedView();
             return Arranged{placed.view, {placed}};
         }},
        {"not displaced",
         [] {
             const auto older = SaverHarness::startedView();
             return Arranged{older.view, {older, SaverHarness::startedView()}};
         }},
        {"not running",
         [] {
             const auto placed = SaverHarness::startedView();
             return Arranged{placed.view, {placed}};
         }},
        {"in a window",
         [] {
             const auto saver = SaverHarness::newView();
             saver->startAnimation();
             return Arranged{saver};
         }},
        {"in a superview",
         [&] {
             const auto placed = PlacedView{window(), SaverHarness::newView()};
             placed.window->setContentView(placed.view);
             placed.view->startAnimation();
             return Arranged{placed.view, {placed}};
         }},
        {"not hidden",
         [&] {
             const auto saver = SaverHarness::newView();
             saver->setHidden(true);
             return startedIn(window(), saver);
         }},
        {"some width",
         [&] {
             return startedIn(window(), newView({0.0, 180.0}));
         }},
        {"some height",
         [&] {
             return startedIn(window(), newView({320.0, 0.0}));
         }},
    };
    for (const auto& [condition, arrange] : cases) {
        const auto arranged = arrange();
        const auto& saver = arranged.saver;
        const auto state = stateOf(*saver);
        const auto renderer = saver->renderer();
        const auto claim = saver->claimedDisplayIdentifier();
        const auto generation = saver->renderGeneration();
        harness.device->clearRecording();
        harness.loggedTimes(kNoDeviceMessage);

        saver->startRenderingIfPossible();

        EXPECT_EQ(stateOf(*saver), state) << condition;
        EXPECT_EQ(saver->renderer(), renderer) << condition;
        EXPECT_EQ(saver->claimedDisplayIdentifier(), claim) << condition;
        EXPECT_EQ(saver->renderGeneration(), generation) << condition;
        EXPECT_TRUE(harness.device->calls().empty()) << condition;
        EXPECT_EQ(harness.loggedTimes("KORLAN Flow: "), 0) << condition;
    }
}

TEST_F(SaverLifecycle, AFullScreenStartClaimsBuildsAndDrawsTheFirstFrameAtOnce) {
    harness.configHome.writeSettingsFile(KORLANFlowBundleIdentifier,
                                         "[de.korlan.flow]\nFlowSpeed=1.5\nFlowIntensity=9\nFlowComplexity=0.6\n");
    PlacedView placed{SaverHarness::windowOnDisplay(kDisplay, {320.0, 180.0}, 2.0), SaverHarness::newView()};
    placed.window->contentView()->addSubview(placed.view);
    const double before = uptimeMilliseconds();
    placed.view->startAnimation();

    const auto& saver = *placed.view;
    ASSERT_EQ(stateOf(saver), SaverState::Rendering);
    EXPECT_EQ(saver.claimedDisplayIdentifier(), kDisplay);
    EXPECT_EQ(KORLANFlowActiveViewsByDisplay().viewForDisplay(kDisplay), placed.view);
    const auto& metal = *saver.metalView();
    EXPECT_EQ(metal.frame().size.width, 320.0);
    EXPECT_EQ(metal.autoresizingMask(), 18u);
    EXPECT_EQ(metal.colorPixelFormat(), gpu::PixelFormat::BGRA8Unorm);
    EXPECT_EQ(metal.clearColor().green, 18 / 255.0);
    EXPECT_TRUE(metal.framebufferOnly() && metal.isPaused() && !metal.enableSetNeedsDisplay() &&
                metal.autoResizeDrawable());
    EXPECT_EQ(metal.preferredFramesPerSecond(), 60);
    ASSERT_NE(metal.colorspace(), nullptr);
    EXPECT_EQ(metal.colorspace()->name(), graphics::kColorSpaceSRGB);
    const auto& renderer = *saver.renderer();
    EXPECT_TRUE(renderer.running());
    EXPECT_EQ(renderer.configuration().speed, 1.5f);
    EXPECT_EQ(renderer.configuration().intensity, 1.2f); // clamped as loaded
    EXPECT_EQ(renderer.drawableSize().width, 640.0);     // the window's pixels, laid out before the start
    EXPECT_EQ(renderer.frameCount(), 1u);                // drawn before any tick
    EXPECT_GE(renderer.lastTimestampMilliseconds(), before);
    EXPECT_EQ(saver.renderGeneration(), 1u);
}

TEST_F(SaverLifecycle, TheBaseAnimationStartsAfterTheGPUSetUpAndBeforeTheClock) {
    const auto placed = SaverHarness::placedView();
    std::vector<bool> seen;
    PlatformCallProbe probe([&](ProbedCall call, const void*) {
        if (call != ProbedCall::BaseStartAnimation) return;
        const auto& saver = *placed.view;
        seen = {saver.claimedDisplayIdentifier().has_value(), saver.renderer() != nullptr,
                saver.renderer() && saver.renderer()->running(), saver.saverRunning(), saver.renderTimer() != nullptr};
    });
    placed.view->startAnimation();
    EXPECT_EQ(seen, (std::vector<bool>{true, true, false, false, false}));
}

TEST_F(SaverLifecycle, APreviewShowsItsPictureAndTakesNothingElse) {
    const auto placed = SaverHarness::startedView(true);
    EXPECT_EQ(stateOf(*placed.view), SaverState::PreviewShowing);
    EXPECT_TRUE(placed.view->subviews().empty());
    EXPECT_EQ(KORLANFlowActiveViewsByDisplay().viewForDisplay(kDisplay), nullptr);
    EXPECT_TRUE(harness.device->calls().empty());
    ASSERT_NE(placed.window->contents(), nullptr); // displayed at once
}

TEST_F(SaverLifecycle, WithoutADeviceEveryStartLogsAndTheViewWaitsHoldingItsClaim) {
    harness.useDevice(nullptr);
    const auto placed = SaverHarness::startedView();
    placed.view->setHidden(true);
    placed.view->setHidden(false);
    EXPECT_EQ(harness.loggedTimes(kNoDeviceMessage), 2);
    EXPECT_EQ(stateOf(*placed.view), SaverState::Waiting);
    EXPECT_TRUE(placed.view->subviews().empty());
    EXPECT_EQ(KORLANFlowActiveViewsByDisplay().viewForDisplay(kDisplay), placed.view);
}

TEST(SaverGPUSetUp, ARendererThatCannotBeMadeIsLoggedWithItsErrorAndTheMetalViewDropped) {
    struct Case {
        std::function<void(SaverHarness&)> fault;
        std::string description;
    };
    const Case cases[] = {
        {[](SaverHarness& h) { h.device->failures.commandQueue = true; },
         "Metal-Command-Queue konnte nicht angelegt werden."},
        {[](SaverHarness& h) {
             h.device->failures.defaultLibrary = testing_gpu::Fault{testing_gpu::makeDeviceError(7, "kaputt")};
         },
         "kaputt"},
        {[](SaverHarness& h) { h.useBundle(nullptr); }, "Kompilierte Metal-Shader fehlen."},
        // A failure that carries no error still ends its line in words.
        {[](SaverHarness& h) { h.device->failures.pipelineLabels["KORLAN Flow Pattern Pipeline"] = {}; }, "(null)"},
    };
    for (const auto& c : cases) {
        SaverHarness world;
        c.fault(world);
        const auto placed = SaverHarness::startedView();
        EXPECT_EQ(world.loggedTimes(kRendererFailedMessage + c.description), 1) << c.description;
        EXPECT_EQ(stateOf(*placed.view), SaverState::Waiting) << c.description;
        EXPECT_TRUE(placed.view->subviews().empty()) << c.description;
        EXPECT_EQ(placed.view->claimedDisplayIdentifier(), kDisplay) << c.description;
    }
}

namespace {

// What the view is like when the teardown reaches one of its platform calls.
struct TeardownMoment {
    ProbedCall call;
    bool running, timer, drained, delegate, paused, metalViewInside, renderer, baseAnimating;
    bool operator==(const TeardownMoment&) const = default;
};

std::ostream& operator<<(std::ostream& stream, const TeardownMoment& m) {
    return stream << int(m.call) << ": running " << m.running << ", timer " << m.timer << ", drained " << m.drained
                  << ", delegate " << m.delegate << ", paused " << m.paused << ", inside " << m.metalViewInside
                  << ", renderer " << m.renderer << ", base animating " << m.baseAnimating;
}

bool drained(const testing_gpu::RecordingDevice& device) {
    return !testing_gpu::commandsOfKind(device.commands(), testing_gpu::CommandKind::WaitUntilCompleted).empty();
}

} // namespace

TEST_F(SaverLifecycle, TeardownStopsTheTimerThenDrainsThenTakesTheMetalViewApart) {
    const auto placed = SaverHarness::startedView();
    const auto& saver = *placed.view;
    const void* timer = saver.renderTimer().get();
    const auto metal = saver.metalView();
    harness.device->clearRecording();
    std::vector<TeardownMoment> moments;
    PlatformCallProbe probe([&](ProbedCall call, const void* object) {
        // The platform repeats some of them inside others (a released timer
        // cancels itself, a view leaving its window lets its drawables go):
        // the first of each is the view's.
        if (object != timer && object != metal.get() && object != &saver) return;
        if (std::ranges::any_of(moments, [&](const auto& moment) { return moment.call == call; })) return;
        moments.push_back({call, saver.saverRunning(), saver.renderTimer() != nullptr, drained(*harness.device),
                           metal->delegate() != nullptr, metal->isPaused(), metal->superview() != nullptr,
                           saver.renderer() != nullptr, saver.isAnimating()});
    });

    placed.view->tearDownRenderingAndFrameworkTimer();

    using enum ProbedCall;
    const std::vector<TeardownMoment> expected{
        {TimerCancel, false, true, false, true, true, true, true, true},
        {ReleaseDrawables, false, false, true, false, true, true, true, true},
        {RemoveFromSuperview, false, false, true, false, true, true, true, true},
        {BaseStopAnimation, false, false, true, false, true, false, false, true},
    };
    EXPECT_EQ(moments, expected);
    EXPECT_GT(saver.renderGeneration(), 1u);
}

TEST_F(SaverLifecycle, TeardownRunsInAnyStateAnyNumberOfTimes) {
    const PlacedView views[] = {{nullptr, SaverHarness::newView()},
                                SaverHarness::placedView(),
                                SaverHarness::startedView(),
                                SaverHarness::startedView(true)};
    for (const auto& placed : views) {
        for (int time = 0; time < 3; ++time) placed.view->tearDownRenderingAndFrameworkTimer();
        EXPECT_FALSE(placed.view->saverRunning());
        EXPECT_NE(stateOf(*placed.view), SaverState::Inconsistent);
        EXPECT_TRUE(placed.view->subviews().empty());
    }
}

// Part of the transition table: each case brings a view to its start state
// and pulls one trigger.
TEST_F(SaverLifecycle, TriggersMoveTheViewBetweenItsStates) {
    struct World {
        PlacedView placed;
        std::vector<PlacedView> others{};
        KORLANFlowScreenSaverView& saver() const { return *placed.view; }
    };
    using Step = std::function<void(World&)>;
    const Step stopped = [](World& w) { w.placed = SaverHarness::placedView(); };
    const Step rendering = [](World& w) { w.placed = SaverHarness::startedView(); };
    const Step preview = [](World& w) { w.placed = SaverHarness::startedView(true); };
    const Step waitingHidden = [](World& w) {
        w.placed = SaverHarness::placedView();
        w.saver().setHidden(true);
        w.saver().startAnimation();
    };
    const Step displaced = [](World& w) {
        w.placed = SaverHarness::startedView();
        w.others.push_back(SaverHarness::startedView());
    };
    const Step start = [](World& w) { w.saver().startAnimation(); };
    const Step stop = [](World& w) { w.saver().stopAnimation(); };
    const Step hide = [](World& w) { w.saver().setHidden(true); };
    const Step hideAndUnhide = [](World& w) {
        w.saver().setHidden(true);
        w.saver().setHidden(false);
    };
    const Step closeWindow = [](World& w) { w.placed.window->close(); };
    const Step leaveSuperview = [](World& w) { w.saver().removeFromSuperview(); };
    const Step moveToAnotherWindow = [](World& w) {
        w.others.push_back({SaverHarness::windowOnDisplay(kOtherDisplay), nullptr});
        w.others.back().window->contentView()->addSubview(w.placed.view);
    };
    const Step newerViewOnTheDisplay = [](World& w) { w.others.push_back(SaverHarness::startedView()); };
    // Without a device the start fails after the claim.
    const Step waitingWithAClaim = [this](World& w) {
        harness.useDevice(nullptr);
        w.placed = SaverHarness::startedView();
        harness.useDevice(harness.device);
    };
    struct Case {
        const char* name;
        Step from, trigger;
        SaverState to;
    };
    const Case cases[] = {
        {"stopped, start", stopped, start, SaverState::Rendering},
        {"stopped, hierarchy events", stopped, hideAndUnhide, SaverState::Stopped},
        {"stopped, another window", stopped, moveToAnotherWindow, SaverState::Stopped},
        {"waiting, unhide", waitingHidden, [](World& w) { w.saver().setHidden(false); }, SaverState::Rendering},
        {"waiting without a claim, newer view", waitingHidden, newerViewOnTheDisplay, SaverState::Waiting},
        {"waiting with a claim, newer view", waitingWithAClaim, newerViewOnTheDisplay, SaverState::Displaced},
        {"waiting with a claim, start", waitingWithAClaim, start, SaverState::Rendering},
        {"rendering, hide", rendering, hide, SaverState::Waiting},
        {"rendering, window closes", rendering, closeWindow, SaverState::Waiting},
        {"rendering, leaves its superview", rendering, leaveSuperview, SaverState::Waiting},
        {"rendering, another window", rendering, moveToAnotherWindow, SaverState::Rendering},
        {"rendering, newer view", rendering, newerViewOnTheDisplay, SaverState::Displaced},
        {"rendering, stop", rendering, stop, SaverState::Stopped},
        {"preview, hide", preview, hide, SaverState::Waiting},
        {"preview, window closes", preview, closeWindow, SaverState::Waiting},
        {"preview, leaves its superview", preview, leaveSuperview, SaverState::Waiting},
        {"preview, newer view", preview, newerViewOnTheDisplay, SaverState::PreviewShowing},
        {"preview, stop", preview, stop, SaverState::Stopped},
        {"displaced, hierarchy events", displaced, hideAndUnhide, SaverState::Displaced},
        {"displaced, another window", displaced, moveToAnotherWindow, SaverState::Displaced},
        {"displaced, start", displaced, start, SaverState::Rendering},
        {"displaced, stop", displaced, stop, SaverState::Stopped},
    };
    for (const auto& c : cases) {
        World world;
        c.from(world);
        c.trigger(world);
        EXPECT_EQ(stateOf(world.saver()), c.to) << c.name;
    }
}

TEST_F(SaverLifecycle, EachEntryIntoRenderingBuildsAfreshAndRestartsTheClock) {
    const auto placed = SaverHarness::startedView();
    const std::weak_ptr<KORLANFlowRenderer> firstRenderer = placed.view->renderer();
    const std::weak_ptr<view::MetalView> firstMetalView = placed.view->metalView();
    placed.view->stopAnimation();
    EXPECT_TRUE(firstRenderer.expired() && firstMetalView.expired());
    const double restart = uptimeMilliseconds();
    placed.view->startAnimation();
    ASSERT_EQ(stateOf(*placed.view), SaverState::Rendering);
    EXPECT_GE(placed.view->renderer()->lastTimestampMilliseconds(), restart);
    EXPECT_EQ(placed.view->renderer()->frameCount(), 1u);
}

TEST_F(SaverLifecycle, OnlyTheObservedWindowsClosingSuspends) {
    const auto placed = SaverHarness::startedView();
    const auto otherWindow = SaverHarness::windowOnDisplay();
    otherWindow->close();
    placed.view->observedWindowWillClose({view::kWindowWillCloseNotification, otherWindow.get()});
    EXPECT_EQ(stateOf(*placed.view), SaverState::Rendering);
    placed.window->close();
    EXPECT_EQ(stateOf(*placed.view), SaverState::Waiting);
    EXPECT_EQ(placed.view->observedWindow(), nullptr);
}

TEST_F(SaverLifecycle, ReleasingARenderingViewTearsDownReleasesItsClaimAndStopsObserving) {
    auto placed = SaverHarness::startedView();
    const std::weak_ptr<KORLANFlowRenderer> renderer = placed.view->renderer();
    const std::weak_ptr<view::MetalView> metal = placed.view->metalView();
    const std::weak_ptr<dispatch::TimerSource> timer = placed.view->renderTimer();
    const std::weak_ptr<KORLANFlowScreenSaverView> saver = placed.view;
    harness.device->clearRecording();

    // The window and the views in it go together, without a hierarchy event.
    placed = {};

    EXPECT_TRUE(saver.expired());
    EXPECT_TRUE(renderer.expired() && metal.expired() && timer.expired());
    EXPECT_TRUE(drained(*harness.device));
    EXPECT_EQ(KORLANFlowActiveViewsByDisplay().viewForDisplay(kDisplay), nullptr);
}
