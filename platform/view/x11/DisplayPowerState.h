#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/x11/Connection.h"

#include <optional>

namespace view::x11 {

// Whether the monitors are lit as the server's DPMS extension says: false
// in standby, suspend or off, true when on or when DPMS is disabled;
// nullopt where the server has no DPMS extension. One round trip.
KF_PLATFORM_API std::optional<bool> monitorsLitByDpms(Connection& connection);

} // namespace view::x11
