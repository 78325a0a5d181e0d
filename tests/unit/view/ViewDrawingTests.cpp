#include "tests/support/ViewChangeCounter.h"

#include "platform/graphics/Color.h"
#include "platform/view/View.h"
#include "platform/view/Window.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

// A view that fills a rectangle of its own with a colour.
class FillingView : public view::View {
public:
    static std::shared_ptr<FillingView> make(view::Rect frame, view::Rect filled, graphics::Color color) {
        return std::shared_ptr<FillingView>(new FillingView(frame, filled, color));
    }
    std::vector<view::Rect> dirtyRects;

    void drawRect(view::Rect dirtyRect) override {
        dirtyRects.push_back(dirtyRect);
        color_.setFill();
        graphics::RectFill(filled_);
    }

private:
    FillingView(view::Rect frame, view::Rect filled, graphics::Color color)
        : View(frame), filled_(filled), color_(color) {}
    view::Rect filled_;
    graphics::Color color_;
};

using RGBA = std::array<int, 4>;

// A pixel of the window's contents, counted from the top-left corner.
RGBA pixelAt(const view::Window& window, int x, int y) {
    cairo_surface_t* surface = window.contents()->cairoSurface();
    cairo_surface_flush(surface);
    const auto* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[x];
    return {int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff), int(pixel >> 24)};
}

constexpr graphics::Color kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1}, kGrey{0.5, 0.5, 0.5, 1};

} // namespace

TEST(ViewDrawing, ViewsPaintTheirLayerThenTheirOwnDrawingInTheirPlaceBottomUp) {
    const auto window =
        view::Window::initWithContentRect({{0, 0}, {40, 20}}, view::WindowStyleMaskBorderless, nullptr, 2.0);
    const auto& content = window->contentView();
    content->setWantsLayer(true);
    content->layer()->backgroundColor = kGrey;
    // The lower-left quarter of the window, painting its own left half red.
    const auto view = FillingView::make({{0, 0}, {20, 10}}, {{0, 0}, {10, 10}}, kRed);
    view->setWantsLayer(true);
    view->layer()->backgroundColor = kBlue;
    content->addSubview(view);
    view->setNeedsDisplay(true);
    view->displayIfNeeded();

    ASSERT_NE(window->contents(), nullptr);
    EXPECT_EQ(window->contents()->pixelsWide(), 80u) << "points times the backing scale";
    struct Probe {
        int x, y;
        RGBA expected;
    };
    for (const auto& probe : {Probe{5, 5, {128, 128, 128, 255}}, Probe{5, 35, {255, 0, 0, 255}},
                              Probe{30, 35, {0, 0, 255, 255}}, Probe{60, 35, {128, 128, 128, 255}}}) {
        EXPECT_EQ(pixelAt(*window, probe.x, probe.y), probe.expected) << probe.x << "," << probe.y;
    }
    ASSERT_EQ(view->dirtyRects.size(), 1u);
    EXPECT_EQ(view->dirtyRects[0].size.width, 20.0) << "asked to draw its whole bounds";
    EXPECT_FALSE(view->needsDisplay());
}

TEST(ViewDrawing, HiddenViewsAndViewsThatNeedNoDisplayDrawNothing) {
    const auto window = view::Window::initWithContentRect({{0, 0}, {20, 20}});
    const auto view = FillingView::make({{0, 0}, {20, 20}}, {{0, 0}, {20, 20}}, kRed);
    window->contentView()->addSubview(view);
    view->setHidden(true);
    view->setNeedsDisplay(true);
    window->displayIfNeeded();
    EXPECT_TRUE(view->dirtyRects.empty());
    EXPECT_EQ(pixelAt(*window, 10, 10)[3], 0) << "nothing was drawn there";

    view->setHidden(false);
    view->setNeedsDisplay(true);
    window->displayIfNeeded();
    window->displayIfNeeded();
    EXPECT_EQ(view->dirtyRects.size(), 1u) << "drawn once, then nothing is pending";
}

// As a toolkit that shows each view in a widget of its own draws one: the
// view alone, at its size, and told to its observer when it must be drawn
// again.
TEST(ViewDrawing, AViewDrawsIntoABitmapOfItsOwnAndSaysWhenItNeedsDisplay) {
    const auto view = FillingView::make({{5, 5}, {30, 20}}, {{0, 0}, {15, 20}}, kRed);
    ViewChangeCounter counter;
    view->setObserver(&counter);
    const auto bitmap = view->displayIntoBitmap(2.0);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->pixelsWide(), 60u);
    EXPECT_EQ(bitmap->pixelsHigh(), 40u);
    EXPECT_EQ(counter.changes, 0) << "drawing is no change";

    view->setNeedsDisplay(true);
    EXPECT_EQ(counter.changes, 1);
    view->setNeedsDisplay(false);
    EXPECT_EQ(counter.changes, 1) << "only a need to draw is news";
}
