#pragma once

#include "platform/ui/gtk/WidgetTree.h"

#include <functional>

namespace ui::gtk {

using view::View;

// One view of the tree and what shows it: a widget, or a guide of its
// holder's layout.
struct WidgetTree::Node {
    std::shared_ptr<View> view;
    Node* parent = nullptr;
    // The container in whose layout the node lies: its parent, or for the
    // views of a guide, the guide's holder. Null for the root.
    Node* holder = nullptr;
    GtkWidget* widget = nullptr;
    GtkConstraintGuide* guide = nullptr;
    // Places its children with a constraint layout.
    bool isContainer = false;
    std::string cssClass;
    // The look the view asks for beyond its layer's.
    std::string ownStyle;
    // What the widget tells its view.
    std::function<void(double)> moved;
    std::function<void()> moveEnded;
    std::function<void()> clicked;
    // A leaf widget's wish to keep its natural size, in its holder's layout.
    GtkConstraint* naturalWidth = nullptr;
    GtkConstraint* naturalHeight = nullptr;
    // Set while the tree itself changes the widget, so the change is not
    // taken for the user's.
    bool syncing = false;

    // What the layout of the container calls this node: null for the
    // container itself.
    gpointer layoutItemIn(const Node& container) const {
        if (this == &container) return nullptr;
        return widget ? static_cast<gpointer>(widget) : static_cast<gpointer>(guide);
    }
    GtkConstraintLayout* layout() const {
        return GTK_CONSTRAINT_LAYOUT(gtk_widget_get_layout_manager(widget));
    }
};

} // namespace ui::gtk
