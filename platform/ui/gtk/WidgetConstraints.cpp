#include "platform/ui/gtk/WidgetTreeNode.h"

#include "platform/view/LayoutConstraint.h"

// The views' constraints as constraints of the GTK layouts: each goes to
// the layout of the container that holds both its items, where the
// container itself stands for its own edges.

namespace ui::gtk {

using view::LayoutAttribute;
using view::LayoutConstraint;
using view::LayoutRelation;
using view::View;
using view::Rect;

namespace {

GtkConstraintAttribute gtkAttribute(LayoutAttribute attribute) {
    switch (attribute) {
    case LayoutAttribute::Left: return GTK_CONSTRAINT_ATTRIBUTE_LEFT;
    case LayoutAttribute::Right: return GTK_CONSTRAINT_ATTRIBUTE_RIGHT;
    case LayoutAttribute::Top: return GTK_CONSTRAINT_ATTRIBUTE_TOP;
    case LayoutAttribute::Bottom: return GTK_CONSTRAINT_ATTRIBUTE_BOTTOM;
    case LayoutAttribute::Leading: return GTK_CONSTRAINT_ATTRIBUTE_START;
    case LayoutAttribute::Trailing: return GTK_CONSTRAINT_ATTRIBUTE_END;
    case LayoutAttribute::Width: return GTK_CONSTRAINT_ATTRIBUTE_WIDTH;
    case LayoutAttribute::Height: return GTK_CONSTRAINT_ATTRIBUTE_HEIGHT;
    case LayoutAttribute::CenterX: return GTK_CONSTRAINT_ATTRIBUTE_CENTER_X;
    case LayoutAttribute::CenterY: return GTK_CONSTRAINT_ATTRIBUTE_CENTER_Y;
    case LayoutAttribute::NotAnAttribute: break;
    }
    return GTK_CONSTRAINT_ATTRIBUTE_NONE;
}

GtkConstraintRelation gtkRelation(LayoutRelation relation) {
    switch (relation) {
    case LayoutRelation::LessThanOrEqual: return GTK_CONSTRAINT_RELATION_LE;
    case LayoutRelation::GreaterThanOrEqual: return GTK_CONSTRAINT_RELATION_GE;
    case LayoutRelation::Equal: break;
    }
    return GTK_CONSTRAINT_RELATION_EQ;
}

// The container whose layout can relate the two nodes: the holder of a
// lone node, the one that holds the other, or the holder of both.
const WidgetTree::Node* commonContainer(const WidgetTree::Node& first, const WidgetTree::Node* second) {
    if (!second) return first.holder ? first.holder : &first;
    if (second == first.holder) return second;
    if (&first == second->holder) return &first;
    if (first.holder && first.holder == second->holder) return first.holder;
    return nullptr;
}

void addRequired(const WidgetTree::Node& container, gpointer target, LayoutAttribute attribute, double constant) {
    gtk_constraint_layout_add_constraint(
        container.layout(), gtk_constraint_new_constant(target, gtkAttribute(attribute), GTK_CONSTRAINT_RELATION_EQ,
                                                        constant, GTK_CONSTRAINT_STRENGTH_REQUIRED));
}

// A view placed by its frame: its edges and size, fixed in its container.
// Frames measure from the superview's lower-left corner.
void addFrameConstraints(const WidgetTree::Node& node) {
    const Rect frame = node.view->frame();
    const gpointer item = node.layoutItemIn(*node.holder);
    const gpointer superview = node.parent->layoutItemIn(*node.holder);
    for (const auto& [attribute, offset] : {std::pair{GTK_CONSTRAINT_ATTRIBUTE_LEFT, frame.origin.x},
                                            {GTK_CONSTRAINT_ATTRIBUTE_BOTTOM, -frame.origin.y}}) {
        gtk_constraint_layout_add_constraint(
            node.holder->layout(), gtk_constraint_new(item, attribute, GTK_CONSTRAINT_RELATION_EQ, superview,
                                                      attribute, 1.0, offset, GTK_CONSTRAINT_STRENGTH_REQUIRED));
    }
    addRequired(*node.holder, item, LayoutAttribute::Width, frame.size.width);
    addRequired(*node.holder, item, LayoutAttribute::Height, frame.size.height);
}

} // namespace

const WidgetTree::Node* WidgetTree::nodeFor(const View* view) const {
    const auto found = nodeOf_.find(view);
    return found == nodeOf_.end() ? nullptr : found->second;
}

bool WidgetTree::addConstraints(const Node& node, std::string& problem) const {
    const auto constraints = node.view->layoutConstraints();
    if (node.holder && node.view->translatesAutoresizingMaskIntoConstraints()) addFrameConstraints(node);

    for (const auto& constraint : constraints) {
        const Node* first = nodeFor(constraint->firstItem().get());
        const auto second = constraint->secondItem();
        const Node* secondNode = nodeFor(second.get());
        const Node* container = (first && (secondNode || !second)) ? commonContainer(*first, secondNode) : nullptr;
        if (!container || !container->isContainer) {
            problem = "a layout constraint relates views that are neither siblings nor a view and its superview";
            return false;
        }
        const gpointer target = first->layoutItemIn(*container);
        GtkConstraint* translated =
            secondNode ? gtk_constraint_new(target, gtkAttribute(constraint->firstAttribute()),
                                            gtkRelation(constraint->relation()), secondNode->layoutItemIn(*container),
                                            gtkAttribute(constraint->secondAttribute()), 1.0,
                                            constraint->constant(), GTK_CONSTRAINT_STRENGTH_REQUIRED)
                       : gtk_constraint_new_constant(target, gtkAttribute(constraint->firstAttribute()),
                                                     gtkRelation(constraint->relation()), constraint->constant(),
                                                     GTK_CONSTRAINT_STRENGTH_REQUIRED);
        gtk_constraint_layout_add_constraint(container->layout(), translated);
    }
    return true;
}

} // namespace ui::gtk

namespace ui::gtk {

namespace {

// Stronger than the spaces between widgets, weaker than every constraint of
// the views: what a leaf widget's own size yields to.
GtkConstraint* naturalSizeConstraint(GtkWidget* widget, GtkOrientation orientation) {
    int natural = 0;
    gtk_widget_measure(widget, orientation, -1, nullptr, &natural, nullptr, nullptr);
    const auto attribute =
        orientation == GTK_ORIENTATION_HORIZONTAL ? GTK_CONSTRAINT_ATTRIBUTE_WIDTH : GTK_CONSTRAINT_ATTRIBUTE_HEIGHT;
    return gtk_constraint_new_constant(widget, attribute, GTK_CONSTRAINT_RELATION_EQ, natural,
                                       GTK_CONSTRAINT_STRENGTH_STRONG);
}

} // namespace

void WidgetTree::holdNaturalSizes() {
    for (const auto& node : nodes_) {
        if (node->widget && !node->isContainer && node->holder) holdNaturalSize(*node);
    }
}

void WidgetTree::holdNaturalSize(Node& node) {
    GtkConstraintLayout* layout = node.holder->layout();
    for (GtkConstraint* held : {node.naturalWidth, node.naturalHeight}) {
        if (held) gtk_constraint_layout_remove_constraint(layout, held);
    }
    node.naturalWidth = naturalSizeConstraint(node.widget, GTK_ORIENTATION_HORIZONTAL);
    node.naturalHeight = naturalSizeConstraint(node.widget, GTK_ORIENTATION_VERTICAL);
    gtk_constraint_layout_add_constraint(layout, node.naturalWidth);
    gtk_constraint_layout_add_constraint(layout, node.naturalHeight);
}

} // namespace ui::gtk
