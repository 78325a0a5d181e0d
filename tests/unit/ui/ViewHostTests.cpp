#include "platform/graphics/BitmapImage.h"
#include "platform/ui/ViewHost.h"

#include <gtest/gtest.h>

namespace {

// Fills itself with the colour it is given.
class FilledView : public view::View {
public:
    static std::shared_ptr<FilledView> make() { return std::shared_ptr<FilledView>(new FilledView()); }
    void drawRect(view::Rect dirtyRect) override {
        ++draws;
        colour.setFill();
        graphics::RectFill(dirtyRect);
    }
    graphics::Color colour{1.0, 0.0, 0.0, 1.0};
    int draws = 0;

private:
    FilledView() : View({{0, 0}, {1, 1}}) {}
};

class ChangeCounter : public ui::ViewObserver {
public:
    void viewDidChange(ui::View&) override { ++changes; }
    int changes = 0;
};

std::array<std::uint8_t, 4> centrePixel(const graphics::BitmapImageRep& contents) {
    const auto image = contents.CGImage();
    const auto* pixel = image->bytes().data() + (image->height() / 2) * image->bytesPerRow() + image->width() / 2 * 4;
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

} // namespace

TEST(ViewHost, DrawsItsViewAtItsSizeAndAgainOnlyWhenTheViewChanged) {
    const auto view = FilledView::make();
    const auto host = ui::ViewHost::initWithView(view, {30, 20});
    EXPECT_EQ(host->frame().size.width, 30);
    EXPECT_EQ(view->frame().size.height, 20) << "the view takes the host's size";

    const auto first = host->contents();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pixelsWide(), 30u);
    EXPECT_EQ(centrePixel(*first), (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
    host->contents();
    EXPECT_EQ(view->draws, 1) << "nothing changed, nothing drawn";

    ChangeCounter counter;
    host->setObserver(&counter);
    view->colour = {0.0, 0.0, 1.0, 1.0};
    host->setNeedsDisplay();
    EXPECT_EQ(counter.changes, 1) << "the presentation learns it must paint again";
    EXPECT_EQ(centrePixel(*host->contents()), (std::array<std::uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(view->draws, 2);
}
