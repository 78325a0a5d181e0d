#include "tests/support/PlatformCallProbe.h"

#include "tests/support/PlatformDefinition.h"

#include "platform/dispatch/TimerSource.h"
#include "platform/view/MetalView.h"
#include "platform/view/ScreenSaverView.h"

#include <atomic>

namespace {

std::atomic<const PlatformCallProbe::Observer*> probeObserver = nullptr;

// Tells the probe, then runs the platform library's definition of the
// method on the object.
template <ProbedCall kCall, typename Object>
void reportAndCallPlatform(const char* mangledName, Object* object) {
    static const auto platform = platformDefinitionAs<void (*)(Object*)>(mangledName);
    if (const auto* observer = probeObserver.load()) (*observer)(kCall, object);
    platform(object);
}

} // namespace

PlatformCallProbe::PlatformCallProbe(Observer observer) : observer_(std::move(observer)) { probeObserver = &observer_; }

PlatformCallProbe::~PlatformCallProbe() { probeObserver = nullptr; }

void dispatch::TimerSource::cancel() {
    reportAndCallPlatform<ProbedCall::TimerCancel>("_ZN8dispatch11TimerSource6cancelEv", this);
}

void view::MetalView::releaseDrawables() {
    reportAndCallPlatform<ProbedCall::ReleaseDrawables>("_ZN4view9MetalView16releaseDrawablesEv", this);
}

void view::View::removeFromSuperview() {
    reportAndCallPlatform<ProbedCall::RemoveFromSuperview>("_ZN4view4View19removeFromSuperviewEv", this);
}

void view::ScreenSaverView::startAnimation() {
    reportAndCallPlatform<ProbedCall::BaseStartAnimation>("_ZN4view15ScreenSaverView14startAnimationEv", this);
}

void view::ScreenSaverView::stopAnimation() {
    reportAndCallPlatform<ProbedCall::BaseStopAnimation>("_ZN4view15ScreenSaverView13stopAnimationEv", this);
}
