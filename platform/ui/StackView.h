#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/View.h"

#include <memory>
#include <vector>

namespace ui {

enum class UserInterfaceLayoutOrientation { Horizontal = 0, Vertical = 1 };

// A view that lines up its arranged views one after the other along its
// orientation, the given spacing apart, and aligns them across it: the
// vertical stack by their leading or trailing edges or centres, the
// horizontal one by their top or bottom edges or centres.
class KF_PLATFORM_API StackView : public view::View {
public:
    static std::shared_ptr<StackView> initWithFrame(view::Rect frame);
    // A horizontal stack of the views, in order, with the usual spacing of 8.
    static std::shared_ptr<StackView> stackViewWithViews(const std::vector<std::shared_ptr<view::View>>& views);

    UserInterfaceLayoutOrientation orientation() const { return orientation_; }
    void setOrientation(UserInterfaceLayoutOrientation orientation) { orientation_ = orientation; }
    view::LayoutAttribute alignment() const { return alignment_; }
    void setAlignment(view::LayoutAttribute alignment) { alignment_ = alignment; }
    double spacing() const { return spacing_; }
    void setSpacing(double spacing) { spacing_ = spacing; }

    const std::vector<std::shared_ptr<view::View>>& arrangedSubviews() const { return arrangedSubviews_; }
    // Also makes the view a subview, placed by the stack rather than by its
    // frame.
    void addArrangedSubview(const std::shared_ptr<view::View>& view);

    // The constraints by which the stack places its arranged views, as it
    // stands now: along the orientation, the first view's leading (or top)
    // edge on the stack's, each next one the spacing after the one before,
    // and the last one's trailing (or bottom) edge on the stack's; across
    // it, the alignment, and every view inside the stack. Made afresh on
    // each call and never active: they are the stack's own rules, for
    // whoever lays it out.
    std::vector<std::shared_ptr<view::LayoutConstraint>> arrangementConstraints();
    // The stack's own constraints and its arrangement.
    std::vector<std::shared_ptr<view::LayoutConstraint>> layoutConstraints() override;

protected:
    using view::View::View;

private:
    std::vector<std::shared_ptr<view::LayoutConstraint>> alignmentConstraints(
        const std::shared_ptr<view::View>& view);

    UserInterfaceLayoutOrientation orientation_ = UserInterfaceLayoutOrientation::Horizontal;
    view::LayoutAttribute alignment_ = view::LayoutAttribute::CenterY;
    double spacing_ = 8.0;
    std::vector<std::shared_ptr<view::View>> arrangedSubviews_;
};

} // namespace ui
