#include "platform/ui/StackView.h"
#include "platform/view/View.h"
#include "platform/view/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using view::LayoutAttribute;
using view::LayoutConstraint;
using view::LayoutRelation;
using view::View;

// A constraint written as the names of its parts, for comparing whole lists.
std::string describe(const LayoutConstraint& constraint, const std::function<std::string(const View*)>& nameOf) {
    const auto second = constraint.secondItem();
    return nameOf(constraint.firstItem().get()) + "." + std::to_string(static_cast<int>(constraint.firstAttribute())) +
           " " + std::to_string(static_cast<int>(constraint.relation())) + " " +
           (second ? nameOf(second.get()) + "." + std::to_string(static_cast<int>(constraint.secondAttribute()))
                   : std::string("-")) +
           " + " + std::to_string(constraint.constant());
}

std::string expect(const std::string& first, LayoutAttribute attribute, LayoutRelation relation,
                   const std::string& second, LayoutAttribute secondAttribute, double constant) {
    return first + "." + std::to_string(static_cast<int>(attribute)) + " " +
           std::to_string(static_cast<int>(relation)) + " " +
           (second.empty() ? std::string("-") : second + "." + std::to_string(static_cast<int>(secondAttribute))) +
           " + " + std::to_string(constant);
}

} // namespace

TEST(LayoutConstraints, AnchorsRecordItemsAttributesRelationsAndConstants) {
    const auto a = View::initWithFrame({});
    const auto b = View::initWithFrame({});
    const auto nameOf = [&](const View* view) { return view == a.get() ? "a" : view == b.get() ? "b" : "?"; };
    using L = LayoutAttribute;
    using R = LayoutRelation;
    struct Case {
        std::shared_ptr<LayoutConstraint> constraint;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {a->leadingAnchor().constraintEqualToAnchor(b->leadingAnchor(), 28),
         expect("a", L::Leading, R::Equal, "b", L::Leading, 28)},
        {a->trailingAnchor().constraintEqualToAnchor(b->trailingAnchor(), -28),
         expect("a", L::Trailing, R::Equal, "b", L::Trailing, -28)},
        {a->topAnchor().constraintEqualToAnchor(b->bottomAnchor(), 5),
         expect("a", L::Top, R::Equal, "b", L::Bottom, 5)},
        {a->centerYAnchor().constraintEqualToAnchor(b->centerYAnchor()),
         expect("a", L::CenterY, R::Equal, "b", L::CenterY, 0)},
        {a->trailingAnchor().constraintLessThanOrEqualToAnchor(b->leadingAnchor(), -8),
         expect("a", L::Trailing, R::LessThanOrEqual, "b", L::Leading, -8)},
        {a->centerXAnchor().constraintGreaterThanOrEqualToAnchor(b->centerXAnchor(), 1),
         expect("a", L::CenterX, R::GreaterThanOrEqual, "b", L::CenterX, 1)},
        {a->widthAnchor().constraintEqualToAnchor(b->widthAnchor()), expect("a", L::Width, R::Equal, "b", L::Width, 0)},
        {a->heightAnchor().constraintEqualToConstant(76), expect("a", L::Height, R::Equal, "", L::NotAnAttribute, 76)},
        {a->widthAnchor().constraintGreaterThanOrEqualToConstant(40),
         expect("a", L::Width, R::GreaterThanOrEqual, "", L::NotAnAttribute, 40)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(*c.constraint, nameOf), c.expected);
        EXPECT_FALSE(c.constraint->isActive()) << c.expected;
    }
}

TEST(LayoutConstraints, ActiveConstraintsAreKeptByTheirFirstItemInOrderUntilDeactivated) {
    const auto a = View::initWithFrame({});
    const auto b = View::initWithFrame({});
    const auto first = a->topAnchor().constraintEqualToAnchor(b->topAnchor(), 1);
    const auto second = a->heightAnchor().constraintEqualToConstant(2);
    const auto third = b->widthAnchor().constraintEqualToAnchor(a->widthAnchor());
    LayoutConstraint::activateConstraints({first, second, third});
    EXPECT_EQ(a->constraints(), (std::vector{first, second}));
    EXPECT_EQ(b->constraints(), (std::vector{third}));

    first->setActive(true);
    EXPECT_EQ(a->constraints().size(), 2u) << "activating twice keeps one";
    first->setActive(false);
    EXPECT_FALSE(first->isActive());
    EXPECT_EQ(a->constraints(), (std::vector{second}));
}

TEST(LayoutConstraints, NeverKeepAViewAlive) {
    auto a = View::initWithFrame({});
    auto b = View::initWithFrame({});
    const std::weak_ptr<View> watchA = a, watchB = b;
    const auto constraint = b->leadingAnchor().constraintEqualToAnchor(a->leadingAnchor());
    constraint->setActive(true);
    a.reset();
    b.reset();
    EXPECT_TRUE(watchA.expired());
    EXPECT_TRUE(watchB.expired());

    constraint->setActive(false);
    const auto orphan = LayoutConstraint::constraintWithItem(nullptr, LayoutAttribute::Width, LayoutRelation::Equal,
                                                             nullptr, LayoutAttribute::NotAnAttribute, 1);
    orphan->setActive(true);
    EXPECT_FALSE(orphan->isActive()) << "a constraint without its first item cannot be kept anywhere";
}

TEST(StackView, ArrangesItsViewsAlongItsOrientationAndAlignsThemAcrossIt) {
    using L = LayoutAttribute;
    using R = LayoutRelation;
    struct Case {
        const char* what;
        ui::UserInterfaceLayoutOrientation orientation;
        LayoutAttribute alignment;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"vertical, leading",
         ui::UserInterfaceLayoutOrientation::Vertical,
         L::Leading,
         {expect("v0", L::Top, R::Equal, "stack", L::Top, 0),
          expect("v0", L::Leading, R::Equal, "stack", L::Leading, 0),
          expect("v0", L::Trailing, R::LessThanOrEqual, "stack", L::Trailing, 0),
          expect("v1", L::Top, R::Equal, "v0", L::Bottom, 10),
          expect("v1", L::Leading, R::Equal, "stack", L::Leading, 0),
          expect("v1", L::Trailing, R::LessThanOrEqual, "stack", L::Trailing, 0),
          expect("v1", L::Bottom, R::Equal, "stack", L::Bottom, 0)}},
        {"horizontal, centred vertically",
         ui::UserInterfaceLayoutOrientation::Horizontal,
         L::CenterY,
         {expect("v0", L::Leading, R::Equal, "stack", L::Leading, 0),
          expect("v0", L::Top, R::GreaterThanOrEqual, "stack", L::Top, 0),
          expect("v0", L::Bottom, R::LessThanOrEqual, "stack", L::Bottom, 0),
          expect("v0", L::CenterY, R::Equal, "stack", L::CenterY, 0),
          expect("v1", L::Leading, R::Equal, "v0", L::Trailing, 10),
          expect("v1", L::Top, R::GreaterThanOrEqual, "stack", L::Top, 0),
          expect("v1", L::Bottom, R::LessThanOrEqual, "stack", L::Bottom, 0),
          expect("v1", L::CenterY, R::Equal, "stack", L::CenterY, 0),
          expect("v1", L::Trailing, R::Equal, "stack", L::Trailing, 0)}},
        {"vertical, trailing",
         ui::UserInterfaceLayoutOrientation::Vertical,
         L::Trailing,
         {expect("v0", L::Top, R::Equal, "stack", L::Top, 0),
          expect("v0", L::Leading, R::GreaterThanOrEqual, "stack", L::Leading, 0),
          expect("v0", L::Trailing, R::Equal, "stack", L::Trailing, 0),
          expect("v1", L::Top, R::Equal, "v0", L::Bottom, 10),
          expect("v1", L::Leading, R::GreaterThanOrEqual, "stack", L::Leading, 0),
          expect("v1", L::Trailing, R::Equal, "stack", L::Trailing, 0),
          expect("v1", L::Bottom, R::Equal, "stack", L::Bottom, 0)}},
    };
    for (const auto& c : cases) {
        const auto v0 = View::initWithFrame({});
        const auto v1 = View::initWithFrame({});
        const auto stack = ui::StackView::stackViewWithViews({v0, v1});
        stack->setOrientation(c.orientation);
        stack->setAlignment(c.alignment);
        stack->setSpacing(10);
        const auto nameOf = [&](const View* view) {
            return view == v0.get() ? "v0" : view == v1.get() ? "v1" : view == stack.get() ? "stack" : "?";
        };
        std::vector<std::string> described;
        for (const auto& constraint : stack->arrangementConstraints()) {
            described.push_back(describe(*constraint, nameOf));
            EXPECT_FALSE(constraint->isActive()) << c.what;
        }
        EXPECT_EQ(described, c.expected) << c.what;
        EXPECT_EQ(stack->subviews(), (std::vector<std::shared_ptr<View>>{v0, v1})) << c.what;
    }
    EXPECT_TRUE(ui::StackView::initWithFrame({})->arrangementConstraints().empty());
}

TEST(InterfaceViews, AViewMovesBetweenSuperviewsAndFindsItsWindowThroughThem) {
    const auto window = view::Window::initWithContentRect({{0, 0}, {200, 100}}, view::WindowStyleMaskTitled);
    const auto first = View::initWithFrame({});
    const auto second = View::initWithFrame({});
    const auto child = View::initWithFrame({});
    window->contentView()->addSubview(first);
    first->addSubview(child);
    EXPECT_EQ(child->window(), window);

    second->addSubview(child);
    EXPECT_TRUE(first->subviews().empty());
    EXPECT_EQ(child->superview(), second);
    EXPECT_EQ(child->window(), nullptr) << "second is in no window";

    child->removeFromSuperview();
    EXPECT_TRUE(second->subviews().empty());
    EXPECT_EQ(child->superview(), nullptr);
}
