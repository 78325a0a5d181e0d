#pragma once

#include "platform/view/View.h"
#include "platform/view/ViewRealizer.h"

#include <string>

namespace ui::gtk {

using view::ButtonWidget;
using view::LabelWidget;
using view::View;
using view::ViewRealizer;

// The CSS declarations that give a view's widget its look: a layer's colour
// and corner radius, a label's font and text colour, a button's tint.
// Empty where the theme's look stays.
std::string layerStyle(const View& view);
std::string labelStyle(const LabelWidget& label);
std::string buttonStyle(const ButtonWidget& button);

// The rule that gives the declarations to the class; empty without any.
std::string styleRule(const std::string& declarations, const std::string& cssClass);

} // namespace ui::gtk
