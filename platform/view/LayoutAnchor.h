#pragma once

#include "platform/view/LayoutConstraint.h"

#include <memory>

namespace view {

// An edge or centre of a view along one axis, or one of its sizes: what
// constraints are made from. Only anchors of the same kind can be related,
// so a leading edge is never tied to a top edge.
template <class Kind>
class LayoutAnchor {
public:
    LayoutAnchor(std::weak_ptr<View> item, LayoutAttribute attribute)
        : item_(std::move(item)), attribute_(attribute) {}

    std::shared_ptr<View> item() const { return item_.lock(); }
    LayoutAttribute attribute() const { return attribute_; }

    std::shared_ptr<LayoutConstraint> constraintEqualToAnchor(const Kind& other, double constant = 0.0) const {
        return constraintTo(other, LayoutRelation::Equal, constant);
    }
    std::shared_ptr<LayoutConstraint> constraintLessThanOrEqualToAnchor(const Kind& other,
                                                                        double constant = 0.0) const {
        return constraintTo(other, LayoutRelation::LessThanOrEqual, constant);
    }
    std::shared_ptr<LayoutConstraint> constraintGreaterThanOrEqualToAnchor(const Kind& other,
                                                                           double constant = 0.0) const {
        return constraintTo(other, LayoutRelation::GreaterThanOrEqual, constant);
    }

protected:
    std::shared_ptr<LayoutConstraint> constraintTo(const Kind& other, LayoutRelation relation,
                                                   double constant) const {
        return LayoutConstraint::constraintWithItem(item(), attribute_, relation, other.item(), other.attribute(),
                                                    constant);
    }

private:
    std::weak_ptr<View> item_;
    LayoutAttribute attribute_;
};

class LayoutXAxisAnchor : public LayoutAnchor<LayoutXAxisAnchor> {
    using LayoutAnchor::LayoutAnchor;
};

class LayoutYAxisAnchor : public LayoutAnchor<LayoutYAxisAnchor> {
    using LayoutAnchor::LayoutAnchor;
};

// A width or a height, which can also be held to a constant.
class LayoutDimension : public LayoutAnchor<LayoutDimension> {
public:
    using LayoutAnchor::LayoutAnchor;

    std::shared_ptr<LayoutConstraint> constraintEqualToConstant(double constant) const {
        return constantConstraint(LayoutRelation::Equal, constant);
    }
    std::shared_ptr<LayoutConstraint> constraintGreaterThanOrEqualToConstant(double constant) const {
        return constantConstraint(LayoutRelation::GreaterThanOrEqual, constant);
    }

private:
    std::shared_ptr<LayoutConstraint> constantConstraint(LayoutRelation relation, double constant) const {
        return LayoutConstraint::constraintWithItem(item(), attribute(), relation, nullptr,
                                                    LayoutAttribute::NotAnAttribute, constant);
    }
};

} // namespace view
