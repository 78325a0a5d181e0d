#include "tests/unit/sheet/SheetFixture.h"

#include "platform/ui/Button.h"
#include "platform/view/LayoutConstraint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// The sheet's views by name, found by their places in the view tree.
class SheetViews {
public:
    explicit SheetViews(const KORLANFlowConfigurationController& controller) {
        const auto& content = controller.window()->contentView();
        name(content, "content");
        const auto& top = content->subviews();
        EXPECT_EQ(top.size(), 4u);
        name(top.at(0), "title");
        name(top.at(1), "subtitle");
        name(top.at(2), "rows");
        name(top.at(3), "buttons");
        const auto rows = std::dynamic_pointer_cast<ui::StackView>(top.at(2));
        EXPECT_EQ(rows->arrangedSubviews().size(), 3u);
        for (std::size_t i = 0; i < rows->arrangedSubviews().size(); ++i) {
            const auto& card = rows->arrangedSubviews()[i];
            const std::string row = "card" + std::to_string(i + 1);
            name(card, row);
            EXPECT_EQ(card->subviews().size(), 4u) << row;
            const char* parts[] = {".title", ".explanation", ".value", ".slider"};
            for (std::size_t j = 0; j < 4; ++j) name(card->subviews().at(j), row + parts[j]);
        }
        const auto buttons = std::dynamic_pointer_cast<ui::StackView>(top.at(3));
        const char* buttonNames[] = {"Standard", "spacer", "Abbrechen", "Sichern"};
        EXPECT_EQ(buttons->arrangedSubviews().size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) name(buttons->arrangedSubviews().at(i), buttonNames[i]);
    }

    const std::shared_ptr<view::View>& operator[](const std::string& name) const { return byName_.at(name); }
    std::string nameOf(const view::View* view) const { return names_.count(view) ? names_.at(view) : "?"; }
    const std::map<std::string, std::shared_ptr<view::View>>& all() const { return byName_; }

private:
    void name(const std::shared_ptr<view::View>& view, const std::string& name) {
        names_[view.get()] = name;
        byName_[name] = view;
    }

    std::map<const view::View*, std::string> names_;
    std::map<std::string, std::shared_ptr<view::View>> byName_;
};

const char* attributeName(view::LayoutAttribute attribute) {
    switch (attribute) {
    case view::LayoutAttribute::Leading: return "leading";
    case view::LayoutAttribute::Trailing: return "trailing";
    case view::LayoutAttribute::Top: return "top";
    case view::LayoutAttribute::Bottom: return "bottom";
    case view::LayoutAttribute::Width: return "width";
    case view::LayoutAttribute::Height: return "height";
    case view::LayoutAttribute::CenterY: return "centerY";
    default: return "other";
    }
}

std::string describe(const view::LayoutConstraint& constraint, const SheetViews& views) {
    const char* relations[] = {" <= ", " == ", " >= "};
    std::string text = views.nameOf(constraint.firstItem().get()) + "." + attributeName(constraint.firstAttribute()) +
                       relations[static_cast<int>(constraint.relation()) + 1];
    if (const auto second = constraint.secondItem()) {
        text += views.nameOf(second.get()) + "." + attributeName(constraint.secondAttribute()) + " + ";
    }
    char constant[32];
    std::snprintf(constant, sizeof constant, "%g", constraint.constant());
    return text + constant;
}

std::vector<std::string> expectedConstraints() {
    std::vector<std::string> expected = {
        "title.leading == content.leading + 28",
        "title.top == content.top + 24",
        "subtitle.leading == title.leading + 0",
        "subtitle.top == title.bottom + 5",
        "rows.leading == content.leading + 28",
        "rows.trailing == content.trailing + -28",
        "rows.top == subtitle.bottom + 22",
        "buttons.leading == content.leading + 28",
        "buttons.trailing == content.trailing + -28",
        "buttons.bottom == content.bottom + -22",
        "spacer.width >= 40",
    };
    for (const std::string card : {"card1", "card2", "card3"}) {
        for (const char* line : {
                 "$.width == rows.width + 0",
                 "$.height == 76",
                 "$.title.leading == $.leading + 14",
                 "$.title.top == $.top + 10",
                 "$.value.trailing == $.trailing + -14",
                 "$.value.centerY == $.title.centerY + 0",
                 "$.value.width == 64",
                 "$.explanation.leading == $.title.leading + 0",
                 "$.explanation.top == $.title.bottom + 1",
                 "$.explanation.trailing <= $.value.leading + -8",
                 "$.slider.leading == $.leading + 14",
                 "$.slider.trailing == $.trailing + -14",
                 "$.slider.bottom == $.bottom + -8",
             }) {
            std::string text = line;
            for (std::size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, card);
            expected.push_back(text);
        }
    }
    return expected;
}

std::vector<std::string> activeConstraints(const SheetViews& views) {
    std::vector<std::string> found;
    for (const auto& [name, view] : views.all()) {
        for (const auto& constraint : view->constraints()) {
            EXPECT_TRUE(constraint->isActive());
            found.push_back(describe(*constraint, views));
        }
    }
    return found;
}

graphics::Color grey(double white) { return graphics::Color::colorWithWhite(white, 1.0); }
graphics::Color sRGB255(int red, int green, int blue) {
    return graphics::Color::colorWithSRGBRed(red / 255.0, green / 255.0, blue / 255.0, 1.0);
}

} // namespace

TEST_F(SheetTest, TheWindowIsATitledDarkWindowOfFixedSizeKeptWhenClosed) {
    const auto controller = KORLANFlowConfigurationController::init();
    const auto& window = *controller->window();
    EXPECT_EQ(window.contentSize().width, 540);
    EXPECT_EQ(window.contentSize().height, 414);
    EXPECT_EQ(window.styleMask(), view::WindowStyleMaskTitled) << "no close, minimise or resize control";
    EXPECT_EQ(window.title(), "KORLAN Flow");
    EXPECT_FALSE(window.isReleasedWhenClosed());
    EXPECT_EQ(window.appearance(), view::AppearanceName::DarkAqua);
    EXPECT_EQ(window.windowController(), controller);
}

TEST_F(SheetTest, EveryConstraintIsActiveWithItsConstant) {
    const auto controller = KORLANFlowConfigurationController::init();
    const SheetViews views(*controller);
    auto found = activeConstraints(views);
    auto expected = expectedConstraints();
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    for (const auto& [name, view] : views.all()) {
        EXPECT_EQ(view->translatesAutoresizingMaskIntoConstraints(), name == "content") << name;
    }
}

TEST_F(SheetTest, LabelsCardsAndButtonsShowTheirTextsFontsAndColours) {
    using graphics::Font;
    using graphics::FontWeight;
    const Font title = Font::systemFontOfSize(26, FontWeight::Semibold);
    const Font regular13 = Font::systemFontOfSize(13, FontWeight::Regular);
    const Font rowTitle = Font::systemFontOfSize(13, FontWeight::Medium);
    const Font explanation = Font::systemFontOfSize(11, FontWeight::Regular);
    const Font value = Font::monospacedDigitSystemFontOfSize(12, FontWeight::Medium);
    const graphics::Color white = graphics::Color::whiteColor();
    const graphics::Color valueColour = graphics::Color::colorWithSRGBRed(0.61, 0.76, 0.67, 1.0);
    struct Label {
        const char* name;
        const char* text;
        Font font;
        graphics::Color colour;
        graphics::TextAlignment alignment = graphics::TextAlignment::Natural;
    };
    const Label expected[] = {
        {"title", "KORLAN Flow", title, white},
        {"subtitle", "Organische Muster in Echtzeit \u2013 ruhig, fließend und jedes Mal neu.", regular13, grey(0.74)},
        {"card1.title", "Geschwindigkeit", rowTitle, white},
        {"card1.explanation", "Wie schnell sich die Strömung weiterentwickelt", explanation, grey(0.62)},
        {"card1.value", "0,80 ×", value, valueColour, graphics::TextAlignment::Right},
        {"card2.title", "Intensität", rowTitle, white},
        {"card2.explanation", "Kontrast und räumliche Tiefe des Musters", explanation, grey(0.62)},
        {"card2.value", "0,88 ×", value, valueColour, graphics::TextAlignment::Right},
        {"card3.title", "Komplexität", rowTitle, white},
        {"card3.explanation", "Anzahl und Dichte der ineinanderlaufenden Konturen", explanation, grey(0.62)},
        {"card3.value", "1,00 ×", value, valueColour, graphics::TextAlignment::Right},
    };
    const auto controller = KORLANFlowConfigurationController::init();
    const SheetViews views(*controller);
    for (const auto& e : expected) {
        const auto label = std::dynamic_pointer_cast<ui::TextField>(views[e.name]);
        ASSERT_NE(label, nullptr) << e.name;
        EXPECT_EQ(label->stringValue(), e.text) << e.name;
        EXPECT_EQ(label->font(), e.font) << e.name;
        EXPECT_EQ(label->textColor(), e.colour) << e.name;
        EXPECT_EQ(label->alignment(), e.alignment) << e.name;
    }
    EXPECT_EQ(controller->speedValueLabel(), views["card1.value"]);
    EXPECT_EQ(controller->intensityValueLabel(), views["card2.value"]);
    EXPECT_EQ(controller->complexityValueLabel(), views["card3.value"]);

    EXPECT_EQ(views["content"]->layer()->backgroundColor, sRGB255(15, 18, 22));
    for (const char* card : {"card1", "card2", "card3"}) {
        ASSERT_TRUE(views[card]->wantsLayer()) << card;
        EXPECT_EQ(views[card]->layer()->backgroundColor, sRGB255(24, 29, 27)) << card;
        EXPECT_EQ(views[card]->layer()->cornerRadius, 10) << card;
    }
    for (const char* plain : {"title", "rows", "buttons", "spacer", "card1.slider"}) {
        EXPECT_FALSE(views[plain]->wantsLayer()) << plain;
    }
}

TEST_F(SheetTest, TheSlidersAndButtonsAreSetUpAsTabled) {
    struct SliderRow {
        const char* name;
        const char* identifier;
        double minimum, maximum;
    };
    const SliderRow sliderRows[] = {
        {"card1.slider", "KORLANFlowSpeedSlider", 0.25, 1.75},
        {"card2.slider", "KORLANFlowIntensitySlider", 0.35f, 1.2f},
        {"card3.slider", "KORLANFlowComplexitySlider", 0.55f, 1.55f},
    };
    const auto controller = KORLANFlowConfigurationController::init();
    const SheetViews views(*controller);
    const std::shared_ptr<ui::Slider> properties[] = {controller->speedSlider(), controller->intensitySlider(),
                                                      controller->complexitySlider()};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& row = sliderRows[i];
        const auto slider = std::dynamic_pointer_cast<ui::Slider>(views[row.name]);
        ASSERT_NE(slider, nullptr) << row.name;
        EXPECT_EQ(slider, properties[i]) << row.name;
        EXPECT_EQ(slider->identifier(), row.identifier);
        EXPECT_EQ(slider->minValue(), row.minimum) << row.name << ": the settings' own bounds";
        EXPECT_EQ(slider->maxValue(), row.maximum) << row.name;
        EXPECT_TRUE(slider->isContinuous()) << row.name;
        EXPECT_EQ(slider->controlSize(), ui::ControlSize::Regular) << row.name;
    }

    struct ButtonRow {
        const char* title;
        const char* keyEquivalent;
        std::optional<graphics::Color> tint;
    };
    const ButtonRow buttonRows[] = {
        {"Standard", "", std::nullopt},
        // The key users expect to leave a dialog without a change.
        {"Abbrechen", "\x1b", std::nullopt},
        {"Sichern", "\r", sRGB255(62, 107, 82)},
    };
    for (const auto& row : buttonRows) {
        const auto button = std::dynamic_pointer_cast<ui::Button>(views[row.title]);
        ASSERT_NE(button, nullptr) << row.title;
        EXPECT_EQ(button->title(), row.title);
        EXPECT_EQ(button->bezelStyle(), ui::BezelStyle::Rounded) << row.title;
        EXPECT_EQ(button->keyEquivalent(), row.keyEquivalent) << row.title;
        EXPECT_EQ(button->contentTintColor(), row.tint) << row.title;
    }
    const auto buttons = std::dynamic_pointer_cast<ui::StackView>(views["buttons"]);
    const auto rows = std::dynamic_pointer_cast<ui::StackView>(views["rows"]);
    EXPECT_EQ(buttons->orientation(), ui::UserInterfaceLayoutOrientation::Horizontal);
    EXPECT_EQ(buttons->alignment(), view::LayoutAttribute::CenterY);
    EXPECT_EQ(buttons->spacing(), 10);
    EXPECT_EQ(rows->orientation(), ui::UserInterfaceLayoutOrientation::Vertical);
    EXPECT_EQ(rows->alignment(), view::LayoutAttribute::Leading);
    EXPECT_EQ(rows->spacing(), 10);
}

TEST_F(SheetTest, ARowHandsBackItsValueLabelOnlyWhereAskedAndShowsThePlaceholder) {
    const UserLocale english("en_US.UTF-8");
    const auto controller = KORLANFlowConfigurationController::init();
    const auto stack = ui::StackView::initWithFrame({});

    const auto unlabelled = controller->addSettingRowToStack(stack, "Ohne", "Kein Etikett", 0.0, 2.0, nullptr);
    ASSERT_NE(unlabelled, nullptr);
    EXPECT_EQ(unlabelled->doubleValue(), 1.0);

    auto previous = ui::TextField::labelWithString("vorher");
    const std::weak_ptr<ui::TextField> watchPrevious = previous;
    std::shared_ptr<ui::TextField> label = std::move(previous);
    const auto labelled = controller->addSettingRowToStack(stack, "Mit", "Etikett", 0.0, 2.0, &label);
    EXPECT_TRUE(watchPrevious.expired()) << "the out-parameter's previous label is let go";
    ASSERT_EQ(stack->arrangedSubviews().size(), 2u);
    EXPECT_EQ(label, stack->arrangedSubviews()[1]->subviews().at(2));
    EXPECT_EQ(label->stringValue(), "1,00 ×") << "the placeholder has a comma in every locale";
    EXPECT_EQ(stack->arrangedSubviews()[0]->subviews().at(3), unlabelled);
}
