#pragma once

#include "tests/support/ScratchDirectoryVariable.h"

#include <filesystem>
#include <string>

// Points $XDG_CONFIG_HOME at a fresh directory for the life of the object,
// so every test starts with nothing stored and leaves the user's settings
// alone.
class ScratchConfigHome : public ScratchDirectoryVariable {
public:
    ScratchConfigHome() : ScratchDirectoryVariable("XDG_CONFIG_HOME") {}

    std::filesystem::path settingsFile(const std::string& module) const;
    void writeSettingsFile(const std::string& module, const std::string& contents) const;
    std::string readSettingsFile(const std::string& module) const;
};
