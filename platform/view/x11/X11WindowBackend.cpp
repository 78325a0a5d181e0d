#include "platform/view/x11/X11WindowBackend.h"

#include "platform/view/Window.h"
#include "platform/view/x11/ChildSurface.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace view::x11 {

namespace {

// How far the pointer may drift, in pixels on each axis, before a
// full-screen saver takes it for the user.
constexpr int kPointerSlackPixels = 5;

// How often a given window is asked whether it can be seen: an ancestor
// unmapped or mapped again sends it no event.
constexpr std::uint64_t kViewabilityPollNanoseconds = 1000000000;

// The largest window we make, in pixels a side: as large a drawable as the
// GPU devices of today take, and within what an X server can map.
constexpr unsigned kMaximumWindowSide = 16384;

constexpr long kContentEvents = ExposureMask | StructureNotifyMask | VisibilityChangeMask;
constexpr long kUserEvents = KeyPressMask | ButtonPressMask | PointerMotionMask;

Display* displayOf(const Connection& connection) { return static_cast<Display*>(connection.display()); }

unsigned wholePixels(double points, double scale) {
    return unsigned(std::max(1.0, std::round(points * scale)));
}

// A cursor that shows nothing, for the pointer over a full-screen saver.
Cursor invisibleCursor(Display* display, ::Window window) {
    static const char empty[1] = {0};
    const Pixmap pixmap = XCreateBitmapFromData(display, window, empty, 1, 1);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(display, pixmap);
    return cursor;
}

::Window createWindow(Display* display, int xScreen, PixelRect pixels, bool overrideRedirect, long events) {
    XSetWindowAttributes attributes{};
    // No background: what was there stays until the first contents are
    // shown, so nothing flashes.
    attributes.background_pixmap = None;
    attributes.override_redirect = overrideRedirect ? True : False;
    attributes.event_mask = events;
    return XCreateWindow(display, RootWindow(display, xScreen), pixels.x, pixels.y, pixels.width, pixels.height, 0,
                         CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWOverrideRedirect | CWEventMask,
                         &attributes);
}

void nameWindow(Display* display, ::Window window, const std::string& title) {
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    Atom closeRequest = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &closeRequest, 1);
}

// The window manager's close button.
bool isCloseRequest(const XClientMessageEvent& message) {
    return message.format == 32 &&
           Atom(message.data.l[0]) == XInternAtom(message.display, "WM_DELETE_WINDOW", False);
}

} // namespace

X11WindowBackend::X11WindowBackend(Connection& connection, unsigned long window, WindowRole role, Drawing drawing,
                                   unsigned width, unsigned height, std::shared_ptr<Screen> screen)
    : connection_(connection), window_(window), role_(role), drawing_(drawing), width_(width), height_(height),
      screen_(std::move(screen)), backingScaleFactor_(connection.backingScaleFactor()) {
    connection_.addTarget(window_, this);
}

X11WindowBackend::~X11WindowBackend() { close(); }

std::unique_ptr<X11WindowBackend> X11WindowBackend::newFullScreen(Connection& connection, const Monitor& monitor) {
    Display* display = displayOf(connection);
    const ::Window window =
        createWindow(display, monitor.xScreen, monitor.pixels, true, kContentEvents | kUserEvents);
    const Cursor cursor = invisibleCursor(display, window);
    XDefineCursor(display, window, cursor);
    XFreeCursor(display, cursor);
    const Drawing drawing{DefaultVisual(display, monitor.xScreen)};
    std::unique_ptr<X11WindowBackend> backend(new X11WindowBackend(
        connection, window, WindowRole::FullScreen, drawing, monitor.pixels.width, monitor.pixels.height,
        monitor.screen));
    XMapRaised(display, window);
    XFlush(display);
    return backend;
}

std::unique_ptr<X11WindowBackend> X11WindowBackend::newDecorated(Connection& connection, const Monitor& monitor,
                                                                 Size contentSize, const std::string& title,
                                                                 std::string* failure) {
    Display* display = displayOf(connection);
    const double scale = connection.backingScaleFactor();
    const unsigned width = wholePixels(contentSize.width, scale), height = wholePixels(contentSize.height, scale);
    if (std::max(width, height) > kMaximumWindowSide) {
        if (failure) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "a window of %g x %g points is %u x %u pixels here, more than the %u a side that can be "
                          "drawn",
                          contentSize.width, contentSize.height, width, height, kMaximumWindowSide);
            *failure = text;
        }
        return nullptr;
    }
    // Centred on the monitor.
    const PixelRect pixels{monitor.pixels.x + (int(monitor.pixels.width) - int(width)) / 2,
                           monitor.pixels.y + (int(monitor.pixels.height) - int(height)) / 2, width, height};
    const ::Window window = createWindow(display, monitor.xScreen, pixels, false, kContentEvents);
    nameWindow(display, window, title);
    const Drawing drawing{DefaultVisual(display, monitor.xScreen)};
    std::unique_ptr<X11WindowBackend> backend(
        new X11WindowBackend(connection, window, WindowRole::Decorated, drawing, width, height, monitor.screen));
    XMapWindow(display, window);
    XFlush(display);
    return backend;
}

std::unique_ptr<X11WindowBackend> X11WindowBackend::newGiven(Connection& connection, unsigned long window,
                                                             std::string* failure) {
    Display* display = displayOf(connection);
    // Adopted first: that it does not exist is an answer here, not an error
    // to log.
    connection.adoptWindow(window);
    XWindowAttributes attributes{};
    const bool exists = XGetWindowAttributes(display, window, &attributes);
    if (!exists || attributes.c_class == InputOnly) {
        if (failure) {
            char text[96];
            std::snprintf(text, sizeof text,
                          exists ? "the window 0x%lx is an InputOnly window, which cannot be drawn into"
                                 : "there is no window 0x%lx",
                          window);
            *failure = text;
        }
        return nullptr;
    }
    XSelectInput(display, window, kContentEvents);
    const int xScreen = XScreenNumberOfScreen(attributes.screen);
    int centreX = 0, centreY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, attributes.root, attributes.width / 2, attributes.height / 2, &centreX,
                          &centreY, &child);
    const Drawing drawing{attributes.visual, attributes.root == window};
    std::unique_ptr<X11WindowBackend> backend(
        new X11WindowBackend(connection, window, WindowRole::Given, drawing, unsigned(attributes.width),
                             unsigned(attributes.height), connection.monitorAt(xScreen, centreX, centreY).screen));
    backend->viewable_ = attributes.map_state == IsViewable;
    backend->watchViewability();
    // A window shown already sends no exposure of its own for its first
    // contents to be drawn: one is asked for.
    XClearArea(display, window, 0, 0, 0, 0, True);
    // Whatever the window did before we watched it.
    connection.synchronize();
    return backend;
}

Size X11WindowBackend::contentSize() const {
    const double scale = backingScaleFactor();
    return {width_ / scale, height_ / scale};
}

void X11WindowBackend::showContents(const graphics::BitmapImageRep& contents) {
    if (closed_) return;
    Display* display = displayOf(connection_);
    cairo_surface_t* target = cairo_xlib_surface_create(display, window_, static_cast<Visual*>(drawing_.visual),
                                                        int(width_), int(height_));
    cairo_t* cairo = cairo_create(target);
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cairo, contents.cairoSurface(), 0.0, 0.0);
    cairo_paint(cairo);
    cairo_destroy(cairo);
    cairo_surface_destroy(target);
    XFlush(display);
}

std::unique_ptr<NativeSurface> X11WindowBackend::newChildSurface(Rect pixels) {
    if (closed_) return nullptr;
    return ChildSurface::create(connection_, window_, drawing_.onRootWindow, pixels);
}

void X11WindowBackend::close() {
    if (closed_) return;
    closed_ = true;
    if (viewabilityPoll_) viewabilityPoll_->cancel();
    connection_.removeTarget(window_);
    Display* display = displayOf(connection_);
    if (role_ == WindowRole::Given) {
        XSelectInput(display, window_, NoEventMask);
    } else {
        XDestroyWindow(display, window_);
    }
    XFlush(display);
}

void X11WindowBackend::handleEvent(const XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) {
            if (const auto window = owner_.lock()) window->backendNeedsRedraw();
        }
        break;
    case ConfigureNotify:
        didResize(unsigned(event.xconfigure.width), unsigned(event.xconfigure.height));
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_) windowLost();
        break;
    case MapNotify:
        if (event.xmap.window != window_) break;
        if (role_ == WindowRole::FullScreen) takeInput();
        // A given window may be mapped inside an unmapped ancestor.
        didChangeViewability(role_ != WindowRole::Given || isViewable());
        break;
    case UnmapNotify:
        if (event.xunmap.window == window_) didChangeViewability(false);
        break;
    case VisibilityNotify:
        didChangeVisibility(event.xvisibility.state == VisibilityFullyObscured);
        break;
    case ClientMessage:
        if (isCloseRequest(event.xclient)) {
            if (const auto window = owner_.lock()) window->backendDidClose();
        }
        break;
    case KeyPress:
    case ButtonPress:
        reportUserActivity();
        break;
    case MotionNotify:
        if (pointerLeftItsPlace(event.xmotion.x_root, event.xmotion.y_root)) reportUserActivity();
        break;
    default:
        break;
    }
}

void X11WindowBackend::windowLost() {
    if (closed_) return;
    if (const auto window = owner_.lock()) window->backendDidClose();
}

void X11WindowBackend::didResize(unsigned width, unsigned height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    if (const auto window = owner_.lock()) window->backendDidResize(contentSize());
}

void X11WindowBackend::watchViewability() {
    viewabilityPoll_ = dispatch::TimerSource::create();
    if (!viewabilityPoll_) return;
    viewabilityPoll_->setTimer(dispatch::time(dispatch::now(), kViewabilityPollNanoseconds),
                               kViewabilityPollNanoseconds, kViewabilityPollNanoseconds / 10);
    // The poll is cancelled when the window closes, before this object goes.
    viewabilityPoll_->setEventHandler([this] { didChangeViewability(isViewable()); });
    viewabilityPoll_->resume();
}

bool X11WindowBackend::isViewable() const {
    XWindowAttributes attributes{};
    // A window that is gone says so through the error trap.
    return XGetWindowAttributes(displayOf(connection_), window_, &attributes) && attributes.map_state == IsViewable;
}

void X11WindowBackend::didChangeViewability(bool viewable) {
    const bool showed = shows();
    viewable_ = viewable;
    reportVisibility(showed);
}

void X11WindowBackend::didChangeVisibility(bool obscured) {
    const bool showed = shows();
    obscured_ = obscured;
    reportVisibility(showed);
}

void X11WindowBackend::reportVisibility(bool showed) {
    if (shows() != showed && visibilityChanged_) visibilityChanged_(shows());
}

// The whole keyboard and pointer come to the saver, so a key press or a
// movement anywhere ends it; where the pointer was then is its first place.
void X11WindowBackend::takeInput() {
    Display* display = displayOf(connection_);
    XGrabKeyboard(display, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    XGrabPointer(display, window_, True, ButtonPressMask | PointerMotionMask, GrabModeAsync, GrabModeAsync, None,
                 None, CurrentTime);
    ::Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    unsigned modifiers = 0;
    pointerPlaceKnown_ =
        XQueryPointer(display, window_, &root, &child, &pointerX_, &pointerY_, &windowX, &windowY, &modifiers);
}

bool X11WindowBackend::pointerLeftItsPlace(int rootX, int rootY) const {
    if (!pointerPlaceKnown_) return false;
    return std::abs(rootX - pointerX_) > kPointerSlackPixels || std::abs(rootY - pointerY_) > kPointerSlackPixels;
}

void X11WindowBackend::reportUserActivity() {
    if (userActivity_) userActivity_();
}

} // namespace view::x11
