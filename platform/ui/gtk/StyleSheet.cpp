#include "platform/ui/gtk/StyleSheet.h"

#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"

#include <charconv>
#include <cmath>
#include <string>

namespace ui::gtk {

namespace {

// CSS numbers have a point, whatever the locale.
std::string cssNumber(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return {text, written.ptr};
}

std::string cssColor(const Color& color) {
    const auto& c = color.sRGBColor();
    const auto byte = [](double component) { return std::to_string(std::lround(component * 255.0)); };
    return "rgba(" + byte(c.red) + "," + byte(c.green) + "," + byte(c.blue) + "," + cssNumber(c.alpha) + ")";
}

// Points are the display's pixels at 96 dots per inch, which CSS calls px.
std::string fontDeclarations(const Font& font) {
    std::string declarations = "font-size:" + cssNumber(font.pointSize) +
                               "px;font-weight:" + std::to_string(static_cast<int>(font.weight)) + ";";
    if (font.design == Font::Design::MonospacedDigitSystem) declarations += "font-feature-settings:\"tnum\";";
    return declarations;
}

std::string layerDeclarations(const View& view) {
    const Layer* layer = view.layer();
    if (!layer) return {};
    std::string declarations;
    if (layer->backgroundColor) declarations += "background-color:" + cssColor(*layer->backgroundColor) + ";";
    if (layer->cornerRadius > 0) declarations += "border-radius:" + cssNumber(layer->cornerRadius) + "px;";
    return declarations;
}

std::string ownDeclarations(const View& view) {
    if (const auto* label = dynamic_cast<const TextField*>(&view)) {
        std::string declarations = fontDeclarations(label->font());
        if (label->textColor()) declarations += "color:" + cssColor(*label->textColor()) + ";";
        return declarations;
    }
    if (const auto* button = dynamic_cast<const Button*>(&view); button && button->contentTintColor()) {
        // The tint fills the button, as the accent colour fills a default
        // button, with its title in white on it.
        return "background:" + cssColor(*button->contentTintColor()) + ";color:white;";
    }
    return {};
}

} // namespace

std::string styleRule(const View& view, const std::string& cssClass) {
    const std::string declarations = layerDeclarations(view) + ownDeclarations(view);
    if (declarations.empty()) return {};
    return "." + cssClass + "{" + declarations + "}\n";
}

} // namespace ui::gtk
