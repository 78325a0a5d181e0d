#include "platform/ui/TextField.h"

#include "platform/view/ViewRealizer.h"

namespace ui {

std::shared_ptr<TextField> TextField::labelWithString(std::string text) {
    return std::shared_ptr<TextField>(new TextField(std::move(text)));
}

void TextField::setStringValue(std::string text) {
    stringValue_ = std::move(text);
    didChange();
}

void TextField::setFont(const graphics::Font& font) {
    font_ = font;
    didChange();
}

void TextField::setTextColor(const graphics::Color& color) {
    textColor_ = color;
    didChange();
}

void TextField::setAlignment(graphics::TextAlignment alignment) {
    alignment_ = alignment;
    didChange();
}

void TextField::realize(view::ViewRealizer& realizer) {
    realizer.realizeLabel(*this, {stringValue_, alignment_, font_, textColor_});
}

} // namespace ui
