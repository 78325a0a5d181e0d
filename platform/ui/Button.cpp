#include "platform/ui/Button.h"

namespace ui {

std::shared_ptr<Button> Button::buttonWithTitle(std::string title, Action action) {
    return std::shared_ptr<Button>(new Button(std::move(title), std::move(action)));
}

void Button::setTitle(std::string title) {
    title_ = std::move(title);
    didChange();
}

} // namespace ui
