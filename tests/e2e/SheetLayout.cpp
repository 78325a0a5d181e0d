#include "tests/e2e/SheetLayout.h"

#include "sheet/KORLANFlowConfigurationController.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/gtk/Presenter.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr double kWidth = 540, kHeight = 414, kMargin = 28;
constexpr double kCardHeight = 76, kGap = 10, kInset = 14, kValueWidth = 64;

view::Size sizeOf(const std::shared_ptr<view::View>& view) { return view->frame().size; }

} // namespace

SheetNaturalSizes measureSheetNaturalSizes() {
    const auto controller = KORLANFlowConfigurationController::init();
    ui::gtk::present(controller->window());
    dispatch::MainQueue::shared().runUntil(
        [&] { return controller->complexitySlider()->frame().size.height > 0; }, std::chrono::seconds(10));
    const auto& top = controller->window()->contentView()->subviews();
    SheetNaturalSizes sizes;
    sizes.title = sizeOf(top.at(0));
    sizes.subtitle = sizeOf(top.at(1));
    const auto& cards = top.at(2)->subviews();
    for (std::size_t row = 0; row < 3; ++row) {
        sizes.rowTitle[row] = sizeOf(cards.at(row)->subviews().at(0));
        sizes.explanation[row] = sizeOf(cards.at(row)->subviews().at(1));
    }
    sizes.valueHeight = sizeOf(controller->speedValueLabel()).height;
    sizes.sliderHeight = sizeOf(controller->speedSlider()).height;
    const auto& buttons = top.at(3)->subviews();
    sizes.standard = sizeOf(buttons.at(0));
    sizes.cancel = sizeOf(buttons.at(2));
    sizes.save = sizeOf(buttons.at(3));
    return sizes;
}

SheetLayout sheetLayoutFromConstraints(const SheetNaturalSizes& sizes) {
    SheetLayout layout;
    layout.title = {{kMargin, 24}, sizes.title};
    layout.subtitle = {{kMargin, layout.title.maxY() + 5}, sizes.subtitle};
    const double rowsTop = layout.subtitle.maxY() + 22;
    for (std::size_t index = 0; index < 3; ++index) {
        auto& row = layout.rows[index];
        row.card = {{kMargin, rowsTop + index * (kCardHeight + kGap)}, {kWidth - 2 * kMargin, kCardHeight}};
        const double left = row.card.origin.x + kInset;
        const double right = row.card.origin.x + row.card.size.width - kInset;
        row.title = {{left, row.card.origin.y + 10}, sizes.rowTitle[index]};
        const double titleMiddle = row.title.origin.y + row.title.size.height / 2;
        row.value = {{right - kValueWidth, titleMiddle - sizes.valueHeight / 2}, {kValueWidth, sizes.valueHeight}};
        row.explanation = {{left, row.title.maxY() + 1}, sizes.explanation[index]};
        row.slider = {{left, row.card.maxY() - 8 - sizes.sliderHeight}, {right - left, sizes.sliderHeight}};
    }
    // The button row: as high as its highest button, its bottom 22 above
    // the content's, every button on its middle; "Standard" at its leading
    // edge, "Sichern" at its trailing edge, "Abbrechen" 10 before it.
    const double rowHeight = std::max({sizes.standard.height, sizes.cancel.height, sizes.save.height});
    const double middle = kHeight - 22 - rowHeight / 2;
    const auto centred = [&](double x, view::Size size) { return view::Rect{{x, middle - size.height / 2}, size}; };
    layout.standard = centred(kMargin, sizes.standard);
    layout.save = centred(kWidth - kMargin - sizes.save.width, sizes.save);
    layout.cancel = centred(layout.save.origin.x - kGap - sizes.cancel.width, sizes.cancel);
    return layout;
}
