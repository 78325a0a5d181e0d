#pragma once

#include "platform/PlatformExport.h"

#include <string>

namespace foundation {

// Formats like printf, with numbers written the way the user's locale
// writes them (its decimal separator), as the environment names it:
// LC_ALL, else LC_NUMERIC, else LANG. The process's own locale stays as it
// is, so other threads and the settings store keep writing "0.8". An
// environment that names no installed locale gives the C locale's writing.
KF_PLATFORM_API std::string localizedStringWithFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace foundation
