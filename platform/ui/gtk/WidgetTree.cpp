#include "platform/ui/gtk/WidgetTreeNode.h"

#include "platform/ui/gtk/LayoutContainer.h"
#include "platform/ui/gtk/StyleSheet.h"

#include <algorithm>
#include <atomic>

namespace ui::gtk {

using view::ButtonWidget;
using view::LabelWidget;
using view::SliderWidget;
using view::View;
using view::Size;
using view::Rect;

namespace {

// Style classes are unique in the process: every presentation adds its
// rules to the same display.
std::string newCssClass() {
    static std::atomic<unsigned> next = 0;
    return "korlan-flow-view-" + std::to_string(next++);
}

float labelXAlign(graphics::TextAlignment alignment) {
    switch (alignment) {
    case graphics::TextAlignment::Right: return 1.0f;
    case graphics::TextAlignment::Center: return 0.5f;
    default: return 0.0f;
    }
}

void onSliderMoved(GtkRange* range, WidgetTree::Node* node) {
    if (node->syncing || !node->moved) return;
    node->moved(gtk_range_get_value(range));
}

// The end of a drag or of a key press on the slider.
gboolean onSliderInput(GtkEventControllerLegacy*, GdkEvent* event, WidgetTree::Node* node) {
    const GdkEventType type = gdk_event_get_event_type(event);
    const bool ended = type == GDK_BUTTON_RELEASE || type == GDK_TOUCH_END || type == GDK_KEY_RELEASE;
    if (ended && node->moveEnded) node->moveEnded();
    return FALSE;
}

void onButtonClicked(GtkButton*, WidgetTree::Node* node) {
    if (node->clicked) node->clicked();
}

GtkWidget* newSliderWidget(const SliderWidget& slider, WidgetTree::Node& node) {
    const double span = slider.maximum - slider.minimum;
    GtkAdjustment* adjustment =
        gtk_adjustment_new(slider.value, slider.minimum, slider.maximum, span / 100, span / 10, 0);
    GtkWidget* scale = gtk_scale_new(GTK_ORIENTATION_HORIZONTAL, adjustment);
    gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
    g_signal_connect(scale, "value-changed", G_CALLBACK(onSliderMoved), &node);
    GtkEventController* input = gtk_event_controller_legacy_new();
    gtk_event_controller_set_propagation_phase(input, GTK_PHASE_CAPTURE);
    g_signal_connect(input, "event", G_CALLBACK(onSliderInput), &node);
    gtk_widget_add_controller(scale, input);
    return scale;
}

GtkWidget* newButtonWidget(const ButtonWidget& button, WidgetTree::Node& node) {
    GtkWidget* widget = gtk_button_new_with_label(button.title.c_str());
    if (button.circular) gtk_widget_add_css_class(widget, "circular");
    g_signal_connect(widget, "clicked", G_CALLBACK(onButtonClicked), &node);
    return widget;
}

// Paints what the view and its subviews draw, stretched over the area.
void drawView(GtkDrawingArea* area, cairo_t* cairo, int width, int height, gpointer data) {
    View& view = *static_cast<WidgetTree::Node*>(data)->view;
    const auto contents = view.displayIntoBitmap(gtk_widget_get_scale_factor(GTK_WIDGET(area)));
    if (!contents) return;
    cairo_scale(cairo, double(width) / contents->pixelsWide(), double(height) / contents->pixelsHigh());
    cairo_set_source_surface(cairo, contents->cairoSurface(), 0, 0);
    cairo_paint(cairo);
}

GtkWidget* newDrawingWidget(const View& view, WidgetTree::Node& node) {
    GtkWidget* area = gtk_drawing_area_new();
    const Size size = view.frame().size;
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(area), static_cast<int>(size.width));
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(area), static_cast<int>(size.height));
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area), drawView, &node, nullptr);
    return area;
}

} // namespace

WidgetTree::WidgetTree() : styles_(gtk_css_provider_new()) {
    gtk_style_context_add_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(styles_),
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

WidgetTree::~WidgetTree() {
    if (framedWindow_) g_signal_handlers_disconnect_by_data(framedWindow_, this);
    if (frameClock_) g_signal_handlers_disconnect_by_data(frameClock_, this);
    for (const auto& node : nodes_) {
        if (node->view->observer() == this) node->view->setObserver(nullptr);
        if (node->widget) g_signal_handlers_disconnect_by_data(node->widget, node.get());
    }
    if (!nodes_.empty()) g_object_unref(nodes_.front()->widget);
    gtk_style_context_remove_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(styles_));
    g_object_unref(styles_);
}

std::unique_ptr<WidgetTree> WidgetTree::build(const std::shared_ptr<View>& root, std::string& problem) {
    std::unique_ptr<WidgetTree> tree(new WidgetTree());
    g_object_ref_sink(tree->addNode(root, nullptr, nullptr).widget);
    for (const auto& node : tree->nodes_) {
        if (!tree->addConstraints(*node, problem)) return nullptr;
    }
    tree->refreshStyles();
    return tree;
}

WidgetTree::Node& WidgetTree::addNode(const std::shared_ptr<View>& view, Node* parent, Node* holder) {
    auto& node = *nodes_.emplace_back(std::make_unique<Node>());
    node.view = view;
    node.parent = parent;
    node.holder = holder;
    node.cssClass = newCssClass();
    nodeOf_[view.get()] = &node;
    view->setObserver(this);
    realizing_ = &node;
    view->realize(*this);
    realizing_ = nullptr;
    return node;
}

void WidgetTree::addSubviews(Node& node, Node& holder) {
    for (const auto& subview : node.view->subviews()) addNode(subview, &node, &holder);
}

void WidgetTree::realizeContainer(View& view) {
    Node& node = *realizing_;
    if (node.widget || node.guide) return;
    if (node.holder && !view.wantsLayer()) {
        node.guide = gtk_constraint_guide_new();
        gtk_constraint_guide_set_max_size(node.guide, G_MAXINT, G_MAXINT);
        // Gives way to every widget's own size.
        gtk_constraint_guide_set_strength(node.guide, GTK_CONSTRAINT_STRENGTH_WEAK);
        gtk_constraint_layout_add_guide(node.holder->layout(), node.guide);
        addSubviews(node, *node.holder);
        return;
    }
    node.isContainer = true;
    placeWidget(newLayoutContainer());
    addSubviews(node, node);
}

void WidgetTree::realizeDrawing(View& view) {
    Node& node = *realizing_;
    if (node.widget) {
        gtk_widget_queue_draw(node.widget);
        return;
    }
    placeWidget(newDrawingWidget(view, node));
}

void WidgetTree::realizeLabel(View&, const LabelWidget& label) {
    Node& node = *realizing_;
    if (!node.widget) placeWidget(gtk_label_new(nullptr));
    gtk_label_set_text(GTK_LABEL(node.widget), label.text.c_str());
    gtk_label_set_xalign(GTK_LABEL(node.widget), labelXAlign(label.alignment));
    node.ownStyle = labelStyle(label);
}

void WidgetTree::realizeSlider(View&, const SliderWidget& slider) {
    Node& node = *realizing_;
    node.moved = slider.moved;
    node.moveEnded = slider.moveEnded;
    if (!node.widget) {
        placeWidget(newSliderWidget(slider, node));
        return;
    }
    gtk_range_set_value(GTK_RANGE(node.widget), slider.value);
}

void WidgetTree::realizeButton(View&, const ButtonWidget& button) {
    Node& node = *realizing_;
    node.clicked = button.clicked;
    node.ownStyle = buttonStyle(button);
    if (!node.widget) {
        placeWidget(newButtonWidget(button, node));
        return;
    }
    gtk_button_set_label(GTK_BUTTON(node.widget), button.title.c_str());
}

void WidgetTree::placeWidget(GtkWidget* widget) {
    Node& node = *realizing_;
    node.widget = widget;
    gtk_widget_add_css_class(widget, node.cssClass.c_str());
    const std::string& identifier = node.view->identifier();
    if (!identifier.empty()) gtk_widget_set_name(widget, identifier.c_str());
    if (node.holder) gtk_widget_set_parent(widget, node.holder->widget);
}

GtkWidget* WidgetTree::rootWidget() const { return nodes_.front()->widget; }

GtkWidget* WidgetTree::widgetFor(const View& view) const {
    const Node* node = nodeFor(&view);
    return node ? node->widget : nullptr;
}

void WidgetTree::recordFramesOf(GtkWindow* window) {
    framedWindow_ = GTK_WIDGET(window);
    g_signal_connect(window, "realize", G_CALLBACK(onWindowRealized), this);
}

void WidgetTree::onWindowRealized(GtkWidget* window, WidgetTree* tree) {
    tree->frameClock_ = gtk_widget_get_frame_clock(window);
    g_signal_connect(tree->frameClock_, "after-paint", G_CALLBACK(onAfterPaint), tree);
}

void WidgetTree::onAfterPaint(GdkFrameClock*, WidgetTree* tree) { tree->recordFrames(); }

void WidgetTree::recordFrames() const {
    for (const auto& node : nodes_) {
        if (!node->parent) continue;
        auto bounds = boundsInHolder(*node);
        if (!bounds) continue;
        // A parent that is a guide lies in the same holder.
        if (node->parent != node->holder) {
            const auto parentBounds = boundsInHolder(*node->parent);
            bounds->origin.x -= parentBounds->origin.x;
            bounds->origin.y -= parentBounds->origin.y;
        }
        // The toolkit measures from the top, views from the bottom; the
        // parent's frame is recorded before its subviews'.
        const double parentHeight = node->parent->view->frame().size.height;
        bounds->origin.y = parentHeight - bounds->origin.y - bounds->size.height;
        node->view->setFrame(*bounds);
    }
}

std::optional<Rect> WidgetTree::boundsInHolder(const Node& node) const {
    if (node.widget) {
        graphene_rect_t bounds;
        if (!gtk_widget_compute_bounds(node.widget, node.holder->widget, &bounds)) return std::nullopt;
        return Rect{{bounds.origin.x, bounds.origin.y}, {bounds.size.width, bounds.size.height}};
    }
    // A guide's own place is the solver's; a group spans its views.
    std::optional<Rect> spanned;
    for (const auto& subview : node.view->subviews()) {
        const auto bounds = boundsInHolder(*nodeFor(subview.get()));
        if (!bounds) continue;
        if (!spanned) {
            spanned = bounds;
            continue;
        }
        const double minX = std::min(spanned->origin.x, bounds->origin.x);
        const double minY = std::min(spanned->origin.y, bounds->origin.y);
        const double maxX = std::max(spanned->origin.x + spanned->size.width, bounds->origin.x + bounds->size.width);
        const double maxY = std::max(spanned->origin.y + spanned->size.height, bounds->origin.y + bounds->size.height);
        spanned = Rect{{minX, minY}, {maxX - minX, maxY - minY}};
    }
    return spanned;
}

void WidgetTree::viewDidChange(View& view) {
    const auto found = nodeOf_.find(&view);
    if (found == nodeOf_.end() || !found->second->widget) return;
    Node& node = *found->second;
    node.syncing = true;
    realizing_ = &node;
    view.realize(*this);
    realizing_ = nullptr;
    node.syncing = false;
    refreshStyles();
    // A new text or title has a natural size of its own.
    if (node.naturalWidth) holdNaturalSize(node);
}

void WidgetTree::refreshStyles() {
    std::string sheet;
    for (const auto& node : nodes_) {
        if (node->widget) sheet += styleRule(layerStyle(*node->view) + node->ownStyle, node->cssClass);
    }
    // Reloading restyles every widget: only when a rule really changed.
    if (sheet == styleSheet_) return;
    styleSheet_ = std::move(sheet);
    gtk_css_provider_load_from_data(styles_, styleSheet_.c_str(), -1);
}

} // namespace ui::gtk
