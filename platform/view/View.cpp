#include "platform/view/View.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/view/ViewRealizer.h"
#include "platform/view/Window.h"

#include <algorithm>
#include <cmath>

namespace view {

namespace {

// One axis of the autoresizing rule: the change of the superview's length
// is shared evenly among the parts of this axis that may change (the margin
// before, the length, the margin after).
void resizeAxis(double& origin, double& length, double delta, bool flexibleBefore, bool flexibleLength,
                bool flexibleAfter) {
    const int flexibleParts = int(flexibleBefore) + int(flexibleLength) + int(flexibleAfter);
    if (flexibleParts == 0) return;
    const double share = delta / flexibleParts;
    if (flexibleBefore) origin += share;
    if (flexibleLength) length = std::max(0.0, length + share);
}

// Paints the view and the views inside it in turn, each in its own
// coordinates and clipped to its bounds: first its layer's background, then
// what it draws itself.
void drawSubtree(View& view, graphics::GraphicsContext& context, Point origin) {
    if (view.isHidden()) return;
    context.saveState();
    context.translateBy(origin.x, origin.y);
    context.clipToRect(view.bounds());
    if (const auto* layer = view.layer(); layer && layer->backgroundColor) {
        layer->backgroundColor->setFill();
        graphics::RectFill(view.bounds());
    }
    view.drawRect(view.bounds());
    view.setNeedsDisplay(false);
    for (const auto& subview : view.subviews()) drawSubtree(*subview, context, subview->frame().origin);
    context.restoreState();
}

std::uint32_t wholePixels(double points, double scale) {
    return static_cast<std::uint32_t>(std::max(1.0, std::round(points * scale)));
}

} // namespace

View::View(Rect frame) : frame_(frame) {}

View::~View() = default;

std::shared_ptr<View> View::initWithFrame(Rect frame) { return std::shared_ptr<View>(new View(frame)); }

void View::setFrame(Rect frame) {
    const Size oldSize = frame_.size;
    frame_ = frame;
    frameDidChange();
    if (oldSize.width != frame.size.width || oldSize.height != frame.size.height) resizeSubviews(oldSize);
}

void View::setFrameSize(Size size) { setFrame({frame_.origin, size}); }

void View::resizeSubviews(Size oldSize) {
    needsLayout_ = true;
    // A copy: a subview's callbacks may change the list.
    const auto subviews = subviews_;
    for (const auto& subview : subviews) subview->resizeWithOldSuperviewSize(oldSize);
}

void View::resizeWithOldSuperviewSize(Size oldSuperviewSize) {
    const auto parent = superview();
    if (!parent || autoresizingMask_ == ViewNotSizable) return;
    Rect frame = frame_;
    const Size newSize = parent->frame_.size;
    resizeAxis(frame.origin.x, frame.size.width, newSize.width - oldSuperviewSize.width,
               autoresizingMask_ & ViewMinXMargin, autoresizingMask_ & ViewWidthSizable,
               autoresizingMask_ & ViewMaxXMargin);
    resizeAxis(frame.origin.y, frame.size.height, newSize.height - oldSuperviewSize.height,
               autoresizingMask_ & ViewMinYMargin, autoresizingMask_ & ViewHeightSizable,
               autoresizingMask_ & ViewMaxYMargin);
    setFrame(frame);
}

void View::addSubview(const std::shared_ptr<View>& view) {
    if (!view || view.get() == this) return;
    // A view has one place: it leaves its old one first.
    if (view->superview()) view->removeFromSuperview();
    const auto self = shared_from_this();
    const auto newWindow = window();
    const bool windowChanges = view->window() != newWindow;
    view->viewWillMoveToSuperview(self);
    if (windowChanges) view->notifyWillMoveToWindow(newWindow);
    subviews_.push_back(view);
    view->superview_ = self;
    if (windowChanges) {
        view->setWindowOfSubtree(newWindow);
        view->notifyDidMoveToWindow();
    }
    view->viewDidMoveToSuperview();
}

void View::removeFromSuperview() {
    const auto parent = superview();
    if (!parent) return;
    // Kept alive through its own callbacks even when the superview held the
    // last reference.
    const auto self = shared_from_this();
    const bool inWindow = window() != nullptr;
    viewWillMoveToSuperview(nullptr);
    if (inWindow) notifyWillMoveToWindow(nullptr);
    std::erase(parent->subviews_, self);
    superview_.reset();
    if (inWindow) {
        setWindowOfSubtree(nullptr);
        notifyDidMoveToWindow();
    }
    viewDidMoveToSuperview();
}

void View::moveToWindow(const std::shared_ptr<Window>& window) {
    if (this->window() == window) return;
    const auto self = shared_from_this();
    notifyWillMoveToWindow(window);
    setWindowOfSubtree(window);
    notifyDidMoveToWindow();
}

void View::notifyWillMoveToWindow(const std::shared_ptr<Window>& window) {
    viewWillMoveToWindow(window);
    const auto subviews = subviews_;
    for (const auto& subview : subviews) subview->notifyWillMoveToWindow(window);
}

void View::setWindowOfSubtree(const std::shared_ptr<Window>& window) {
    window_ = window;
    for (const auto& subview : subviews_) subview->setWindowOfSubtree(window);
}

void View::notifyDidMoveToWindow() {
    viewDidMoveToWindow();
    const auto subviews = subviews_;
    for (const auto& subview : subviews) subview->notifyDidMoveToWindow();
}

void View::setHidden(bool hidden) {
    if (hidden_ == hidden) return;
    // Only views whose visibility really changes hear of it: a view inside
    // one that is hidden already stays hidden.
    const auto parent = superview();
    const bool ancestorHidden = parent && parent->isHiddenOrHasHiddenAncestor();
    hidden_ = hidden;
    if (ancestorHidden) return;
    const auto self = shared_from_this();
    notifyHiddenChange(hidden);
}

void View::notifyHiddenChange(bool hidden) {
    if (hidden) {
        viewDidHide();
    } else {
        viewDidUnhide();
    }
    const auto subviews = subviews_;
    for (const auto& subview : subviews) {
        if (!subview->hidden_) subview->notifyHiddenChange(hidden);
    }
}

bool View::isHiddenOrHasHiddenAncestor() const {
    if (hidden_) return true;
    const auto parent = superview();
    return parent && parent->isHiddenOrHasHiddenAncestor();
}

void View::setWantsLayer(bool wantsLayer) {
    if (wantsLayer && !layer_) layer_.emplace();
    if (!wantsLayer) layer_.reset();
}

void View::layoutSubtreeIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layout();
    }
    const auto subviews = subviews_;
    for (const auto& subview : subviews) subview->layoutSubtreeIfNeeded();
}

void View::setNeedsDisplay(bool needsDisplay) {
    needsDisplay_ = needsDisplay;
    if (needsDisplay) didChange();
}

void View::displayIfNeeded() {
    if (const auto shownIn = window()) shownIn->displayIfNeeded();
}

void View::drawRect(Rect) {}

std::shared_ptr<graphics::BitmapImageRep> View::displayIntoBitmap(double scale) {
    const Size size = frame_.size;
    auto bitmap =
        graphics::BitmapImageRep::initWithPixelsWide(wholePixels(size.width, scale), wholePixels(size.height, scale));
    if (!bitmap) return nullptr;
    bitmap->setSize(size);
    const auto context = graphics::GraphicsContext::graphicsContextWithBitmapImageRep(bitmap);
    if (!context) return nullptr;
    graphics::GraphicsContext::saveGraphicsState();
    graphics::GraphicsContext::setCurrentContext(context);
    drawSubtree(*this, *context, {0.0, 0.0});
    context->flushGraphics();
    graphics::GraphicsContext::restoreGraphicsState();
    return bitmap;
}

void View::realize(ViewRealizer& realizer) { realizer.realizeContainer(*this); }

bool View::performKeyEquivalent(const std::string& key) {
    // A copy: the key's action may change the views.
    const auto subviews = subviews_;
    return std::ranges::any_of(subviews, [&](const auto& subview) { return subview->performKeyEquivalent(key); });
}

void View::didChange() {
    if (observer_) observer_->viewDidChange(*this);
}

void View::addConstraint(std::shared_ptr<LayoutConstraint> constraint) {
    constraints_.push_back(std::move(constraint));
}

void View::removeConstraint(const LayoutConstraint& constraint) {
    std::erase_if(constraints_, [&](const auto& kept) { return kept.get() == &constraint; });
}

Rect View::frameInWindow() const {
    Rect frame = frame_;
    for (auto parent = superview(); parent; parent = parent->superview()) {
        frame.origin.x += parent->frame_.origin.x;
        frame.origin.y += parent->frame_.origin.y;
    }
    return frame;
}

void View::viewWillMoveToWindow(const std::shared_ptr<Window>&) {}
void View::viewDidMoveToWindow() {}
void View::viewWillMoveToSuperview(const std::shared_ptr<View>&) {}
void View::viewDidMoveToSuperview() {}
void View::viewDidHide() {}
void View::viewDidUnhide() {}

} // namespace view
