#pragma once

#include "platform/PlatformExport.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace foundation {

// An exclusive advisory lock on a file, held for the life of the object. A
// holder that is stopped or hung is waited for only as long as the patience
// allows, so whoever asks for the lock on the main thread is never frozen.
class KF_PLATFORM_API ExclusiveFileLock {
public:
    // What the locked file is: one of the lock's own, created when missing
    // and never replaced, or a file locked for its contents, which must
    // exist and is only opened for reading.
    enum class Locked { LockFile, ContentsFile };

    ExclusiveFileLock(const std::filesystem::path& path, std::chrono::milliseconds patience,
                      Locked locked = Locked::LockFile);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    bool held() const { return held_; }
    // Why the lock is not held: the system's reason, or that the wait ran out.
    const std::string& failure() const { return failure_; }

private:
    int descriptor_ = -1;
    bool held_ = false;
    std::string failure_;
};

} // namespace foundation
