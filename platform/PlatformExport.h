#pragma once

// The platform library is built with hidden visibility; what its headers mark
// with this is what the module, the host and the tests may call.
#define KF_PLATFORM_API __attribute__((visibility("default")))
