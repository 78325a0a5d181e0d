#include "sheet/KORLANFlowConfigurationController.h"

#include "renderer/BackgroundColor.h"

#include "platform/ui/Button.h"
#include "platform/view/LayoutConstraint.h"

// Building the sheet's window: the header, the three setting rows and the
// button row, with the fonts, colours and constraints that place them.

namespace {

using graphics::Color;
using graphics::Font;
using graphics::FontWeight;

constexpr const char* kSheetTitle = "KORLAN Flow";
constexpr const char* kSubtitle = "Organische Muster in Echtzeit \u2013 ruhig, fließend und jedes Mal neu.";
// Shown until the first refresh of the labels, whatever the locale.
constexpr const char* kValuePlaceholder = "1,00 ×";

const Font kTitleFont = Font::systemFontOfSize(26, FontWeight::Semibold);
const Font kSubtitleFont = Font::systemFontOfSize(13, FontWeight::Regular);
const Font kRowTitleFont = Font::systemFontOfSize(13, FontWeight::Medium);
const Font kExplanationFont = Font::systemFontOfSize(11, FontWeight::Regular);
const Font kValueFont = Font::monospacedDigitSystemFontOfSize(12, FontWeight::Medium);

const Color kSubtitleColor = Color::colorWithWhite(0.74, 1.0);
const Color kExplanationColor = Color::colorWithWhite(0.62, 1.0);
const Color kCardColor = Color::colorWithSRGBRed(24 / 255.0, 29 / 255.0, 27 / 255.0, 1.0);
const Color kValueColor = Color::colorWithSRGBRed(0.61, 0.76, 0.67, 1.0);
const Color kSaveTint = Color::colorWithSRGBRed(62 / 255.0, 107 / 255.0, 82 / 255.0, 1.0);

constexpr double kCardCornerRadius = 10;
constexpr double kCardHeight = 76;
constexpr double kStackSpacing = 10;
constexpr double kMargin = 28;
constexpr double kCardInset = 14;
constexpr double kValueLabelWidth = 64;
// With the two gaps of the row, at least 60 points between "Standard" and
// "Abbrechen".
constexpr double kMinimumSpacerWidth = 40;

std::shared_ptr<view::View> layerBackedView(view::Rect frame, const Color& color) {
    const auto view = view::View::initWithFrame(frame);
    view->setWantsLayer(true);
    view->layer()->backgroundColor = color;
    return view;
}

} // namespace

std::shared_ptr<ui::TextField> KORLANFlowLabel(const std::string& text, const graphics::Font& font,
                                               const graphics::Color& color) {
    const auto label = ui::TextField::labelWithString(text);
    label->setFont(font);
    label->setTextColor(color);
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    return label;
}

const std::array<KORLANFlowConfigurationController::SettingRow, 3> KORLANFlowConfigurationController::kSettingRows{{
    {"Geschwindigkeit", "Wie schnell sich die Strömung weiterentwickelt", "KORLANFlowSpeedSlider",
     kKORLANFlowSettings[0], &KORLANFlowConfigurationController::speedSlider_,
     &KORLANFlowConfigurationController::speedValueLabel_},
    {"Intensität", "Kontrast und räumliche Tiefe des Musters", "KORLANFlowIntensitySlider", kKORLANFlowSettings[1],
     &KORLANFlowConfigurationController::intensitySlider_, &KORLANFlowConfigurationController::intensityValueLabel_},
    {"Komplexität", "Anzahl und Dichte der ineinanderlaufenden Konturen", "KORLANFlowComplexitySlider",
     kKORLANFlowSettings[2], &KORLANFlowConfigurationController::complexitySlider_,
     &KORLANFlowConfigurationController::complexityValueLabel_},
}};

void KORLANFlowConfigurationController::buildInterface() {
    const auto content =
        layerBackedView({{0, 0}, window()->contentSize()}, kBackgroundColor);
    window()->setContentView(content);

    const auto title = KORLANFlowLabel(kSheetTitle, kTitleFont, Color::whiteColor());
    const auto subtitle = KORLANFlowLabel(kSubtitle, kSubtitleFont, kSubtitleColor);
    content->addSubview(title);
    content->addSubview(subtitle);

    const auto rows = ui::StackView::initWithFrame({});
    rows->setOrientation(ui::UserInterfaceLayoutOrientation::Vertical);
    rows->setAlignment(view::LayoutAttribute::Leading);
    rows->setSpacing(kStackSpacing);
    rows->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(rows);

    for (const auto& row : kSettingRows) {
        this->*row.slider = addSettingRowToStack(rows, row.title, row.explanation, row.setting.minimum,
                                                 row.setting.maximum, &(this->*row.valueLabel));
        (this->*row.slider)->setIdentifier(row.identifier);
    }

    const auto buttonRow = makeButtonRow();
    content->addSubview(buttonRow);

    view::LayoutConstraint::activateConstraints({
        title->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), kMargin),
        title->topAnchor().constraintEqualToAnchor(content->topAnchor(), 24),
        subtitle->leadingAnchor().constraintEqualToAnchor(title->leadingAnchor()),
        subtitle->topAnchor().constraintEqualToAnchor(title->bottomAnchor(), 5),
        rows->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), kMargin),
        rows->trailingAnchor().constraintEqualToAnchor(content->trailingAnchor(), -kMargin),
        rows->topAnchor().constraintEqualToAnchor(subtitle->bottomAnchor(), 22),
        buttonRow->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), kMargin),
        buttonRow->trailingAnchor().constraintEqualToAnchor(content->trailingAnchor(), -kMargin),
        buttonRow->bottomAnchor().constraintEqualToAnchor(content->bottomAnchor(), -22),
    });
}

std::shared_ptr<ui::StackView> KORLANFlowConfigurationController::makeButtonRow() {
    const auto self = std::static_pointer_cast<KORLANFlowConfigurationController>(shared_from_this());
    const auto reset =
        ui::Button::buttonWithTitle("Standard", ui::Action(self, &KORLANFlowConfigurationController::resetSettings));
    const auto cancel =
        ui::Button::buttonWithTitle("Abbrechen", ui::Action(self, &KORLANFlowConfigurationController::cancelSettings));
    const auto save =
        ui::Button::buttonWithTitle("Sichern", ui::Action(self, &KORLANFlowConfigurationController::saveSettings));
    for (const auto& button : {reset, cancel, save}) button->setBezelStyle(ui::BezelStyle::Rounded);
    save->setKeyEquivalent("\r");
    cancel->setKeyEquivalent("\x1b");
    save->setContentTintColor(kSaveTint);

    const auto spacer = view::View::initWithFrame({});
    const auto row = ui::StackView::stackViewWithViews({reset, spacer, cancel, save});
    row->setOrientation(ui::UserInterfaceLayoutOrientation::Horizontal);
    row->setAlignment(view::LayoutAttribute::CenterY);
    row->setSpacing(kStackSpacing);
    row->setTranslatesAutoresizingMaskIntoConstraints(false);
    spacer->widthAnchor().constraintGreaterThanOrEqualToConstant(kMinimumSpacerWidth)->setActive(true);
    return row;
}

std::shared_ptr<ui::Slider> KORLANFlowConfigurationController::addSettingRowToStack(
    const std::shared_ptr<ui::StackView>& stack, const std::string& title, const std::string& explanation,
    double minimum, double maximum, std::shared_ptr<ui::TextField>* valueLabel) {
    const auto card = layerBackedView({}, kCardColor);
    card->layer()->cornerRadius = kCardCornerRadius;
    card->setTranslatesAutoresizingMaskIntoConstraints(false);

    const auto titleLabel = KORLANFlowLabel(title, kRowTitleFont, Color::whiteColor());
    const auto explanationLabel = KORLANFlowLabel(explanation, kExplanationFont, kExplanationColor);
    const auto value = KORLANFlowLabel(kValuePlaceholder, kValueFont, kValueColor);
    value->setAlignment(graphics::TextAlignment::Right);

    const auto self = std::static_pointer_cast<KORLANFlowConfigurationController>(shared_from_this());
    const auto slider = ui::Slider::sliderWithValue(
        1.0, minimum, maximum, ui::Action(self, &KORLANFlowConfigurationController::sliderChanged));
    slider->setContinuous(true);
    slider->setControlSize(ui::ControlSize::Regular);
    slider->setTranslatesAutoresizingMaskIntoConstraints(false);

    for (const auto& view : std::initializer_list<std::shared_ptr<view::View>>{titleLabel, explanationLabel, value,
                                                                             slider}) {
        card->addSubview(view);
    }
    stack->addArrangedSubview(card);

    view::LayoutConstraint::activateConstraints({
        card->widthAnchor().constraintEqualToAnchor(stack->widthAnchor()),
        card->heightAnchor().constraintEqualToConstant(kCardHeight),
    });
    view::LayoutConstraint::activateConstraints({
        titleLabel->leadingAnchor().constraintEqualToAnchor(card->leadingAnchor(), kCardInset),
        titleLabel->topAnchor().constraintEqualToAnchor(card->topAnchor(), 10),
        value->trailingAnchor().constraintEqualToAnchor(card->trailingAnchor(), -kCardInset),
        value->centerYAnchor().constraintEqualToAnchor(titleLabel->centerYAnchor()),
        value->widthAnchor().constraintEqualToConstant(kValueLabelWidth),
        explanationLabel->leadingAnchor().constraintEqualToAnchor(titleLabel->leadingAnchor()),
        explanationLabel->topAnchor().constraintEqualToAnchor(titleLabel->bottomAnchor(), 1),
        explanationLabel->trailingAnchor().constraintLessThanOrEqualToAnchor(value->leadingAnchor(), -8),
        slider->leadingAnchor().constraintEqualToAnchor(card->leadingAnchor(), kCardInset),
        slider->trailingAnchor().constraintEqualToAnchor(card->trailingAnchor(), -kCardInset),
        slider->bottomAnchor().constraintEqualToAnchor(card->bottomAnchor(), -8),
    });

    if (valueLabel) *valueLabel = value;
    return slider;
}
