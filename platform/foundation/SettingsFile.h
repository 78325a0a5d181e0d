#pragma once

#include <filesystem>
#include <optional>
#include <string>

typedef struct _GKeyFile GKeyFile;

namespace foundation {

// A key file of settings as it lies on disk. Numbers are written and read
// in one notation whatever the user's locale (NaN and infinities included),
// so a file written under one locale reads the same under any other.
class SettingsFile {
public:
    // Unparseable: a regular file that holds no key file, or more than a
    // settings file ever holds. Unreadable: no permission, or no regular
    // file at all (a directory, a FIFO, a device).
    enum class State { Missing, Readable, Unparseable, Unreadable };

    static SettingsFile read(const std::filesystem::path& path);
    SettingsFile();
    ~SettingsFile();
    SettingsFile(SettingsFile&& other) noexcept;
    SettingsFile& operator=(SettingsFile&& other) noexcept;
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    State state() const { return state_; }
    // Why the file is unreadable or unparseable, for the log.
    const std::string& problem() const { return problem_; }
    // The key's raw text; nullopt when the file is not readable or lacks it.
    std::optional<std::string> text(const std::string& group, const std::string& key) const;
    void setNumber(const std::string& group, const std::string& key, float value);
    // Replaces the file in one step: a crash leaves the old or the new file.
    // A new file gets mode, less the umask.
    bool writeAtomically(const std::filesystem::path& path, unsigned mode, std::string* reason) const;

    static std::string formatNumber(float value);
    // Nullopt unless the whole text (surrounding blanks aside) is a number.
    static std::optional<float> parseNumber(const std::string& text);

private:
    GKeyFile* keyFile_;
    State state_ = State::Missing;
    std::string problem_;
};

} // namespace foundation
