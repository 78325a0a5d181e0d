#pragma once

#include "platform/view/DisplayFade.h"
#include "platform/view/wayland/Connection.h"

#include <cstdint>
#include <memory>
#include <vector>

struct zwlr_gamma_control_v1;

namespace view::wayland {

// Dims every output through the compositor's gamma control: straight
// ramps scaled by the brightness. The compositor puts each output's own
// ramps back when the control goes, with this object or with the
// connection, so not even a crash can leave a display dark. An output whose
// gamma another program holds is left as it is.
class GammaControl : public DisplayFade {
public:
    // Null where the compositor offers no gamma control.
    static std::unique_ptr<GammaControl> create(Connection& connection);
    ~GammaControl() override;

    // From the listener.
    struct Control {
        zwlr_gamma_control_v1* control = nullptr;
        // Entries a ramp; 0 until told, or when the control failed.
        std::uint32_t size = 0;
        bool failed = false;
    };

private:
    explicit GammaControl(Connection& connection);
    void applyBrightness(double brightness) override;

    Connection& connection_;
    std::vector<std::unique_ptr<Control>> controls_;
};

} // namespace view::wayland
