#include "platform/dispatch/Watches.h"

#include "platform/dispatch/MainQueueContext.h"

#include <glib-unix.h>

namespace dispatch {

struct SignalWatch::Source {
    Block handler;
    GSource* source;

    static gboolean runHandler(gpointer handler) {
        (*static_cast<Block*>(handler))();
        return G_SOURCE_CONTINUE;
    }

    Source(int signalNumber, Block handlerToRun, MainQueue& queue)
        : handler(std::move(handlerToRun)), source(g_unix_signal_source_new(signalNumber)) {
        g_source_set_callback(source, &runHandler, &handler, nullptr);
        g_source_attach(source, queue.loop().context);
    }
    ~Source() {
        g_source_destroy(source);
        g_source_unref(source);
    }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
};

SignalWatch::SignalWatch(int signalNumber, Block handler, MainQueue& queue)
    : source_(std::make_unique<Source>(signalNumber, std::move(handler), queue)) {}

SignalWatch::~SignalWatch() = default;

} // namespace dispatch
