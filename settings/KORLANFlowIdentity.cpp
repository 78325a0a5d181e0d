#include "settings/KORLANFlowConfiguration.h"

const char KORLANFlowBundleIdentifier[] = KORLAN_FLOW_BUNDLE_IDENTIFIER;
const char KORLANFlowSettingsDidChangeNotification[] = KORLAN_FLOW_BUNDLE_IDENTIFIER ".SettingsDidChange";
