#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/TimerSource.h"
#include "platform/view/x11/Connection.h"

#include <functional>
#include <memory>
#include <vector>

namespace view::x11 {

// Follows the monitors of every X screen: calls the handler on the main
// queue with the new list whenever it differs from the last one seen (a
// monitor added, removed, moved or resized; an X screen resized), and at no
// other time. RandR announces changes of screens, CRTCs and outputs at
// once; monitors that a client sets are announced to nobody, so the list is
// also read again a few times a second. One watch at a time.
class KF_PLATFORM_API MonitorWatch {
public:
    using Handler = std::function<void(const std::vector<Monitor>& monitors)>;

    // The list at the time of the call is the first one seen.
    MonitorWatch(Connection& connection, Handler changed);
    ~MonitorWatch();
    MonitorWatch(const MonitorWatch&) = delete;
    MonitorWatch& operator=(const MonitorWatch&) = delete;

    const std::vector<Monitor>& monitors() const { return known_; }

private:
    void check();

    Connection& connection_;
    Handler changed_;
    std::vector<Monitor> known_;
    std::shared_ptr<dispatch::TimerSource> poll_;
};

// The same monitor: the same X screen, pixels and display number.
KF_PLATFORM_API bool sameMonitor(const Monitor& one, const Monitor& other);

} // namespace view::x11
