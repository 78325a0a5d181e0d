#pragma once

#include <cstdint>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;
struct wl_touch;

namespace view::wayland {

class Connection;

// One wl_seat and the keyboard, pointer and touch screen it has now: bound
// again at every change of its capabilities, since virtual keyboards and
// pointers come and go. Their input goes to the connection's target of the
// surface it is on.
class Seat {
public:
    Seat(Connection& connection, wl_seat* seat, std::uint32_t globalName, std::uint32_t version);
    ~Seat();
    Seat(const Seat&) = delete;
    Seat& operator=(const Seat&) = delete;

    std::uint32_t globalName() const { return globalName_; }

    // From the listeners.
    void setCapabilities(std::uint32_t capabilities);
    void keyboardEntered(wl_surface* surface) { keyboardFocus_ = surface; }
    void keyboardLeft() { keyboardFocus_ = nullptr; }
    void keyPressed();
    void pointerEntered(std::uint32_t serial, wl_surface* surface, double x, double y);
    void pointerLeft() { pointerFocus_ = nullptr; }
    void pointerMoved(double x, double y);
    void pointerClicked();
    void touched(wl_surface* surface);

private:
    void reportActivity(wl_surface* surface);
    void releaseDevices();

    Connection& connection_;
    wl_seat* seat_;
    std::uint32_t globalName_;
    std::uint32_t version_;
    wl_keyboard* keyboard_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    wl_touch* touch_ = nullptr;
    wl_surface* keyboardFocus_ = nullptr;
    wl_surface* pointerFocus_ = nullptr;
    double entryX_ = 0.0, entryY_ = 0.0;
};

} // namespace view::wayland
