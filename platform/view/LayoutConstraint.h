#pragma once

#include "platform/PlatformExport.h"

#include <memory>
#include <vector>

namespace view {

class View;

// The edges, centres and sizes a constraint relates, with the platform's
// numbering. Leading and trailing are left and right in a left-to-right
// layout.
enum class LayoutAttribute {
    NotAnAttribute = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4,
    Leading = 5,
    Trailing = 6,
    Width = 7,
    Height = 8,
    CenterX = 9,
    CenterY = 10,
};

enum class LayoutRelation { LessThanOrEqual = -1, Equal = 0, GreaterThanOrEqual = 1 };

// One linear relation between views, kept as data for whoever lays them
// out: first item's attribute (relation) second item's attribute × 1 +
// constant, or, without a second item, (relation) constant. Every
// constraint is required. The items are not owned: a constraint never keeps
// a view alive.
//
// An active constraint is kept by its first item, among that view's
// constraints; deactivating it takes it out again.
class KF_PLATFORM_API LayoutConstraint : public std::enable_shared_from_this<LayoutConstraint> {
public:
    static std::shared_ptr<LayoutConstraint> constraintWithItem(const std::shared_ptr<View>& firstItem,
                                                                LayoutAttribute firstAttribute,
                                                                LayoutRelation relation,
                                                                const std::shared_ptr<View>& secondItem,
                                                                LayoutAttribute secondAttribute, double constant);
    // Activates them in order; an expired first item leaves its constraint
    // inactive.
    static void activateConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);

    std::shared_ptr<View> firstItem() const { return firstItem_.lock(); }
    LayoutAttribute firstAttribute() const { return firstAttribute_; }
    LayoutRelation relation() const { return relation_; }
    // Null for a constraint to a constant.
    std::shared_ptr<View> secondItem() const { return secondItem_.lock(); }
    LayoutAttribute secondAttribute() const { return secondAttribute_; }
    double constant() const { return constant_; }
    bool isActive() const { return active_; }
    void setActive(bool active);

private:
    LayoutConstraint(const std::shared_ptr<View>& firstItem, LayoutAttribute firstAttribute, LayoutRelation relation,
                     const std::shared_ptr<View>& secondItem, LayoutAttribute secondAttribute, double constant);

    std::weak_ptr<View> firstItem_;
    LayoutAttribute firstAttribute_;
    LayoutRelation relation_;
    std::weak_ptr<View> secondItem_;
    LayoutAttribute secondAttribute_;
    double constant_;
    bool active_ = false;
};

} // namespace view
