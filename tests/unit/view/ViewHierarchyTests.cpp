#include "platform/foundation/NotificationCenter.h"
#include "platform/view/View.h"
#include "platform/view/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A view that writes down each callback it receives, with what it sees of
// its window and superview at that moment.
class RecordingView : public view::View {
public:
    static std::shared_ptr<RecordingView> make(std::string name, std::vector<std::string>& log) {
        return std::shared_ptr<RecordingView>(new RecordingView(std::move(name), log));
    }

protected:
    void viewWillMoveToWindow(const std::shared_ptr<view::Window>& window) override {
        record(std::string("willMoveToWindow:") + (window ? "window" : "nil"));
    }
    void viewDidMoveToWindow() override { record("didMoveToWindow"); }
    void viewWillMoveToSuperview(const std::shared_ptr<view::View>& superview) override {
        record(std::string("willMoveToSuperview:") + (superview ? "view" : "nil"));
    }
    void viewDidMoveToSuperview() override { record("didMoveToSuperview"); }
    void viewDidHide() override { record("didHide"); }
    void viewDidUnhide() override { record("didUnhide"); }

private:
    RecordingView(std::string name, std::vector<std::string>& log)
        : View({{0, 0}, {100, 50}}), name_(std::move(name)), log_(log) {}

    void record(const std::string& event) {
        log_.push_back(name_ + " " + event + (window() ? " [in window" : " [no window") +
                       (superview() ? ", in superview]" : ", no superview]"));
    }

    std::string name_;
    std::vector<std::string>& log_;
};

std::shared_ptr<view::Window> offscreenWindow() {
    return view::Window::initWithContentRect({{0, 0}, {200, 100}});
}

} // namespace

TEST(ViewHierarchy, CallbacksComeAroundEveryChangeOfWindowSuperviewAndVisibility) {
    using Step = std::function<void(view::View& content, view::View& middle, view::View& child)>;
    const Step none = [](view::View&, view::View&, view::View&) {};
    const Step childInWindow = [](view::View& content, view::View&, view::View& child) {
        content.addSubview(child.shared_from_this());
    };
    struct Case {
        const char* what;
        Step setup;
        Step change;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"added to a view in a window", none, childInWindow,
         {"child willMoveToSuperview:view [no window, no superview]",
          "child willMoveToWindow:window [no window, no superview]",
          "child didMoveToWindow [in window, in superview]", "child didMoveToSuperview [in window, in superview]"}},
        {"removed from a view in a window", childInWindow,
         [](view::View&, view::View&, view::View& child) { child.removeFromSuperview(); },
         {"child willMoveToSuperview:nil [in window, in superview]",
          "child willMoveToWindow:nil [in window, in superview]", "child didMoveToWindow [no window, no superview]",
          "child didMoveToSuperview [no window, no superview]"}},
        {"its superview leaves the window",
         [](view::View& content, view::View& middle, view::View& child) {
             content.addSubview(middle.shared_from_this());
             middle.addSubview(child.shared_from_this());
         },
         [](view::View&, view::View& middle, view::View&) { middle.removeFromSuperview(); },
         {"child willMoveToWindow:nil [in window, in superview]", "child didMoveToWindow [no window, in superview]"}},
        {"hidden twice and shown again", childInWindow,
         [](view::View&, view::View&, view::View& child) {
             child.setHidden(true);
             child.setHidden(true);
             child.setHidden(false);
         },
         {"child didHide [in window, in superview]", "child didUnhide [in window, in superview]"}},
        {"its superview hidden and shown", childInWindow,
         [](view::View& content, view::View&, view::View&) {
             content.setHidden(true);
             content.setHidden(false);
         },
         {"child didHide [in window, in superview]", "child didUnhide [in window, in superview]"}},
        {"hidden inside a hidden superview", childInWindow,
         [](view::View& content, view::View&, view::View& child) {
             content.setHidden(true);
             child.setHidden(true);
             child.setHidden(false);
         },
         {"child didHide [in window, in superview]"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> log;
        const auto window = offscreenWindow();
        const auto middle = view::View::initWithFrame({{0, 0}, {100, 50}});
        const auto child = RecordingView::make("child", log);
        c.setup(*window->contentView(), *middle, *child);
        log.clear();
        c.change(*window->contentView(), *middle, *child);
        EXPECT_EQ(log, c.expected) << c.what;
    }
}

TEST(ViewHierarchy, AWindowsContentViewEntersAndLeavesItWithItsSubviews) {
    std::vector<std::string> log;
    const auto window = offscreenWindow();
    auto content = RecordingView::make("content", log);
    auto child = RecordingView::make("child", log);
    content->addSubview(child);
    log.clear();

    window->setContentView(content);
    window->setContentView(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "content willMoveToWindow:window [no window, no superview]",
                       "child willMoveToWindow:window [no window, in superview]",
                       "content didMoveToWindow [in window, no superview]",
                       "child didMoveToWindow [in window, in superview]",
                       "content willMoveToWindow:nil [in window, no superview]",
                       "child willMoveToWindow:nil [in window, in superview]",
                       "content didMoveToWindow [no window, no superview]",
                       "child didMoveToWindow [no window, in superview]",
                   }));
    EXPECT_EQ(content->frame().size.width, 200.0) << "the content view fills the window";
}

TEST(ViewHierarchy, SubviewsFollowTheirSuperviewAsTheirMaskSays) {
    struct Case {
        unsigned mask;
        view::Rect expected;
    };
    for (const auto& c : {Case{view::ViewNotSizable, {{10, 20}, {50, 30}}},
                          Case{view::ViewWidthSizable | view::ViewHeightSizable, {{10, 20}, {150, 130}}},
                          Case{view::ViewMinXMargin | view::ViewMinYMargin, {{110, 120}, {50, 30}}},
                          Case{view::ViewMinXMargin | view::ViewWidthSizable, {{60, 20}, {100, 30}}}}) {
        const auto container = view::View::initWithFrame({{0, 0}, {200, 100}});
        const auto child = view::View::initWithFrame({{10, 20}, {50, 30}});
        child->setAutoresizingMask(c.mask);
        container->addSubview(child);
        container->setFrameSize({300, 200});
        EXPECT_EQ(child->frame().origin.x, c.expected.origin.x) << "mask " << c.mask;
        EXPECT_EQ(child->frame().origin.y, c.expected.origin.y) << "mask " << c.mask;
        EXPECT_EQ(child->frame().size.width, c.expected.size.width) << "mask " << c.mask;
        EXPECT_EQ(child->frame().size.height, c.expected.size.height) << "mask " << c.mask;
    }
}

TEST(ViewHierarchy, ClosingAWindowTellsItsObserversOnceWithTheWindowAsSender) {
    const auto window = offscreenWindow();
    std::vector<const void*> senders;
    auto& center = foundation::NotificationCenter::defaultCenter();
    const auto observer = center.addObserverForName(view::kWindowWillCloseNotification, nullptr,
                                                    [&](const foundation::Notification& note) {
                                                        senders.push_back(note.object);
                                                        EXPECT_TRUE(window->isVisible()) << "told before it closes";
                                                    });
    window->close();
    window->close();
    center.removeObserver(observer);
    EXPECT_EQ(senders, std::vector<const void*>{window.get()});
    EXPECT_FALSE(window->isVisible());
}
