#include "platform/view/x11/EventSource.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/view/x11/Connection.h"

#include <glib.h>

namespace view::x11 {

namespace {

struct ConnectionSource {
    GSource base;
    Connection* connection;

    static Connection& of(GSource* source) { return *reinterpret_cast<ConnectionSource*>(source)->connection; }
    static gboolean prepare(GSource* source, gint* timeout) {
        *timeout = -1;
        return of(source).hasEvents();
    }
    static gboolean check(GSource* source) { return of(source).hasEvents(); }
    static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
        of(source).dispatchEvents();
        return G_SOURCE_CONTINUE;
    }

    static inline GSourceFuncs functions = {
        .prepare = &prepare,
        .check = &check,
        .dispatch = &dispatch,
        .finalize = nullptr,
        .closure_callback = nullptr,
        .closure_marshal = nullptr,
    };
};

} // namespace

void watchConnection(Connection& connection, int fileDescriptor) {
    // Attached for the life of the process, like the connection.
    GSource* source = g_source_new(&ConnectionSource::functions, sizeof(ConnectionSource));
    reinterpret_cast<ConnectionSource*>(source)->connection = &connection;
    g_source_set_name(source, "KORLAN Flow X connection");
    g_source_add_unix_fd(source, fileDescriptor, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR));
    g_source_attach(source, dispatch::MainQueue::shared().context());
}

} // namespace view::x11
