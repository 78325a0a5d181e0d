#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/DisplayServer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace view::wayland {

class Connection;

// The Wayland compositor as a display server: its outputs, layer surfaces
// over (or under) them, xdg-shell windows, and the outputs' gamma where the
// compositor lets clients set it.
class KF_PLATFORM_API WaylandDisplayServer : public DisplayServer {
public:
    // Null with the reason when no compositor can be reached.
    static std::unique_ptr<WaylandDisplayServer> connect(std::string* failure = nullptr);
    ~WaylandDisplayServer() override;

    // Whether windows can cover the outputs: the compositor has the layer
    // shell (GNOME's has none).
    bool hasLayerShell() const;
    // Called once when the compositor hangs up: every window is gone.
    void setHangUpHandler(std::function<void(const std::string& reason)> handler);

    gpu::NativeDisplay nativeDisplay() const override;
    std::vector<std::shared_ptr<Screen>> monitors() override;
    void setMonitorsChangedHandler(std::function<void()> handler) override;
    std::unique_ptr<WindowBackend> newFullScreenWindow(const std::shared_ptr<Screen>& monitor,
                                                       FullScreenLayer layer) override;
    std::unique_ptr<WindowBackend> newDecoratedWindow(Size contentSize, const std::string& title,
                                                      std::string* failure = nullptr) override;
    std::unique_ptr<DisplayFade> newDisplayFade() override;

private:
    explicit WaylandDisplayServer(Connection& connection);

    Connection& connection_;
};

} // namespace view::wayland
