#include "platform/ui/StackView.h"

namespace ui {

using view::LayoutAttribute;
using view::LayoutConstraint;
using view::LayoutRelation;
using view::View;

namespace {

// The edges and centre of one axis.
struct Axis {
    LayoutAttribute start;
    LayoutAttribute end;
    LayoutAttribute centre;
};

constexpr Axis kHorizontalAxis{LayoutAttribute::Leading, LayoutAttribute::Trailing, LayoutAttribute::CenterX};
constexpr Axis kVerticalAxis{LayoutAttribute::Top, LayoutAttribute::Bottom, LayoutAttribute::CenterY};

std::shared_ptr<LayoutConstraint> relate(const std::shared_ptr<View>& item, LayoutAttribute attribute,
                                         LayoutRelation relation, const std::shared_ptr<View>& other,
                                         LayoutAttribute otherAttribute, double constant = 0.0) {
    return LayoutConstraint::constraintWithItem(item, attribute, relation, other, otherAttribute, constant);
}

} // namespace

std::shared_ptr<StackView> StackView::initWithFrame(view::Rect frame) {
    return std::shared_ptr<StackView>(new StackView(frame));
}

std::shared_ptr<StackView> StackView::stackViewWithViews(const std::vector<std::shared_ptr<View>>& views) {
    auto stack = initWithFrame({});
    for (const auto& view : views) stack->addArrangedSubview(view);
    return stack;
}

void StackView::addArrangedSubview(const std::shared_ptr<View>& view) {
    // The stack places its arranged views, never their frames.
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(view);
    arrangedSubviews_.push_back(view);
}

std::vector<std::shared_ptr<LayoutConstraint>> StackView::arrangementConstraints() {
    const bool vertical = orientation_ == UserInterfaceLayoutOrientation::Vertical;
    const Axis along = vertical ? kVerticalAxis : kHorizontalAxis;
    const auto self = shared_from_this();
    std::vector<std::shared_ptr<LayoutConstraint>> constraints;
    std::shared_ptr<View> previous;
    for (const auto& view : arrangedSubviews_) {
        constraints.push_back(previous ? relate(view, along.start, LayoutRelation::Equal, previous, along.end, spacing_)
                                       : relate(view, along.start, LayoutRelation::Equal, self, along.start));
        for (auto& constraint : alignmentConstraints(view)) constraints.push_back(std::move(constraint));
        previous = view;
    }
    if (previous) constraints.push_back(relate(previous, along.end, LayoutRelation::Equal, self, along.end));
    return constraints;
}

std::vector<std::shared_ptr<LayoutConstraint>> StackView::layoutConstraints() {
    auto all = constraints();
    for (auto& arrangement : arrangementConstraints()) all.push_back(std::move(arrangement));
    return all;
}

std::vector<std::shared_ptr<LayoutConstraint>> StackView::alignmentConstraints(const std::shared_ptr<View>& view) {
    const bool vertical = orientation_ == UserInterfaceLayoutOrientation::Vertical;
    const Axis across = vertical ? kHorizontalAxis : kVerticalAxis;
    const auto self = shared_from_this();
    const auto relation = [&](LayoutAttribute edge, LayoutRelation inside) {
        return relate(view, edge, alignment_ == edge ? LayoutRelation::Equal : inside, self, edge);
    };
    std::vector<std::shared_ptr<LayoutConstraint>> constraints{
        relation(across.start, LayoutRelation::GreaterThanOrEqual),
        relation(across.end, LayoutRelation::LessThanOrEqual)};
    if (alignment_ == across.centre) {
        constraints.push_back(relate(view, across.centre, LayoutRelation::Equal, self, across.centre));
    }
    return constraints;
}

} // namespace ui
