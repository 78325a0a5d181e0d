#include "tests/support/ScratchDirectoryVariable.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

ScratchDirectory::ScratchDirectory() {
    gchar* directory = g_dir_make_tmp("korlan-flow-XXXXXX", nullptr);
    if (!directory) throw std::runtime_error("cannot make a scratch directory");
    root_ = directory;
    g_free(directory);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path ScratchDirectory::write(const std::string& name, const std::string& contents) const {
    const auto path = root_ / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
    return path;
}

void ScratchDirectory::clear() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(root_, ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
    if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
    setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    if (previous_) {
        setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}
