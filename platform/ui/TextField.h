#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Control.h"

#include <memory>
#include <optional>
#include <string>

namespace ui {

// A text the user reads but cannot edit or select: a label.
class KF_PLATFORM_API TextField : public Control {
public:
    // A label showing the text in the system font of 13 points, in the
    // interface's own text colour, with natural alignment.
    static std::shared_ptr<TextField> labelWithString(std::string text);

    const std::string& stringValue() const { return stringValue_; }
    void setStringValue(std::string text);
    const graphics::Font& font() const { return font_; }
    void setFont(const graphics::Font& font);
    // None: the interface's own text colour.
    const std::optional<graphics::Color>& textColor() const { return textColor_; }
    void setTextColor(const graphics::Color& color);
    graphics::TextAlignment alignment() const { return alignment_; }
    void setAlignment(graphics::TextAlignment alignment);

    void realize(view::ViewRealizer& realizer) override;

private:
    explicit TextField(std::string text) : Control(Action()), stringValue_(std::move(text)) {}

    std::string stringValue_;
    graphics::Font font_ = graphics::Font::systemFontOfSize(13.0, graphics::FontWeight::Regular);
    std::optional<graphics::Color> textColor_;
    graphics::TextAlignment alignment_ = graphics::TextAlignment::Natural;
};

} // namespace ui
