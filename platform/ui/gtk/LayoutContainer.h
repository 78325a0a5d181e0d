#pragma once

#include <gtk/gtk.h>

namespace ui::gtk {

// A widget that places its children with a GtkConstraintLayout and paints
// its CSS box (background, corner radius): what a stack view, a view with
// subviews or a layer-backed view becomes.
GtkWidget* newLayoutContainer();

} // namespace ui::gtk
