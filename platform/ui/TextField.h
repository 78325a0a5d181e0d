#pragma once

#include "platform/PlatformExport.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

#include <memory>
#include <optional>
#include <string>

namespace ui {

enum class TextAlignment { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };

// A text the user reads but cannot edit or select: a label.
class KF_PLATFORM_API TextField : public View {
public:
    // A label showing the text in the system font of 13 points, in the
    // interface's own text colour, with natural alignment.
    static std::shared_ptr<TextField> labelWithString(std::string text);

    const std::string& stringValue() const { return stringValue_; }
    void setStringValue(std::string text);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    // None: the interface's own text colour.
    const std::optional<Color>& textColor() const { return textColor_; }
    void setTextColor(const Color& color);
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment alignment);

private:
    explicit TextField(std::string text) : View({}), stringValue_(std::move(text)) {}

    std::string stringValue_;
    Font font_ = Font::systemFontOfSize(13.0, FontWeight::Regular);
    std::optional<Color> textColor_;
    TextAlignment alignment_ = TextAlignment::Natural;
};

} // namespace ui
