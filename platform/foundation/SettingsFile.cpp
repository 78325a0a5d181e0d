#include "platform/foundation/SettingsFile.h"

#include <glib.h>

#include <charconv>
#include <utility>

namespace foundation {

SettingsFile::SettingsFile() : keyFile_(g_key_file_new()) {}

SettingsFile::~SettingsFile() {
    if (keyFile_) g_key_file_free(keyFile_);
}

SettingsFile::SettingsFile(SettingsFile&& other) noexcept
    : keyFile_(std::exchange(other.keyFile_, nullptr)), state_(other.state_) {}

SettingsFile& SettingsFile::operator=(SettingsFile&& other) noexcept {
    std::swap(keyFile_, other.keyFile_);
    std::swap(state_, other.state_);
    return *this;
}

SettingsFile SettingsFile::read(const std::filesystem::path& path) {
    SettingsFile file;
    gchar* contents = nullptr;
    gsize length = 0;
    GError* failure = nullptr;
    if (!g_file_get_contents(path.c_str(), &contents, &length, &failure)) {
        const bool missing = g_error_matches(failure, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        file.state_ = missing ? State::Missing : State::Unreadable;
        g_error_free(failure);
        return file;
    }
    const bool parsed = g_key_file_load_from_data(file.keyFile_, contents, length, G_KEY_FILE_KEEP_COMMENTS, nullptr);
    g_free(contents);
    file.state_ = parsed ? State::Readable : State::Unreadable;
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

bool SettingsFile::writeAtomically(const std::filesystem::path& path) const {
    gsize length = 0;
    gchar* data = g_key_file_to_data(keyFile_, &length, nullptr);
    const bool written = g_file_set_contents_full(
        path.c_str(), data, static_cast<gssize>(length),
        static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT | G_FILE_SET_CONTENTS_DURABLE), 0600,
        nullptr);
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
