#pragma once

#include <filesystem>
#include <optional>
#include <string>

// A fresh directory, removed with everything in it when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // Empties the directory, keeping it.
    void clear() const;

private:
    std::filesystem::path root_;
};

// Points an environment variable ($XDG_CONFIG_HOME, $XDG_CACHE_HOME …) at a
// scratch directory for the life of the object, then puts the old value back.
class ScratchDirectoryVariable : public ScratchDirectory {
public:
    explicit ScratchDirectoryVariable(std::string variable);
    ~ScratchDirectoryVariable();

private:
    std::string variable_;
    std::optional<std::string> previous_;
};
