#include "saver/KORLANFlowScreenSaverView.h"

#include "settings/KORLANFlowConfiguration.h"

// The settings: the sheet the host shows, and the change it announces.

std::shared_ptr<view::Window> KORLANFlowScreenSaverView::configureSheet() {
    if (!configurationController_) configurationController_ = KORLANFlowConfigurationController::init();
    // A controller that could not be made has no window to give.
    if (!configurationController_) return nullptr;
    // Every presentation starts from the stored settings: an edit that was
    // not saved never shows again.
    configurationController_->reloadFromDefaults();
    return configurationController_->window();
}

void KORLANFlowScreenSaverView::flowSettingsDidChange(const foundation::Notification&) {
    const auto configuration = KORLANFlowLoadConfiguration();
    // A view without a renderer picks the settings up at its next GPU set-up.
    if (renderer_) renderer_->applyConfiguration(configuration);
}
