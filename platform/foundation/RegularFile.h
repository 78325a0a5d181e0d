#pragma once

#include "platform/PlatformExport.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace foundation {

// Why a file was not read.
enum class FileReadFailure { None, Missing, PermissionDenied, NotARegularFile, TooLarge, SystemError };

struct KF_PLATFORM_API FileContents {
    // The whole file, when it was read.
    std::vector<std::uint8_t> bytes;
    FileReadFailure failure = FileReadFailure::None;
    // The system's error number behind Missing, PermissionDenied and SystemError.
    int systemError = 0;

    bool wasRead() const { return failure == FileReadFailure::None; }
    // Why the file was not read, in a few words for messages.
    std::string reason() const;
};

// Reads a regular file of at most sizeLimit bytes, following links. A FIFO,
// a device or a directory in its place fails at once: it is opened without
// blocking and never read. No more than sizeLimit + 1 bytes are read, so a
// file that grows while it is read fails as too large rather than filling
// memory.
KF_PLATFORM_API FileContents readRegularFile(const std::filesystem::path& path, std::size_t sizeLimit);

} // namespace foundation
