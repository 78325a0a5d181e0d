#pragma once

// What the saver view takes from the platform, given by the test instead:
// the system's GPU device, the bundle the module lies in, and the success
// of a timer's creation.
//
// Linking PlatformOverrides.cpp into a test executable defines
// gpu::Device::createSystemDefaultDevice, foundation::Bundle::bundleForAddress
// and dispatch::TimerSource::create in the executable itself, where they
// take the place of the platform library's for the whole process; each
// forwards to the library's own definition while no override is in place.
// The shipped library keeps no seam for them.

#include "platform/foundation/Bundle.h"
#include "platform/gpu/Device.h"

#include <cstddef>
#include <memory>

// While it lives, createSystemDefaultDevice hands out this device; null
// stands for a system without one.
class UseSystemDefaultDevice {
public:
    explicit UseSystemDefaultDevice(std::shared_ptr<gpu::Device> device);
    ~UseSystemDefaultDevice();
    UseSystemDefaultDevice(const UseSystemDefaultDevice&) = delete;
    UseSystemDefaultDevice& operator=(const UseSystemDefaultDevice&) = delete;

    // Calls of createSystemDefaultDevice since the override was made.
    std::size_t requests() const;
};

// While it lives, bundleForAddress hands out this bundle for any address;
// null stands for a library that lies in no bundle.
class UseBundleForAddress {
public:
    explicit UseBundleForAddress(std::shared_ptr<foundation::Bundle> bundle);
    ~UseBundleForAddress();
    UseBundleForAddress(const UseBundleForAddress&) = delete;
    UseBundleForAddress& operator=(const UseBundleForAddress&) = delete;
};

// While it lives, timer creation lets the given number of creations
// through and then fails once, as when the run loop can take no more
// sources.
class FailTimerCreation {
public:
    explicit FailTimerCreation(std::size_t creationsToLetThrough = 0);
    ~FailTimerCreation();
    FailTimerCreation(const FailTimerCreation&) = delete;
    FailTimerCreation& operator=(const FailTimerCreation&) = delete;
};
