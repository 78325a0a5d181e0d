#pragma once

#include "platform/PlatformExport.h"

#include <string_view>

namespace foundation {

// One line on standard error: local time, process name and ids, message.
KF_PLATFORM_API void Log(std::string_view message);

} // namespace foundation
