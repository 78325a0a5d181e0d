#include "tests/unit/sheet/RefusingWindowControllers.h"
#include "tests/unit/sheet/SheetFixture.h"
#include "tests/unit/ui/WindowCloseCounter.h"

#include "saver/KORLANFlowScreenSaverView.h"
#include "settings/KORLANFlowConfiguration.h"

#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Values = std::vector<float>;
using Labels = std::vector<std::string>;

Values valuesOf(const KORLANFlowConfiguration& configuration) {
    return {configuration.speed, configuration.intensity, configuration.complexity};
}

Values sliderValues(const std::vector<std::shared_ptr<ui::Slider>>& sliders) {
    Values values;
    for (const auto& slider : sliders) values.push_back(slider->floatValue());
    return values;
}

// Counts the changes of what the observed labels show.
class LabelRefreshes : public view::ViewObserver {
public:
    void viewDidChange(view::View&) override { ++refreshes; }
    int refreshes = 0;
};

const KORLANFlowConfiguration kStoredElsewhere{1.5f, 0.5f, 0.6f};

} // namespace

TEST_F(SheetTest, ANewSheetShowsTheDefaultsWhenNothingIsStored) {
    const auto controller = KORLANFlowConfigurationController::init();
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(sliderValues(sliders(*controller)), (Values{0.8f, 0.88f, 1.0f}));
    EXPECT_EQ(labels(*controller), (Labels{"0,80 ×", "0,88 ×", "1,00 ×"}));
    EXPECT_FALSE(std::filesystem::exists(configHome_.settingsFile(KORLANFlowBundleIdentifier)));
}

TEST_F(SheetTest, MovingASliderRefreshesAllThreeLabelsAtEveryPositionAndNothingElse) {
    const auto controller = KORLANFlowConfigurationController::init();
    present(*controller);
    LabelRefreshes refreshes;
    for (const auto& label :
         {controller->speedValueLabel(), controller->intensityValueLabel(), controller->complexityValueLabel()}) {
        label->setObserver(&refreshes);
    }
    for (const double position : {0.9, 1.0, 1.137}) controller->intensitySlider()->moveTo(position);
    EXPECT_EQ(refreshes.refreshes, 9) << "three labels at each of three positions";
    EXPECT_EQ(labels(*controller), (Labels{"0,80 ×", "1,14 ×", "1,00 ×"}));
    EXPECT_EQ(announcements_, 0);
    EXPECT_TRUE(endings_.empty());
    EXPECT_FALSE(std::filesystem::exists(configHome_.settingsFile(KORLANFlowBundleIdentifier)));
}

TEST_F(SheetTest, ShowsTwoRoundedDecimalsButSavesTheSliderInFullSinglePrecision) {
    const auto controller = KORLANFlowConfigurationController::init();
    present(*controller);
    controller->complexitySlider()->moveTo(1.005);
    EXPECT_EQ(controller->complexityValueLabel()->stringValue(), "1,00 ×") << "1.005f lies just below 1.005";
    controller->saveSettings(nullptr);
    EXPECT_EQ(KORLANFlowLoadConfiguration().complexity, 1.005f);
}

TEST_F(SheetTest, StandardThenAbbrechenOrEscapeStoresNothingAndTheNextPresentationShowsTheStoredValues) {
    for (const bool byEscape : {false, true}) {
        KORLANFlowStoreConfiguration(kStoredElsewhere);
        announcements_ = 0;
        endings_.clear();
        const std::string stored = configHome_.readSettingsFile(KORLANFlowBundleIdentifier);
        const auto controller = KORLANFlowConfigurationController::init();
        present(*controller);
        controller->resetSettings(nullptr);
        EXPECT_EQ(sliderValues(sliders(*controller)), (Values{0.8f, 0.88f, 1.0f}));
        EXPECT_TRUE(endings_.empty()) << "Standard does not end the sheet";

        if (byEscape) {
            EXPECT_TRUE(controller->window()->performKeyEquivalent("\x1b"));
        } else {
            controller->cancelSettings(nullptr);
        }
        EXPECT_EQ(endings_, std::vector<view::ModalResponse>{view::ModalResponseCancel}) << "by Escape: " << byEscape;
        EXPECT_EQ(sliderValues(sliders(*controller)), valuesOf(kStoredElsewhere)) << "back at the stored values";
        EXPECT_EQ(announcements_, 0);
        EXPECT_EQ(configHome_.readSettingsFile(KORLANFlowBundleIdentifier), stored);

        controller->resetSettings(nullptr);
        present(*controller);
        EXPECT_EQ(sliderValues(sliders(*controller)), valuesOf(kStoredElsewhere));
        EXPECT_EQ(labels(*controller), (Labels{"1,50 ×", "0,50 ×", "0,60 ×"}));
        // The host takes one sheet at a time.
        controller->cancelSettings(nullptr);
    }
}

TEST_F(SheetTest, SavingStoresTheSlidersAnnouncesOnceAndThenEndsTheSheet) {
    struct Case {
        const char* what;
        void (*act)(KORLANFlowConfigurationController&);
        Values stored;
    };
    const Case cases[] = {
        {"Standard, then Sichern",
         [](KORLANFlowConfigurationController& c) {
             c.resetSettings(nullptr);
             c.saveSettings(nullptr);
         },
         {0.8f, 0.88f, 1.0f}},
        {"Return", [](KORLANFlowConfigurationController& c) { EXPECT_TRUE(c.window()->performKeyEquivalent("\r")); },
         valuesOf(kStoredElsewhere)},
        {"the sliders at their minimum, then Sichern",
         [](KORLANFlowConfigurationController& c) {
             for (const auto& slider : {c.speedSlider(), c.intensitySlider(), c.complexitySlider()}) {
                 slider->moveTo(-100.0);
             }
             c.saveSettings(nullptr);
         },
         {0.25f, 0.35f, 0.55f}},
        {"the sliders at their maximum, then Return",
         [](KORLANFlowConfigurationController& c) {
             for (const auto& slider : {c.speedSlider(), c.intensitySlider(), c.complexitySlider()}) {
                 slider->moveTo(100.0);
             }
             c.window()->performKeyEquivalent("\r");
         },
         {1.75f, 1.2f, 1.55f}},
    };
    for (const auto& c : cases) {
        KORLANFlowStoreConfiguration(kStoredElsewhere);
        announcements_ = 0;
        endings_.clear();
        const auto controller = KORLANFlowConfigurationController::init();
        controller->reloadFromDefaults();
        // What the sheet's ending finds: the announcement has been made.
        int announcementsAtEnd = -1;
        ASSERT_TRUE(host_->beginSheet(controller->window(), [&](view::ModalResponse code) {
            announcementsAtEnd = announcements_;
            endings_.push_back(code);
        }));
        const WindowCloseCounter closes(controller->window().get());

        c.act(*controller);
        EXPECT_EQ(valuesOf(KORLANFlowLoadConfiguration()), c.stored) << c.what;
        EXPECT_EQ(announcements_, 1) << c.what;
        EXPECT_EQ(announcementsAtEnd, 1) << c.what << ": announced before the sheet ended";
        EXPECT_EQ(endings_, std::vector<view::ModalResponse>{view::ModalResponseOK}) << c.what;
        EXPECT_EQ(closes.closes, 0) << c.what << ": ending the sheet is the host's";
        EXPECT_EQ(host_->attachedSheet(), nullptr) << c.what;
    }
}

TEST_F(SheetTest, ASecondPresentationShowsWhatWasStoredElsewhereInBetween) {
    const auto controller = KORLANFlowConfigurationController::init();
    present(*controller);
    controller->speedSlider()->moveTo(1.7);
    controller->cancelSettings(nullptr);
    KORLANFlowStoreConfiguration(kStoredElsewhere);

    present(*controller);
    EXPECT_EQ(sliderValues(sliders(*controller)), valuesOf(kStoredElsewhere));
    EXPECT_EQ(labels(*controller), (Labels{"1,50 ×", "0,50 ×", "0,60 ×"}));
}

TEST_F(SheetTest, TheSameWindowServesEveryPresentationAndClosingKeepsIt) {
    const auto controller = KORLANFlowConfigurationController::init();
    const std::weak_ptr<view::Window> window = controller->window();
    for (int presentation = 0; presentation < 3; ++presentation) {
        present(*controller);
        controller->saveSettings(nullptr);
    }
    controller->window()->close();
    EXPECT_EQ(controller->window(), window.lock());
    EXPECT_EQ(endings_.size(), 3u);
}

TEST_F(SheetTest, WithoutItsWindowControllerBaseTheSheetIsNotMadeAndBuildsNothing) {
    const RefusingWindowControllers refusal;
    EXPECT_EQ(KORLANFlowConfigurationController::init(), nullptr);
    ASSERT_NE(refusal.refusedWindow(), nullptr);
    EXPECT_TRUE(refusal.refusedWindow()->contentView()->subviews().empty());
    EXPECT_FALSE(refusal.refusedWindow()->contentView()->wantsLayer());
}

TEST_F(SheetTest, ASaverViewKeepsOneControllerAndShowsTheStoredSettingsAtEveryRequest) {
    for (const bool isPreview : {true, false}) {
        const auto view = KORLANFlowScreenSaverView::initWithFrame({{0, 0}, {296, 184}}, isPreview);
        EXPECT_TRUE(view->hasConfigureSheet());
        EXPECT_EQ(view->configurationController(), nullptr) << "made on the first request";
        const auto first = view->configureSheet();
        ASSERT_NE(first, nullptr);
        const auto controller = view->configurationController();
        EXPECT_EQ(first, controller->window());
        controller->speedSlider()->moveTo(1.7);
        KORLANFlowStoreConfiguration(kStoredElsewhere);

        const auto second = view->configureSheet();
        EXPECT_EQ(second, first) << "the same controller's window";
        EXPECT_EQ(view->configurationController(), controller);
        EXPECT_EQ(sliderValues(sliders(*controller)), valuesOf(kStoredElsewhere)) << "reloaded";
    }
}

TEST_F(SheetTest, ASaverViewWithoutASheetControllerHandsTheHostNoWindow) {
    const auto view = KORLANFlowScreenSaverView::initWithFrame({{0, 0}, {296, 184}}, false);
    {
        const RefusingWindowControllers refusal;
        EXPECT_EQ(view->configureSheet(), nullptr);
    }
    EXPECT_NE(view->configureSheet(), nullptr) << "the next request tries again";
}
