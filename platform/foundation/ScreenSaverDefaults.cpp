#include "platform/foundation/ScreenSaverDefaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace foundation {

namespace {

constexpr const char* kHostDirectoryName = "korlan-flow";

std::filesystem::path configHome() {
    // Read on every call rather than cached, so a changed environment (a
    // test's scratch directory) is honoured. Relative values are ignored,
    // as the base-directory convention asks.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return xdg;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::filesystem::path(home) / ".config";
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) {
        return std::filesystem::path(user->pw_dir) / ".config";
    }
    return {};
}

bool isSafeModuleName(const std::string& name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string::npos;
}

// An exclusive advisory lock on a file of its own: the settings file itself
// is replaced on every write, so a lock on it would guard nothing.
class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(const std::filesystem::path& path)
        : descriptor_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (descriptor_ < 0) return;
        while (flock(descriptor_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(descriptor_);
                descriptor_ = -1;
                return;
            }
        }
    }
    ~ExclusiveFileLock() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    bool held() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

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
    if (path_.empty() || stored_.state() == SettingsFile::State::Unreadable) return 0.0f;
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
    const ExclusiveFileLock lock(path_.string() + ".lock");
    if (!lock.held()) return false;

    SettingsFile current = SettingsFile::read(path_);
    // A file that cannot be parsed holds nothing worth keeping. Something
    // that is no file at all (a directory in its place) stays: replacing it
    // fails, and the temporary file goes with the failure.
    if (current.state() == SettingsFile::State::Unreadable) current = SettingsFile();
    for (const auto& [key, value] : pending_) current.setNumber(group_, key, value);
    if (!current.writeAtomically(path_)) return false;
    stored_ = SettingsFile::read(path_);
    pending_.clear();
    return true;
}

} // namespace foundation
