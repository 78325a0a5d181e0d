#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/Color.h"
#include "platform/ui/Control.h"

#include <memory>
#include <optional>
#include <string>

namespace ui {

enum class BezelStyle { Rounded = 1, Circular = 7 };

// A push button with a title. Its key equivalent is the key that presses
// it wherever the focus is in its window: "\r" makes it the default button,
// pressed by Return.
class KF_PLATFORM_API Button : public Control {
public:
    // A rounded push button.
    static std::shared_ptr<Button> buttonWithTitle(std::string title, Action action);

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    BezelStyle bezelStyle() const { return bezelStyle_; }
    void setBezelStyle(BezelStyle style) { bezelStyle_ = style; }
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    void setKeyEquivalent(std::string key) { keyEquivalent_ = std::move(key); }
    // None: the interface's own colour.
    const std::optional<graphics::Color>& contentTintColor() const { return contentTintColor_; }
    void setContentTintColor(const graphics::Color& color) { contentTintColor_ = color; }

    // The user pressed the button (or its key equivalent).
    void performClick() { sendAction(); }

    void realize(view::ViewRealizer& realizer) override;
    bool performKeyEquivalent(const std::string& key) override;

private:
    Button(std::string title, Action action) : Control(std::move(action)), title_(std::move(title)) {}

    std::string title_;
    BezelStyle bezelStyle_ = BezelStyle::Rounded;
    std::string keyEquivalent_;
    std::optional<graphics::Color> contentTintColor_;
};

} // namespace ui
