#include "platform/ui/Button.h"

#include "platform/view/ViewRealizer.h"

namespace ui {

std::shared_ptr<Button> Button::buttonWithTitle(std::string title, Action action) {
    return std::shared_ptr<Button>(new Button(std::move(title), std::move(action)));
}

void Button::setTitle(std::string title) {
    title_ = std::move(title);
    didChange();
}

void Button::realize(view::ViewRealizer& realizer) {
    const std::weak_ptr<Button> button = std::static_pointer_cast<Button>(shared_from_this());
    realizer.realizeButton(*this, {title_, bezelStyle_ == BezelStyle::Circular, contentTintColor_, [button] {
                                       if (const auto pressed = button.lock()) pressed->performClick();
                                   }});
}

bool Button::performKeyEquivalent(const std::string& key) {
    if (keyEquivalent_.empty() || key != keyEquivalent_) return false;
    performClick();
    return true;
}

} // namespace ui
