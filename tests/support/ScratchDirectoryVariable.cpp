#include "tests/support/ScratchDirectoryVariable.h"

#include <glib.h>

#include <cstdlib>
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

void ScratchDirectory::clear() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(root_, ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

ScratchDirectoryVariable::ScratchDirectoryVariable(std::string variable) : variable_(std::move(variable)) {
    if (const char* previous = std::getenv(variable_.c_str())) previous_ = previous;
    setenv(variable_.c_str(), root().c_str(), 1);
}

ScratchDirectoryVariable::~ScratchDirectoryVariable() {
    if (previous_) {
        setenv(variable_.c_str(), previous_->c_str(), 1);
    } else {
        unsetenv(variable_.c_str());
    }
}
