#include "sheet/KORLANFlowConfigurationController.h"

#include "platform/foundation/LocalizedFormatting.h"
#include "platform/ui/Application.h"

// Making the controller, showing the settings and the sheet's actions.

namespace {

constexpr view::Rect kContentRect{{0, 0}, {540, 414}};

} // namespace

std::shared_ptr<KORLANFlowConfigurationController> KORLANFlowConfigurationController::init() {
    const auto window = view::Window::initWithContentRect(kContentRect, view::WindowStyleMaskTitled);
    window->setTitle("KORLAN Flow");
    // One window for the controller's whole life: the host presents it
    // again and again.
    window->setReleasedWhenClosed(false);
    window->setAppearance(view::AppearanceName::DarkAqua);

    std::shared_ptr<KORLANFlowConfigurationController> controller(new KORLANFlowConfigurationController());
    if (!controller->adoptWindow(window)) return nullptr;
    controller->buildInterface();
    controller->reloadFromDefaults();
    return controller;
}

void KORLANFlowConfigurationController::reloadFromDefaults() { showConfiguration(KORLANFlowLoadConfiguration()); }

void KORLANFlowConfigurationController::showConfiguration(const KORLANFlowConfiguration& configuration) {
    for (const auto& row : kSettingRows) (this->*row.slider)->setFloatValue(configuration.*row.setting.field);
    updateValueLabels();
}

void KORLANFlowConfigurationController::updateValueLabels() {
    for (const auto& row : kSettingRows) {
        (this->*row.valueLabel)->setStringValue(formattedValue((this->*row.slider)->floatValue()));
    }
}

std::string KORLANFlowConfigurationController::formattedValue(float value) const {
    return foundation::localizedStringWithFormat("%.2f ×", static_cast<double>(value));
}

KORLANFlowConfiguration KORLANFlowConfigurationController::sliderConfiguration() const {
    KORLANFlowConfiguration configuration{};
    for (const auto& row : kSettingRows) configuration.*row.setting.field = (this->*row.slider)->floatValue();
    return configuration;
}

void KORLANFlowConfigurationController::sliderChanged(const ui::Action::Sender&) { updateValueLabels(); }

void KORLANFlowConfigurationController::resetSettings(const ui::Action::Sender&) {
    // Only the sliders: the defaults are stored only if the user saves.
    showConfiguration(KORLANFlowDefaultConfiguration());
}

void KORLANFlowConfigurationController::cancelSettings(const ui::Action::Sender&) {
    reloadFromDefaults();
    ui::Application::sharedApplication().endSheet(window(), view::ModalResponseCancel);
}

void KORLANFlowConfigurationController::saveSettings(const ui::Action::Sender&) {
    // Storing announces the change synchronously, so every saver view in the
    // process has its new values before the sheet ends.
    KORLANFlowStoreConfiguration(sliderConfiguration());
    ui::Application::sharedApplication().endSheet(window(), view::ModalResponseOK);
}
