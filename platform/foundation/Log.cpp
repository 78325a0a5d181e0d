#include "platform/foundation/Log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>

namespace foundation {

namespace {

std::string timestampNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    const size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03lld", static_cast<long long>(millis));
    return text;
}

} // namespace

void Log(std::string_view message) {
    std::string line = timestampNow();
    line += ' ';
    line += program_invocation_short_name;
    line += '[' + std::to_string(getpid()) + ':' + std::to_string(gettid()) + "] ";
    line += message;
    line += '\n';
    // One write, so lines of several threads never interleave.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

} // namespace foundation
