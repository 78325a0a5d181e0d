#include "platform/view/x11/DisplayPowerState.h"

#include <X11/Xlib.h>
// After Xlib, which it does not include itself.
#include <X11/extensions/dpms.h>

namespace view::x11 {

std::optional<bool> monitorsLitByDpms(Connection& connection) {
    auto* display = static_cast<Display*>(connection.display());
    int eventBase = 0, errorBase = 0;
    if (!DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display)) return std::nullopt;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display, &level, &enabled)) return std::nullopt;
    return !enabled || level == DPMSModeOn;
}

} // namespace view::x11
