#include "platform/foundation/Bundle.h"

#include <dlfcn.h>
#include <glib.h>

#include <system_error>

namespace foundation {

namespace {

constexpr const char* kInfoGroup = "Bundle";

std::filesystem::path infoFilePath(const std::filesystem::path& bundlePath) {
    return bundlePath / "Contents" / "Info.ini";
}

std::string readInfoValue(const std::filesystem::path& bundlePath, const char* key) {
    GKeyFile* info = g_key_file_new();
    std::string value;
    if (g_key_file_load_from_file(info, infoFilePath(bundlePath).c_str(), G_KEY_FILE_NONE, nullptr)) {
        if (gchar* text = g_key_file_get_string(info, kInfoGroup, key, nullptr)) {
            value = text;
            g_free(text);
        }
    }
    g_key_file_free(info);
    return value;
}

} // namespace

Bundle::Bundle(std::filesystem::path path, std::string identifier, std::string executable)
    : path_(std::move(path)), identifier_(std::move(identifier)), executable_(std::move(executable)) {}

// An executable this object loaded stays loaded: the module registers
// classes and hands out function pointers that outlive any one bundle
// object. A reference taken on one loaded by others is given back.
Bundle::~Bundle() {
    if (handle_ && borrowedHandle_) dlclose(handle_);
}

std::shared_ptr<Bundle> Bundle::bundleWithPath(const std::filesystem::path& path) {
    std::string identifier = readInfoValue(path, "Identifier");
    if (identifier.empty()) return nullptr;
    return std::shared_ptr<Bundle>(new Bundle(path, std::move(identifier), readInfoValue(path, "Executable")));
}

std::shared_ptr<Bundle> Bundle::bundleForAddress(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) return nullptr;
    std::error_code failure;
    const auto executable = std::filesystem::canonical(info.dli_fname, failure);
    if (failure) return nullptr;
    // …/NAME.saver/Contents/Linux/libNAME.so
    auto bundle = bundleWithPath(executable.parent_path().parent_path().parent_path());
    if (bundle) {
        bundle->handle_ = dlopen(executable.c_str(), RTLD_NOW | RTLD_NOLOAD);
        bundle->borrowedHandle_ = true;
    }
    return bundle;
}

std::string Bundle::infoValue(const std::string& key) const { return readInfoValue(path_, key.c_str()); }

std::filesystem::path Bundle::executablePath() const {
    if (executable_.empty()) return {};
    return path_ / "Contents" / "Linux" / executable_;
}

std::filesystem::path Bundle::resourcePath() const { return path_ / "Contents" / "Resources"; }

std::filesystem::path Bundle::URLForResource(const std::string& name, const std::string& extension) const {
    // A name must stay inside the resource directory.
    if (name.empty() || name.find('/') != std::string::npos || extension.find('/') != std::string::npos) return {};
    auto resource = resourcePath() / (extension.empty() ? name : name + "." + extension);
    std::error_code failure;
    if (!std::filesystem::is_regular_file(resource, failure)) return {};
    return resource;
}

bool Bundle::load(std::string* failure) {
    if (handle_) return true;
    const auto executable = executablePath();
    if (executable.empty()) {
        if (failure) *failure = "bundle " + path_.string() + " names no executable";
        return false;
    }
    handle_ = dlopen(executable.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_ && failure) *failure = dlerror();
    return handle_ != nullptr;
}

void* Bundle::symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

} // namespace foundation
