#include "platform/view/wayland/Seat.h"

#include "platform/view/wayland/Connection.h"

#include <wayland-client.h>

#include <cmath>
#include <unistd.h>

namespace view::wayland {

namespace {

// How far the pointer may drift, in surface units on each axis, before a
// full-screen saver takes it for the user.
constexpr double kPointerSlack = 5.0;

Seat& seatOf(void* data) { return *static_cast<Seat*>(data); }

const wl_seat_listener kSeatListener = {
    .capabilities = [](void* data, wl_seat*, uint32_t capabilities) { seatOf(data).setCapabilities(capabilities); },
    .name = [](void*, wl_seat*, const char*) {},
};

const wl_keyboard_listener kKeyboardListener = {
    // The keymap is not needed: any key counts.
    .keymap = [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); },
    .enter = [](void* data, wl_keyboard*, uint32_t, wl_surface* surface,
                wl_array*) { seatOf(data).keyboardEntered(surface); },
    .leave = [](void* data, wl_keyboard*, uint32_t, wl_surface*) { seatOf(data).keyboardLeft(); },
    .key =
        [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
            if (state == WL_KEYBOARD_KEY_STATE_PRESSED) seatOf(data).keyPressed();
        },
    .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
};

const wl_pointer_listener kPointerListener = {
    .enter =
        [](void* data, wl_pointer*, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
            seatOf(data).pointerEntered(serial, surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
        },
    .leave = [](void* data, wl_pointer*, uint32_t, wl_surface*) { seatOf(data).pointerLeft(); },
    .motion = [](void* data, wl_pointer*, uint32_t, wl_fixed_t x,
                 wl_fixed_t y) { seatOf(data).pointerMoved(wl_fixed_to_double(x), wl_fixed_to_double(y)); },
    .button =
        [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
            if (state == WL_POINTER_BUTTON_STATE_PRESSED) seatOf(data).pointerClicked();
        },
    // A turn of the wheel is a click of its own.
    .axis = [](void* data, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) { seatOf(data).pointerClicked(); },
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {},
    .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
};

const wl_touch_listener kTouchListener = {
    .down = [](void* data, wl_touch*, uint32_t, uint32_t, wl_surface* surface, int32_t, wl_fixed_t,
               wl_fixed_t) { seatOf(data).touched(surface); },
    .up = [](void*, wl_touch*, uint32_t, uint32_t, int32_t) {},
    .motion = [](void*, wl_touch*, uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {},
    .frame = [](void*, wl_touch*) {},
    .cancel = [](void*, wl_touch*) {},
    .shape = [](void*, wl_touch*, int32_t, wl_fixed_t, wl_fixed_t) {},
    .orientation = [](void*, wl_touch*, int32_t, wl_fixed_t) {},
};

// Before version 3 a device can only be forgotten, not released.
template <typename Device>
void release(Device*& device, std::uint32_t seatVersion, void (*releaseRequest)(Device*),
             void (*destroy)(Device*)) {
    if (!device) return;
    (seatVersion >= WL_KEYBOARD_RELEASE_SINCE_VERSION ? releaseRequest : destroy)(device);
    device = nullptr;
}

} // namespace

Seat::Seat(Connection& connection, wl_seat* seat, std::uint32_t globalName, std::uint32_t version)
    : connection_(connection), seat_(seat), globalName_(globalName), version_(version) {
    wl_seat_add_listener(seat_, &kSeatListener, this);
}

Seat::~Seat() {
    releaseDevices();
    (version_ >= WL_SEAT_RELEASE_SINCE_VERSION ? &wl_seat_release : &wl_seat_destroy)(seat_);
}

void Seat::releaseDevices() {
    release(keyboard_, version_, &wl_keyboard_release, &wl_keyboard_destroy);
    release(pointer_, version_, &wl_pointer_release, &wl_pointer_destroy);
    release(touch_, version_, &wl_touch_release, &wl_touch_destroy);
    keyboardFocus_ = pointerFocus_ = nullptr;
}

// Every device anew: a device that went and came back between two
// announcements is another object on the compositor's side.
void Seat::setCapabilities(std::uint32_t capabilities) {
    releaseDevices();
    if (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
    }
    if (capabilities & WL_SEAT_CAPABILITY_POINTER) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &kPointerListener, this);
    }
    if (capabilities & WL_SEAT_CAPABILITY_TOUCH) {
        touch_ = wl_seat_get_touch(seat_);
        wl_touch_add_listener(touch_, &kTouchListener, this);
    }
}

void Seat::reportActivity(wl_surface* surface) {
    if (auto* target = connection_.targetOf(surface)) target->userActivity();
}

void Seat::keyPressed() { reportActivity(keyboardFocus_); }

void Seat::pointerEntered(std::uint32_t serial, wl_surface* surface, double x, double y) {
    pointerFocus_ = surface;
    entryX_ = x;
    entryY_ = y;
    const auto* target = connection_.targetOf(surface);
    // No cursor surface: the pointer shows nothing while over this one.
    if (target && target->hidesPointer()) wl_pointer_set_cursor(pointer_, serial, nullptr, 0, 0);
}

void Seat::pointerMoved(double x, double y) {
    if (std::abs(x - entryX_) > kPointerSlack || std::abs(y - entryY_) > kPointerSlack) reportActivity(pointerFocus_);
}

void Seat::pointerClicked() { reportActivity(pointerFocus_); }

void Seat::touched(wl_surface* surface) { reportActivity(surface); }

} // namespace view::wayland
