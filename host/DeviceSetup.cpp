#include "host/DeviceSetup.h"

#include "platform/gpu/Device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kValidationVariable = "KORLAN_FLOW_VALIDATION";

bool validationWanted() {
    const char* value = std::getenv(kValidationVariable);
    return value && std::strcmp(value, "1") == 0;
}

} // namespace

void chooseSaverDevice(const gpu::NativeDisplay& display, bool allowSoftware) {
    gpu::DeviceOptions options;
    options.allowSoftwareDevice = allowSoftware;
    options.presentationDisplay = display;
    if (validationWanted()) {
        options.enableValidation = true;
        options.validationMessageHandler = [](std::string_view message) {
            std::fprintf(stderr, "korlan-flow: validation: %.*s\n", int(message.size()), message.data());
        };
    }
    gpu::setDeviceOptions(std::move(options));
}

void explainMissingDevice(bool softwareAllowed) {
    std::fputs(softwareAllowed
                   ? "korlan-flow: no Vulkan device could be opened, not even the CPU one that --software allows; "
                     "is a Vulkan driver installed?\n"
                   : "korlan-flow: no GPU found; run with --software to draw on the CPU instead\n",
               stderr);
}
