#pragma once

#include "platform/view/View.h"
#include "platform/view/ViewRealizer.h"

#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui::gtk {

using view::ButtonWidget;
using view::LabelWidget;
using view::SliderWidget;
using view::View;
using view::ViewObserver;
using view::ViewRealizer;
using view::Rect;

// The widgets that show one window's views, built once and kept in step
// with the views while the tree lives. Each view says which widget shows it
// (View::realize): labels become GtkLabels, sliders GtkScales, buttons
// GtkButtons, views that draw themselves drawing areas, and the other views
// containers that place their subviews by the views' constraints. A
// container without a layer inside another (a stack view, a spacer) shows
// nothing itself: it becomes a guide of its holder's layout, a space of
// whatever size the constraints give it, and its subviews join that
// layout, so that one solver places the whole group.
class WidgetTree : public ViewObserver, private ViewRealizer {
public:
    // Null, with a description of the problem, for a constraint that no
    // layout can hold.
    static std::unique_ptr<WidgetTree> build(const std::shared_ptr<View>& root, std::string& problem);
    ~WidgetTree() override;
    WidgetTree(const WidgetTree&) = delete;
    WidgetTree& operator=(const WidgetTree&) = delete;

    GtkWidget* rootWidget() const;
    // Null for a view that no widget shows.
    GtkWidget* widgetFor(const View& view) const;
    // Once the widgets are in their window, so that their style is known:
    // each label, button and slider keeps its natural size unless a
    // constraint says otherwise.
    void holdNaturalSizes();
    // From now on, after each frame the window paints, puts where the
    // layout placed each widget into its view's frame.
    void recordFramesOf(GtkWindow* window);

    void viewDidChange(View& view) override;

    struct Node;

private:
    WidgetTree();
    Node& addNode(const std::shared_ptr<View>& view, Node* parent, Node* holder);
    void addSubviews(Node& node, Node& holder);
    void realizeContainer(View& view) override;
    void realizeDrawing(View& view) override;
    void realizeLabel(View& view, const LabelWidget& label) override;
    void realizeSlider(View& view, const SliderWidget& slider) override;
    void realizeButton(View& view, const ButtonWidget& button) override;
    // Gives the node being realized its widget, the first time.
    void placeWidget(GtkWidget* widget);
    // Where the node lies in its holder, from its top-left; nullopt for a
    // guide without widgets inside it.
    std::optional<Rect> boundsInHolder(const Node& node) const;
    // Null for a view outside the tree.
    const Node* nodeFor(const View* view) const;
    bool addConstraints(const Node& node, std::string& problem) const;
    void refreshStyles();
    void holdNaturalSize(Node& node);
    void recordFrames() const;
    static void onWindowRealized(GtkWidget* window, WidgetTree* tree);
    static void onAfterPaint(GdkFrameClock* clock, WidgetTree* tree);

    std::vector<std::unique_ptr<Node>> nodes_;
    std::map<const View*, Node*> nodeOf_;
    // The node that View::realize is asked about now.
    Node* realizing_ = nullptr;
    GtkCssProvider* styles_;
    std::string styleSheet_;
    GtkWidget* framedWindow_ = nullptr;
    GdkFrameClock* frameClock_ = nullptr;
};

} // namespace ui::gtk
