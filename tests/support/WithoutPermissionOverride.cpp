#include "tests/support/WithoutPermissionOverride.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

} // namespace

// Capabilities belong to threads; glibc offers no wrapper for them, so the
// system calls are made directly.
WithoutPermissionOverride::WithoutPermissionOverride() {
    if (syscall(SYS_capget, &header_, saved_) != 0) throw std::runtime_error("capget failed");
    __user_cap_data_struct reduced[_LINUX_CAPABILITY_U32S_3];
    std::copy(std::begin(saved_), std::end(saved_), std::begin(reduced));
    reduced[0].effective &= ~kOverrides;
    if (syscall(SYS_capset, &header_, reduced) != 0) throw std::runtime_error("capset failed");
}

WithoutPermissionOverride::~WithoutPermissionOverride() { syscall(SYS_capset, &header_, saved_); }
