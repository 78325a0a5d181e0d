#include "platform/view/wayland/EventSource.h"

#include "platform/dispatch/MainQueueContext.h"
#include "platform/view/wayland/Connection.h"

#include <wayland-client.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace view::wayland {

namespace {

struct EventSource {
    GSource base;
    Connection* connection;
    gpointer descriptor;
    // Between a successful prepare-read and the read or cancel after the
    // wait.
    bool reading;
    // Whether the wait also watches for room to write.
    bool watchesOutput;

    static EventSource& of(GSource* source) { return *reinterpret_cast<EventSource*>(source); }
    static wl_display* displayOf(GSource* source) { return of(source).connection->display(); }

    static gboolean prepare(GSource* source, gint* timeout) {
        *timeout = -1;
        auto& self = of(source);
        // Dispatched once more, to let go of the connection.
        if (self.connection->hasHungUp()) return TRUE;
        if (self.reading) return FALSE;
        // Events already queued (read by another thread, say) are
        // dispatched before anything is read.
        if (wl_display_prepare_read(displayOf(source)) != 0) return TRUE;
        self.reading = true;
        // What is left in the socket's buffer goes out once it can take it.
        // Changed only when it changes: a change wakes the loop.
        const bool everythingSent = wl_display_flush(displayOf(source)) >= 0 || errno != EAGAIN;
        if (everythingSent == self.watchesOutput) {
            self.watchesOutput = !everythingSent;
            g_source_modify_unix_fd(source, self.descriptor,
                                    static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP |
                                                              (self.watchesOutput ? G_IO_OUT : 0)));
        }
        return FALSE;
    }

    static gboolean check(GSource* source) {
        auto& self = of(source);
        const GIOCondition ready = g_source_query_unix_fd(source, self.descriptor);
        if (!self.reading) return TRUE;
        self.reading = false;
        // What the compositor said before it hung up is read first.
        if (!(ready & G_IO_IN)) {
            wl_display_cancel_read(displayOf(source));
            if (!(ready & (G_IO_ERR | G_IO_HUP))) return FALSE;
            self.connection->hangUpWith("the Wayland compositor hung up");
            return TRUE;
        }
        if (wl_display_read_events(displayOf(source)) < 0) {
            const bool hungUp = (ready & G_IO_HUP) || errno == EPIPE || errno == ECONNRESET;
            self.connection->hangUpWith(hungUp ? std::string("the Wayland compositor hung up")
                                               : std::string("reading from the Wayland compositor failed: ") +
                                                     std::strerror(errno));
            return TRUE;
        }
        return TRUE;
    }

    static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
        auto& self = of(source);
        if (self.connection->hasHungUp()) return G_SOURCE_REMOVE;
        if (wl_display_dispatch_pending(displayOf(source)) < 0) {
            self.connection->hangUpWith(std::string("the Wayland compositor reported an error: ") +
                                        std::strerror(wl_display_get_error(displayOf(source))));
            return G_SOURCE_REMOVE;
        }
        wl_display_flush(displayOf(source));
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

void watchConnection(Connection& connection) {
    GSource* source = g_source_new(&EventSource::functions, sizeof(EventSource));
    auto& self = EventSource::of(source);
    self.connection = &connection;
    self.reading = false;
    self.watchesOutput = false;
    self.descriptor = g_source_add_unix_fd(source, wl_display_get_fd(connection.display()),
                                           static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP));
    g_source_set_name(source, "KORLAN Flow Wayland connection");
    // Above every other source, so that a prepared read is always followed
    // by its read or cancel in the same turn of the loop, before any other
    // source's handler could itself wait for the socket.
    g_source_set_priority(source, G_PRIORITY_HIGH);
    g_source_attach(source, dispatch::MainQueue::shared().loop().context);
    g_source_unref(source);
}

} // namespace view::wayland
