#include "platform/view/wayland/GammaControl.h"

#include "platform/view/wayland/Output.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "wlr-gamma-control-unstable-v1-client-protocol.h"

#include <cmath>
#include <vector>

namespace view::wayland {

namespace {

using Control = GammaControl::Control;

const zwlr_gamma_control_v1_listener kListener = {
    .gamma_size = [](void* data, zwlr_gamma_control_v1*, uint32_t size) { static_cast<Control*>(data)->size = size; },
    .failed = [](void* data, zwlr_gamma_control_v1*) { static_cast<Control*>(data)->failed = true; },
};

// Red, green and blue, each a straight ramp to the brightness, in a file
// the compositor reads from its start.
int rampsFile(std::uint32_t size, double brightness) {
    std::vector<std::uint16_t> ramps(std::size_t(size) * 3);
    for (std::uint32_t entry = 0; entry < size; ++entry) {
        const double level = size > 1 ? double(entry) / double(size - 1) : 1.0;
        const auto value = static_cast<std::uint16_t>(std::lround(level * brightness * 65535.0));
        ramps[entry] = ramps[size + entry] = ramps[2 * size + entry] = value;
    }
    const int descriptor = memfd_create("korlan-flow-gamma", MFD_CLOEXEC);
    if (descriptor < 0) return -1;
    const auto bytes = ssize_t(ramps.size() * sizeof(std::uint16_t));
    if (write(descriptor, ramps.data(), std::size_t(bytes)) != bytes || lseek(descriptor, 0, SEEK_SET) != 0) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

} // namespace

std::unique_ptr<GammaControl> GammaControl::create(Connection& connection) {
    if (!connection.globals().gammaControl) return nullptr;
    return std::unique_ptr<GammaControl>(new GammaControl(connection));
}

GammaControl::GammaControl(Connection& connection) : connection_(connection) {
    for (const auto* output : connection_.outputs()) {
        auto control = std::make_unique<Control>();
        control->control =
            zwlr_gamma_control_manager_v1_get_gamma_control(connection_.globals().gammaControl, output->handle());
        zwlr_gamma_control_v1_add_listener(control->control, &kListener, control.get());
        controls_.push_back(std::move(control));
    }
    // Each control's size, or its failure.
    connection_.roundtrip();
}

GammaControl::~GammaControl() {
    stopFading();
    for (const auto& control : controls_) zwlr_gamma_control_v1_destroy(control->control);
    connection_.flush();
}

void GammaControl::applyBrightness(double brightness) {
    for (const auto& control : controls_) {
        if (control->failed || control->size == 0) continue;
        const int ramps = rampsFile(control->size, brightness);
        if (ramps < 0) continue;
        zwlr_gamma_control_v1_set_gamma(control->control, ramps);
        close(ramps);
    }
    connection_.flush();
}

} // namespace view::wayland
