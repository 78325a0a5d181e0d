#include "tests/unit/ui/WindowCloseCounter.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/view/Window.h"
#include "platform/view/WindowController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

std::shared_ptr<view::Window> titledWindow() {
    return view::Window::initWithContentRect({{0, 0}, {540, 414}}, view::WindowStyleMaskTitled);
}

// A controller whose window holds a button that targets the controller:
// the shape of every sheet.
class ButtonController : public view::WindowController {
public:
    static std::shared_ptr<ButtonController> make() {
        std::shared_ptr<ButtonController> controller(new ButtonController());
        if (!controller->adoptWindow(titledWindow())) return nullptr;
        controller->button = ui::Button::buttonWithTitle("Sichern", ui::Action(controller, &ButtonController::press));
        controller->window()->contentView()->addSubview(controller->button);
        return controller;
    }
    void press(const ui::Action::Sender&) { ++presses; }

    std::shared_ptr<ui::Button> button;
    int presses = 0;

private:
    ButtonController() = default;
};

} // namespace

TEST(InterfaceWindow, IsMadeOnlyForAPositiveFiniteContentSize) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    struct Case {
        double width, height;
        bool made;
    };
    for (auto c : {Case{540, 414, true}, Case{0.5, 1, true}, Case{0, 414, false}, Case{540, -1, false},
                   Case{kNaN, 414, false}, Case{540, kInfinity, false}}) {
        const auto window =
            view::Window::initWithContentRect({{10, 20}, {c.width, c.height}}, view::WindowStyleMaskTitled);
        ASSERT_EQ(window != nullptr, c.made) << c.width << "x" << c.height;
        if (!window) continue;
        EXPECT_EQ(window->contentView()->frame().size.width, c.width);
        EXPECT_EQ(window->contentView()->frame().origin.x, 0.0) << "the content view starts at the window's origin";
        EXPECT_EQ(window->contentView()->window(), window);
    }
}

TEST(InterfaceWindow, ANewContentViewTakesTheContentSizeAndTheOldOneLeaves) {
    const auto window = titledWindow();
    const auto old = window->contentView();
    const auto replacement = view::View::initWithFrame({{5, 5}, {10, 10}});
    window->setContentView(replacement);
    EXPECT_EQ(old->window(), nullptr);
    EXPECT_EQ(replacement->window(), window);
    EXPECT_EQ(replacement->frame().size.width, 540);
    EXPECT_EQ(replacement->frame().size.height, 414);
    EXPECT_EQ(replacement->frame().origin.x, 0);
}

TEST(InterfaceWindow, ClosingTellsObserversAndReleasesOnlyAWindowReleasedWhenClosed) {
    for (const bool released : {true, false}) {
        auto controller = ButtonController::make();
        std::weak_ptr<view::Window> watch = controller->window();
        controller->window()->setReleasedWhenClosed(released);
        {
            const WindowCloseCounter recorder(controller->window().get());
            controller->window()->close();
            EXPECT_EQ(recorder.closes, 1) << released;
        }
        EXPECT_EQ(watch.expired(), released);
        EXPECT_EQ(controller->window() == nullptr, released);
    }
}

TEST(InterfaceWindowController, ReleasedFreesItsWindowAndViewsDespiteTheirTargetingIt) {
    auto controller = ButtonController::make();
    ASSERT_NE(controller, nullptr);
    const std::weak_ptr<ButtonController> watchController = controller;
    const std::weak_ptr<view::Window> watchWindow = controller->window();
    const std::weak_ptr<ui::Button> watchButton = controller->button;
    controller->button->performClick();
    EXPECT_EQ(controller->presses, 1);
    EXPECT_EQ(controller->window()->windowController(), controller);

    controller.reset();
    EXPECT_TRUE(watchController.expired());
    EXPECT_TRUE(watchWindow.expired());
    EXPECT_TRUE(watchButton.expired());
}

TEST(InterfaceWindowController, NeedsAWindowWithoutAController) {
    EXPECT_EQ(view::WindowController::initWithWindow(nullptr), nullptr);
    const auto window = titledWindow();
    const auto first = view::WindowController::initWithWindow(window);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(view::WindowController::initWithWindow(window), nullptr);
    EXPECT_EQ(window->windowController(), first);
}

TEST(Sheets, EndingASheetDetachesItAndTellsWhoeverBeganItOnce) {
    for (const view::ModalResponse code : {view::ModalResponseOK, view::ModalResponseCancel}) {
        const auto parent = titledWindow();
        const auto sheet = titledWindow();
        std::vector<view::ModalResponse> endings;
        ASSERT_TRUE(parent->beginSheet(sheet, [&](view::ModalResponse response) { endings.push_back(response); }));
        EXPECT_EQ(parent->attachedSheet(), sheet);
        EXPECT_EQ(sheet->sheetParent(), parent);

        ui::Application::sharedApplication().endSheet(sheet, code);
        EXPECT_EQ(endings, std::vector<view::ModalResponse>{code});
        EXPECT_EQ(parent->attachedSheet(), nullptr);
        EXPECT_EQ(sheet->sheetParent(), nullptr);

        ui::Application::sharedApplication().endSheet(sheet, code);
        EXPECT_EQ(endings.size(), 1u) << "a sheet that ended cannot end again";
    }
}

TEST(Sheets, AWindowCarriesOneSheetAtATimeAndASheetOneParent) {
    const auto parent = titledWindow();
    const auto other = titledWindow();
    const auto sheet = titledWindow();
    const auto second = titledWindow();
    int endings = 0;
    const auto count = [&](view::ModalResponse) { ++endings; };
    ASSERT_TRUE(parent->beginSheet(sheet, count));
    EXPECT_FALSE(parent->beginSheet(second, count)) << "one sheet at a time";
    EXPECT_FALSE(other->beginSheet(sheet, count)) << "a sheet belongs to one window";
    EXPECT_FALSE(parent->beginSheet(parent, count));
    EXPECT_EQ(second->sheetParent(), nullptr);

    other->endSheet(sheet, view::ModalResponseOK);
    ui::Application::sharedApplication().endSheet(second, view::ModalResponseOK);
    ui::Application::sharedApplication().endSheet(nullptr, view::ModalResponseOK);
    EXPECT_EQ(endings, 0) << "only the parent ends its own sheet";
    EXPECT_EQ(parent->attachedSheet(), sheet);
}

TEST(InterfaceWindow, AKeyEquivalentPressesTheFirstButtonInTheTreeThatHasIt) {
    const auto window = titledWindow();
    std::vector<std::string> pressed;
    struct Presser {
        std::vector<std::string>& log;
        void press(const ui::Action::Sender& sender) {
            log.push_back(std::static_pointer_cast<ui::Button>(sender)->title());
        }
    };
    const auto presser = std::make_shared<Presser>(Presser{pressed});
    const auto group = view::View::initWithFrame({});
    const auto plain = ui::Button::buttonWithTitle("Standard", ui::Action(presser, &Presser::press));
    const auto nested = ui::Button::buttonWithTitle("Sichern", ui::Action(presser, &Presser::press));
    const auto later = ui::Button::buttonWithTitle("Auch Return", ui::Action(presser, &Presser::press));
    nested->setKeyEquivalent("\r");
    later->setKeyEquivalent("\r");
    window->contentView()->addSubview(plain);
    window->contentView()->addSubview(group);
    group->addSubview(nested);
    window->contentView()->addSubview(later);

    EXPECT_TRUE(window->performKeyEquivalent("\r"));
    EXPECT_FALSE(window->performKeyEquivalent("\x1b"));
    EXPECT_FALSE(window->performKeyEquivalent("")) << "a button without a key equivalent has none to match";
    EXPECT_EQ(pressed, std::vector<std::string>{"Sichern"});
}
