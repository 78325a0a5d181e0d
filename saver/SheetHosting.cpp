#include "saver/KORLANFlowScreenSaverView.h"

// Handing the host the settings sheet.

std::shared_ptr<view::Window> KORLANFlowScreenSaverView::configureSheet() {
    if (!configurationController_) configurationController_ = KORLANFlowConfigurationController::init();
    // A controller that could not be made has no window to give.
    if (!configurationController_) return nullptr;
    // Every presentation starts from the stored settings: an edit that was
    // not saved never shows again.
    configurationController_->reloadFromDefaults();
    return configurationController_->window();
}
