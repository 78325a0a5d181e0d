#pragma once

#include "platform/PlatformExport.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_registry;
struct wl_shm;
struct wl_subcompositor;
struct wl_surface;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct xdg_wm_base;
struct zwlr_gamma_control_manager_v1;
struct zwlr_layer_shell_v1;

namespace view::wayland {

class Output;
class Seat;

// What the seats' input reaches: one of our surfaces, on the main thread.
class InputTarget {
public:
    virtual ~InputTarget() = default;
    // A key, a button or a touch on the surface, or the pointer moved over
    // it by more than a few pixels from where it entered.
    virtual void userActivity() = 0;
    // Whether the pointer shows nothing over the surface (a full-screen
    // saver's) rather than the compositor's own cursor.
    virtual bool hidesPointer() const = 0;
};

// The compositor's globals that the backend uses; null where it offers
// none.
struct Globals {
    wl_compositor* compositor = nullptr;
    wl_subcompositor* subcompositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    xdg_wm_base* windowManager = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractionalScale = nullptr;
    zwlr_gamma_control_manager_v1* gammaControl = nullptr;
};

// The process's one connection to the Wayland compositor: opened once and
// never closed, as the Vulkan driver keeps objects on it. The main queue
// reads its events (EventSource); its outputs and seats follow the
// registry. When the compositor hangs up, the hang-up handler hears why,
// once, and nothing arrives any more.
class KF_PLATFORM_API Connection {
public:
    // The connection to $WAYLAND_DISPLAY, opened at the first call, with
    // every output announced and described; null with the reason when the
    // compositor cannot be reached or lacks the globals every client needs.
    static Connection* open(std::string* failure = nullptr);

    wl_display* display() const { return display_; }
    const Globals& globals() const { return globals_; }
    // The outputs that have described themselves, in the order the
    // compositor announced them.
    std::vector<Output*> outputs() const;
    // Called on the main queue whenever an output came, went or changed;
    // null stops it.
    void setOutputsChangedHandler(std::function<void()> handler) { outputsChanged_ = std::move(handler); }
    void setHangUpHandler(std::function<void(const std::string& reason)> handler) {
        hangUp_ = std::move(handler);
    }
    bool hasHungUp() const { return hungUp_; }

    // Input on the surface goes to the target until it is removed.
    void addTarget(wl_surface* surface, InputTarget* target) { targets_[surface] = target; }
    void removeTarget(wl_surface* surface) { targets_.erase(surface); }
    InputTarget* targetOf(wl_surface* surface) const;

    // Sends what was asked; and waits until the compositor has done it and
    // answered, with the answers dispatched.
    void flush();
    void roundtrip();

    // From the registry, the event source and the outputs.
    void announceGlobal(std::uint32_t name, const char* interface, std::uint32_t version);
    void removeGlobal(std::uint32_t name);
    void hangUpWith(const std::string& reason);
    void outputChanged();

private:
    explicit Connection(wl_display* display);

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    Globals globals_;
    std::vector<std::unique_ptr<Output>> outputs_;
    std::vector<std::unique_ptr<Seat>> seats_;
    std::map<wl_surface*, InputTarget*> targets_;
    std::function<void()> outputsChanged_;
    std::function<void(const std::string&)> hangUp_;
    bool hungUp_ = false;
};

} // namespace view::wayland
