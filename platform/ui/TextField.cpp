#include "platform/ui/TextField.h"

namespace ui {

std::shared_ptr<TextField> TextField::labelWithString(std::string text) {
    return std::shared_ptr<TextField>(new TextField(std::move(text)));
}

void TextField::setStringValue(std::string text) {
    stringValue_ = std::move(text);
    didChange();
}

void TextField::setFont(const Font& font) {
    font_ = font;
    didChange();
}

void TextField::setTextColor(const Color& color) {
    textColor_ = color;
    didChange();
}

void TextField::setAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    didChange();
}

} // namespace ui
