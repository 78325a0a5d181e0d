#include "tests/support/PlatformOverrides.h"

#include "tests/support/PlatformDefinition.h"

#include "platform/dispatch/TimerSource.h"

#include <mutex>
#include <optional>

namespace {

// What an override hands out while it is in place.
template <typename Value>
class Override {
public:
    void set(Value value) {
        std::scoped_lock guard(mutex_);
        value_ = std::move(value);
        requests_ = 0;
    }
    void clear() {
        std::scoped_lock guard(mutex_);
        value_.reset();
    }
    // The value, counted as a request; nullopt without an override.
    std::optional<Value> take() {
        std::scoped_lock guard(mutex_);
        if (value_) ++requests_;
        return value_;
    }
    std::size_t requests() const {
        std::scoped_lock guard(mutex_);
        return requests_;
    }

private:
    mutable std::mutex mutex_;
    std::optional<Value> value_;
    std::size_t requests_ = 0;
};

Override<std::shared_ptr<gpu::Device>> deviceOverride;
Override<std::shared_ptr<foundation::Bundle>> bundleOverride;

std::mutex timerFaultMutex;
// Creations to let through before one fails; none: no creation fails.
std::optional<std::size_t> timerCreationsBeforeFailure;

// Counts down to the failing creation, which disarms the fault.
bool timerCreationFails() {
    std::scoped_lock guard(timerFaultMutex);
    if (!timerCreationsBeforeFailure) return false;
    if (*timerCreationsBeforeFailure == 0) {
        timerCreationsBeforeFailure.reset();
        return true;
    }
    --*timerCreationsBeforeFailure;
    return false;
}

} // namespace

UseSystemDefaultDevice::UseSystemDefaultDevice(std::shared_ptr<gpu::Device> device) {
    deviceOverride.set(std::move(device));
}

UseSystemDefaultDevice::~UseSystemDefaultDevice() { deviceOverride.clear(); }

std::size_t UseSystemDefaultDevice::requests() const { return deviceOverride.requests(); }

UseBundleForAddress::UseBundleForAddress(std::shared_ptr<foundation::Bundle> bundle) {
    bundleOverride.set(std::move(bundle));
}

UseBundleForAddress::~UseBundleForAddress() { bundleOverride.clear(); }

FailTimerCreation::FailTimerCreation(std::size_t creationsToLetThrough) {
    std::scoped_lock guard(timerFaultMutex);
    timerCreationsBeforeFailure = creationsToLetThrough;
}

FailTimerCreation::~FailTimerCreation() {
    std::scoped_lock guard(timerFaultMutex);
    timerCreationsBeforeFailure.reset();
}

namespace gpu {

std::shared_ptr<Device> Device::createSystemDefaultDevice() {
    if (auto device = deviceOverride.take()) return *device;
    static const auto platform =
        platformDefinitionAs<std::shared_ptr<Device> (*)()>("_ZN3gpu6Device25createSystemDefaultDeviceEv");
    return platform();
}

} // namespace gpu

namespace foundation {

std::shared_ptr<Bundle> Bundle::bundleForAddress(const void* address) {
    if (auto bundle = bundleOverride.take()) return *bundle;
    static const auto platform =
        platformDefinitionAs<std::shared_ptr<Bundle> (*)(const void*)>("_ZN10foundation6Bundle16bundleForAddressEPKv");
    return platform(address);
}

} // namespace foundation

namespace dispatch {

std::shared_ptr<TimerSource> TimerSource::create(MainQueue& queue) {
    static const auto platform = platformDefinitionAs<std::shared_ptr<TimerSource> (*)(MainQueue&)>(
        "_ZN8dispatch11TimerSource6createERNS_9MainQueueE");
    return timerCreationFails() ? nullptr : platform(queue);
}

} // namespace dispatch
