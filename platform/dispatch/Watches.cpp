#include "platform/dispatch/Watches.h"

#include <glib-unix.h>

namespace dispatch {

namespace {

gboolean runHandler(gpointer handler) {
    (*static_cast<Block*>(handler))();
    return G_SOURCE_CONTINUE;
}

gboolean runHandlerForDescriptor(gint, GIOCondition, gpointer handler) { return runHandler(handler); }

GSource* attach(GSource* source, Block* handler, GSourceFunc callback, MainQueue& queue) {
    g_source_set_callback(source, callback, handler, nullptr);
    g_source_attach(source, queue.context());
    return source;
}

} // namespace

FileDescriptorWatch::FileDescriptorWatch(int fileDescriptor, Block handler, MainQueue& queue)
    : handler_(std::move(handler)),
      source_(attach(g_unix_fd_source_new(fileDescriptor, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR)),
                     &handler_, G_SOURCE_FUNC(&runHandlerForDescriptor), queue)) {}

FileDescriptorWatch::~FileDescriptorWatch() {
    g_source_destroy(source_);
    g_source_unref(source_);
}

SignalWatch::SignalWatch(int signalNumber, Block handler, MainQueue& queue)
    : handler_(std::move(handler)),
      source_(attach(g_unix_signal_source_new(signalNumber), &handler_, &runHandler, queue)) {}

SignalWatch::~SignalWatch() {
    g_source_destroy(source_);
    g_source_unref(source_);
}

} // namespace dispatch
