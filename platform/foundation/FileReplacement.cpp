#include "platform/foundation/FileReplacement.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>

namespace foundation {

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaximumLinkChain = 40;
// What g_file_set_contents_full puts after "path." in its temporary names.
constexpr std::size_t kTemporarySuffixLength = 6;

// The suffix is six random letters and digits. One of lower-case letters
// alone is far more likely a word the user chose (".backup") than chance,
// so it is left alone.
bool isTemporaryName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kTemporarySuffixLength || !name.starts_with(prefix)) return false;
    const std::string_view suffix = std::string_view(name).substr(prefix.size());
    return std::all_of(suffix.begin(), suffix.end(), [](unsigned char c) { return std::isalnum(c); }) &&
           !std::all_of(suffix.begin(), suffix.end(), [](unsigned char c) { return std::islower(c); });
}

bool isAbandoned(const std::filesystem::path& path, std::chrono::seconds age) {
    struct stat status{};
    if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != getuid()) return false;
    return std::time(nullptr) - status.st_mtime > age.count();
}

bool writeAll(int descriptor, std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = pwrite(descriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

std::string localTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local));
}

} // namespace

bool replaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, unsigned mode,
                         bool durable, std::string* reason) {
    auto flags = G_FILE_SET_CONTENTS_CONSISTENT;
    if (durable) flags = static_cast<GFileSetContentsFlags>(flags | G_FILE_SET_CONTENTS_DURABLE);
    GError* failure = nullptr;
    const bool written = g_file_set_contents_full(path.c_str(), reinterpret_cast<const gchar*>(bytes.data()),
                                                  static_cast<gssize>(bytes.size()), flags, static_cast<int>(mode),
                                                  &failure);
    if (!written && reason) *reason = failure->message;
    g_clear_error(&failure);
    return written;
}

bool overwriteFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, bool durable,
                           std::string* reason) {
    const int descriptor = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const bool written = descriptor >= 0 && writeAll(descriptor, bytes) &&
                         ftruncate(descriptor, static_cast<off_t>(bytes.size())) == 0 &&
                         (!durable || fsync(descriptor) == 0);
    const int error = errno;
    if (descriptor >= 0) close(descriptor);
    if (!written && reason) *reason = std::strerror(error);
    return written;
}

std::optional<std::string> problemReplacing(const std::filesystem::path& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return std::strerror(EISDIR);
    std::string probe = path.string() + ".XXXXXX";
    const int descriptor = g_mkstemp_full(probe.data(), O_RDWR | O_CLOEXEC, 0600);
    if (descriptor < 0) return std::strerror(errno);
    close(descriptor);
    g_unlink(probe.c_str());
    return std::nullopt;
}

std::filesystem::path followLinks(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    std::error_code error;
    for (int step = 0; step < kMaximumLinkChain && std::filesystem::is_symlink(current, error); ++step) {
        const auto target = std::filesystem::read_symlink(current, error);
        if (error) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

void removeAbandonedReplacements(const std::filesystem::path& path, std::chrono::seconds age) {
    const std::string prefix = path.filename().string() + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), error)) {
        if (isTemporaryName(entry.path().filename().string(), prefix) && isAbandoned(entry.path(), age)) {
            g_unlink(entry.path().c_str());
        }
    }
}

std::optional<std::filesystem::path> setAside(const std::filesystem::path& path, const std::string& label,
                                              std::string* reason) {
    const std::string base = path.string() + "." + label + "-" + localTimeStamp();
    for (int attempt = 1;; ++attempt) {
        const std::filesystem::path aside = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
        if (errno != EEXIST) {
            *reason = std::strerror(errno);
            return std::nullopt;
        }
    }
}

} // namespace foundation
