#pragma once

#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/Bundle.h"
#include "platform/view/ScreenSaverView.h"

#include <memory>
#include <string>

// The module as the host sees it: a bundle loaded with dlopen and the C
// functions it exports.
struct ModuleBundle {
    std::shared_ptr<foundation::Bundle> bundle;
    decltype(&KORLANFlowDefaultConfiguration) defaultConfiguration = nullptr;
    decltype(&KORLANFlowLoadConfiguration) loadConfiguration = nullptr;
    decltype(&KORLANFlowStoreConfiguration) storeConfiguration = nullptr;
    const char* bundleIdentifier = nullptr;

    // Null with a message when the bundle is missing, cannot be loaded or
    // lacks one of the functions.
    static std::unique_ptr<ModuleBundle> load(const std::string& path, std::string& failure);

    // The saver view class the bundle registered under its principal
    // class's name; null when it registered none.
    std::shared_ptr<const view::ScreenSaverViewClass> principalClass() const;
};
