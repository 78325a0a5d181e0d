// korlan-flow as a screen saver on an X server of the test's own, drawing
// on the CPU device, as a user or a screen-saver daemon runs it.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Device set-up and the first pipelines on the CPU take seconds on a busy
// machine; a frame at these sizes takes milliseconds.
constexpr auto kStartTime = 30s;
constexpr auto kEndTime = 10s;
// What the host may take from SIGTERM to its exit: stopping the views and
// draining the GPU's last frames.
constexpr auto kSignalTime = 1s;

const char* const kNoDeviceLine = "KORLAN Flow: Dieses System stellt kein Metal-Gerät bereit.";

std::string hex(unsigned long window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

class Saver : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(screen.isOpen()) << "no Xvfb for the test"; }

    std::vector<std::string> onServer(std::vector<std::string> environment = {}) const {
        environment.push_back("DISPLAY=" + server.display());
        return environment;
    }

    // Ends the host as a daemon does and expects it to go cleanly.
    static void expectCleanEndOnSignal(HostProcess& host) {
        host.signal(SIGTERM);
        const auto status = host.waitForExit(kSignalTime);
        ASSERT_TRUE(status.has_value()) << "still running after SIGTERM";
        EXPECT_EQ(*status, 0) << host.errorOutput();
        EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");
    }

    XvfbServer server{{"640x360x24", "480x270x24"}};
    TestDisplay screen{server.display()};
};

} // namespace

TEST_F(Saver, FullScreenShowsThePatternWithTheLogoOnEveryXScreenAndEndsOnSIGTERM) {
    HostProcess host({"--software"}, onServer());
    for (int xScreen : {0, 1}) {
        EXPECT_TRUE(eventually(
            [&] {
                const Pixels shown = screen.pixelsOf(screen.rootWindow(xScreen));
                return showsThePattern(shown) && showsTheLogoInTheUpperLeft(shown);
            },
            kStartTime))
            << "X screen " << xScreen << ": " << host.errorOutput();
    }
    expectCleanEndOnSignal(host);
}

// The displays fade out and in through their gamma, and get back the ramps
// they had, however the saver ends.
TEST_F(Saver, FullScreenEndsOnInputOrASignalAndGivesBackTheGammaHoweverItEnds) {
    // A linear ramp to 90 %: not what the server starts with, so giving
    // back means giving back what was there.
    auto found = screen.gammaRamp();
    ASSERT_FALSE(found.empty());
    const std::size_t size = found.size() / 3;
    for (std::size_t entry = 0; entry < found.size(); ++entry) {
        found[entry] = static_cast<unsigned short>(0.9 * 65535.0 * double(entry % size) / double(size - 1));
    }
    screen.setGammaRamp(found);
    ASSERT_EQ(screen.gammaRamp(), found);
    const auto darker = [&] { return screen.gammaRamp().back() < found.back(); };

    using End = std::function<void(TestDisplay&, HostProcess&)>;
    const auto bySignal = [](int signalNumber) -> End {
        return [signalNumber](TestDisplay&, HostProcess& host) { host.signal(signalNumber); };
    };
    // The key press begins the fade out; what ends the program while the
    // displays are dimmed must still give their gamma back.
    const auto whileDimmed = [&darker](End end) -> End {
        return [&darker, end](TestDisplay& display, HostProcess& host) {
            display.pressKey();
            ASSERT_TRUE(eventually(darker, kEndTime)) << "no fade out";
            end(display, host);
        };
    };
    struct Case {
        const char* end;
        // The user's input fades out first; a signal ends at once.
        bool fadesOut;
        End give;
        // A fatal end is no clean exit.
        bool clean;
    };
    const Case cases[] = {
        {"a key press", true, [](TestDisplay& display, HostProcess&) { display.pressKey(); }, true},
        {"the pointer moved 40 pixels", true,
         [](TestDisplay& display, HostProcess&) { display.movePointer(140, 100); }, true},
        {"SIGINT", false, bySignal(SIGINT), true},
        {"SIGTERM", false, bySignal(SIGTERM), true},
        {"a crash (SIGSEGV) while dimmed", false, whileDimmed(bySignal(SIGSEGV)), false},
        {"an abort while dimmed", false, whileDimmed(bySignal(SIGABRT)), false},
        {"its X connection killed while dimmed", false,
         whileDimmed([](TestDisplay& display, HostProcess&) {
             display.killClientOf(display.mappedWindows().back().window);
         }),
         false},
    };

    for (const auto& c : cases) {
        screen.movePointer(100, 100);
        HostProcess host({"--software"}, onServer());
        ASSERT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(screen.rootWindow())); }, kStartTime))
            << host.errorOutput();
        EXPECT_TRUE(eventually([&] { return screen.gammaRamp() == found; }, kEndTime)) << c.end << ": not faded in";
        screen.movePointer(103, 102);
        EXPECT_FALSE(host.waitForExit(300ms).has_value()) << "ended on a jitter of the pointer";
        c.give(screen, host);
        if (c.fadesOut) {
            EXPECT_TRUE(eventually(darker, kEndTime)) << c.end << ": ended without fading out";
        }
        const auto status = host.waitForExit(kEndTime);
        ASSERT_TRUE(status.has_value()) << c.end << " did not end it";
        EXPECT_EQ(*status == 0, c.clean) << c.end << ": " << *status << " " << host.errorOutput();
        EXPECT_EQ(screen.gammaRamp(), found) << c.end;
        EXPECT_EQ(validationMessagesIn(host.errorOutput()), "") << c.end;
    }
}

// The convention of screen-saver daemons: draw into the window they made,
// follow its size, and end when it goes.
TEST_F(Saver, DrawsIntoAGivenWindowFollowsItsSizeAndEndsWhenItIsDestroyed) {
    struct Case {
        const char* how;
        std::function<std::vector<std::string>(unsigned long)> arguments;
        std::function<std::vector<std::string>(unsigned long)> environment;
    };
    const auto none = [](unsigned long) { return std::vector<std::string>{}; };
    const Case cases[] = {
        {"--window-id in decimal",
         [](unsigned long window) { return std::vector<std::string>{"--window-id", std::to_string(window)}; }, none},
        {"-window-id=0x…", [](unsigned long window) { return std::vector<std::string>{"-window-id=" + hex(window)}; },
         none},
        {"$XSCREENSAVER_WINDOW with -root", [](unsigned long) { return std::vector<std::string>{"-root"}; },
         [](unsigned long window) { return std::vector<std::string>{"XSCREENSAVER_WINDOW=" + hex(window)}; }},
    };
    for (const auto& c : cases) {
        const unsigned long window = screen.createWindow(320, 180);
        auto arguments = c.arguments(window);
        arguments.push_back("--software");
        HostProcess host(arguments, onServer(c.environment(window)));
        EXPECT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(window)); }, kStartTime))
            << c.how << ": " << host.errorOutput();

        screen.resizeWindow(window, 400, 240);
        // The drawing reaches the new right and bottom edges; the pattern
        // there may be as dark as the background, so shades tell it from
        // the window's black.
        EXPECT_TRUE(eventually(
            [&] {
                const Pixels shown = screen.pixelsOf(window);
                return shown.width == 400 && isShaded(regionOf(shown, 320, 0, 80, 240)) &&
                       isShaded(regionOf(shown, 0, 180, 400, 60));
            },
            kEndTime))
            << c.how;

        screen.destroyWindow(window);
        const auto status = host.waitForExit(kEndTime);
        ASSERT_TRUE(status.has_value()) << c.how << ": still running without its window";
        EXPECT_EQ(*status, 0) << c.how << ": " << host.errorOutput();
        EXPECT_NE(host.errorOutput().find("korlan-flow: the window " + hex(window) + " is gone"), std::string::npos)
            << c.how << ": " << host.errorOutput();
        EXPECT_EQ(validationMessagesIn(host.errorOutput()), "") << c.how;
    }
}

TEST_F(Saver, WithoutAUsableDeviceItSaysSoShowsTheBackgroundAndStillEndsCleanly) {
    struct Case {
        const char* machine;
        std::vector<std::string> arguments, environment;
    };
    const Case cases[] = {
        // Without a driver there is nothing to validate, and the loader would
        // report through the layer's messenger that it found none.
        {"no Vulkan driver",
         {"--software"},
         {"VK_ICD_FILENAMES=/nonexistent", "VK_DRIVER_FILES=/nonexistent", "KORLAN_FLOW_VALIDATION=0"}},
        {"only a CPU device, not allowed", {}, {}},
    };
    for (const auto& c : cases) {
        HostProcess host(c.arguments, onServer(c.environment));
        EXPECT_TRUE(eventually(
            [&] {
                return showsOnlyTheBackground(screen.pixelsOf(screen.rootWindow(0))) &&
                       showsOnlyTheBackground(screen.pixelsOf(screen.rootWindow(1)));
            },
            kStartTime))
            << c.machine;
        const std::string said = host.errorOutput();
        const auto german = said.find(kNoDeviceLine);
        EXPECT_NE(german, std::string::npos) << c.machine << ": " << said;
        // One English line after the module's, naming the option.
        const auto hint = said.rfind("korlan-flow: ");
        EXPECT_TRUE(hint != std::string::npos && hint > german) << said;
        EXPECT_NE(said.find("--software", hint), std::string::npos) << said;
        expectCleanEndOnSignal(host);
    }
}

// The preview and the saver in a window of its own: ordinary windows that
// end the program when the user closes them.
TEST_F(Saver, ThePreviewAndTheOwnWindowShowTheirPicturesAndEndWhenClosed) {
    struct Case {
        std::vector<std::string> arguments;
        unsigned width, height;
    };
    for (const auto& c : {Case{{"preview"}, 296, 184}, Case{{"--window", "200x120", "--software"}, 200, 120}}) {
        HostProcess host(c.arguments, onServer());
        unsigned long window = 0;
        EXPECT_TRUE(eventually(
            [&] {
                window = screen.windowNamed("KORLAN Flow");
                if (!window) return false;
                const Pixels shown = screen.pixelsOf(window);
                return shown.width == c.width && shown.height == c.height && showsThePattern(shown);
            },
            kStartTime))
            << c.arguments[0] << ": " << host.errorOutput();
        screen.requestClose(window);
        const auto status = host.waitForExit(kEndTime);
        ASSERT_TRUE(status.has_value()) << c.arguments[0] << ": still running after its window closed";
        EXPECT_EQ(*status, 0) << host.errorOutput();
        EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");
    }
}

TEST_F(Saver, FailsWithAReasonWhenItCannotStart) {
    struct Case {
        std::vector<std::string> arguments, environment;
        const char* reason;
    };
    const Case cases[] = {
        {{"--window-id", "0x7ffff0"}, {"DISPLAY=" + server.display()}, "korlan-flow: there is no window 0x7ffff0\n"},
        {{}, {"DISPLAY="}, "korlan-flow: cannot open display (DISPLAY is not set)\n"},
        {{}, {"DISPLAY=:7919"}, "korlan-flow: cannot open display :7919\n"},
    };
    for (const auto& c : cases) {
        HostProcess host(c.arguments, c.environment);
        const auto status = host.waitForExit(kEndTime);
        ASSERT_TRUE(status.has_value()) << c.reason;
        EXPECT_EQ(*status, 1) << c.reason;
        EXPECT_EQ(host.errorOutput(), c.reason);
    }
}

// A daemon's settings program runs the saver for its preview pane with the
// user's options, --root, and the pane's window; the pane wins over the
// root window and over the daemon's own window.
TEST_F(Saver, ThePreviewPaneNamedAfterRootGetsThePattern) {
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
    };
    const unsigned long pane = screen.createWindow(320, 180);
    const unsigned long daemons = screen.createWindow(64, 64);
    for (const auto& c : {Case{{"--software", "--root", "--window-id", hex(pane)}, {}},
                          Case{{"-root", "-window-id", hex(pane), "--software"}, {"XSCREENSAVER_WINDOW=" + hex(daemons)}},
                          Case{{"--window-id", hex(pane), "--root", "--software"}, {}}}) {
        HostProcess host(c.arguments, onServer(c.environment));
        EXPECT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(pane)); }, kStartTime))
            << c.arguments[0] << ": " << host.errorOutput();
        expectCleanEndOnSignal(host);
    }
}

// A window with an alpha channel shows what is drawn, not a flat colour.
TEST_F(Saver, AGivenWindowWithAnAlphaChannelShowsThePattern) {
    const unsigned long window = screen.createAlphaWindow(320, 180);
    ASSERT_NE(window, 0u) << "the server offers no 32-bit visual";
    HostProcess host({"--window-id", hex(window), "--software"}, onServer());
    EXPECT_TRUE(eventually(
        [&] {
            const Pixels shown = screen.pixelsOf(window);
            return showsThePattern(shown) && showsTheLogoInTheUpperLeft(shown);
        },
        kStartTime))
        << host.errorOutput();
    expectCleanEndOnSignal(host);
}

// As in a window of its own: the background colour, not the window's old
// contents.
TEST_F(Saver, WithoutAUsableDeviceAGivenWindowShowsTheBackgroundColour) {
    const unsigned long window = screen.createWindow(320, 180);
    HostProcess host({"--window-id", hex(window)}, onServer());
    EXPECT_TRUE(eventually([&] { return showsOnlyTheBackground(screen.pixelsOf(window)); }, kStartTime))
        << host.errorOutput();
    expectCleanEndOnSignal(host);
}

// What cannot be drawn into fails at once with a reason, never with a
// success that shows nothing.
TEST_F(Saver, AWindowThatCannotBeDrawnIntoFailsWithAReason) {
    const unsigned long inputOnly = screen.createInputOnlyWindow(64, 64);
    struct Case {
        std::vector<std::string> arguments;
        const char* resources;
        std::string reason;
    };
    const Case cases[] = {
        {{"--window-id", hex(inputOnly), "--software"},
         "",
         "korlan-flow: the window " + hex(inputOnly) + " is an InputOnly window, which cannot be drawn into\n"},
        {{"--window", "16384x16384", "--software"},
         "Xft.dpi:\t384\n",
         "korlan-flow: a window of 16384 x 16384 points is 65536 x 65536 pixels here, more than the 16384 a side "
         "that can be drawn\n"},
    };
    for (const auto& c : cases) {
        screen.setResources(c.resources);
        HostProcess host(c.arguments, onServer());
        const auto status = host.waitForExit(kStartTime);
        ASSERT_TRUE(status.has_value()) << c.reason;
        EXPECT_EQ(*status, 1) << host.errorOutput();
        EXPECT_NE(host.errorOutput().find(c.reason), std::string::npos) << host.errorOutput();
    }
}

namespace {

// A driver list that the Vulkan loader reads as the saver opens its device:
// a FIFO, which holds the saver there until the test lets it go on (with
// no driver), so that a signal can be sent while the device still loads.
class DriverListGate {
public:
    DriverListGate() {
        char folder[] = "/tmp/korlan-flow-e2e-gate-XXXXXX";
        if (mkdtemp(folder)) path_ = std::string(folder) + "/drivers.json";
        if (!path_.empty() && mkfifo(path_.c_str(), 0600) != 0) path_.clear();
    }
    ~DriverListGate() {
        if (writer_ >= 0) close(writer_);
        if (path_.empty()) return;
        unlink(path_.c_str());
        rmdir(path_.substr(0, path_.rfind('/')).c_str());
    }
    DriverListGate(const DriverListGate&) = delete;
    DriverListGate& operator=(const DriverListGate&) = delete;

    // Without a driver, the loader would report through the validation
    // layer that it found none.
    std::vector<std::string> environment() const {
        return {"VK_DRIVER_FILES=" + path_, "VK_ICD_FILENAMES=" + path_, "KORLAN_FLOW_VALIDATION=0"};
    }
    // True once the saver reads the list and waits for it.
    bool reached(std::chrono::milliseconds timeout) {
        return eventually([&] { return (writer_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0; },
                          timeout);
    }
    // The saver reads an empty list, now and whenever it looks again, and
    // goes on without a driver.
    void letThrough() {
        const std::string empty = path_ + ".empty";
        close(::open(empty.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
        rename(empty.c_str(), path_.c_str());
        close(writer_);
        writer_ = -1;
    }

private:
    std::string path_;
    int writer_ = -1;
};

} // namespace

// A daemon may end the saver the moment it started it, and a locker sends
// SIGUSR1 or SIGUSR2 when its prompt closes: from any moment, a stop signal
// ends the saver with 0, and the others leave it running.
TEST_F(Saver, SignalsSentWhileItStillStartsEndItCleanlyOrLeaveItRunning) {
    struct Case {
        std::vector<int> signals;
        bool ends;
    };
    for (const auto& c : {Case{{SIGTERM}, true}, Case{{SIGINT}, true}, Case{{SIGHUP}, true},
                          Case{{SIGUSR1, SIGUSR2}, false}}) {
        DriverListGate gate;
        HostProcess host({"--software"}, onServer(gate.environment()));
        ASSERT_TRUE(gate.reached(kStartTime)) << host.errorOutput();
        for (const int signalNumber : c.signals) host.signal(signalNumber);
        std::this_thread::sleep_for(100ms);
        gate.letThrough();
        const auto status = host.waitForExit(c.ends ? kEndTime : 1s);
        if (c.ends) {
            ASSERT_TRUE(status.has_value()) << c.signals[0] << ": still running";
            EXPECT_EQ(*status, 0) << c.signals[0] << ": " << host.errorOutput();
            continue;
        }
        EXPECT_FALSE(status.has_value()) << "ended with " << status.value_or(-1);
        if (status) continue;
        // Once it runs, too.
        for (const int signalNumber : c.signals) host.signal(signalNumber);
        EXPECT_FALSE(host.waitForExit(500ms).has_value()) << host.errorOutput();
        expectCleanEndOnSignal(host);
    }
}

// Written by the process: all it sent its X connection, and a few lines
// on standard error.
std::uint64_t bytesWrittenBy(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "wchar:") return value;
    }
    return 0;
}

// A CPU device's frames reach the server through memory they share; sent
// through the socket instead, each would be a whole frame of pixels. The
// swapchain that the fault library leaves the CPU device shows the
// difference.
TEST_F(Saver, ASoftwareDevicePresentsThroughSharedMemoryNotTheSocket) {
    struct Case {
        const char* presentation;
        std::vector<std::string> environment;
        bool sharesMemory;
    };
    const std::uint64_t frameBytes = 640 * 360 * 4;
    const Case cases[] = {
        {"shared memory", {}, true},
        {"swapchain", {"LD_PRELOAD=" KORLAN_FLOW_PRESENTATION_FAULTS, "KORLAN_FLOW_FAULT_LOSE_SURFACE_AT=2000000000",
                        "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"}, false},
    };
    for (const auto& c : cases) {
        HostProcess host({"--software", "--fps"}, onServer(c.environment));
        ASSERT_TRUE(eventually([&] { return frameRatesIn(host.errorOutput()).size() >= 2; }, kStartTime))
            << c.presentation << host.errorOutput();
        const std::size_t ratesBefore = frameRatesIn(host.errorOutput()).size();
        const std::uint64_t bytesBefore = bytesWrittenBy(host.pid());
        ASSERT_TRUE(eventually([&] { return frameRatesIn(host.errorOutput()).size() >= ratesBefore + 2; },
                               kStartTime));
        const std::uint64_t bytes = bytesWrittenBy(host.pid()) - bytesBefore;
        const auto rates = frameRatesIn(host.errorOutput());
        double frames = 0.0;
        for (std::size_t second = ratesBefore; second < rates.size(); ++second) frames += rates[second];
        ASSERT_GT(frames, 0.0) << c.presentation;
        const double bytesPerFrame = double(bytes) / frames;
        std::printf("%s: %.0f bytes written a frame of %llu bytes\n", c.presentation, bytesPerFrame,
                    static_cast<unsigned long long>(frameBytes));
        if (c.sharesMemory) {
            EXPECT_LT(bytesPerFrame, 0.01 * double(frameBytes)) << c.presentation;
        } else {
            EXPECT_GT(bytesPerFrame, 0.5 * double(frameBytes)) << c.presentation;
        }
        expectCleanEndOnSignal(host);
    }
}

TEST(SaverCommandLine, ReportsWhatIsWrongAndPrintsTheUsage) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--frob"}, 2, "korlan-flow: unknown option: --frob\n"},
        {{"--window-id"}, 2, "korlan-flow: --window-id needs a value\n"},
        {{"--window=12"}, 2, "korlan-flow: bad value for --window: 12\n"},
        {{"--root", "--window", "64x48"}, 2, "korlan-flow: --window excludes --window-id and --root\n"},
        {{"--window-id", "0x100000001"}, 2, "korlan-flow: bad value for --window-id: 0x100000001\n"},
        {{"paint"}, 2, "korlan-flow: unknown command: paint\n"},
    };
    for (const auto& c : cases) {
        HostProcess host(c.arguments, {});
        const auto status = host.waitForExit(kEndTime);
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(*status, c.status) << c.says;
        EXPECT_TRUE(host.errorOutput().starts_with(c.says)) << host.errorOutput();
        EXPECT_NE(host.errorOutput().find("Usage: korlan-flow"), std::string::npos);
    }
}
