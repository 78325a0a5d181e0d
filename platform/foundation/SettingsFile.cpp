#include "platform/foundation/SettingsFile.h"

#include "platform/foundation/FileReplacement.h"
#include "platform/foundation/RegularFile.h"

#include <glib.h>

#include <charconv>
#include <string_view>
#include <utility>

namespace foundation {

namespace {

// Three numbers take a few dozen bytes; a file far beyond that is not ours
// to parse.
constexpr std::size_t kMaximumFileSize = 1 << 20;
// Editors on other systems start UTF-8 files with a byte-order mark, which
// GLib's key-file parser refuses.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

SettingsFile::State stateOfUnreadFile(FileReadFailure failure) {
    if (failure == FileReadFailure::Missing) return SettingsFile::State::Missing;
    // A regular file too large to read is still a file of the user's that
    // can be kept aside.
    if (failure == FileReadFailure::TooLarge) return SettingsFile::State::Unparseable;
    return SettingsFile::State::Unreadable;
}

} // namespace

SettingsFile::SettingsFile() : keyFile_(g_key_file_new()) {}

SettingsFile::~SettingsFile() {
    if (keyFile_) g_key_file_free(keyFile_);
}

SettingsFile::SettingsFile(SettingsFile&& other) noexcept
    : keyFile_(std::exchange(other.keyFile_, nullptr)), state_(other.state_), problem_(std::move(other.problem_)) {}

SettingsFile& SettingsFile::operator=(SettingsFile&& other) noexcept {
    std::swap(keyFile_, other.keyFile_);
    std::swap(state_, other.state_);
    std::swap(problem_, other.problem_);
    return *this;
}

SettingsFile SettingsFile::read(const std::filesystem::path& path) {
    SettingsFile file;
    const FileContents contents = readRegularFile(path, kMaximumFileSize);
    if (!contents.wasRead()) {
        file.state_ = stateOfUnreadFile(contents.failure);
        file.problem_ = contents.reason();
        return file;
    }
    std::string_view text(reinterpret_cast<const char*>(contents.bytes.data()), contents.bytes.size());
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    GError* failure = nullptr;
    if (g_key_file_load_from_data(file.keyFile_, text.data(), text.size(), G_KEY_FILE_KEEP_COMMENTS, &failure)) {
        file.state_ = State::Readable;
    } else {
        file.state_ = State::Unparseable;
        file.problem_ = failure->message;
        g_error_free(failure);
    }
    return file;
}

std::optional<std::string> SettingsFile::text(const std::string& group, const std::string& key) const {
    if (state_ != State::Readable) return std::nullopt;
    gchar* value = g_key_file_get_value(keyFile_, group.c_str(), key.c_str(), nullptr);
    if (!value) return std::nullopt;
    std::string result = value;
    g_free(value);
    return result;
}

void SettingsFile::setNumber(const std::string& group, const std::string& key, float value) {
    g_key_file_set_value(keyFile_, group.c_str(), key.c_str(), formatNumber(value).c_str());
}

bool SettingsFile::writeAtomically(const std::filesystem::path& path, unsigned mode, std::string* reason) const {
    gsize length = 0;
    gchar* data = g_key_file_to_data(keyFile_, &length, nullptr);
    const bool written =
        replaceFileContents(path, {reinterpret_cast<const std::uint8_t*>(data), length}, mode, true, reason);
    g_free(data);
    return written;
}

std::string SettingsFile::formatNumber(float value) {
    // The shortest text that reads back as the same float: "0.8", not
    // "0.800000011920929".
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::optional<float> SettingsFile::parseNumber(const std::string& text) {
    gchar* copy = g_strstrip(g_strdup(text.c_str()));
    gchar* end = nullptr;
    const double value = g_ascii_strtod(copy, &end);
    const bool whole = *copy != '\0' && *end == '\0';
    g_free(copy);
    if (!whole) return std::nullopt;
    return static_cast<float>(value);
}

} // namespace foundation
