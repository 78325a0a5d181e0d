#include "platform/ui/gtk/StyleSheet.h"

#include <charconv>
#include <cmath>
#include <string>

namespace ui::gtk {

using view::ButtonWidget;
using view::LabelWidget;
using view::Layer;
using view::View;

namespace {

// CSS numbers have a point, whatever the locale.
std::string cssNumber(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return {text, written.ptr};
}

std::string cssColor(const graphics::Color& color) {
    const auto byte = [](double component) { return std::to_string(std::lround(component * 255.0)); };
    return "rgba(" + byte(color.red) + "," + byte(color.green) + "," + byte(color.blue) + "," +
           cssNumber(color.alpha) + ")";
}

// Points are the display's pixels at 96 dots per inch, which CSS calls px.
std::string fontDeclarations(const graphics::Font& font) {
    std::string declarations = "font-size:" + cssNumber(font.pointSize) +
                               "px;font-weight:" + std::to_string(static_cast<int>(font.weight)) + ";";
    if (font.design == graphics::Font::Design::MonospacedDigitSystem) {
        declarations += "font-feature-settings:\"tnum\";";
    }
    return declarations;
}

} // namespace

std::string layerStyle(const View& view) {
    const Layer* layer = view.layer();
    if (!layer) return {};
    std::string declarations;
    if (layer->backgroundColor) declarations += "background-color:" + cssColor(*layer->backgroundColor) + ";";
    if (layer->cornerRadius > 0) declarations += "border-radius:" + cssNumber(layer->cornerRadius) + "px;";
    return declarations;
}

std::string labelStyle(const LabelWidget& label) {
    std::string declarations = fontDeclarations(label.font);
    if (label.color) declarations += "color:" + cssColor(*label.color) + ";";
    return declarations;
}

std::string buttonStyle(const ButtonWidget& button) {
    // The tint fills the button, as the accent colour fills a default
    // button, with its title in white on it.
    if (!button.tint) return {};
    return "background:" + cssColor(*button.tint) + ";color:white;";
}

std::string styleRule(const std::string& declarations, const std::string& cssClass) {
    if (declarations.empty()) return {};
    return "." + cssClass + "{" + declarations + "}\n";
}

} // namespace ui::gtk
