#include "tests/unit/saver/SaverHarness.h"

#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Pixel = std::array<int, 4>;

constexpr Pixel kBackground{15, 18, 22, 255};
constexpr Pixel kUntouched{255, 0, 255, 255};
constexpr Pixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};

// A 40 × 20 point raster filled with kUntouched, with a current context on it.
class Canvas {
public:
    explicit Canvas(graphics::ImageInterpolation interpolation = graphics::ImageInterpolation::None)
        : rep_(graphics::BitmapImageRep::initWithPixelsWide(40, 20)),
          context_(graphics::GraphicsContext::graphicsContextWithBitmapImageRep(rep_)) {
        graphics::GraphicsContext::saveGraphicsState();
        graphics::GraphicsContext::setCurrentContext(context_);
        context_->setImageInterpolation(interpolation);
        graphics::Color::colorWithSRGBRed(1.0, 0.0, 1.0, 1.0).setFill();
        graphics::RectFill({{0.0, 0.0}, {40.0, 20.0}});
    }
    ~Canvas() { graphics::GraphicsContext::restoreGraphicsState(); }

    const graphics::GraphicsContext& context() const { return *context_; }
    // Rows from the top.
    Pixel at(std::uint32_t x, std::uint32_t y) const {
        context_->flushGraphics();
        const auto image = rep_->CGImage();
        const auto bytes = image->row(y).subspan(x * 4, 4);
        return {bytes[0], bytes[1], bytes[2], bytes[3]};
    }

private:
    std::shared_ptr<graphics::BitmapImageRep> rep_;
    std::shared_ptr<graphics::GraphicsContext> context_;
};

class FallbackDrawing : public ::testing::Test {
protected:
    SaverHarness harness;
};

} // namespace

// The rectangle asked for is the left half; the picture goes over the whole
// view whatever was asked, stretched from 2 × 2 pixels to 40 × 20.
TEST_F(FallbackDrawing, PaintsTheBackgroundOverTheRectangleAndThePreviewPictureOverEverything) {
    struct Case {
        const char* name;
        bool isPreview, hasPicture;
        Pixel left, topRight, bottomRight;
    };
    const Case cases[] = {
        {"full screen", false, true, kBackground, kUntouched, kUntouched},
        {"preview without its picture", true, false, kBackground, kUntouched, kUntouched},
        {"preview", true, true, kRed, kGreen, kWhite},
    };
    for (const auto& c : cases) {
        harness.bundle.withResource("preview.png", c.hasPicture ? fourColourPicturePNG() : "");
        const auto saver = SaverHarness::newView(c.isPreview, {40.0, 20.0});
        const Canvas canvas;
        saver->drawRect({{0.0, 0.0}, {20.0, 20.0}});
        EXPECT_EQ(canvas.at(1, 1), c.left) << c.name;
        EXPECT_EQ(canvas.at(38, 1), c.topRight) << c.name;
        EXPECT_EQ(canvas.at(38, 18), c.bottomRight) << c.name;
        if (c.isPreview && c.hasPicture) {
            EXPECT_EQ(canvas.at(1, 18), kBlue) << c.name;
        }
    }
}

TEST_F(FallbackDrawing, StretchesThePictureSmoothlyAndGivesTheContextItsInterpolationBack) {
    const auto saver = SaverHarness::newView(true, {40.0, 20.0});
    const Canvas canvas(graphics::ImageInterpolation::None);
    saver->drawRect(saver->bounds());
    // Where red meets green, a smooth stretch mixes them; a blocky one would not.
    const Pixel boundary = canvas.at(19, 2);
    EXPECT_NE(boundary, kRed);
    EXPECT_NE(boundary, kGreen);
    EXPECT_EQ(canvas.context().imageInterpolation(), graphics::ImageInterpolation::None);
}

TEST_F(FallbackDrawing, DrawsNothingWithoutACurrentContext) {
    const Canvas canvas;
    graphics::GraphicsContext::setCurrentContext(nullptr);
    SaverHarness::newView(true, {40.0, 20.0})->drawRect({{0.0, 0.0}, {40.0, 20.0}});
    EXPECT_EQ(canvas.at(1, 1), kUntouched);
}

TEST_F(FallbackDrawing, AViewWithoutAGPUShowsTheBackgroundInItsWindow) {
    harness.useDevice(nullptr);
    const auto placed = SaverHarness::startedView();
    placed.window->displayIfNeeded();
    const auto image = placed.window->contents()->CGImage();
    for (const auto& [x, y] : {std::pair{0u, 0u}, std::pair{319u, 179u}, std::pair{160u, 90u}}) {
        const auto bytes = image->row(y).subspan(x * 4, 4);
        EXPECT_EQ((Pixel{bytes[0], bytes[1], bytes[2], bytes[3]}), kBackground) << x << "," << y;
    }
}

TEST_F(FallbackDrawing, TheSettingsNotificationReachesARenderingViewsRendererClamped) {
    const auto rendering = SaverHarness::startedView();
    const auto preview = SaverHarness::startedView(true, kOtherDisplay);
    harness.configHome.writeSettingsFile(KORLANFlowBundleIdentifier,
                                         "[de.korlan.flow]\nFlowSpeed=0.5\nFlowIntensity=0.1\nFlowComplexity=1.5\n");
    int sender = 0;
    foundation::NotificationCenter::defaultCenter().postNotificationName(KORLANFlowSettingsDidChangeNotification,
                                                                         &sender);
    const auto configuration = rendering.view->renderer()->configuration();
    EXPECT_EQ(configuration.speed, 0.5f);
    EXPECT_EQ(configuration.intensity, 0.35f);
    EXPECT_EQ(configuration.complexity, 1.5f);
    EXPECT_EQ(stateOf(*preview.view), SaverState::PreviewShowing);
}

TEST_F(FallbackDrawing, ThePrincipalClassAnswersTheHost) {
    const auto saverClass =
        foundation::ClassRegistry::shared().classNamed<view::ScreenSaverViewClass>("KORLANFlowScreenSaverView");
    ASSERT_NE(saverClass, nullptr);
    EXPECT_TRUE(saverClass->performGammaFade());
    const auto saver = saverClass->initWithFrame({{0.0, 0.0}, {296.0, 184.0}}, true);
    ASSERT_NE(std::dynamic_pointer_cast<KORLANFlowScreenSaverView>(saver), nullptr);
    EXPECT_TRUE(saver->isPreview() && saver->isOpaque() && saver->hasConfigureSheet());
}
