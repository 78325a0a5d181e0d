#include "host/CaptureCommand.h"
#include "host/ModuleBundle.h"

#include "platform/foundation/ScreenSaverDefaults.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: korlan-flow [--bundle PATH] COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  config       print the settings as the module loads them, and where they are stored\n"
    "  capture      render one frame off screen; prints its checksum (see capture --help)\n"
    "\n"
    "Options:\n"
    "  --bundle PATH  the KORLANFlow.saver bundle to load (default: the one built beside this program)\n"
    "  --help         show this text\n"
    "  --version      show the version\n";

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

} // namespace

int main(int argc, char** argv) {
    std::string bundlePath = KORLAN_FLOW_DEFAULT_BUNDLE;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (!std::strcmp(argv[i], "--help")) {
            std::fputs(kUsage, stdout);
            return EXIT_SUCCESS;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::puts("korlan-flow " KORLAN_FLOW_VERSION);
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "--bundle") != 0) return usageError(std::string("unknown option: ") + argv[i]);
        if (++i == argc) return usageError("--bundle needs a path");
        bundlePath = argv[i];
    }
    if (i == argc) return usageError("no command given");
    const std::string command = argv[i];
    const std::span<char* const> commandArguments(argv + i + 1, argv + argc);
    if (command != "config" && command != "capture") return usageError("unknown command: " + command);
    if (command == "config" && !commandArguments.empty()) return usageError("config takes no arguments");

    std::string failure;
    const auto module = ModuleBundle::load(bundlePath, failure);
    if (!module) {
        std::fprintf(stderr, "korlan-flow: %s\n", failure.c_str());
        return EXIT_FAILURE;
    }
    return command == "config" ? runConfigCommand(*module) : runCaptureCommand(*module, commandArguments);
}
