#include "host/SettingsCommand.h"

#include "host/DeviceSetup.h"
#include "host/DisplayServerChoice.h"
#include "host/OptionParser.h"
#include "host/SaverSession.h"
#include "host/SettingsPane.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Watches.h"
#include "platform/gpu/Device.h"
#include "platform/ui/gtk/Presenter.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: korlan-flow settings [--software]\n"
    "\n"
    "The saver's settings: its preview, \"Optionen …\" for the settings sheet, and\n"
    "\"Testen\" to run it in a window of its own. Closing the window ends it.\n"
    "\n"
    "  --software  allow the test run to draw on the CPU when there is no GPU\n"
    "  -h, --help  show this text\n";

enum OptionId { Software, Help };
constexpr OptionSpec kSettingsOptions[] = {{"software", false, Software}, {"help", false, Help}};

// What the test run draws in.
constexpr view::Size kTestWindowSize{640.0, 360.0};
constexpr const char* kTestWindowTitle = "KORLAN Flow Test";

int fail(const std::string& message) {
    std::fprintf(stderr, "korlan-flow: %s\n", message.c_str());
    return 1;
}

// "Testen": a full saver view, not the preview, in a window of its own, in
// this process, so that saved settings reach its renderer as they reach a
// running saver's. One at a time; it ends when its window is closed.
class TestRun {
public:
    TestRun(const view::ScreenSaverViewClass& saverClass, view::DisplayServer& server)
        : saverClass_(saverClass), server_(server) {}

    void open() {
        if (session_) return;
        session_.emplace(saverClass_);
        auto backend = server_.newDecoratedWindow(kTestWindowSize, kTestWindowTitle);
        if (!backend) {
            session_.reset();
            return;
        }
        // Closing happens inside the window's own notification: the session
        // goes once that is over.
        const bool shown = session_->show(std::move(backend), false, [this] {
            dispatch::async([this] { session_.reset(); });
        });
        if (!shown) {
            session_.reset();
            return;
        }
        session_->startAnimation();
    }
    void stop() { session_.reset(); }

private:
    const view::ScreenSaverViewClass& saverClass_;
    view::DisplayServer& server_;
    std::optional<SaverSession> session_;
};

} // namespace

int runSettingsCommand(const ModuleBundle& module, std::span<char* const> arguments) {
    std::string problem;
    const auto parsed = parseOptions(arguments, kSettingsOptions, problem);
    if (!parsed || !parsed->operands.empty()) {
        std::fprintf(stderr, "korlan-flow settings: %s\n\n%s", parsed ? "takes no arguments" : problem.c_str(),
                     kUsage);
        return 2;
    }
    bool software = false;
    for (const auto& option : parsed->options) {
        if (option.id == Help) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        software = true;
    }

    const auto opened = openDisplayServer(WindowSystemChoice::Automatic, problem);
    if (!opened) return fail(problem);
    const auto saverClass = module.principalClass();
    if (!saverClass) return fail("the bundle registered no principal class");
    // The pane and the test run on the same display server, unless the
    // user told GTK otherwise.
    setenv("GDK_BACKEND", opened->x11 ? "x11" : "wayland", 0);
    foundation::ErrorRef error;
    if (!ui::gtk::initialize(&error)) return fail(error->localizedDescription());
    chooseSaverDevice(opened->server->nativeDisplay(), software);
    const auto preview = saverClass->initWithFrame({{0, 0}, kPreviewSize}, true);
    if (!preview) return fail("the module made no saver view");

    TestRun testRun(*saverClass, *opened->server);
    std::shared_ptr<SettingsPane> pane;
    const auto showOptions = [&] {
        const auto sheet = preview->configureSheet();
        foundation::ErrorRef sheetError;
        if (sheet && !ui::gtk::beginSheet(pane->window(), sheet, nullptr, &sheetError) && sheetError) {
            std::fprintf(stderr, "korlan-flow: %s\n", sheetError->localizedDescription().c_str());
        }
    };
    pane = SettingsPane::make(preview, showOptions, [&] { testRun.open(); });
    // Kept here: closing the window makes the pane let go of it.
    const auto paneWindow = pane->window();
    if (!ui::gtk::present(paneWindow, &error)) return fail(error->localizedDescription());

    auto& center = foundation::NotificationCenter::defaultCenter();
    const auto closed = center.addObserverForName(view::kWindowWillCloseNotification, paneWindow.get(),
                                                  [](const foundation::Notification&) {
                                                      dispatch::MainQueue::shared().stop();
                                                  });
    const auto stopBySignal = [] { dispatch::MainQueue::shared().stop(); };
    const dispatch::SignalWatch interrupt(SIGINT, stopBySignal), terminate(SIGTERM, stopBySignal);
    preview->startAnimation();

    dispatch::MainQueue::shared().run();
    center.removeObserver(closed);
    preview->stopAnimation();
    testRun.stop();
    paneWindow->setBackend(nullptr);
    gpu::releaseSystemDefaultDevice();
    return 0;
}
