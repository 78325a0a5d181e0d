#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/Error.h"
#include "platform/ui/Window.h"

#include <memory>

// Shows the interface's plain objects as real GTK 4 windows. GTK runs on
// the main queue's GLib context, so the windows need no loop of their own:
// running the main queue runs them. No GTK type leaves this folder.
namespace ui::gtk {

// The error domain of the presenter's failures.
inline constexpr const char* kPresenterErrorDomain = "de.korlan.flow.Presenter";
enum PresenterErrorCode : long {
    // No display to show windows on (GTK could not be started).
    PresenterErrorNoDisplay = 1,
    // A constraint that no layout can hold: its items are neither siblings
    // nor a view and its superview.
    PresenterErrorUnlayoutableConstraint = 2,
};

// Starts GTK on the display the environment names, once per process; later
// calls answer as the first did. False, with an error, when there is none.
KF_PLATFORM_API bool initialize(foundation::ErrorRef* error = nullptr);

// One window shown on screen for as long as the object lives: its views as
// widgets placed by the window's constraints, following every change of
// what they show, and the user's input handed back to them (a slider's
// moves, a button's clicks, key equivalents, closing). After each frame the
// views' frames hold where the layout put them.
class KF_PLATFORM_API WindowPresentation {
public:
    // Shows the window as a top-level window, with the keyboard focus on its
    // initial first responder. Null, with an error, without a display or
    // for constraints no layout can hold.
    static std::unique_ptr<WindowPresentation> present(const std::shared_ptr<Window>& window,
                                                       foundation::ErrorRef* error = nullptr);
    ~WindowPresentation();
    WindowPresentation(const WindowPresentation&) = delete;
    WindowPresentation& operator=(const WindowPresentation&) = delete;

    const std::shared_ptr<Window>& window() const;

    // Attaches the sheet to this window and shows it as a modal dialog over
    // it; when the sheet ends the dialog goes and the handler learns how it
    // ended. False, with an error, when it cannot be shown; false while
    // another sheet is attached.
    bool beginSheet(const std::shared_ptr<Window>& sheet, Window::SheetCompletionHandler handler,
                    foundation::ErrorRef* error = nullptr);
    // The presentation of the attached sheet; null when there is none.
    WindowPresentation* sheetPresentation() const;

    struct Shown;

private:
    explicit WindowPresentation(std::shared_ptr<Shown> shown) : shown_(std::move(shown)) {}
    // Builds the window's widgets without showing them.
    static std::unique_ptr<WindowPresentation> realize(const std::shared_ptr<Window>& window,
                                                       foundation::ErrorRef* error);

    std::shared_ptr<Shown> shown_;
};

} // namespace ui::gtk
