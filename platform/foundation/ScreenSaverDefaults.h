#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/SettingsFile.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace foundation {

// The host's per-module defaults: a key file per module under
// $XDG_CONFIG_HOME/korlan-flow/, read when the object is opened and written
// by synchronize. Registered defaults answer for keys that hold nothing and
// are never written.
class KF_PLATFORM_API ScreenSaverDefaults {
public:
    // Reads the module's file afresh on every call. A name that could leave
    // the settings directory gives a store that reads 0.0 and never writes.
    static std::shared_ptr<ScreenSaverDefaults> defaultsForModuleWithName(const std::string& moduleName);

    void registerDefaults(const std::map<std::string, float>& defaults);
    // The stored number or numeric text; the registered default when nothing
    // is stored; 0.0 for anything else and for a file that cannot be read.
    float floatForKey(const std::string& key) const;
    void setFloat(float value, const std::string& key);
    // Writes the values set since opening over what the file holds now, so
    // keys another process wrote in the meantime stay. A file that cannot be
    // parsed is set aside (as name.ini.unreadable-<time>) before a new one is
    // written; one that cannot be read is left alone. False, with a line in
    // the log, when nothing was written: the file is then as it was. Waits
    // for another writer's lock for about two seconds at most.
    bool synchronize();

    const std::filesystem::path& filePath() const { return path_; }

    ScreenSaverDefaults(std::string moduleName, std::filesystem::path path);

private:
    std::string group_;
    std::filesystem::path path_;
    SettingsFile stored_;
    std::map<std::string, float> registered_;
    std::map<std::string, float> pending_;
};

} // namespace foundation
