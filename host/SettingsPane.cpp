#include "host/SettingsPane.h"

#include "host/SaverSession.h"

#include "platform/view/LayoutConstraint.h"
#include "platform/ui/StackView.h"
#include "platform/ui/TextField.h"

namespace {

using graphics::Font;
using graphics::FontWeight;

constexpr view::Rect kContentRect{{0, 0}, {560, 232}};
constexpr double kMargin = 24;
constexpr const char* kPaneTitle = "Bildschirmschoner";

std::shared_ptr<ui::TextField> paneLabel(const char* text, const Font& font, const graphics::Color& color) {
    const auto label = ui::TextField::labelWithString(text);
    label->setFont(font);
    label->setTextColor(color);
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    return label;
}

} // namespace

std::shared_ptr<SettingsPane> SettingsPane::make(const std::shared_ptr<view::ScreenSaverView>& preview,
                                                 Handler showOptions, Handler test) {
    const auto window =
        view::Window::initWithContentRect(kContentRect, view::WindowStyleMaskTitled | view::WindowStyleMaskClosable |
                                                            view::WindowStyleMaskMiniaturizable);
    window->setTitle(kPaneTitle);
    window->setAppearance(view::AppearanceName::DarkAqua);
    std::shared_ptr<SettingsPane> pane(new SettingsPane(std::move(showOptions), std::move(test)));
    if (!pane->adoptWindow(window)) return nullptr;
    pane->buildInterface(preview);
    return pane;
}

void SettingsPane::buildInterface(const std::shared_ptr<view::ScreenSaverView>& preview) {
    const auto& content = window()->contentView();
    // The preview draws itself in the pane, as in any window.
    preview->setTranslatesAutoresizingMaskIntoConstraints(false);
    const auto name =
        paneLabel("KORLAN Flow", Font::systemFontOfSize(20, FontWeight::Semibold), graphics::Color::whiteColor());
    const auto kind = paneLabel(kPaneTitle, Font::systemFontOfSize(13, FontWeight::Regular),
                                graphics::Color::colorWithWhite(0.74, 1.0));

    const auto self = std::static_pointer_cast<SettingsPane>(shared_from_this());
    const auto options = ui::Button::buttonWithTitle("Optionen …", ui::Action(self, &SettingsPane::showOptions));
    const auto test = ui::Button::buttonWithTitle("Testen", ui::Action(self, &SettingsPane::test));
    const auto buttons = ui::StackView::stackViewWithViews({options, test});
    buttons->setOrientation(ui::UserInterfaceLayoutOrientation::Vertical);
    buttons->setAlignment(view::LayoutAttribute::Leading);
    buttons->setTranslatesAutoresizingMaskIntoConstraints(false);
    for (const std::shared_ptr<view::View>& view :
         std::initializer_list<std::shared_ptr<view::View>>{preview, name, kind, buttons}) {
        content->addSubview(view);
    }
    window()->setInitialFirstResponder(options);

    view::LayoutConstraint::activateConstraints({
        preview->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), kMargin),
        preview->topAnchor().constraintEqualToAnchor(content->topAnchor(), kMargin),
        preview->widthAnchor().constraintEqualToConstant(kPreviewSize.width),
        preview->heightAnchor().constraintEqualToConstant(kPreviewSize.height),
        name->leadingAnchor().constraintEqualToAnchor(preview->trailingAnchor(), kMargin),
        name->topAnchor().constraintEqualToAnchor(preview->topAnchor()),
        kind->leadingAnchor().constraintEqualToAnchor(name->leadingAnchor()),
        kind->topAnchor().constraintEqualToAnchor(name->bottomAnchor(), 2),
        buttons->leadingAnchor().constraintEqualToAnchor(name->leadingAnchor()),
        buttons->bottomAnchor().constraintEqualToAnchor(preview->bottomAnchor()),
    });
}

void SettingsPane::showOptions(const ui::Action::Sender&) { showOptions_(); }

void SettingsPane::test(const ui::Action::Sender&) { test_(); }
