#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

// Where the saver draws.
enum class SaverPlace {
    FullScreen, // every monitor
    GivenWindow, // --window-id, or $XSCREENSAVER_WINDOW: an X window
    RootWindow, // --root without $XSCREENSAVER_WINDOW
    OwnWindow, // --window WxH
    Background, // --background: below every window of every monitor
};

// Which display server the saver's windows go to.
enum class WindowSystemChoice {
    Automatic, // Wayland where $WAYLAND_DISPLAY names a compositor, else X11
    X11, // --x11
    Wayland, // --wayland
};

// korlan-flow's command line, the program's name excluded.
struct HostOptions {
    std::string bundlePath;
    bool help = false;
    bool version = false;
    SaverPlace place = SaverPlace::FullScreen;
    WindowSystemChoice windowSystem = WindowSystemChoice::Automatic;
    unsigned long windowId = 0;
    unsigned windowWidth = 0, windowHeight = 0;
    bool framesPerSecond = false;
    bool software = false;
    // --register-xscreensaver: add the saver to XScreenSaver's list instead
    // of running it.
    bool registerXScreenSaver = false;
    // Empty for the saver; "preview", "config" or "capture".
    std::string command;
    // The command's own arguments.
    std::vector<std::string> commandArguments;
};

// Nullopt with the problem when the command line is wrong. The daemon's
// window in $XSCREENSAVER_WINDOW (given here) stands in for --root.
std::optional<HostOptions> parseHostOptions(std::span<char* const> arguments, const char* screenSaverWindow,
                                            std::string defaultBundlePath, std::string& problem);

// An X window id as the daemons write it: decimal, or hexadecimal after 0x.
std::optional<unsigned long> parseWindowId(const std::string& text);
