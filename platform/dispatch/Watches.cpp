#include "platform/dispatch/Watches.h"

#include <glib-unix.h>

namespace dispatch {

namespace {

gboolean runHandler(gpointer handler) {
    (*static_cast<Block*>(handler))();
    return G_SOURCE_CONTINUE;
}

GSource* attach(GSource* source, Block* handler, GSourceFunc callback, MainQueue& queue) {
    g_source_set_callback(source, callback, handler, nullptr);
    g_source_attach(source, queue.context());
    return source;
}

} // namespace

SignalWatch::SignalWatch(int signalNumber, Block handler, MainQueue& queue)
    : handler_(std::move(handler)),
      source_(attach(g_unix_signal_source_new(signalNumber), &handler_, &runHandler, queue)) {}

SignalWatch::~SignalWatch() {
    g_source_destroy(source_);
    g_source_unref(source_);
}

} // namespace dispatch
