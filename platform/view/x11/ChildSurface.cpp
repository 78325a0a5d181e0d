#include "platform/view/x11/ChildSurface.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>

namespace view::x11 {

namespace {

struct PixelFrame {
    int x, y;
    unsigned width, height;
};

// X windows are at least one pixel on a side.
PixelFrame wholePixels(Rect pixels) {
    return {int(std::lround(pixels.origin.x)), int(std::lround(pixels.origin.y)),
            unsigned(std::max(1L, std::lround(pixels.size.width))),
            unsigned(std::max(1L, std::lround(pixels.size.height)))};
}

unsigned short channel(double component) {
    return static_cast<unsigned short>(std::lround(std::clamp(component, 0.0, 1.0) * 65535.0));
}

} // namespace

std::unique_ptr<ChildSurface> ChildSurface::create(Connection& connection, unsigned long parent,
                                                   unsigned long colormap, bool parentIsRoot, Rect pixels) {
    auto* display = static_cast<Display*>(connection.display());
    const PixelFrame frame = wholePixels(pixels);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.override_redirect = parentIsRoot ? True : False;
    const ::Window window = XCreateWindow(display, parent, frame.x, frame.y, frame.width, frame.height, 0,
                                          CopyFromParent, InputOutput, CopyFromParent,
                                          CWBackPixmap | CWOverrideRedirect, &attributes);
    connection.adoptWindow(window);
    XMapWindow(display, window);
    if (parentIsRoot) XLowerWindow(display, window);
    XFlush(display);
    return std::unique_ptr<ChildSurface>(new ChildSurface(connection, window, colormap));
}

ChildSurface::ChildSurface(Connection& connection, unsigned long window, unsigned long colormap)
    : connection_(connection), window_(window), colormap_(colormap) {}

ChildSurface::~ChildSurface() {
    auto* display = static_cast<Display*>(connection_.display());
    // Gone already when its parent was destroyed; the error that says so
    // is expected.
    XDestroyWindow(display, window_);
    XFlush(display);
}

void ChildSurface::setFrame(Rect pixels) {
    auto* display = static_cast<Display*>(connection_.display());
    const PixelFrame frame = wholePixels(pixels);
    XMoveResizeWindow(display, window_, frame.x, frame.y, frame.width, frame.height);
    XFlush(display);
}

void ChildSurface::setBackgroundColor(const graphics::Color& color) {
    auto* display = static_cast<Display*>(connection_.display());
    XColor exact{};
    exact.red = channel(color.red);
    exact.green = channel(color.green);
    exact.blue = channel(color.blue);
    exact.flags = DoRed | DoGreen | DoBlue;
    if (!XAllocColor(display, colormap_, &exact)) return;
    XSetWindowBackground(display, window_, exact.pixel);
    XClearWindow(display, window_);
    XFlush(display);
}

} // namespace view::x11
