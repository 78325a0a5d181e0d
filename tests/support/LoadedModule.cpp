#include "tests/support/LoadedModule.h"

#include <stdexcept>

const ModuleBundle& loadedModule() {
    static const ModuleBundle* module = [] {
        std::string failure;
        auto loaded = ModuleBundle::load(KORLAN_FLOW_BUNDLE_PATH, failure);
        if (!loaded) throw std::runtime_error("cannot load the bundle: " + failure);
        return loaded.release();
    }();
    return *module;
}
