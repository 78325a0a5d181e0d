#include "platform/foundation/ScreenSaverDefaults.h"

#include "platform/foundation/BaseDirectories.h"
#include "platform/foundation/ExclusiveFileLock.h"
#include "platform/foundation/FileReplacement.h"
#include "platform/foundation/Log.h"

#include <sys/stat.h>

#include <chrono>
#include <system_error>

namespace foundation {

namespace {

constexpr const char* kHostDirectoryName = "korlan-flow";
// "Sichern" stores on the main thread: a holder of the lock that is stopped
// or hung must not freeze the settings window.
constexpr std::chrono::milliseconds kLockPatience{2000};
// Long enough that no live write still owns its temporary file.
constexpr std::chrono::seconds kAbandonedTemporaryAge{60};
constexpr unsigned kNewFileMode = 0600;

bool isSafeModuleName(const std::string& name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string::npos;
}

// The permission bits the file has now, to be kept by its replacement.
unsigned modeOf(const std::filesystem::path& path) {
    struct stat status{};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : kNewFileMode;
}

// The settings file for the log: the link as the user made it, and the
// file it names.
std::string describeFile(const std::filesystem::path& path, const std::filesystem::path& target) {
    return target == path ? path.string() : path.string() + " (a link to " + target.string() + ")";
}

// Makes way for writing over the target of path: a file that cannot be
// parsed is the user's data and is set aside first; one that cannot be read
// at all (no permission, no regular file) is left alone and nothing is
// written.
bool makeWayForWriting(SettingsFile& current, const std::filesystem::path& path,
                       const std::filesystem::path& target) {
    if (current.state() == SettingsFile::State::Unreadable) {
        Log("Settings not stored: cannot read " + describeFile(path, target) + ": " + current.problem());
        return false;
    }
    if (current.state() != SettingsFile::State::Unparseable) return true;
    std::string reason;
    const auto aside = setAside(target, "unreadable", &reason);
    if (!aside) {
        Log("Settings not stored: cannot set aside " + describeFile(path, target) + ": " + reason);
        return false;
    }
    Log("Settings file " + describeFile(path, target) + " could not be read (" + current.problem() +
        "); kept as " + aside->string());
    current = SettingsFile();
    return true;
}

} // namespace

ScreenSaverDefaults::ScreenSaverDefaults(std::string moduleName, std::filesystem::path path)
    : group_(std::move(moduleName)), path_(std::move(path)) {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(path_.parent_path(), ignored);
    stored_ = SettingsFile::read(path_);
}

std::shared_ptr<ScreenSaverDefaults> ScreenSaverDefaults::defaultsForModuleWithName(const std::string& moduleName) {
    const auto home = configHome();
    std::filesystem::path path;
    if (isSafeModuleName(moduleName) && !home.empty()) path = home / kHostDirectoryName / (moduleName + ".ini");
    return std::make_shared<ScreenSaverDefaults>(moduleName, std::move(path));
}

void ScreenSaverDefaults::registerDefaults(const std::map<std::string, float>& defaults) {
    for (const auto& [key, value] : defaults) registered_[key] = value;
}

float ScreenSaverDefaults::floatForKey(const std::string& key) const {
    if (const auto pending = pending_.find(key); pending != pending_.end()) return pending->second;
    const auto state = stored_.state();
    if (path_.empty() || state == SettingsFile::State::Unreadable || state == SettingsFile::State::Unparseable) {
        return 0.0f;
    }
    if (const auto text = stored_.text(group_, key)) return SettingsFile::parseNumber(*text).value_or(0.0f);
    if (const auto registered = registered_.find(key); registered != registered_.end()) return registered->second;
    return 0.0f;
}

void ScreenSaverDefaults::setFloat(float value, const std::string& key) { pending_[key] = value; }

bool ScreenSaverDefaults::synchronize() {
    if (pending_.empty()) return true;
    if (path_.empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(path_.parent_path(), ignored);
    const ExclusiveFileLock lock(path_.string() + ".lock", kLockPatience);
    if (!lock.held()) {
        Log("Settings not stored: cannot lock " + path_.string() + ".lock: " + lock.failure());
        return false;
    }

    // A linked settings file (as dotfile managers make them) is written
    // where the link points, so the link stays.
    const auto target = followLinks(path_);
    removeAbandonedReplacements(target, kAbandonedTemporaryAge);
    SettingsFile current = SettingsFile::read(target);
    if (!makeWayForWriting(current, path_, target)) return false;
    for (const auto& [key, value] : pending_) current.setNumber(group_, key, value);
    const unsigned mode = modeOf(target);
    std::string reason;
    if (!current.writeAtomically(target, mode, &reason)) {
        Log("Settings not stored: " + reason);
        return false;
    }
    // The umask may have taken bits that the file had.
    chmod(target.c_str(), mode);
    stored_ = SettingsFile::read(path_);
    pending_.clear();
    return true;
}

} // namespace foundation
