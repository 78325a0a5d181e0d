#include "platform/dispatch/ReadinessSource.h"

#include "platform/dispatch/MainQueueContext.h"

namespace dispatch {

namespace {

struct Readiness {
    std::function<bool()> ready;
    Block run;
};

struct ReadinessSource {
    GSource base;
    Readiness* readiness;

    static Readiness& of(GSource* source) { return *reinterpret_cast<ReadinessSource*>(source)->readiness; }
    static gboolean prepare(GSource* source, gint* timeout) {
        *timeout = -1;
        return of(source).ready();
    }
    static gboolean check(GSource* source) { return of(source).ready(); }
    static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
        of(source).run();
        return G_SOURCE_CONTINUE;
    }
    static void finalize(GSource* source) { delete reinterpret_cast<ReadinessSource*>(source)->readiness; }

    static inline GSourceFuncs functions = {
        .prepare = &prepare,
        .check = &check,
        .dispatch = &dispatch,
        .finalize = &finalize,
        .closure_callback = nullptr,
        .closure_marshal = nullptr,
    };
};

} // namespace

void attachReadinessSource(MainQueue& queue, const char* name, std::function<bool()> ready, Block run,
                           int fileDescriptor) {
    GSource* source = g_source_new(&ReadinessSource::functions, sizeof(ReadinessSource));
    reinterpret_cast<ReadinessSource*>(source)->readiness = new Readiness{std::move(ready), std::move(run)};
    g_source_set_name(source, name);
    if (fileDescriptor >= 0) {
        g_source_add_unix_fd(source, fileDescriptor, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR));
    }
    g_source_attach(source, queue.loop().context);
    // The context holds it from here on.
    g_source_unref(source);
}

} // namespace dispatch
