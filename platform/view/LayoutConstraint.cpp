#include "platform/view/LayoutConstraint.h"

#include "platform/view/View.h"

namespace view {

LayoutConstraint::LayoutConstraint(const std::shared_ptr<View>& firstItem, LayoutAttribute firstAttribute,
                                   LayoutRelation relation, const std::shared_ptr<View>& secondItem,
                                   LayoutAttribute secondAttribute, double constant)
    : firstItem_(firstItem), firstAttribute_(firstAttribute), relation_(relation), secondItem_(secondItem),
      secondAttribute_(secondAttribute), constant_(constant) {}

std::shared_ptr<LayoutConstraint> LayoutConstraint::constraintWithItem(const std::shared_ptr<View>& firstItem,
                                                                       LayoutAttribute firstAttribute,
                                                                       LayoutRelation relation,
                                                                       const std::shared_ptr<View>& secondItem,
                                                                       LayoutAttribute secondAttribute,
                                                                       double constant) {
    return std::shared_ptr<LayoutConstraint>(
        new LayoutConstraint(firstItem, firstAttribute, relation, secondItem, secondAttribute, constant));
}

void LayoutConstraint::activateConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints) {
    for (const auto& constraint : constraints) constraint->setActive(true);
}

void LayoutConstraint::setActive(bool active) {
    const auto item = firstItem();
    if (active == active_ || !item) return;
    // The view may hold the last reference to this constraint.
    const auto self = shared_from_this();
    active_ = active;
    if (active) {
        item->addConstraint(self);
    } else {
        item->removeConstraint(*this);
    }
}

} // namespace view
