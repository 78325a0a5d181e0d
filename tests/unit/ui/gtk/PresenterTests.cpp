#include "tests/unit/ui/gtk/PresenterFixture.h"
#include "tests/unit/ui/WindowCloseCounter.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/view/LayoutConstraint.h"
#include "platform/ui/Slider.h"
#include "platform/ui/StackView.h"
#include "platform/ui/TextField.h"

#include <cstdlib>

namespace {

using view::LayoutConstraint;

// What a window's controls sent, in order.
class Recorder {
public:
    void act(const ui::Action::Sender& sender) {
        senders.push_back(sender);
        if (const auto slider = std::dynamic_pointer_cast<ui::Slider>(sender)) values.push_back(slider->doubleValue());
    }
    std::vector<ui::Action::Sender> senders;
    std::vector<double> values;
};

// A label, a slider across the window under it, and a row of two buttons
// at the bottom with a spacer between them; the second is pressed by
// Return.
struct TryOutWindow {
    explicit TryOutWindow(const std::string& title) {
        window = view::Window::initWithContentRect({{0, 0}, {400, 200}},
                                                 view::WindowStyleMaskTitled | view::WindowStyleMaskClosable);
        window->setTitle(title);
        const auto& content = window->contentView();
        const ui::Action action(recorder, &Recorder::act);
        label = ui::TextField::labelWithString("Ein Etikett");
        slider = ui::Slider::sliderWithValue(0.5, 0.0, 1.0, action);
        slider->setContinuous(true);
        first = ui::Button::buttonWithTitle("Erster", action);
        second = ui::Button::buttonWithTitle("Zweiter", action);
        second->setKeyEquivalent("\r");
        const auto spacer = view::View::initWithFrame({});
        const auto row = ui::StackView::stackViewWithViews({first, spacer, second});
        row->setSpacing(10);
        for (const std::shared_ptr<view::View>& view :
             {std::shared_ptr<view::View>(label), std::shared_ptr<view::View>(slider),
              std::shared_ptr<view::View>(row)}) {
            view->setTranslatesAutoresizingMaskIntoConstraints(false);
            content->addSubview(view);
        }
        LayoutConstraint::activateConstraints({
            label->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), 20),
            label->topAnchor().constraintEqualToAnchor(content->topAnchor(), 20),
            slider->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), 20),
            slider->trailingAnchor().constraintEqualToAnchor(content->trailingAnchor(), -20),
            slider->topAnchor().constraintEqualToAnchor(label->bottomAnchor(), 10),
            row->leadingAnchor().constraintEqualToAnchor(content->leadingAnchor(), 20),
            row->trailingAnchor().constraintEqualToAnchor(content->trailingAnchor(), -20),
            row->bottomAnchor().constraintEqualToAnchor(content->bottomAnchor(), -20),
            spacer->widthAnchor().constraintGreaterThanOrEqualToConstant(40),
        });
    }

    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    std::shared_ptr<view::Window> window;
    std::shared_ptr<ui::TextField> label;
    std::shared_ptr<ui::Slider> slider;
    std::shared_ptr<ui::Button> first;
    std::shared_ptr<ui::Button> second;
};

} // namespace

TEST_F(PresenterTest, LaysViewsOutByTheirConstraintsAndNaturalSizes) {
    TryOutWindow tryOut("Anordnung");
    ASSERT_TRUE(ui::gtk::present(tryOut.window));
    ASSERT_TRUE(runUntilLaidOut(*tryOut.second));
    const auto label = frameInWindow(*tryOut.label);
    const auto slider = frameInWindow(*tryOut.slider);
    const auto first = frameInWindow(*tryOut.first);
    const auto second = frameInWindow(*tryOut.second);
    EXPECT_EQ(label.origin.x, 20);
    EXPECT_EQ(label.origin.y, 20);
    EXPECT_EQ(slider.origin.x, 20);
    EXPECT_EQ(slider.size.width, 360);
    EXPECT_EQ(slider.origin.y, label.maxY() + 10);
    EXPECT_EQ(first.origin.x, 20);
    EXPECT_EQ(second.origin.x + second.size.width, 380);
    EXPECT_EQ(second.maxY(), 180);
    EXPECT_EQ(first.origin.y + first.size.height / 2, second.origin.y + second.size.height / 2);
    // Stretched, one of them would take some 200 points of free width.
    EXPECT_LT(first.size.width, 120) << "the buttons keep their natural widths";
    EXPECT_LT(second.size.width, 120);
    EXPECT_GT(second.origin.x - first.origin.x - first.size.width, 60) << "the spacer takes the free width";
}

TEST_F(PresenterTest, AChangedLabelTakesItsNewNaturalSize) {
    TryOutWindow tryOut("Etikett");
    ASSERT_TRUE(ui::gtk::present(tryOut.window));
    ASSERT_TRUE(runUntilLaidOut(*tryOut.label));
    const double shortWidth = tryOut.label->frame().size.width;
    tryOut.label->setStringValue("Ein viel, viel längeres Etikett");
    EXPECT_TRUE(runUntil([&] { return tryOut.label->frame().size.width > 2 * shortWidth; }));
    tryOut.label->setStringValue("Ein Etikett");
    EXPECT_TRUE(runUntil([&] { return tryOut.label->frame().size.width == shortWidth; }));
}

TEST_F(PresenterTest, DraggingASliderMovesItsValueAndSendsAsTheSliderAsks) {
    for (const bool continuous : {true, false}) {
        TryOutWindow tryOut(continuous ? "Stetig" : "Am Ende");
        tryOut.slider->setContinuous(continuous);
        ASSERT_TRUE(ui::gtk::present(tryOut.window));
        const unsigned long window = shownWindow(tryOut.window->title());
        ASSERT_TRUE(runUntilLaidOut(*tryOut.slider));
        const auto track = frameInWindow(*tryOut.slider);
        const double middle = track.origin.y + track.size.height / 2;
        const auto along = [&](double share) { return track.origin.x + track.size.width * share; };
        input_->pointAt(window, along(0.5), middle, "mousedown 1");
        for (const double share : {0.6, 0.7, 0.8}) {
            input_->pointAt(window, along(share), middle, "");
            const double before = tryOut.slider->doubleValue();
            EXPECT_TRUE(runUntil([&] { return tryOut.slider->doubleValue() > before; })) << share;
        }
        EXPECT_EQ(tryOut.recorder->values.size(), continuous ? 3u : 0u) << continuous;
        input_->run("mouseup 1");
        runUntil([&] { return tryOut.recorder->values.size() >= (continuous ? 3u : 1u); });
        ASSERT_FALSE(tryOut.recorder->values.empty());
        EXPECT_EQ(tryOut.recorder->values.back(), tryOut.slider->doubleValue());
        EXPECT_GT(tryOut.slider->doubleValue(), 0.7);
        for (std::size_t i = 1; i < tryOut.recorder->values.size(); ++i) {
            EXPECT_GT(tryOut.recorder->values[i], tryOut.recorder->values[i - 1]) << "every position, in order";
        }
    }
}

TEST_F(PresenterTest, AValueSetByTheProgramIsNotTakenForTheUsers) {
    TryOutWindow tryOut("Programm");
    ASSERT_TRUE(ui::gtk::present(tryOut.window));
    ASSERT_TRUE(runUntilLaidOut(*tryOut.slider));
    tryOut.slider->setDoubleValue(0.9);
    runUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_TRUE(tryOut.recorder->senders.empty());
    EXPECT_EQ(tryOut.slider->doubleValue(), 0.9);
}

TEST_F(PresenterTest, ReturnPressesTheKeyEquivalentButtonWhereverTheFocusIsAndOtherwiseTheFocusedOne) {
    struct Case {
        const char* what;
        bool keyEquivalent;
        const char* keys;
        const char* pressed;
    };
    const Case cases[] = {
        {"Return, with the focus on the first button", true, "Return", "Zweiter"},
        {"Return on the keypad", true, "KP_Enter", "Zweiter"},
        {"Return without a key equivalent", false, "Return", "Erster"},
        {"Control-Return", true, "ctrl+Return", nullptr},
    };
    for (const auto& c : cases) {
        TryOutWindow tryOut(c.what);
        if (!c.keyEquivalent) tryOut.second->setKeyEquivalent("");
        tryOut.window->setInitialFirstResponder(tryOut.first);
        ASSERT_TRUE(ui::gtk::present(tryOut.window));
        const unsigned long window = shownWindow(c.what);
        ASSERT_TRUE(runUntilLaidOut(*tryOut.second));
        input_->press(window, c.keys);
        runUntil([&] { return !tryOut.recorder->senders.empty(); }, std::chrono::seconds(c.pressed ? 10 : 1));
        if (!c.pressed) {
            EXPECT_TRUE(tryOut.recorder->senders.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(tryOut.recorder->senders.size(), 1u) << c.what;
        EXPECT_EQ(std::static_pointer_cast<ui::Button>(tryOut.recorder->senders[0])->title(), c.pressed) << c.what;
    }
}

TEST_F(PresenterTest, AClickPressesTheButtonUnderThePointer) {
    TryOutWindow tryOut("Klick");
    ASSERT_TRUE(ui::gtk::present(tryOut.window));
    const unsigned long window = shownWindow("Klick");
    ASSERT_TRUE(runUntilLaidOut(*tryOut.first));
    const auto button = frameInWindow(*tryOut.first);
    input_->pointAt(window, button.origin.x + button.size.width / 2, button.origin.y + button.size.height / 2,
                    "click 1");
    ASSERT_TRUE(runUntil([&] { return !tryOut.recorder->senders.empty(); }));
    EXPECT_EQ(tryOut.recorder->senders, std::vector<ui::Action::Sender>{tryOut.first});
}

TEST_F(PresenterTest, ClosingTheWindowTellsItsOwnerAndTakesItOffScreen) {
    TryOutWindow tryOut("Zumachen");
    ASSERT_TRUE(ui::gtk::present(tryOut.window));
    const unsigned long window = shownWindow("Zumachen");
    const WindowCloseCounter counter(tryOut.window.get());
    display_->requestClose(window);
    ASSERT_TRUE(runUntil([&] { return counter.closes == 1; }));
    EXPECT_FALSE(tryOut.window->isVisible());
}

TEST_F(PresenterTest, ASheetIsAModalDialogOverItsWindowUntilItEnds) {
    TryOutWindow parent("Fenster");
    TryOutWindow sheet("Blatt");
    ASSERT_TRUE(ui::gtk::present(parent.window));
    std::vector<view::ModalResponse> endings;
    ASSERT_TRUE(ui::gtk::beginSheet(parent.window, sheet.window,
                                      [&](view::ModalResponse code) { endings.push_back(code); }));
    EXPECT_NE(shownWindow("Blatt"), 0u);
    EXPECT_NE(sheet.window->backend(), nullptr);
    EXPECT_FALSE(ui::gtk::beginSheet(parent.window, TryOutWindow("Zweites Blatt").window, nullptr))
        << "one sheet at a time";
    TryOutWindow elsewhere("Anderswo");
    ASSERT_TRUE(ui::gtk::present(elsewhere.window));
    EXPECT_FALSE(ui::gtk::beginSheet(elsewhere.window, sheet.window, nullptr)) << "a sheet shown already";
    ASSERT_TRUE(runUntilLaidOut(*sheet.label));
    const double shortWidth = sheet.label->frame().size.width;
    sheet.label->setStringValue("Ein Etikett, das noch in Schritt ist");
    EXPECT_TRUE(runUntil([&] { return sheet.label->frame().size.width > 2 * shortWidth; }))
        << "the sheet's widgets still follow its views";

    input_->press(shownWindow("Blatt"), "Return");
    ASSERT_TRUE(runUntil([&] { return !sheet.recorder->senders.empty(); }));
    EXPECT_TRUE(parent.recorder->senders.empty()) << "the sheet has the keys, not its window";

    ui::Application::sharedApplication().endSheet(sheet.window, view::ModalResponseOK);
    EXPECT_EQ(endings, std::vector<view::ModalResponse>{view::ModalResponseOK});
    EXPECT_TRUE(runUntil([&] { return display_->windowNamed("Blatt") == 0; })) << "the dialog goes";
    EXPECT_EQ(sheet.window->backend(), nullptr);

    ASSERT_TRUE(ui::gtk::beginSheet(parent.window, sheet.window, nullptr)) << "and the same sheet can come again";
    EXPECT_NE(shownWindow("Blatt"), 0u);
}

TEST_F(PresenterTest, RefusesConstraintsThatNoLayoutCanHold) {
    TryOutWindow tryOut("Unmöglich");
    const auto box = view::View::initWithFrame({{0, 0}, {50, 50}});
    box->setWantsLayer(true);
    const auto inner = ui::TextField::labelWithString("innen");
    box->addSubview(inner);
    tryOut.window->contentView()->addSubview(box);
    inner->leadingAnchor().constraintEqualToAnchor(tryOut.label->leadingAnchor())->setActive(true);
    foundation::ErrorRef error;
    EXPECT_FALSE(ui::gtk::present(tryOut.window, &error));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->domain(), ui::gtk::kPresenterErrorDomain);
    EXPECT_EQ(error->code(), ui::gtk::PresenterErrorUnlayoutableConstraint);

    TryOutWindow parent("Mit unmöglichem Blatt");
    ASSERT_TRUE(ui::gtk::present(parent.window));
    foundation::ErrorRef sheetError;
    EXPECT_FALSE(ui::gtk::beginSheet(parent.window, tryOut.window, nullptr, &sheetError));
    ASSERT_NE(sheetError, nullptr);
    EXPECT_EQ(sheetError->code(), ui::gtk::PresenterErrorUnlayoutableConstraint);
    EXPECT_EQ(parent.window->attachedSheet(), nullptr) << "nothing attached";
}

TEST(PresenterWithoutDisplay, CannotStartAndSaysSo) {
    // In a process of its own, where GTK has not been started yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("GDK_BACKEND", "x11", 1);
            foundation::ErrorRef error;
            const bool started = ui::gtk::initialize(&error);
            const bool explained = error && error->code() == ui::gtk::PresenterErrorNoDisplay;
            std::exit(!started && explained && !ui::gtk::present(TryOutWindow("-").window) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
