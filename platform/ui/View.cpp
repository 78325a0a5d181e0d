#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

std::shared_ptr<View> View::initWithFrame(Rect frame) { return std::shared_ptr<View>(new View(frame)); }

View::~View() = default;

std::shared_ptr<Window> View::window() const {
    const View* root = this;
    while (const auto parent = root->superview()) root = parent.get();
    return root->window_.lock();
}

void View::addSubview(const std::shared_ptr<View>& view) {
    view->removeFromSuperview();
    view->superview_ = weak_from_this();
    subviews_.push_back(view);
}

void View::removeFromSuperview() {
    const auto parent = superview();
    if (!parent) return;
    // Keeps the view alive while its last owner lets it go.
    const auto self = shared_from_this();
    std::erase(parent->subviews_, self);
    superview_.reset();
}

void View::setWantsLayer(bool wantsLayer) {
    if (wantsLayer == layer_.has_value()) return;
    layer_ = wantsLayer ? std::optional<Layer>(Layer{}) : std::nullopt;
}

void View::didChange() {
    if (observer_) observer_->viewDidChange(*this);
}

void View::addConstraint(std::shared_ptr<LayoutConstraint> constraint) { constraints_.push_back(std::move(constraint)); }

void View::removeConstraint(const LayoutConstraint& constraint) {
    std::erase_if(constraints_, [&](const auto& kept) { return kept.get() == &constraint; });
}

} // namespace ui
