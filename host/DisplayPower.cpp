#include "host/DisplayPower.h"

#include "host/MainQueueTimer.h"

#include "platform/view/x11/DisplayPowerState.h"

namespace {

constexpr auto kPollInterval = std::chrono::seconds(1);

class DpmsPowerSource final : public DisplayPowerSource {
public:
    explicit DpmsPowerSource(view::x11::Connection& connection)
        : connection_(connection), timer_(startTimer(kPollInterval, kPollInterval, [this] { check(); })) {}

    void setHandler(Handler handler) override { handler_ = std::move(handler); }

private:
    void check() {
        const bool lit = view::x11::monitorsLitByDpms(connection_).value_or(true);
        if (lit == lit_) return;
        lit_ = lit;
        if (handler_) handler_(lit);
    }

    view::x11::Connection& connection_;
    Handler handler_;
    bool lit_ = true;
    std::shared_ptr<dispatch::TimerSource> timer_;
};

} // namespace

std::unique_ptr<DisplayPowerSource> newDpmsPowerSource(view::x11::Connection& connection) {
    if (!view::x11::monitorsLitByDpms(connection)) return nullptr;
    return std::make_unique<DpmsPowerSource>(connection);
}
