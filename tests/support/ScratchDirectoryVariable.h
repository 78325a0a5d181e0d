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
    // Writes a file inside the directory and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& contents) const;
    // Empties the directory, keeping it.
    void clear() const;

private:
    std::filesystem::path root_;
};

// Sets an environment variable for the life of the object, then puts the
// old value back.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Points an environment variable ($XDG_CONFIG_HOME, $XDG_CACHE_HOME …) at a
// scratch directory for the life of the object.
class ScratchDirectoryVariable : public ScratchDirectory {
public:
    explicit ScratchDirectoryVariable(std::string variable) : variable_(std::move(variable), root().string()) {}

private:
    ScopedEnvironmentVariable variable_;
};
