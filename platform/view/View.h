#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/view/Geometry.h"
#include "platform/view/LayoutAnchor.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace view {

class View;
class ViewRealizer;
class Window;

// Which parts of a view follow its superview's size: the bits of the
// autoresizing mask. Width and height sizable together are 18.
enum AutoresizingMask : unsigned {
    ViewNotSizable = 0,
    ViewMinXMargin = 1,
    ViewWidthSizable = 2,
    ViewMaxXMargin = 4,
    ViewMinYMargin = 8,
    ViewHeightSizable = 16,
    ViewMaxYMargin = 32,
};

// What a layer-backed view shows behind its drawing.
struct Layer {
    std::optional<graphics::Color> backgroundColor;
    double cornerRadius = 0.0;
};

// Told when what a view shows changes (a label's text, a slider's value),
// so that a widget showing it can follow.
class ViewObserver {
public:
    virtual ~ViewObserver() = default;
    virtual void viewDidChange(View& view) = 0;
};

// A rectangle of a window that draws itself and holds subviews. Views are
// made, changed and released on the main thread. The window and superview
// are not owned; the subviews are. The hierarchy callbacks come around
// every change of window, superview and hidden flag: the "will" ones before
// it, the "did" ones once both window and superview are current.
//
// Coordinates are points with the origin at the lower-left corner; a frame
// lies in its superview's coordinates. A view is placed by its frame and
// autoresizing mask, or, in a window whose backend lays views out (an
// interface window), by layout constraints, which then set its frame.
class KF_PLATFORM_API View : public std::enable_shared_from_this<View> {
public:
    static std::shared_ptr<View> initWithFrame(Rect frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Rect frame() const { return frame_; }
    void setFrame(Rect frame);
    void setFrameSize(Size size);
    Rect bounds() const { return {{0.0, 0.0}, frame_.size}; }
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }

    std::shared_ptr<View> superview() const { return superview_.lock(); }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    std::shared_ptr<Window> window() const { return window_.lock(); }
    void addSubview(const std::shared_ptr<View>& view);
    void removeFromSuperview();

    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    // Hidden itself, or inside a hidden view.
    bool isHiddenOrHasHiddenAncestor() const;

    bool wantsLayer() const { return layer_.has_value(); }
    void setWantsLayer(bool wantsLayer);
    // Null unless the view wants a layer.
    Layer* layer() { return layer_ ? &*layer_ : nullptr; }
    const Layer* layer() const { return layer_ ? &*layer_ : nullptr; }

    // Lays out what is pending in this view and its subviews now: a view
    // whose size changed brings its drawable up to date.
    void layoutSubtreeIfNeeded();
    void setNeedsLayout(bool needsLayout) { needsLayout_ = needsLayout; }

    void setNeedsDisplay(bool needsDisplay);
    bool needsDisplay() const { return needsDisplay_; }
    // Draws the views of the window that need it, now.
    void displayIfNeeded();

    // Draws the view's content into the current graphics context, in its
    // own coordinates; the rectangle is the part that needs it.
    virtual void drawRect(Rect dirtyRect);
    virtual bool isOpaque() const { return false; }

    // Where the view lies in its window, in the window's points.
    Rect frameInWindow() const;
    // The view and its subviews drawn into a new raster of the view's size
    // at the scale; null when none can be made.
    std::shared_ptr<graphics::BitmapImageRep> displayIntoBitmap(double scale);

    // Whether the view's frame, rather than constraints, places it.
    bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates) { translatesAutoresizingMask_ = translates; }
    LayoutXAxisAnchor leadingAnchor() { return {weak_from_this(), LayoutAttribute::Leading}; }
    LayoutXAxisAnchor trailingAnchor() { return {weak_from_this(), LayoutAttribute::Trailing}; }
    LayoutXAxisAnchor centerXAnchor() { return {weak_from_this(), LayoutAttribute::CenterX}; }
    LayoutYAxisAnchor topAnchor() { return {weak_from_this(), LayoutAttribute::Top}; }
    LayoutYAxisAnchor bottomAnchor() { return {weak_from_this(), LayoutAttribute::Bottom}; }
    LayoutYAxisAnchor centerYAnchor() { return {weak_from_this(), LayoutAttribute::CenterY}; }
    LayoutDimension widthAnchor() { return {weak_from_this(), LayoutAttribute::Width}; }
    LayoutDimension heightAnchor() { return {weak_from_this(), LayoutAttribute::Height}; }
    // The active constraints whose first item this view is, in the order
    // they were activated.
    const std::vector<std::shared_ptr<LayoutConstraint>>& constraints() const { return constraints_; }
    // Those and the ones the view implies for its subviews (a stack view's
    // arrangement): what a layout of the view has to hold.
    virtual std::vector<std::shared_ptr<LayoutConstraint>> layoutConstraints() { return constraints_; }

    // The name user-interface tests and assistive tools find the view by.
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
    ViewObserver* observer() const { return observer_; }
    void setObserver(ViewObserver* observer) { observer_ = observer; }

    // Says which widget shows the view where a toolkit shows views as
    // widgets: by default a container of its subviews.
    virtual void realize(ViewRealizer& realizer);
    // Handles the key ("\r" for Return) if the view or one of its subviews,
    // in order, has it as key equivalent; false when none has.
    virtual bool performKeyEquivalent(const std::string& key);

protected:
    explicit View(Rect frame);
    // Tells the observer that what the view shows has changed.
    void didChange();

    virtual void viewWillMoveToWindow(const std::shared_ptr<Window>& newWindow);
    virtual void viewDidMoveToWindow();
    virtual void viewWillMoveToSuperview(const std::shared_ptr<View>& newSuperview);
    virtual void viewDidMoveToSuperview();
    virtual void viewDidHide();
    virtual void viewDidUnhide();
    // After the frame changed; the default does nothing.
    virtual void frameDidChange() {}
    // Part of layoutSubtreeIfNeeded for a view that needs layout.
    virtual void layout() {}

private:
    friend class LayoutConstraint;
    friend class Window;
    void addConstraint(std::shared_ptr<LayoutConstraint> constraint);
    void removeConstraint(const LayoutConstraint& constraint);
    // Sends the will-callbacks to the view and its subviews, moves the
    // subtree to the window, then the did-callbacks.
    void moveToWindow(const std::shared_ptr<Window>& window);
    void notifyWillMoveToWindow(const std::shared_ptr<Window>& window);
    void setWindowOfSubtree(const std::shared_ptr<Window>& window);
    void notifyDidMoveToWindow();
    void notifyHiddenChange(bool hidden);
    void resizeSubviews(Size oldSize);
    void resizeWithOldSuperviewSize(Size oldSuperviewSize);

    Rect frame_;
    unsigned autoresizingMask_ = ViewNotSizable;
    std::weak_ptr<View> superview_;
    std::vector<std::shared_ptr<View>> subviews_;
    std::weak_ptr<Window> window_;
    bool hidden_ = false;
    std::optional<Layer> layer_;
    bool needsLayout_ = false;
    bool needsDisplay_ = false;
    bool translatesAutoresizingMask_ = true;
    std::vector<std::shared_ptr<LayoutConstraint>> constraints_;
    std::string identifier_;
    ViewObserver* observer_ = nullptr;
};

} // namespace view
