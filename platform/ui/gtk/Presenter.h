#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/Error.h"
#include "platform/view/Window.h"

#include <memory>

// Shows windows as real GTK 4 windows: the window backend that shows each
// view as a widget. GTK runs on the main queue's GLib context, so the
// windows need no loop of their own: running the main queue runs them. No
// GTK type leaves this folder.
namespace ui::gtk {

using view::Window;

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

// Shows the window as a top-level window from now on, for as long as it
// keeps the backend this gives it: its views as widgets placed by their
// constraints, following every change of what they show, and the user's
// input handed back to them (a slider's moves, a button's clicks, key
// equivalents, closing), with the keyboard focus on its initial first
// responder. After each frame the views' frames hold where the layout put
// them. False, with an error, without a display or for constraints no
// layout can hold.
KF_PLATFORM_API bool present(const std::shared_ptr<Window>& window, foundation::ErrorRef* error = nullptr);

// Attaches the sheet to the window and shows it as a modal dialog over it;
// when the sheet ends the dialog goes and the handler learns how it ended.
// False, with an error, when it cannot be shown; false while another sheet
// is attached.
KF_PLATFORM_API bool beginSheet(const std::shared_ptr<Window>& window, const std::shared_ptr<Window>& sheet,
                                Window::SheetCompletionHandler handler, foundation::ErrorRef* error = nullptr);

} // namespace ui::gtk
