// korlan-flow's command line: every spelling the screen-saver daemons and
// users write, and what is wrong with the rest.
#include "host/HostOptions.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    std::optional<HostOptions> options;
    std::string problem;
};

Parsed parse(std::vector<std::string> arguments, const char* screenSaverWindow = nullptr) {
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    Parsed parsed;
    parsed.options = parseHostOptions(argv, screenSaverWindow, "default.saver", parsed.problem);
    return parsed;
}

} // namespace

TEST(HostOptions, TakesEachSpellingOfThePlaceToDraw) {
    struct Case {
        std::vector<std::string> arguments;
        const char* screenSaverWindow;
        SaverPlace place;
        unsigned long windowId;
    };
    for (const auto& c : {
             Case{{}, nullptr, SaverPlace::FullScreen, 0},
             Case{{"--window-id", "4194319"}, nullptr, SaverPlace::GivenWindow, 4194319},
             Case{{"--window-id=0x40000f"}, nullptr, SaverPlace::GivenWindow, 0x40000f},
             Case{{"-window-id", "0X40000F"}, nullptr, SaverPlace::GivenWindow, 0x40000f},
             Case{{"--root"}, nullptr, SaverPlace::RootWindow, 0},
             Case{{"-root"}, nullptr, SaverPlace::RootWindow, 0},
             // The daemon's window stands in for the root window, and for
             // nothing said.
             Case{{"--root"}, "0x40000f", SaverPlace::GivenWindow, 0x40000f},
             Case{{}, "4194319", SaverPlace::GivenWindow, 4194319},
             Case{{}, "", SaverPlace::FullScreen, 0},
             // An explicit window wins over the daemon's, and over --root
             // in either order, as a daemon's settings program asks for
             // its preview.
             Case{{"--window-id", "7"}, "0x40000f", SaverPlace::GivenWindow, 7},
             Case{{"--software", "--root", "--window-id", "0x1e00005"}, nullptr, SaverPlace::GivenWindow, 0x1e00005},
             Case{{"-window-id", "7", "-root"}, "0x40000f", SaverPlace::GivenWindow, 7},
             Case{{"--window-id", "0xFFFFFFFF"}, nullptr, SaverPlace::GivenWindow, 0xFFFFFFFF},
         }) {
        const auto parsed = parse(c.arguments, c.screenSaverWindow);
        ASSERT_TRUE(parsed.options) << parsed.problem;
        EXPECT_EQ(parsed.options->place, c.place) << parsed.problem;
        EXPECT_EQ(parsed.options->windowId, c.windowId);
    }
}

TEST(HostOptions, ReadsFlagsValuesAndTheCommandWithItsArguments) {
    const auto parsed = parse({"-fps", "--software", "--window=800x450", "--bundle", "other.saver"});
    ASSERT_TRUE(parsed.options) << parsed.problem;
    EXPECT_TRUE(parsed.options->framesPerSecond);
    EXPECT_TRUE(parsed.options->software);
    EXPECT_EQ(parsed.options->place, SaverPlace::OwnWindow);
    EXPECT_EQ(parsed.options->windowWidth, 800u);
    EXPECT_EQ(parsed.options->windowHeight, 450u);
    EXPECT_EQ(parsed.options->bundlePath, "other.saver");

    // The command's own options stay its own, whatever they are.
    const auto capture = parse({"--bundle=b.saver", "capture", "--width", "64", "--frob"}, "0x40000f");
    ASSERT_TRUE(capture.options) << capture.problem;
    EXPECT_EQ(capture.options->command, "capture");
    EXPECT_EQ(capture.options->commandArguments, (std::vector<std::string>{"--width", "64", "--frob"}));
    EXPECT_EQ(capture.options->place, SaverPlace::FullScreen);
    EXPECT_EQ(parse({"-h"}).options->help, true);
    EXPECT_EQ(parse({"--version"}).options->version, true);
}

TEST(HostOptions, SaysWhatIsWrong) {
    struct Case {
        std::vector<std::string> arguments;
        const char* screenSaverWindow;
        const char* problem;
    };
    for (const auto& c : {
             Case{{"--frob"}, nullptr, "unknown option: --frob"},
             Case{{"-frob=1"}, nullptr, "unknown option: -frob"},
             Case{{"--window-id"}, nullptr, "--window-id needs a value"},
             Case{{"--window-id", "0"}, nullptr, "bad value for --window-id: 0"},
             Case{{"--window-id", "0x"}, nullptr, "bad value for --window-id: 0x"},
             Case{{"--window-id", "12ab"}, nullptr, "bad value for --window-id: 12ab"},
             Case{{"--window", "800"}, nullptr, "bad value for --window: 800"},
             Case{{"--window", "0x450"}, nullptr, "bad value for --window: 0x450"},
             Case{{"--window", "800x16385"}, nullptr, "bad value for --window: 800x16385"},
             Case{{"--bundle="}, nullptr, "bad value for --bundle: "},
             // Beyond 32 bits an id would wrap onto another window.
             Case{{"--window-id", "0x100000000"}, nullptr, "bad value for --window-id: 0x100000000"},
             Case{{"--window-id", "4294967297"}, nullptr, "bad value for --window-id: 4294967297"},
             Case{{"--root", "--window", "80x45"}, nullptr, "--window excludes --window-id and --root"},
             Case{{"--window=80x45", "--window-id", "7"}, nullptr, "--window excludes --window-id and --root"},
             Case{{"paint"}, nullptr, "unknown command: paint"},
             Case{{"--fps", "config"}, nullptr, "the saver's options do not apply to config"},
             Case{{"--root"}, "window", "bad value in XSCREENSAVER_WINDOW: window"},
             Case{{"--background", "--window", "80x45"}, nullptr,
                  "--background excludes --window, --window-id and --root"},
             Case{{"--root", "--background"}, nullptr, "--background excludes --window, --window-id and --root"},
             Case{{"--x11", "--wayland"}, nullptr, "--x11 excludes --wayland"},
             Case{{"--wayland", "--window-id", "7"}, nullptr,
                  "--window-id and --root name X windows: they exclude --wayland"},
             Case{{"--background", "--x11"}, nullptr, "--background needs Wayland's background layer: it excludes --x11"},
         }) {
        const auto parsed = parse(c.arguments, c.screenSaverWindow);
        EXPECT_FALSE(parsed.options) << c.problem;
        EXPECT_EQ(parsed.problem, c.problem);
    }
}

TEST(HostOptions, ChoosesTheWindowSystemByThePlaceAndTheFlags) {
    struct Case {
        std::vector<std::string> arguments;
        const char* screenSaverWindow;
        SaverPlace place;
        WindowSystemChoice windowSystem;
    };
    for (const auto& c : {
             Case{{}, nullptr, SaverPlace::FullScreen, WindowSystemChoice::Automatic},
             Case{{"--window", "80x45"}, nullptr, SaverPlace::OwnWindow, WindowSystemChoice::Automatic},
             Case{{"preview"}, nullptr, SaverPlace::FullScreen, WindowSystemChoice::Automatic},
             // An X window can only be drawn into on X11.
             Case{{"--root"}, nullptr, SaverPlace::RootWindow, WindowSystemChoice::X11},
             Case{{"-window-id", "7"}, nullptr, SaverPlace::GivenWindow, WindowSystemChoice::X11},
             Case{{}, "0x40000f", SaverPlace::GivenWindow, WindowSystemChoice::X11},
             Case{{"--x11"}, nullptr, SaverPlace::FullScreen, WindowSystemChoice::X11},
             Case{{"--wayland", "--window", "80x45"}, nullptr, SaverPlace::OwnWindow, WindowSystemChoice::Wayland},
             Case{{"--wayland", "preview"}, nullptr, SaverPlace::FullScreen, WindowSystemChoice::Wayland},
             // Asked for Wayland, a daemon's window left in the environment
             // is not taken.
             Case{{"--wayland"}, "0x40000f", SaverPlace::FullScreen, WindowSystemChoice::Wayland},
             Case{{"--background"}, nullptr, SaverPlace::Background, WindowSystemChoice::Wayland},
             Case{{"-background", "--wayland"}, nullptr, SaverPlace::Background, WindowSystemChoice::Wayland},
         }) {
        const auto parsed = parse(c.arguments, c.screenSaverWindow);
        ASSERT_TRUE(parsed.options) << parsed.problem;
        EXPECT_EQ(parsed.options->place, c.place) << c.arguments.size();
        EXPECT_EQ(parsed.options->windowSystem, c.windowSystem) << c.arguments.size();
    }
}
