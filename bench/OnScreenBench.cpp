// The saver view on screen beside off screen: frames shown per second at
// 1920 × 1080, and the time from startAnimation to the first frame shown
// with a warm pipeline cache. On screen is a full-screen window of an Xvfb
// server of the benchmark's own, as korlan-flow makes it; off screen the
// same view in a window without a display server. The device is the
// system's, software allowed (lavapipe on a machine without a GPU).
#include "saver/KORLANFlowScreenSaverView.h"
#include "tests/support/PlatformOverrides.h"
#include "tests/support/ScratchDirectoryVariable.h"
#include "tests/support/XvfbServer.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/view/Screen.h"
#include "platform/view/x11/X11WindowBackend.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

constexpr view::Rect kFullHD{{0.0, 0.0}, {1920.0, 1080.0}};
constexpr unsigned kFillsItsSuperview = view::ViewWidthSizable | view::ViewHeightSizable;

// The server and its connection, for the whole run: the connection is the
// process's one and outlives everything.
view::x11::Connection& connection() {
    static XvfbServer* server = new XvfbServer({"1920x1080x24"});
    static view::x11::Connection* opened = [] {
        setenv("DISPLAY", server->display().c_str(), 1);
        std::string failure;
        auto* connection = view::x11::Connection::open(&failure);
        if (!connection) throw std::runtime_error(failure);
        gpu::DeviceOptions options;
        options.allowSoftwareDevice = true;
        options.presentationDisplay = {gpu::WindowSystem::X11, connection->display()};
        gpu::setDeviceOptions(options);
        return connection;
    }();
    return *opened;
}

std::shared_ptr<view::Window> newWindow(bool onScreen) {
    if (!onScreen) {
        return view::Window::initWithContentRect(
            kFullHD, view::WindowStyleMaskBorderless,
            view::Screen::initWithFrame(kFullHD, 1.0, {{view::kScreenNumberKey, std::int64_t{1}}}));
    }
    auto& x11 = connection();
    return view::Window::initWithBackend(view::x11::X11WindowBackend::newFullScreen(x11, x11.monitors().front()));
}

// A full-screen saver view filling its window, with the bundle as built as
// the module's own.
class SaverInWindow {
public:
    explicit SaverInWindow(bool onScreen)
        : window_(newWindow(onScreen)),
          saver_(KORLANFlowScreenSaverView::initWithFrame(window_->contentView()->bounds(), false)) {
        saver_->setAutoresizingMask(kFillsItsSuperview);
        window_->contentView()->addSubview(saver_);
    }
    ~SaverInWindow() {
        saver_->stopAnimation();
        window_->close();
        dispatch::MainQueue::shared().drain();
    }

    std::uint64_t framesShown() const {
        return saver_->renderer() ? saver_->renderer()->presentedFrameCount() : 0;
    }
    // Starts the view and waits for its first frame shown.
    bool startAndShowAFrame() {
        saver_->startAnimation();
        return dispatch::MainQueue::shared().runUntil([this] { return framesShown() >= 1; }, 30s);
    }
    void stop() {
        saver_->stopAnimation();
        dispatch::MainQueue::shared().drain();
    }

private:
    UseBundleForAddress builtBundle_{foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH)};
    std::shared_ptr<view::Window> window_;
    std::shared_ptr<KORLANFlowScreenSaverView> saver_;
};

const char* placeOf(bool onScreen) { return onScreen ? "on screen (Xvfb, full screen)" : "off screen"; }

// One iteration is a second of the saver's own 60 Hz timer running.
void FramesShownPerSecond(benchmark::State& state, bool onScreen) {
    SaverInWindow world(onScreen);
    if (!world.startAndShowAFrame()) return state.SkipWithError("no frame shown");
    std::uint64_t frames = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        const std::uint64_t before = world.framesShown();
        const auto start = std::chrono::steady_clock::now();
        dispatch::MainQueue::shared().runUntil([] { return false; }, 1s);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        frames += world.framesShown() - before;
    }
    state.counters["frames_per_s"] = double(frames) / seconds;
    state.SetLabel(placeOf(onScreen));
}
BENCHMARK_CAPTURE(FramesShownPerSecond, OnScreen, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FramesShownPerSecond, Offscreen, false)->Iterations(5)->Unit(benchmark::kMillisecond);

// The first start fills the pipeline cache; the timed ones read it.
void StartToFirstFrameShown(benchmark::State& state, bool onScreen) {
    ScratchDirectoryVariable cacheHome{"XDG_CACHE_HOME"};
    SaverInWindow world(onScreen);
    if (!world.startAndShowAFrame()) return state.SkipWithError("no frame shown");
    for (auto _ : state) {
        state.PauseTiming();
        world.stop();
        state.ResumeTiming();
        if (!world.startAndShowAFrame()) return state.SkipWithError("no frame shown");
    }
    state.SetLabel(std::string(placeOf(onScreen)) + ", warm pipeline cache");
}
BENCHMARK_CAPTURE(StartToFirstFrameShown, OnScreen, true)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartToFirstFrameShown, Offscreen, false)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
