#pragma once

#include "sheet/KORLANFlowConfigurationController.h"

#include "tests/support/ScratchConfigHome.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/view/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Sets LC_ALL (and clears LC_NUMERIC and LANG beneath it) for the life of
// the object. The locale must be installed: a test that depends on it fails
// rather than passes on a machine where it is missing.
class UserLocale {
public:
    explicit UserLocale(const std::string& name);

private:
    ScopedEnvironmentVariable all_;
    ScopedEnvironmentVariable numeric_;
    ScopedEnvironmentVariable lang_;
};

// What the sheet's tests share: nothing stored, a German user, a count of
// the settings announcements, and a host window to present the sheet on
// that writes down how each presentation ended.
class SheetTest : public ::testing::Test {
protected:
    SheetTest();
    ~SheetTest() override;

    // Attaches the controller's window as a sheet to the host window, after
    // reloading it, as the saver view does before every presentation.
    void present(KORLANFlowConfigurationController& controller);
    std::vector<std::shared_ptr<ui::Slider>> sliders(const KORLANFlowConfigurationController& controller) const;
    std::vector<std::string> labels(const KORLANFlowConfigurationController& controller) const;

    ScratchConfigHome configHome_;
    UserLocale locale_{"de_DE.UTF-8"};
    int announcements_ = 0;
    std::vector<view::ModalResponse> endings_;
    std::shared_ptr<view::Window> host_;

private:
    foundation::NotificationCenter::ObserverId observer_;
};
