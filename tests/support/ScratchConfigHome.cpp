#include "tests/support/ScratchConfigHome.h"

#include <fstream>
#include <sstream>

std::filesystem::path ScratchConfigHome::settingsFile(const std::string& module) const {
    return root() / "korlan-flow" / (module + ".ini");
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
