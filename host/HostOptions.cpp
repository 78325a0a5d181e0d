#include "host/HostOptions.h"

#include "host/ArgumentParsing.h"
#include "host/OptionParser.h"

#include <charconv>
#include <cstdint>

namespace {

enum Option {
    Bundle = 256,
    Help,
    Version,
    WindowId,
    Root,
    OwnWindow,
    Background,
    X11,
    Wayland,
    FramesPerSecond,
    Software,
    RegisterXScreenSaver
};

constexpr OptionSpec kOptions[] = {
    {"bundle", true, Bundle},        {"help", false, Help},         {"version", false, Version},
    {"window-id", true, WindowId},   {"root", false, Root},         {"window", true, OwnWindow},
    {"background", false, Background}, {"x11", false, X11},         {"wayland", false, Wayland},
    {"fps", false, FramesPerSecond}, {"software", false, Software},
    {"register-xscreensaver", false, RegisterXScreenSaver},
};

constexpr std::uint64_t kMaximumWindowSide = 16384;
const char* const kCommands[] = {"preview", "settings", "config", "capture"};

bool isCommand(const std::string& word) {
    for (const char* command : kCommands) {
        if (word == command) return true;
    }
    return false;
}

// "WxH" in whole points.
bool parseWindowSize(const std::string& text, HostOptions& options) {
    const auto cross = text.find('x');
    if (cross == std::string::npos) return false;
    const auto width = parseWholeNumber(std::string_view(text).substr(0, cross), 1, kMaximumWindowSide);
    const auto height = parseWholeNumber(std::string_view(text).substr(cross + 1), 1, kMaximumWindowSide);
    if (!width || !height) return false;
    options.windowWidth = unsigned(*width);
    options.windowHeight = unsigned(*height);
    return true;
}

// The places named on the command line, resolved once all are read.
struct NamedPlaces {
    bool windowId = false, root = false, ownWindow = false, background = false;
    bool x11 = false, wayland = false;

    bool xWindow() const { return windowId || root; }
    bool any() const { return windowId || root || ownWindow || background; }
};

// Applies one option; false when its value is bad.
bool apply(const ParsedOption& option, HostOptions& options, NamedPlaces& named) {
    switch (option.id) {
    case Bundle:
        options.bundlePath = option.value;
        return !option.value.empty();
    case Help:
        options.help = true;
        return true;
    case Version:
        options.version = true;
        return true;
    case WindowId: {
        named.windowId = true;
        const auto id = parseWindowId(option.value);
        options.windowId = id.value_or(0);
        return id.has_value();
    }
    case Root:
        named.root = true;
        return true;
    case OwnWindow:
        named.ownWindow = true;
        return parseWindowSize(option.value, options);
    case Background:
        named.background = true;
        return true;
    case X11:
        named.x11 = true;
        return true;
    case Wayland:
        named.wayland = true;
        return true;
    case FramesPerSecond:
        options.framesPerSecond = true;
        return true;
    case RegisterXScreenSaver:
        options.registerXScreenSaver = true;
        return true;
    default:
        options.software = true;
        return true;
    }
}

// A daemon's settings program runs a hack with --root and, for its preview,
// --window-id after it: the window it names wins.
bool resolvePlace(const NamedPlaces& named, HostOptions& options, std::string& problem) {
    if (named.ownWindow && named.xWindow()) {
        problem = "--window excludes --window-id and --root";
        return false;
    }
    if (named.background && (named.ownWindow || named.xWindow())) {
        problem = "--background excludes --window, --window-id and --root";
        return false;
    }
    if (named.windowId) {
        options.place = SaverPlace::GivenWindow;
    } else if (named.root) {
        options.place = SaverPlace::RootWindow;
    } else if (named.ownWindow) {
        options.place = SaverPlace::OwnWindow;
    } else if (named.background) {
        options.place = SaverPlace::Background;
    }
    return true;
}

// An X window to draw into asks for X11; the wallpaper's layer exists only
// on Wayland.
bool resolveWindowSystem(const NamedPlaces& named, HostOptions& options, std::string& problem) {
    if (named.x11 && named.wayland) {
        problem = "--x11 excludes --wayland";
        return false;
    }
    if (named.wayland && named.xWindow()) {
        problem = "--window-id and --root name X windows: they exclude --wayland";
        return false;
    }
    if (named.x11 && named.background) {
        problem = "--background needs Wayland's background layer: it excludes --x11";
        return false;
    }
    if (named.x11 || named.xWindow()) {
        options.windowSystem = WindowSystemChoice::X11;
    } else if (named.wayland || named.background) {
        options.windowSystem = WindowSystemChoice::Wayland;
    }
    return true;
}

} // namespace

std::optional<unsigned long> parseWindowId(const std::string& text) {
    const bool hexadecimal = text.starts_with("0x") || text.starts_with("0X");
    const std::string_view digits = std::string_view(text).substr(hexadecimal ? 2 : 0);
    std::uint32_t id = 0;
    // X ids are 32 bits on the wire: a larger number would name another
    // window once cut to them.
    const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), id, hexadecimal ? 16 : 10);
    if (failure != std::errc() || end != digits.data() + digits.size() || digits.empty() || id == 0) {
        return std::nullopt;
    }
    return id;
}

std::optional<HostOptions> parseHostOptions(std::span<char* const> arguments, const char* screenSaverWindow,
                                            std::string defaultBundlePath, std::string& problem) {
    const auto parsed = parseOptions(arguments, kOptions, problem);
    if (!parsed) return std::nullopt;
    HostOptions options;
    options.bundlePath = std::move(defaultBundlePath);
    NamedPlaces named;
    for (const auto& option : parsed->options) {
        if (!apply(option, options, named)) {
            problem = badValue(kOptions, option);
            return std::nullopt;
        }
    }
    if (!resolvePlace(named, options, problem) || !resolveWindowSystem(named, options, problem)) return std::nullopt;
    const bool namesPlace = named.any();
    // The registered saver draws where the daemon says; only the flags it
    // runs with are ours to give.
    if (options.registerXScreenSaver) {
        if (namesPlace || !parsed->operands.empty()) {
            problem = "--register-xscreensaver takes no command, --window-id, --root, --window or --background";
            return std::nullopt;
        }
        return options;
    }
    if (!parsed->operands.empty()) {
        options.command = parsed->operands.front();
        options.commandArguments.assign(parsed->operands.begin() + 1, parsed->operands.end());
        if (!isCommand(options.command)) {
            problem = "unknown command: " + options.command;
            return std::nullopt;
        }
        if (namesPlace || options.framesPerSecond || options.software) {
            problem = "the saver's options do not apply to " + options.command;
            return std::nullopt;
        }
        return options;
    }
    // The daemon's window wins over the root window it also names with
    // --root, and stands in for it when nothing is said, unless Wayland is
    // asked for.
    const bool daemonWindow = screenSaverWindow && *screenSaverWindow && !named.wayland;
    if (daemonWindow && (options.place == SaverPlace::RootWindow || options.place == SaverPlace::FullScreen)) {
        const auto id = parseWindowId(screenSaverWindow);
        if (!id) {
            problem = std::string("bad value in XSCREENSAVER_WINDOW: ") + screenSaverWindow;
            return std::nullopt;
        }
        options.place = SaverPlace::GivenWindow;
        options.windowId = *id;
        options.windowSystem = WindowSystemChoice::X11;
    }
    return options;
}
