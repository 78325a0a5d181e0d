#pragma once

#include "platform/PlatformExport.h"

#include <filesystem>
#include <memory>
#include <string>

namespace foundation {

// A bundle directory:
//   NAME.saver/Contents/Info.ini        [Bundle] Identifier, Executable, …
//   NAME.saver/Contents/Linux/<Executable>
//   NAME.saver/Contents/Resources/…
class KF_PLATFORM_API Bundle {
public:
    // Null when the directory holds no readable Info.ini with an identifier.
    static std::shared_ptr<Bundle> bundleWithPath(const std::filesystem::path& path);
    // The bundle whose executable contains the given code or data address.
    static std::shared_ptr<Bundle> bundleForAddress(const void* address);

    ~Bundle();
    Bundle(const Bundle&) = delete;
    Bundle& operator=(const Bundle&) = delete;

    const std::filesystem::path& bundlePath() const { return path_; }
    const std::string& bundleIdentifier() const { return identifier_; }
    std::string infoValue(const std::string& key) const;
    std::filesystem::path executablePath() const;
    std::filesystem::path resourcePath() const;
    // Empty when the bundle has no such resource.
    std::filesystem::path URLForResource(const std::string& name, const std::string& extension) const;

    // Loads the executable once and keeps it loaded for the life of the
    // process; false with a message when it cannot be loaded.
    bool load(std::string* failure = nullptr);
    // Null before a successful load or when the executable lacks the symbol.
    void* symbol(const char* name) const;

private:
    Bundle(std::filesystem::path path, std::string identifier, std::string executable);

    std::filesystem::path path_;
    std::string identifier_;
    std::string executable_;
    void* handle_ = nullptr;
    // A reference on an executable that was loaded already.
    bool borrowedHandle_ = false;
};

} // namespace foundation
