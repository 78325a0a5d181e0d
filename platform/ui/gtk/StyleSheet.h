#pragma once

#include "platform/ui/View.h"

#include <string>

namespace ui::gtk {

// The CSS rule, for the given class, that gives the view's widget its look:
// a layer's colour and corner radius, a label's font and text colour, a
// button's tint. Empty for a view that keeps the theme's look.
std::string styleRule(const View& view, const std::string& cssClass);

} // namespace ui::gtk
