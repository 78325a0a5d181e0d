#include "host/ModuleBundle.h"

#include "platform/foundation/ClassRegistry.h"

namespace {

template <typename Symbol>
bool resolve(const foundation::Bundle& bundle, const char* name, Symbol& symbol, std::string& failure) {
    symbol = reinterpret_cast<Symbol>(bundle.symbol(name));
    if (!symbol) failure = bundle.executablePath().string() + " does not export " + name;
    return symbol != nullptr;
}

} // namespace

std::unique_ptr<ModuleBundle> ModuleBundle::load(const std::string& path, std::string& failure) {
    auto module = std::make_unique<ModuleBundle>();
    module->bundle = foundation::Bundle::bundleWithPath(path);
    if (!module->bundle) {
        failure = path + " is not a KORLAN Flow bundle (no Contents/Info.ini with an identifier)";
        return nullptr;
    }
    if (!module->bundle->load(&failure)) return nullptr;
    const auto& bundle = *module->bundle;
    if (!resolve(bundle, "KORLANFlowDefaultConfiguration", module->defaultConfiguration, failure) ||
        !resolve(bundle, "KORLANFlowLoadConfiguration", module->loadConfiguration, failure) ||
        !resolve(bundle, "KORLANFlowStoreConfiguration", module->storeConfiguration, failure) ||
        !resolve(bundle, "KORLANFlowBundleIdentifier", module->bundleIdentifier, failure)) {
        return nullptr;
    }
    return module;
}

std::shared_ptr<const view::ScreenSaverViewClass> ModuleBundle::principalClass() const {
    return foundation::ClassRegistry::shared().classNamed<view::ScreenSaverViewClass>(
        bundle->infoValue("PrincipalClass"));
}
