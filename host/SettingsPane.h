#pragma once

#include "platform/ui/Button.h"
#include "platform/view/WindowController.h"
#include "platform/view/ScreenSaverView.h"

#include <functional>
#include <memory>

// The saver's pane of the desktop's settings, as a screen-saver host shows
// it: the preview thumbnail, "Optionen …", which opens the saver's own
// settings sheet and has the keyboard focus (so Return opens it), and
// "Testen", which runs the saver in a window of its own.
class SettingsPane final : public view::WindowController {
public:
    using Handler = std::function<void()>;

    // The preview view is drawn in the pane; the handlers run when the user
    // asks for the sheet and for the test.
    static std::shared_ptr<SettingsPane> make(const std::shared_ptr<view::ScreenSaverView>& preview,
                                              Handler showOptions, Handler test);

    void showOptions(const ui::Action::Sender& sender);
    void test(const ui::Action::Sender& sender);

private:
    SettingsPane(Handler showOptions, Handler test)
        : showOptions_(std::move(showOptions)), test_(std::move(test)) {}
    void buildInterface(const std::shared_ptr<view::ScreenSaverView>& preview);

    Handler showOptions_;
    Handler test_;
};
