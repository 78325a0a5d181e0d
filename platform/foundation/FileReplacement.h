#pragma once

#include "platform/PlatformExport.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace foundation {

// Replaces the file at path in one step, so that a crash leaves the old file
// or the new one: the bytes go into a temporary file beside it
// (path.XXXXXX), which is renamed over it once complete. On failure the old
// file is as it was, the temporary file is gone and reason, when given, says
// why. mode is the new file's, less the umask; durable also waits until the
// data is on the disk.
KF_PLATFORM_API bool replaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                         unsigned mode, bool durable, std::string* reason = nullptr);

// Writes bytes over the file at path where it is, keeping the file itself,
// so that each of its hard links shows them. Unlike a replacement, a crash
// or a second writer can leave it half written: the caller holds a lock on
// it. The new bytes go over the old before the rest is cut off, so the file
// is never empty on the way. reason, when given, says why it failed.
KF_PLATFORM_API bool overwriteFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                           bool durable, std::string* reason = nullptr);

// Why replaceFileContents could not write path, found out beforehand without
// touching the file: nullopt when a temporary file can be made beside it and
// nothing but a file stands at path.
KF_PLATFORM_API std::optional<std::string> problemReplacing(const std::filesystem::path& path);

// The file a link at path names, through a chain of links; path itself when
// it is no link. Replacing that file keeps the link.
KF_PLATFORM_API std::filesystem::path followLinks(const std::filesystem::path& path);

// Removes what replacements of path left behind when their process was
// killed: files named path.XXXXXX (six letters and digits, not a
// lower-case word), regular, owned by this user and last changed longer ago
// than age.
void removeAbandonedReplacements(const std::filesystem::path& path, std::chrono::seconds age);

// Renames the file at path to path.<label>-<local time>, with a number added
// when that name is taken, so that no earlier file is ever overwritten.
// Returns the new path, or nullopt with the reason.
std::optional<std::filesystem::path> setAside(const std::filesystem::path& path, const std::string& label,
                                              std::string* reason);

} // namespace foundation
