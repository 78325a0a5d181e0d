#include "platform/foundation/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace foundation {

namespace {

FileContents failed(FileReadFailure failure, int systemError = 0) {
    FileContents contents;
    contents.failure = failure;
    contents.systemError = systemError;
    return contents;
}

FileContents failedToOpen(int systemError) {
    if (systemError == ENOENT) return failed(FileReadFailure::Missing, systemError);
    if (systemError == EACCES || systemError == EPERM) return failed(FileReadFailure::PermissionDenied, systemError);
    return failed(FileReadFailure::SystemError, systemError);
}

// Reads until the end of the file or one byte past the limit, whichever
// comes first; the size found by fstat is only where to start.
FileContents readUpToLimit(int descriptor, std::size_t expectedSize, std::size_t sizeLimit) {
    FileContents contents;
    contents.bytes.resize(std::min(expectedSize, sizeLimit) + 1);
    std::size_t total = 0;
    for (;;) {
        if (total == contents.bytes.size()) {
            if (total > sizeLimit) return failed(FileReadFailure::TooLarge);
            contents.bytes.resize(std::min(total * 2, sizeLimit + 1));
        }
        const ssize_t count = read(descriptor, contents.bytes.data() + total, contents.bytes.size() - total);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return failed(FileReadFailure::SystemError, errno);
        if (count == 0) break;
        total += static_cast<std::size_t>(count);
    }
    contents.bytes.resize(total);
    return contents;
}

FileContents readOpenFile(int descriptor, std::size_t sizeLimit) {
    struct stat status{};
    if (fstat(descriptor, &status) != 0) return failed(FileReadFailure::SystemError, errno);
    if (!S_ISREG(status.st_mode)) return failed(FileReadFailure::NotARegularFile);
    if (static_cast<std::uintmax_t>(status.st_size) > sizeLimit) return failed(FileReadFailure::TooLarge);
    try {
        return readUpToLimit(descriptor, static_cast<std::size_t>(status.st_size), sizeLimit);
    } catch (const std::bad_alloc&) {
        return failed(FileReadFailure::SystemError, ENOMEM);
    }
}

} // namespace

std::string FileContents::reason() const {
    switch (failure) {
    case FileReadFailure::None: return {};
    case FileReadFailure::NotARegularFile: return "not a regular file";
    case FileReadFailure::TooLarge: return "larger than its size limit";
    case FileReadFailure::Missing:
    case FileReadFailure::PermissionDenied:
    case FileReadFailure::SystemError: break;
    }
    return std::strerror(systemError);
}

FileContents readRegularFile(const std::filesystem::path& path, std::size_t sizeLimit) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer. It changes
    // nothing for the regular files that are then read.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return failedToOpen(errno);
    FileContents contents = readOpenFile(descriptor, sizeLimit);
    close(descriptor);
    return contents;
}

} // namespace foundation
