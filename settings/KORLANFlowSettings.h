#pragma once

#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/ScreenSaverDefaults.h"

#include <array>
#include <memory>

// One row per setting: where it is stored, where it starts and the range
// every loaded or stored value is kept in. The settings sheet's sliders use
// the same bounds.
struct KORLANFlowSetting {
    float KORLANFlowConfiguration::*field;
    const char* key;
    float defaultValue;
    float minimum;
    float maximum;
};

inline constexpr std::array<KORLANFlowSetting, 3> kKORLANFlowSettings{{
    {&KORLANFlowConfiguration::speed, "FlowSpeed", 0.8f, 0.25f, 1.75f},
    {&KORLANFlowConfiguration::intensity, "FlowIntensity", 0.88f, 0.35f, 1.2f},
    {&KORLANFlowConfiguration::complexity, "FlowComplexity", 1.0f, 0.55f, 1.55f},
}};

// NaN and values below the minimum give the minimum, values above the
// maximum give the maximum; the bounds themselves stay.
float KORLANFlowClampSetting(float value, const KORLANFlowSetting& setting);

// Every field kept inside its setting's range: what loading, storing and a
// checking caller's settings all go through.
KORLANFlowConfiguration KORLANFlowClampConfiguration(KORLANFlowConfiguration configuration);

// This module's defaults, opened and registered afresh on every call.
std::shared_ptr<foundation::ScreenSaverDefaults> KORLANFlowDefaults();
