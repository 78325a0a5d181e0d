#include "settings/KORLANFlowSettings.h"

#include "platform/foundation/NotificationCenter.h"

#include <cmath>

float KORLANFlowClampSetting(float value, const KORLANFlowSetting& setting) {
    // fmax returns the number when the other argument is NaN.
    value = std::fmax(value, setting.minimum);
    if (value > setting.maximum) value = setting.maximum;
    return value;
}

KORLANFlowConfiguration KORLANFlowClampConfiguration(KORLANFlowConfiguration configuration) {
    for (const auto& setting : kKORLANFlowSettings) {
        configuration.*setting.field = KORLANFlowClampSetting(configuration.*setting.field, setting);
    }
    return configuration;
}

std::shared_ptr<foundation::ScreenSaverDefaults> KORLANFlowDefaults() {
    auto defaults = foundation::ScreenSaverDefaults::defaultsForModuleWithName(KORLANFlowBundleIdentifier);
    std::map<std::string, float> registered;
    for (const auto& setting : kKORLANFlowSettings) registered.emplace(setting.key, setting.defaultValue);
    defaults->registerDefaults(registered);
    return defaults;
}

KORLANFlowConfiguration KORLANFlowDefaultConfiguration(void) {
    KORLANFlowConfiguration configuration{};
    for (const auto& setting : kKORLANFlowSettings) configuration.*setting.field = setting.defaultValue;
    return configuration;
}

KORLANFlowConfiguration KORLANFlowLoadConfiguration(void) {
    const auto defaults = KORLANFlowDefaults();
    KORLANFlowConfiguration configuration{};
    for (const auto& setting : kKORLANFlowSettings) configuration.*setting.field = defaults->floatForKey(setting.key);
    return KORLANFlowClampConfiguration(configuration);
}

void KORLANFlowStoreConfiguration(KORLANFlowConfiguration configuration) {
    const auto defaults = KORLANFlowDefaults();
    const KORLANFlowConfiguration clamped = KORLANFlowClampConfiguration(configuration);
    for (const auto& setting : kKORLANFlowSettings) defaults->setFloat(clamped.*setting.field, setting.key);
    // A failed flush is not reported: the announcement goes out all the
    // same, and observers read back whatever the store now holds.
    defaults->synchronize();
    foundation::NotificationCenter::defaultCenter().postNotificationName(KORLANFlowSettingsDidChangeNotification,
                                                                         nullptr);
}
