// The settings sheet as the presenter shows it: where its constraints put
// each view, given the views' natural sizes, and how it looks.
#include "tests/unit/ui/gtk/PresenterFixture.h"

#include "sheet/KORLANFlowConfigurationController.h"

#include "tests/support/ScratchConfigHome.h"

#include <string>
#include <vector>

namespace {

struct SheetViews {
    explicit SheetViews(const KORLANFlowConfigurationController& controller) {
        const auto& top = controller.window()->contentView()->subviews();
        title = top.at(0);
        subtitle = top.at(1);
        rows = std::static_pointer_cast<ui::StackView>(top.at(2));
        buttons = std::static_pointer_cast<ui::StackView>(top.at(3));
    }
    std::shared_ptr<view::View> title, subtitle;
    std::shared_ptr<ui::StackView> rows, buttons;
};

// One relation of the layout: the value found and the value the
// constraints give.
struct Placement {
    std::string what;
    double found;
    double expected;
};

double maxX(const view::Rect& frame) { return frame.origin.x + frame.size.width; }
double midY(const view::Rect& frame) { return frame.origin.y + frame.size.height / 2; }

std::vector<Placement> placements(const SheetViews& views) {
    const auto title = frameInWindow(*views.title);
    const auto subtitle = frameInWindow(*views.subtitle);
    const auto rows = frameInWindow(*views.rows);
    const auto buttons = frameInWindow(*views.buttons);
    std::vector<Placement> placed = {
        {"title leading", title.origin.x, 28},
        {"title top", title.origin.y, 24},
        {"subtitle leading", subtitle.origin.x, title.origin.x},
        {"subtitle top", subtitle.origin.y, title.maxY() + 5},
        {"rows leading", rows.origin.x, 28},
        {"rows trailing", maxX(rows), 540 - 28},
        {"rows top", rows.origin.y, subtitle.maxY() + 22},
        {"rows height", rows.size.height, 3 * 76 + 2 * 10},
        {"buttons leading", buttons.origin.x, 28},
        {"buttons trailing", maxX(buttons), 540 - 28},
        {"buttons bottom", buttons.maxY(), 414 - 22},
    };
    for (std::size_t row = 0; row < 3; ++row) {
        const auto& card = views.rows->arrangedSubviews().at(row);
        const std::string name = "card " + std::to_string(row + 1) + " ";
        const auto frame = frameInWindow(*card);
        const auto rowTitle = frameInWindow(*card->subviews().at(0));
        const auto explanation = frameInWindow(*card->subviews().at(1));
        const auto value = frameInWindow(*card->subviews().at(2));
        const auto slider = frameInWindow(*card->subviews().at(3));
        const std::vector<Placement> inCard = {
            {name + "leading", frame.origin.x, rows.origin.x},
            {name + "width", frame.size.width, rows.size.width},
            {name + "height", frame.size.height, 76},
            {name + "top", frame.origin.y, rows.origin.y + row * (76 + 10)},
            {name + "title leading", rowTitle.origin.x, frame.origin.x + 14},
            {name + "title top", rowTitle.origin.y, frame.origin.y + 10},
            {name + "value trailing", maxX(value), maxX(frame) - 14},
            {name + "value middle", midY(value), midY(rowTitle)},
            {name + "value width", value.size.width, 64},
            {name + "explanation leading", explanation.origin.x, rowTitle.origin.x},
            {name + "explanation top", explanation.origin.y, rowTitle.maxY() + 1},
            {name + "slider leading", slider.origin.x, frame.origin.x + 14},
            {name + "slider trailing", maxX(slider), maxX(frame) - 14},
            {name + "slider bottom", slider.maxY(), frame.maxY() - 8},
        };
        placed.insert(placed.end(), inCard.begin(), inCard.end());
        EXPECT_LE(maxX(explanation), value.origin.x - 8) << name;
    }
    const auto& arranged = views.buttons->arrangedSubviews();
    const auto standard = frameInWindow(*arranged.at(0));
    const auto cancel = frameInWindow(*arranged.at(2));
    const auto save = frameInWindow(*arranged.at(3));
    const std::vector<Placement> row = {
        {"Standard leading", standard.origin.x, buttons.origin.x},
        {"Sichern trailing", maxX(save), maxX(buttons)},
        {"Abbrechen before Sichern", maxX(cancel) + 10, save.origin.x},
        {"Standard middle", midY(standard), midY(buttons)},
        {"Abbrechen middle", midY(cancel), midY(buttons)},
        {"Sichern middle", midY(save), midY(buttons)},
    };
    placed.insert(placed.end(), row.begin(), row.end());
    EXPECT_GE(cancel.origin.x - maxX(standard), 60) << "the spacer and its two gaps";
    return placed;
}

class SheetPresentation : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        controller_ = KORLANFlowConfigurationController::init();
        ASSERT_TRUE(ui::gtk::present(controller_->window()));
        ASSERT_TRUE(runUntilLaidOut(*controller_->complexitySlider()));
    }

    ScratchConfigHome home_;
    std::shared_ptr<KORLANFlowConfigurationController> controller_;
};

} // namespace

TEST_F(SheetPresentation, PutsEveryViewWhereItsConstraintsSay) {
    for (const auto& placement : placements(SheetViews(*controller_))) {
        EXPECT_NEAR(placement.found, placement.expected, 1.0) << placement.what;
    }
}

TEST_F(SheetPresentation, ShowsTheColoursOfItsBackgroundCardsAndSaveButtonInTheDarkStyle) {
    const unsigned long window = shownWindow("KORLAN Flow");
    ASSERT_NE(window, 0u);
    const SheetViews views(*controller_);
    const auto card = frameInWindow(*views.rows->arrangedSubviews().at(0));
    const auto save = frameInWindow(*views.buttons->arrangedSubviews().at(3));
    const auto standard = frameInWindow(*views.buttons->arrangedSubviews().at(0));
    Pixels pixels;
    ASSERT_TRUE(runUntil([&] {
        pixels = display_->pixelsOf(window);
        return hasColour(pixels, 4, 4, 15, 18, 22);
    }));
    EXPECT_TRUE(hasColour(pixels, 530, 200, 15, 18, 22)) << "the content background";
    EXPECT_TRUE(hasColour(pixels, card.origin.x + 240, card.origin.y + 3, 24, 29, 27)) << "a card";
    EXPECT_TRUE(hasColour(pixels, card.origin.x, card.origin.y, 15, 18, 22, 2)) << "a card's rounded corner";
    EXPECT_TRUE(hasColour(pixels, save.origin.x + 6, save.origin.y + save.size.height / 2, 62, 107, 82, 3))
        << "the tint of Sichern";
    const Pixel button = pixels.at(standard.origin.x + 6, standard.origin.y + standard.size.height / 2);
    EXPECT_LT(button[0] + button[1] + button[2], 3 * 128) << "a dark button in the dark style";
}
