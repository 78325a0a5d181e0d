#include "platform/foundation/LocalizedFormatting.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <vector>

namespace foundation {

namespace {

// The numeric part of the locale the environment names, read afresh on
// every call so a changed environment counts; the C locale when the named
// one is not installed.
locale_t newUserNumericLocale() {
    if (const locale_t user = newlocale(LC_NUMERIC_MASK, "", nullptr)) return user;
    return newlocale(LC_NUMERIC_MASK, "C", nullptr);
}

std::string formatInCurrentLocale(const char* format, va_list arguments) {
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return {text.data(), static_cast<std::size_t>(length)};
}

} // namespace

std::string localizedStringWithFormat(const char* format, ...) {
    // Only this thread formats in the user's locale, and only for this call.
    // (Without memory for a locale object it formats as the thread does.)
    const locale_t user = newUserNumericLocale();
    const locale_t previous = user ? uselocale(user) : nullptr;
    va_list arguments;
    va_start(arguments, format);
    std::string text = formatInCurrentLocale(format, arguments);
    va_end(arguments);
    if (user) {
        uselocale(previous);
        freelocale(user);
    }
    return text;
}

} // namespace foundation
