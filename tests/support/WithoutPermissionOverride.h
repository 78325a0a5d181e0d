#pragma once

#include <linux/capability.h>

// Takes from the calling thread, for the life of the object, the power to
// open files whatever their permission bits (CAP_DAC_OVERRIDE and
// CAP_DAC_READ_SEARCH), so that a test run as root meets "permission
// denied" as a user would. For a user who never had the power it changes
// nothing.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride();
    ~WithoutPermissionOverride();
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
};
