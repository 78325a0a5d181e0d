#pragma once

#include <filesystem>
#include <string>

// Points $XDG_CONFIG_HOME at a fresh directory for the life of the object,
// so every test starts with nothing stored and leaves the user's settings
// alone.
class ScratchConfigHome {
public:
    ScratchConfigHome();
    ~ScratchConfigHome();
    ScratchConfigHome(const ScratchConfigHome&) = delete;
    ScratchConfigHome& operator=(const ScratchConfigHome&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path settingsFile(const std::string& module) const;
    void writeSettingsFile(const std::string& module, const std::string& contents) const;
    std::string readSettingsFile(const std::string& module) const;

private:
    std::filesystem::path root_;
    std::string previous_;
    bool hadPrevious_;
};
