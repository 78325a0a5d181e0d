#include "platform/foundation/ExclusiveFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace foundation {

namespace {

constexpr std::chrono::milliseconds kRetryInterval{10};

int openToLock(const std::filesystem::path& path, ExclusiveFileLock::Locked locked) {
    if (locked == ExclusiveFileLock::Locked::ContentsFile) return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
}

} // namespace

ExclusiveFileLock::ExclusiveFileLock(const std::filesystem::path& path, std::chrono::milliseconds patience,
                                     Locked locked)
    : descriptor_(openToLock(path, locked)) {
    if (descriptor_ < 0) {
        failure_ = std::strerror(errno);
        return;
    }
    // flock cannot wait with a time limit, so the lock is tried again until
    // the patience runs out.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            failure_ = std::strerror(errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure_ = "another process held it for longer than " + std::to_string(patience.count()) + " ms";
            return;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    held_ = true;
}

ExclusiveFileLock::~ExclusiveFileLock() {
    if (descriptor_ >= 0) close(descriptor_);
}

} // namespace foundation
