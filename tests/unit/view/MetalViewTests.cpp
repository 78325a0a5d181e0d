#include "platform/view/MetalView.h"
#include "platform/view/Window.h"
#include "tests/support/RecordingDevice.h"

#include <gtest/gtest.h>

namespace {

struct SizeLog : view::MetalViewDelegate {
    std::vector<view::Size> sizes;
    int frames = 0;
    void drawInMTKView(view::MetalView&) override { ++frames; }
    void mtkViewDrawableSizeWillChange(view::MetalView&, view::Size size) override { sizes.push_back(size); }
};

} // namespace

TEST(MetalView, ItsDrawableHasItsBoundsInPixelsOfWhereItIsShown) {
    const auto device = std::make_shared<testing_gpu::RecordingDevice>();
    struct Case {
        const char* what;
        double windowScale;
        bool inWindow;
        view::Size expected;
    };
    for (const auto& c : {Case{"windowless at its own scale", 1.0, false, {300, 150}},
                          Case{"in a window of scale 2", 2.0, true, {400, 200}},
                          Case{"in a window of scale 1", 1.0, true, {200, 100}}}) {
        const auto metal = view::MetalView::initWithFrame({{0, 0}, {200, 100}}, device, 1.5);
        if (c.inWindow) {
            const auto window = view::Window::initWithContentRect({{0, 0}, {200, 100}}, view::WindowStyleMaskBorderless,
                                                                    nullptr, c.windowScale);
            window->contentView()->addSubview(metal);
            metal->layoutSubtreeIfNeeded();
            const auto drawable = metal->currentDrawable();
            ASSERT_NE(drawable, nullptr) << c.what;
            EXPECT_EQ(drawable->texture()->width(), std::uint64_t(c.expected.width)) << c.what;
        }
        EXPECT_EQ(metal->drawableSize().width, c.expected.width) << c.what;
        EXPECT_EQ(metal->drawableSize().height, c.expected.height) << c.what;
    }
}

TEST(MetalView, AResizedViewTellsItsDelegateAtTheNextLayoutUnlessItsDrawableSizeIsFixed) {
    const auto device = std::make_shared<testing_gpu::RecordingDevice>();
    for (const bool autoResize : {true, false}) {
        const auto window = view::Window::initWithContentRect({{0, 0}, {200, 100}});
        const auto metal = view::MetalView::initWithFrame({{0, 0}, {200, 100}}, device);
        metal->setAutoresizingMask(view::ViewWidthSizable | view::ViewHeightSizable);
        metal->setAutoResizeDrawable(autoResize);
        const auto log = std::make_shared<SizeLog>();
        metal->setDelegate(log);
        window->contentView()->addSubview(metal);
        metal->layoutSubtreeIfNeeded();
        log->sizes.clear();

        window->backendDidResize({300, 120});
        const view::Size expected = autoResize ? view::Size{300, 120} : view::Size{200, 100};
        EXPECT_EQ(metal->drawableSize().width, expected.width) << "autoResize " << autoResize;
        EXPECT_EQ(log->sizes.size(), autoResize ? 1u : 0u) << "autoResize " << autoResize;
        const auto drawable = metal->currentDrawable();
        ASSERT_NE(drawable, nullptr);
        EXPECT_EQ(drawable->texture()->height(), std::uint64_t(expected.height)) << "autoResize " << autoResize;
    }
}

TEST(MetalView, DrawsOnlyWhenAskedAndGivesNoDrawableWhileEmpty) {
    const auto device = std::make_shared<testing_gpu::RecordingDevice>();
    const auto metal = view::MetalView::initWithFrame({{0, 0}, {0, 100}}, device);
    const auto log = std::make_shared<SizeLog>();
    metal->setDelegate(log);
    EXPECT_EQ(metal->currentDrawable(), nullptr);
    metal->draw();
    metal->draw();
    EXPECT_EQ(log->frames, 2);
    EXPECT_TRUE(device->drawableSources().empty()) << "no drawables are made for an empty view";
}

TEST(MetalView, ReleasedDrawablesAreMadeAnewForTheNextFrame) {
    const auto device = std::make_shared<testing_gpu::RecordingDevice>();
    const auto metal = view::MetalView::initWithFrame({{0, 0}, {64, 64}}, device);
    ASSERT_NE(metal->currentDrawable(), nullptr);
    ASSERT_NE(metal->currentDrawable(), nullptr);
    EXPECT_EQ(device->drawableSources().size(), 1u);
    metal->releaseDrawables();
    ASSERT_NE(metal->currentDrawable(), nullptr);
    EXPECT_EQ(device->drawableSources().size(), 2u);
}
