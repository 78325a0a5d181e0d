#include "platform/view/wayland/Output.h"

#include "platform/view/wayland/Connection.h"

#include <wayland-client.h>

#include <algorithm>

namespace view::wayland {

namespace {

Output& outputOf(void* data) { return *static_cast<Output*>(data); }

void geometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
              int32_t transform) {
    auto& pending = outputOf(data).pending();
    pending.x = x;
    pending.y = y;
    pending.turned = transform == WL_OUTPUT_TRANSFORM_90 || transform == WL_OUTPUT_TRANSFORM_270 ||
                     transform == WL_OUTPUT_TRANSFORM_FLIPPED_90 || transform == WL_OUTPUT_TRANSFORM_FLIPPED_270;
}

void mode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    auto& pending = outputOf(data).pending();
    pending.pixelWidth = width;
    pending.pixelHeight = height;
}

void done(void* data, wl_output*) { outputOf(data).done(); }

void scale(void* data, wl_output*, int32_t factor) { outputOf(data).pending().scale = std::max(1, factor); }

void name(void* data, wl_output*, const char* text) { outputOf(data).pending().name = text; }

void description(void* data, wl_output*, const char* text) { outputOf(data).pending().description = text; }

const wl_output_listener kListener = {
    .geometry = &geometry,
    .mode = &mode,
    .done = &done,
    .scale = &scale,
    .name = &name,
    .description = &description,
};

bool sameDescription(const Output::Description& one, const Output::Description& other) {
    return one.x == other.x && one.y == other.y && one.pixelWidth == other.pixelWidth &&
           one.pixelHeight == other.pixelHeight && one.scale == other.scale && one.turned == other.turned;
}

// In points, with y growing upwards from the top of the compositor's space.
Rect frameOf(const Output::Description& description) {
    const double width = double(description.turned ? description.pixelHeight : description.pixelWidth) /
                         description.scale;
    const double height = double(description.turned ? description.pixelWidth : description.pixelHeight) /
                          description.scale;
    return {{double(description.x), -(double(description.y) + height)}, {width, height}};
}

} // namespace

Output::Output(Connection& connection, wl_output* output, std::uint32_t globalName, std::uint32_t version)
    : connection_(connection), output_(output), globalName_(globalName), version_(version) {
    wl_output_add_listener(output_, &kListener, this);
}

Output::~Output() {
    if (version_ >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(output_);
    } else {
        wl_output_destroy(output_);
    }
}

void Output::done() {
    const bool changed = !screen_ || !sameDescription(pending_, current_);
    current_ = pending_;
    if (!changed || current_.pixelWidth <= 0 || current_.pixelHeight <= 0) return;
    DeviceDescription description{{kScreenNumberKey, std::int64_t(globalName_)}};
    if (!current_.name.empty()) description.emplace("NSDeviceName", current_.name);
    screen_ = Screen::initWithFrame(frameOf(current_), double(current_.scale), std::move(description));
    connection_.outputChanged();
}

} // namespace view::wayland
