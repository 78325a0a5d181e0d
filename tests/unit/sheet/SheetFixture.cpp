#include "tests/unit/sheet/SheetFixture.h"

#include "settings/KORLANFlowConfiguration.h"

#include <locale.h>

UserLocale::UserLocale(const std::string& name) : all_("LC_ALL", name), numeric_("LC_NUMERIC", ""), lang_("LANG", "") {
    const locale_t installed = newlocale(LC_ALL_MASK, name.c_str(), nullptr);
    if (!installed) {
        ADD_FAILURE() << name << " is not installed: scripts/install-deps generates it";
        return;
    }
    freelocale(installed);
}

SheetTest::SheetTest()
    : host_(view::Window::initWithContentRect({{0, 0}, {800, 600}}, view::WindowStyleMaskTitled)),
      observer_(foundation::NotificationCenter::defaultCenter().addObserverForName(
          KORLANFlowSettingsDidChangeNotification, nullptr,
          [this](const foundation::Notification&) { ++announcements_; })) {}

SheetTest::~SheetTest() { foundation::NotificationCenter::defaultCenter().removeObserver(observer_); }

void SheetTest::present(KORLANFlowConfigurationController& controller) {
    controller.reloadFromDefaults();
    ASSERT_TRUE(host_->beginSheet(controller.window(), [this](view::ModalResponse code) { endings_.push_back(code); }));
}

std::vector<std::shared_ptr<ui::Slider>> SheetTest::sliders(const KORLANFlowConfigurationController& controller) const {
    return {controller.speedSlider(), controller.intensitySlider(), controller.complexitySlider()};
}

std::vector<std::string> SheetTest::labels(const KORLANFlowConfigurationController& controller) const {
    return {controller.speedValueLabel()->stringValue(), controller.intensityValueLabel()->stringValue(),
            controller.complexityValueLabel()->stringValue()};
}
