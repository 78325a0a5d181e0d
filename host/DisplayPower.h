#pragma once

#include "platform/view/x11/Connection.h"

#include <functional>
#include <memory>

// Tells the saver when the monitors go dark and when they are lit again,
// so that it draws nothing nobody can see.
class DisplayPowerSource {
public:
    using Handler = std::function<void(bool lit)>;

    virtual ~DisplayPowerSource() = default;
    // The handler hears of each change on the main queue; the monitors are
    // taken to be lit until it hears otherwise.
    virtual void setHandler(Handler handler) = 0;
};

// The server's DPMS state (standby, suspend and off are dark), read once a
// second, since the extension announces nothing; null where the server has
// no DPMS extension.
std::unique_ptr<DisplayPowerSource> newDpmsPowerSource(view::x11::Connection& connection);
