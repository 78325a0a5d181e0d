#include "host/ModuleBundle.h"

#include "platform/foundation/ScreenSaverDefaults.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: korlan-flow [--bundle PATH] COMMAND\n"
    "\n"
    "Commands:\n"
    "  config       print the settings as the module loads them, and where they are stored\n"
    "\n"
    "Options:\n"
    "  --bundle PATH  the KORLANFlow.saver bundle to load (default: the one built beside this program)\n"
    "  --help         show this text\n"
    "  --version      show the version\n";

int printConfiguration(const ModuleBundle& module) {
    const KORLANFlowConfiguration configuration = module.loadConfiguration();
    const auto store = foundation::ScreenSaverDefaults::defaultsForModuleWithName(module.bundleIdentifier);
    std::printf("bundle: %s (%s)\n", module.bundle->bundlePath().c_str(), module.bundleIdentifier);
    std::printf("settings file: %s\n", store->filePath().c_str());
    std::printf("FlowSpeed=%g\nFlowIntensity=%g\nFlowComplexity=%g\n", configuration.speed, configuration.intensity,
                configuration.complexity);
    return EXIT_SUCCESS;
}

int usageError(const char* message) {
    std::fprintf(stderr, "korlan-flow: %s\n\n%s", message, kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string bundlePath = KORLAN_FLOW_DEFAULT_BUNDLE;
    std::string command;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!std::strcmp(argument, "--help")) {
            std::fputs(kUsage, stdout);
            return EXIT_SUCCESS;
        }
        if (!std::strcmp(argument, "--version")) {
            std::puts("korlan-flow " KORLAN_FLOW_VERSION);
            return EXIT_SUCCESS;
        }
        if (!std::strcmp(argument, "--bundle")) {
            if (++i == argc) return usageError("--bundle needs a path");
            bundlePath = argv[i];
        } else if (command.empty() && argument[0] != '-') {
            command = argument;
        } else {
            return usageError((std::string("unknown argument: ") + argument).c_str());
        }
    }
    if (command != "config") return usageError(command.empty() ? "no command given" : "unknown command");

    std::string failure;
    const auto module = ModuleBundle::load(bundlePath, failure);
    if (!module) {
        std::fprintf(stderr, "korlan-flow: %s\n", failure.c_str());
        return EXIT_FAILURE;
    }
    return printConfiguration(*module);
}
