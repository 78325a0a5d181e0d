#pragma once

#include "settings/KORLANFlowSettings.h"

#include "platform/graphics/Color.h"
#include "platform/ui/Control.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Slider.h"
#include "platform/ui/StackView.h"
#include "platform/ui/TextField.h"
#include "platform/view/WindowController.h"

#include <array>
#include <memory>
#include <string>

// The settings sheet: three sliders with live value labels, and the
// buttons "Standard", "Abbrechen" and "Sichern". It reads and writes the
// settings only through the settings store; moving a slider changes nothing
// but its own labels. The controller keeps one window for its whole life,
// so a host may present it any number of times. Main thread only.
class KORLANFlowConfigurationController final : public view::WindowController {
public:
    // Builds the window and the whole interface, showing the stored values.
    // Null when the window-controller base yields nothing.
    static std::shared_ptr<KORLANFlowConfigurationController> init();

    void buildInterface();
    // Appends one row card to the stack and returns its slider; hands back
    // the row's value label where one is asked for.
    std::shared_ptr<ui::Slider> addSettingRowToStack(const std::shared_ptr<ui::StackView>& stack,
                                                     const std::string& title, const std::string& explanation,
                                                     double minimum, double maximum,
                                                     std::shared_ptr<ui::TextField>* valueLabel);
    // The sliders show the stored settings again.
    void reloadFromDefaults();
    void updateValueLabels();
    // "0,80 ×" in a German locale, "0.80 ×" in an English one.
    std::string formattedValue(float value) const;

    // The actions; the sender is not examined.
    void sliderChanged(const ui::Action::Sender& sender);
    void resetSettings(const ui::Action::Sender& sender);
    void cancelSettings(const ui::Action::Sender& sender);
    void saveSettings(const ui::Action::Sender& sender);

    const std::shared_ptr<ui::Slider>& speedSlider() const { return speedSlider_; }
    void setSpeedSlider(std::shared_ptr<ui::Slider> slider) { speedSlider_ = std::move(slider); }
    const std::shared_ptr<ui::Slider>& intensitySlider() const { return intensitySlider_; }
    void setIntensitySlider(std::shared_ptr<ui::Slider> slider) { intensitySlider_ = std::move(slider); }
    const std::shared_ptr<ui::Slider>& complexitySlider() const { return complexitySlider_; }
    void setComplexitySlider(std::shared_ptr<ui::Slider> slider) { complexitySlider_ = std::move(slider); }
    const std::shared_ptr<ui::TextField>& speedValueLabel() const { return speedValueLabel_; }
    void setSpeedValueLabel(std::shared_ptr<ui::TextField> label) { speedValueLabel_ = std::move(label); }
    const std::shared_ptr<ui::TextField>& intensityValueLabel() const { return intensityValueLabel_; }
    void setIntensityValueLabel(std::shared_ptr<ui::TextField> label) { intensityValueLabel_ = std::move(label); }
    const std::shared_ptr<ui::TextField>& complexityValueLabel() const { return complexityValueLabel_; }
    void setComplexityValueLabel(std::shared_ptr<ui::TextField> label) { complexityValueLabel_ = std::move(label); }

private:
    // One row of the sheet per setting, top to bottom.
    struct SettingRow {
        const char* title;
        const char* explanation;
        const char* identifier;
        const KORLANFlowSetting& setting;
        std::shared_ptr<ui::Slider> KORLANFlowConfigurationController::*slider;
        std::shared_ptr<ui::TextField> KORLANFlowConfigurationController::*valueLabel;
    };
    static const std::array<SettingRow, 3> kSettingRows;

    KORLANFlowConfigurationController() = default;
    // Sets the sliders to the configuration's fields and refreshes the labels.
    void showConfiguration(const KORLANFlowConfiguration& configuration);
    // The sliders' values as a configuration, in single precision.
    KORLANFlowConfiguration sliderConfiguration() const;
    // "Standard", a spacer, "Abbrechen" and "Sichern", in a row.
    std::shared_ptr<ui::StackView> makeButtonRow();

    std::shared_ptr<ui::Slider> speedSlider_;
    std::shared_ptr<ui::Slider> intensitySlider_;
    std::shared_ptr<ui::Slider> complexitySlider_;
    std::shared_ptr<ui::TextField> speedValueLabel_;
    std::shared_ptr<ui::TextField> intensityValueLabel_;
    std::shared_ptr<ui::TextField> complexityValueLabel_;
};

// A label of the sheet: not editable, in the font and colour given, placed
// by constraints rather than its frame.
std::shared_ptr<ui::TextField> KORLANFlowLabel(const std::string& text, const graphics::Font& font,
                                               const graphics::Color& color);
