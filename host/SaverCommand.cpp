#include "host/SaverCommand.h"

#include "host/DeviceSetup.h"
#include "host/DisplayPower.h"
#include "host/DisplayServerChoice.h"
#include "host/FrameRateReport.h"
#include "host/MonitorFollower.h"
#include "host/SaverSession.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/gpu/Device.h"
#include "platform/view/x11/X11WindowBackend.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

using view::x11::X11WindowBackend;

constexpr const char* kWindowTitle = "KORLAN Flow";
// Each way: to black before the saver shows and when the user ends it,
// back once the saver shows and once its windows are gone.
constexpr auto kFade = std::chrono::milliseconds(600);

// How the run ends: the first reason wins.
struct RunEnd {
    std::optional<int> status;
    view::DisplayFade* fade = nullptr;
    bool fadingOut = false;

    void end(int exitStatus) {
        if (status) return;
        status = exitStatus;
        dispatch::MainQueue::shared().stop();
    }
    // Where the displays fade, they go dark before the saver's windows
    // close, so the desktop does not flash up under them.
    void endByUser() {
        if (!fade) return end(0);
        if (fadingOut) return;
        fadingOut = true;
        fade->fadeTo(0.0, kFade, [this] { end(0); });
    }
};

int fail(const std::string& message) {
    std::fprintf(stderr, "korlan-flow: %s\n", message.c_str());
    return 1;
}

// A full-screen X window that another client destroyed ends the run; a
// Wayland compositor closes a layer surface when its output goes, which
// stops only that output's view (the view stops as its window closes).
bool showFullScreen(std::optional<MonitorFollower>& follower, SaverSession& session,
                    const OpenedDisplayServer& opened, view::FullScreenLayer layer, RunEnd& run) {
    const bool endsWhenAWindowCloses = opened.x11 != nullptr;
    follower.emplace(session, *opened.server, layer,
                     MonitorFollower::Handlers{[&run] { run.endByUser(); },
                                               [&run, endsWhenAWindowCloses] {
                                                   if (endsWhenAWindowCloses) run.end(0);
                                               }});
    return follower->showOnEveryMonitor();
}

// Another program's window: drawn into until it goes, which ends the run.
bool showInGivenWindow(SaverSession& session, view::x11::Connection& connection, unsigned long window, RunEnd& run,
                       std::string& failure) {
    auto backend = X11WindowBackend::newGiven(connection, window, &failure);
    if (!backend) return false;
    const bool shown = session.show(std::move(backend), false, [&run, window] {
        std::fprintf(stderr, "korlan-flow: the window 0x%lx is gone; stopping\n", window);
        run.end(0);
    });
    if (!shown) failure = "the module made no saver view";
    return shown;
}

bool showInOwnWindow(SaverSession& session, view::DisplayServer& server, view::Size size, bool isPreview,
                     RunEnd& run, std::string& failure) {
    auto backend = server.newDecoratedWindow(size, kWindowTitle, &failure);
    if (!backend) return false;
    return session.show(std::move(backend), isPreview, [&run] { run.end(0); });
}

bool showWindows(std::optional<MonitorFollower>& follower, SaverSession& session, const OpenedDisplayServer& opened,
                 const HostOptions& options, RunEnd& run, std::string& failure) {
    failure = "the module made no saver view";
    auto& server = *opened.server;
    if (options.command == "preview") return showInOwnWindow(session, server, kPreviewSize, true, run, failure);
    switch (options.place) {
    case SaverPlace::FullScreen:
        return showFullScreen(follower, session, opened, view::FullScreenLayer::Overlay, run);
    case SaverPlace::Background:
        return showFullScreen(follower, session, opened, view::FullScreenLayer::Background, run);
    case SaverPlace::GivenWindow:
        return showInGivenWindow(session, *opened.x11, options.windowId, run, failure);
    case SaverPlace::RootWindow:
        return showInGivenWindow(session, *opened.x11, opened.x11->rootWindow(), run, failure);
    case SaverPlace::OwnWindow:
        return showInOwnWindow(session, server, {double(options.windowWidth), double(options.windowHeight)}, false,
                               run, failure);
    }
    return false;
}

bool isFullScreen(const HostOptions& options) {
    return options.command.empty() && options.place == SaverPlace::FullScreen;
}

bool coversOutputs(const HostOptions& options) {
    return options.command.empty() && (options.place == SaverPlace::FullScreen || options.place == SaverPlace::Background);
}

// Runs the main queue through a whole fade, unless giveUp says otherwise.
void fadeAndWait(view::DisplayFade& fade, double brightness, const std::function<bool()>& giveUp) {
    const auto done = std::make_shared<bool>(false);
    fade.fadeTo(brightness, kFade, [done] { *done = true; });
    dispatch::MainQueue::shared().runUntil([&] { return *done || giveUp(); }, 2 * kFade);
}


} // namespace

int runSaverCommand(const ModuleBundle& module, const HostOptions& options, StopSignals& stopSignals) {
    std::string failure;
    const auto opened = openDisplayServer(options.windowSystem, failure);
    if (!opened) return fail(failure);
    if (opened->wayland && coversOutputs(options) && !opened->wayland->hasLayerShell()) {
        return fail("the Wayland compositor has no layer shell (zwlr_layer_shell_v1) to cover its outputs with "
                    "(GNOME has none); --window shows the saver in a window there");
    }
    const auto saverClass = module.principalClass();
    if (!saverClass) return fail("the bundle registered no principal class");

    const bool isPreview = options.command == "preview";
    chooseSaverDevice(opened->server->nativeDisplay(), options.software);
    // The preview draws without the GPU.
    const bool haveDevice = isPreview || gpu::Device::createSystemDefaultDevice() != nullptr;

    RunEnd run;
    stopSignals.setHandler([&run] { run.end(0); });
    if (opened->wayland) {
        opened->wayland->setHangUpHandler([&run](const std::string& reason) {
            std::fprintf(stderr, "korlan-flow: %s; stopping\n", reason.c_str());
            run.end(1);
        });
    }
    // Only over the whole screen: a daemon that gives us its window fades
    // the displays itself.
    std::unique_ptr<view::DisplayFade> fade;
    if (isFullScreen(options) && saverClass->performGammaFade()) fade = opened->server->newDisplayFade();
    if (fade) {
        run.fade = fade.get();
        // The switch to the saver happens in the dark, unless the run ends
        // first.
        fadeAndWait(*run.fade, 0.0, [&run] { return run.status.has_value(); });
    }
    SaverSession session(*saverClass);
    std::optional<MonitorFollower> follower;
    if (!showWindows(follower, session, *opened, options, run, failure)) return fail(failure);
    session.startAnimation();
    if (run.fade) run.fade->fadeTo(1.0, kFade);
    // Where the monitors say when they are dark, no view draws meanwhile.
    const auto power = opened->x11 ? newDpmsPowerSource(*opened->x11) : nullptr;
    if (power) session.followDisplayPower(*power);
    // After the module's own line about the missing device.
    if (!haveDevice) explainMissingDevice(options.software);
    std::optional<FrameRateReport> frameRate;
    if (options.framesPerSecond) frameRate.emplace();

    // Returns at once when the run ended already.
    dispatch::MainQueue::shared().run();
    follower.reset();
    session.stop();
    // The displays' own brightness back once the windows are gone; put
    // back at once, whatever the fade reached, when the fade goes.
    if (fade) fadeAndWait(*fade, 1.0, [] { return false; });
    fade.reset();
    gpu::releaseSystemDefaultDevice();
    return run.status.value_or(0);
}
