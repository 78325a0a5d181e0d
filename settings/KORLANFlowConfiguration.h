#pragma once

#include "settings/ModuleExport.h"

// The three user settings, passed by value through the whole module.
struct KORLANFlowConfiguration {
    float speed;
    float intensity;
    float complexity;
};

KF_MODULE_API const char KORLANFlowBundleIdentifier[];
KF_MODULE_API const char KORLANFlowSettingsDidChangeNotification[];

KF_MODULE_API KORLANFlowConfiguration KORLANFlowDefaultConfiguration(void);
// The stored settings, each inside its range whatever the store holds.
KF_MODULE_API KORLANFlowConfiguration KORLANFlowLoadConfiguration(void);
// Clamps, writes and flushes, then announces the change to this process.
KF_MODULE_API void KORLANFlowStoreConfiguration(KORLANFlowConfiguration configuration);
