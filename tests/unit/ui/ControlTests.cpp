#include "tests/support/ViewChangeCounter.h"

#include "platform/ui/Button.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

// A target that counts the actions it gets, with the sender of each.
class ActionTarget {
public:
    void act(const ui::Action::Sender& sender) { senders.push_back(sender.get()); }
    std::vector<const view::View*> senders;
};

} // namespace

TEST(Slider, KeepsItsValueWithinItsBounds) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    struct Case {
        double set;
        double expected;
    };
    const auto slider = ui::Slider::sliderWithValue(1.0, 0.25, 1.75, {});
    for (auto c : {Case{0.8, 0.8}, Case{0.25, 0.25}, Case{1.75, 1.75}, Case{0.1, 0.25}, Case{2.0, 1.75},
                   Case{kNaN, 0.25}, Case{-kInfinity, 0.25}, Case{kInfinity, 1.75}}) {
        slider->setDoubleValue(c.set);
        EXPECT_EQ(slider->doubleValue(), c.expected) << c.set;
    }
    EXPECT_EQ(ui::Slider::sliderWithValue(9.0, 0.25, 1.75, {})->doubleValue(), 1.75);
}

TEST(Slider, GivesItsValueInSinglePrecision) {
    const auto slider = ui::Slider::sliderWithValue(1.005, 0.55, 1.55, {});
    EXPECT_EQ(slider->floatValue(), 1.005f);
    EXPECT_LT(slider->floatValue(), 1.005) << "the float nearest to 1.005 lies below it";
    slider->setFloatValue(0.88f);
    EXPECT_EQ(slider->doubleValue(), static_cast<double>(0.88f)) << "a float is widened, not rounded to decimals";
}

TEST(Slider, AContinuousSliderSendsAtEveryPositionOtherwiseOnlyWhenTheMoveEnds) {
    for (const bool continuous : {true, false}) {
        const auto target = std::make_shared<ActionTarget>();
        const auto slider = ui::Slider::sliderWithValue(1.0, 0.0, 2.0, ui::Action(target, &ActionTarget::act));
        slider->setContinuous(continuous);
        for (const double position : {1.2, 1.4, 1.6}) {
            slider->moveTo(position);
            EXPECT_EQ(slider->doubleValue(), position);
        }
        EXPECT_EQ(target->senders.size(), continuous ? 3u : 0u) << continuous;
        slider->endMove();
        EXPECT_EQ(target->senders.size(), continuous ? 3u : 1u) << continuous;
        slider->endMove();
        EXPECT_EQ(target->senders.size(), continuous ? 3u : 1u) << continuous << ": an end without a move";
        for (const auto* sender : target->senders) EXPECT_EQ(sender, slider.get());
    }
}

TEST(Controls, DoNotKeepTheirTargetAlive) {
    auto target = std::make_shared<ActionTarget>();
    const std::weak_ptr<ActionTarget> watch = target;
    const auto button = ui::Button::buttonWithTitle("Sichern", ui::Action(target, &ActionTarget::act));
    EXPECT_TRUE(button->sendAction());
    EXPECT_EQ(target->senders, (std::vector<const view::View*>{button.get()}));

    target.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(button->sendAction()) << "a control whose target is gone does nothing";
    button->performClick();
    EXPECT_FALSE(ui::Button::buttonWithTitle("Ohne Ziel", {})->sendAction());
}

TEST(Controls, TellTheirObserverOfEveryChangeOfWhatTheyShow) {
    ViewChangeCounter counter;
    const auto label = ui::TextField::labelWithString("1,00 ×");
    const auto slider = ui::Slider::sliderWithValue(1.0, 0.0, 2.0, {});
    const auto button = ui::Button::buttonWithTitle("Standard", {});
    label->setObserver(&counter);
    slider->setObserver(&counter);
    button->setObserver(&counter);

    label->setStringValue("0,80 ×");
    label->setFont(graphics::Font::monospacedDigitSystemFontOfSize(12, graphics::FontWeight::Medium));
    label->setTextColor(graphics::Color::whiteColor());
    label->setAlignment(graphics::TextAlignment::Right);
    slider->setFloatValue(0.5f);
    slider->moveTo(0.6);
    button->setTitle("Abbrechen");
    EXPECT_EQ(counter.changes, 7);

    label->setObserver(nullptr);
    label->setStringValue("unbeobachtet");
    EXPECT_EQ(counter.changes, 7);
}
