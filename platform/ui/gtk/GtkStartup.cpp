#include "platform/ui/gtk/Presenter.h"

#include <gtk/gtk.h>

#include <mutex>

namespace ui::gtk {

bool initialize(foundation::ErrorRef* error) {
    static std::once_flag once;
    static bool started = false;
    // GTK attaches its sources to the thread-default context, which on the
    // main thread is the main queue's.
    std::call_once(once, [] {
        // The process keeps its locale: numbers in files and style sheets
        // are written with a point, and the settings sheet formats for the
        // user's locale itself.
        gtk_disable_setlocale();
        // What window managers and compositors know the windows by (the
        // Wayland application id, the X class).
        g_set_prgname("korlan-flow");
        started = gtk_init_check();
    });
    if (!started && error) {
        *error = foundation::makeError(kPresenterErrorDomain, PresenterErrorNoDisplay,
                                       "No display to show the settings on (DISPLAY is not set or cannot be opened).");
    }
    return started;
}

} // namespace ui::gtk
