#include "tests/support/ScratchConfigHome.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

ScratchConfigHome::ScratchConfigHome() {
    gchar* directory = g_dir_make_tmp("korlan-flow-config-XXXXXX", nullptr);
    if (!directory) throw std::runtime_error("cannot make a scratch directory");
    root_ = directory;
    g_free(directory);
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    hadPrevious_ = previous != nullptr;
    if (previous) previous_ = previous;
    setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
}

ScratchConfigHome::~ScratchConfigHome() {
    if (hadPrevious_) {
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path ScratchConfigHome::settingsFile(const std::string& module) const {
    return root_ / "korlan-flow" / (module + ".ini");
}

void ScratchConfigHome::writeSettingsFile(const std::string& module, const std::string& contents) const {
    const auto path = settingsFile(module);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

std::string ScratchConfigHome::readSettingsFile(const std::string& module) const {
    std::ifstream file(settingsFile(module), std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}
