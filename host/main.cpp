#include "host/CaptureCommand.h"
#include "host/HostOptions.h"
#include "host/ModuleBundle.h"
#include "host/ProgramLocation.h"
#include "host/SaverCommand.h"
#include "host/SettingsCommand.h"
#include "host/StopSignals.h"
#include "host/XScreenSaverRegistration.h"

#include "platform/foundation/ScreenSaverDefaults.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: korlan-flow [OPTIONS]            the saver, full screen on every monitor\n"
    "       korlan-flow [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "The saver ends on a key press, a click or a move of the mouse; when it draws\n"
    "into a window it was given, it runs until that window goes or it is killed.\n"
    "\n"
    "Saver options:\n"
    "  --window-id ID  draw into the X window ID (decimal, or hexadecimal after 0x)\n"
    "  --root          draw into the root window, or into $XSCREENSAVER_WINDOW when set\n"
    "  --window WxH    draw in an ordinary window of W x H points\n"
    "  --background    on Wayland, draw below every window of every output, as a wallpaper\n"
    "  --wayland, --x11\n"
    "                  show on the Wayland compositor or the X server (by default Wayland\n"
    "                  where WAYLAND_DISPLAY is set, unless an X window is named)\n"
    "  --fps           print the frames shown per second once a second on standard error\n"
    "  --software      allow drawing on the CPU when there is no GPU\n"
    "\n"
    "Commands:\n"
    "  preview      the preview picture in a small window\n"
    "  settings     the saver's settings: preview, settings sheet and a test run (see settings --help)\n"
    "  config       print the settings as the module loads them, and where they are stored\n"
    "  capture      render one frame off screen; prints its checksum (see capture --help)\n"
    "\n"
    "Options:\n"
    "  --bundle PATH  the KORLANFlow.saver bundle to load (default: the one installed or built with this program)\n"
    "  --register-xscreensaver\n"
    "                 add the saver to the programs in ~/.xscreensaver, with --software and --fps when given\n"
    "  -h, --help     show this text\n"
    "  --version      show the version\n"
    "\n"
    "Options may be written --name VALUE, --name=VALUE or -name VALUE.\n"
    "XSCREENSAVER_WINDOW names the window to draw into, as the screen-saver daemons set it.\n"
    "KORLAN_FLOW_VALIDATION=1 turns on the Vulkan validation layer and prints its messages.\n";

int runConfigCommand(const ModuleBundle& module) {
    const KORLANFlowConfiguration configuration = module.loadConfiguration();
    const auto store = foundation::ScreenSaverDefaults::defaultsForModuleWithName(module.bundleIdentifier);
    std::printf("bundle: %s (%s)\n", module.bundle->bundlePath().c_str(), module.bundleIdentifier);
    std::printf("settings file: %s\n", store->filePath().c_str());
    std::printf("FlowSpeed=%g\nFlowIntensity=%g\nFlowComplexity=%g\n", configuration.speed, configuration.intensity,
                configuration.complexity);
    return EXIT_SUCCESS;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "korlan-flow: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

bool runsTheSaver(const HostOptions& options) { return options.command.empty() || options.command == "preview"; }

int runCommand(const ModuleBundle& module, const HostOptions& options, StopSignals* stopSignals) {
    if (options.command == "config") return runConfigCommand(module);
    std::vector<char*> arguments;
    for (const auto& argument : options.commandArguments) arguments.push_back(const_cast<char*>(argument.c_str()));
    if (options.command == "capture") return runCaptureCommand(module, arguments);
    if (options.command == "settings") return runSettingsCommand(module, arguments);
    return runSaverCommand(module, options, *stopSignals);
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const auto program = runningProgram();
    const auto options = parseHostOptions(
        std::span<char* const>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"),
        defaultBundlePath(program, KORLAN_FLOW_INSTALLED_BUNDLE, KORLAN_FLOW_BUILT_BUNDLE).string(), problem);
    if (!options) return usageError(problem);
    if (options->help) {
        std::fputs(kUsage, stdout);
        return EXIT_SUCCESS;
    }
    if (options->version) {
        std::puts("korlan-flow " KORLAN_FLOW_VERSION);
        return EXIT_SUCCESS;
    }
    if (options->registerXScreenSaver) return registerWithXScreenSaver(program, *options);
    const bool takesArguments = options->command == "capture" || options->command == "settings";
    if (!takesArguments && !options->commandArguments.empty()) {
        return usageError(options->command + " takes no arguments");
    }

    // Before anything slow: a daemon may end the saver the moment it started
    // it.
    std::optional<StopSignals> stopSignals;
    if (runsTheSaver(*options)) stopSignals.emplace();

    std::string failure;
    const auto module = ModuleBundle::load(options->bundlePath, failure);
    if (!module) {
        std::fprintf(stderr, "korlan-flow: %s\n", failure.c_str());
        return EXIT_FAILURE;
    }
    return runCommand(*module, *options, stopSignals ? &*stopSignals : nullptr);
}
