#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/Color.h"
#include "platform/ui/LayoutAnchor.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class View;
class Window;

using graphics::Point;
using graphics::Rect;
using graphics::Size;

// Told when what a view shows changes (a label's text, a slider's value),
// so that a presentation of it can follow.
class ViewObserver {
public:
    virtual ~ViewObserver() = default;
    virtual void viewDidChange(View& view) = 0;
};

// What a layer-backed view paints behind its subviews.
struct Layer {
    std::optional<Color> backgroundColor;
    double cornerRadius = 0.0;
};

// A rectangle of an interface that holds subviews: the plain part of every
// label, control and stack. It holds its state without a display; a
// presenter shows it. The subviews and the constraints whose first item it
// is are owned; the superview, the window and the observer are not.
//
// Frames are points in the superview, with the origin at its top-left
// corner: interfaces are laid out from the top. A view placed by
// constraints gets its frame from whoever lays it out.
class KF_PLATFORM_API View : public std::enable_shared_from_this<View> {
public:
    static std::shared_ptr<View> initWithFrame(Rect frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Rect frame() const { return frame_; }
    void setFrame(Rect frame) { frame_ = frame; }

    std::shared_ptr<View> superview() const { return superview_.lock(); }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // The window whose content view this is, or holds this one.
    std::shared_ptr<Window> window() const;
    // A view that is in another view leaves it first.
    void addSubview(const std::shared_ptr<View>& view);
    void removeFromSuperview();

    bool wantsLayer() const { return layer_.has_value(); }
    void setWantsLayer(bool wantsLayer);
    // Null unless the view wants a layer.
    Layer* layer() { return layer_ ? &*layer_ : nullptr; }
    const Layer* layer() const { return layer_ ? &*layer_ : nullptr; }

    // Whether the view's frame, rather than constraints, places it.
    bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates) { translatesAutoresizingMask_ = translates; }
    // The name user-interface tests and assistive tools find the view by.
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

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

    ViewObserver* observer() const { return observer_; }
    void setObserver(ViewObserver* observer) { observer_ = observer; }

protected:
    explicit View(Rect frame) : frame_(frame) {}
    // Tells the observer that what the view shows has changed.
    void didChange();

private:
    friend class LayoutConstraint;
    friend class Window;
    void addConstraint(std::shared_ptr<LayoutConstraint> constraint);
    void removeConstraint(const LayoutConstraint& constraint);

    Rect frame_;
    std::weak_ptr<View> superview_;
    std::vector<std::shared_ptr<View>> subviews_;
    std::weak_ptr<Window> window_;
    std::optional<Layer> layer_;
    bool translatesAutoresizingMask_ = true;
    std::string identifier_;
    std::vector<std::shared_ptr<LayoutConstraint>> constraints_;
    ViewObserver* observer_ = nullptr;
};

} // namespace ui
