#include "platform/view/x11/ErrorTrap.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

#include <X11/Xlib.h>

#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace view::x11 {

namespace {

// Reached from whichever thread made the failing request, with Xlib's lock
// held: it may not talk to the server, only note and hand over.
struct Trap {
    std::mutex mutex;
    std::set<unsigned long> adopted;
    std::set<std::pair<int, int>> logged;
    std::function<void(unsigned long)> lostWindow;
    // The RENDER extension's BadPicture; -1 without the extension.
    int badPicture = -1;
};

Trap& trap() {
    static auto* shared = new Trap;
    return *shared;
}

bool meansWindowIsGone(int errorCode) {
    return errorCode == BadWindow || errorCode == BadDrawable || errorCode == BadMatch;
}

void logOnce(Display* display, const XErrorEvent& error) {
    char text[256] = {};
    XGetErrorText(display, error.error_code, text, sizeof text);
    foundation::Log("korlan-flow: X error: " + std::string(text) + " (request " + std::to_string(error.request_code) +
                    "." + std::to_string(error.minor_code) + ")");
}

int handleError(Display* display, XErrorEvent* error) {
    auto& shared = trap();
    std::unique_lock lock(shared.mutex);
    if (error->error_code == shared.badPicture) return 0;
    if (meansWindowIsGone(error->error_code) && shared.adopted.contains(error->resourceid)) {
        const unsigned long window = error->resourceid;
        lock.unlock();
        dispatch::async([window] { trap().lostWindow(window); });
        return 0;
    }
    const bool first = shared.logged.insert({error->error_code, error->request_code}).second;
    lock.unlock();
    if (first) logOnce(display, *error);
    return 0;
}

} // namespace

void installErrorTrap(void* display, std::function<void(unsigned long window)> lostWindow) {
    int opcode = 0, firstEvent = 0, firstError = 0;
    // BadPicture follows BadPictFormat, the extension's first error.
    const bool hasRender =
        XQueryExtension(static_cast<Display*>(display), "RENDER", &opcode, &firstEvent, &firstError);
    {
        std::lock_guard lock(trap().mutex);
        trap().lostWindow = std::move(lostWindow);
        trap().badPicture = hasRender ? firstError + 1 : -1;
    }
    XSetErrorHandler(&handleError);
}

void adoptWindowForErrors(unsigned long window) {
    std::lock_guard lock(trap().mutex);
    trap().adopted.insert(window);
}

} // namespace view::x11
