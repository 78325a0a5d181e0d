#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/DisplayServer.h"
#include "platform/view/x11/Connection.h"
#include "platform/view/x11/MonitorWatch.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace view::x11 {

// The X server as a display server: the RandR monitors of every X screen,
// override-redirect windows over them, decorated windows on the first, and
// the CRTCs' gamma. Windows cannot be put below the others: there is no
// background layer on X11.
class KF_PLATFORM_API X11DisplayServer : public DisplayServer {
public:
    explicit X11DisplayServer(Connection& connection);
    ~X11DisplayServer() override;

    gpu::NativeDisplay nativeDisplay() const override { return {gpu::WindowSystem::X11, connection_.display()}; }
    std::vector<std::shared_ptr<Screen>> monitors() override;
    void setMonitorsChangedHandler(std::function<void()> handler) override;
    std::unique_ptr<WindowBackend> newFullScreenWindow(const std::shared_ptr<Screen>& monitor,
                                                       FullScreenLayer layer) override;
    std::unique_ptr<WindowBackend> newDecoratedWindow(Size contentSize, const std::string& title,
                                                      std::string* failure = nullptr) override;
    std::unique_ptr<DisplayFade> newDisplayFade() override;

private:
    // Takes the list, keeping the Monitor (and so the Screen) of each one
    // that has not changed.
    void remember(std::vector<Monitor> monitors);

    Connection& connection_;
    std::vector<Monitor> known_;
    std::optional<MonitorWatch> watch_;
    std::function<void()> changed_;
};

} // namespace view::x11
