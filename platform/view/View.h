#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/Color.h"
#include "platform/view/Geometry.h"

#include <memory>
#include <optional>
#include <vector>

namespace view {

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
};

// A rectangle of a window that draws itself and holds subviews. Views are
// made, changed and released on the main thread. The window and superview
// are not owned; the subviews are. The hierarchy callbacks come around
// every change of window, superview and hidden flag: the "will" ones before
// it, the "did" ones once both window and superview are current.
//
// Coordinates are points with the origin at the lower-left corner; a frame
// lies in its superview's coordinates.
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

protected:
    explicit View(Rect frame);

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
    friend class Window;
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
};

} // namespace view
