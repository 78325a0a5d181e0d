#include "platform/view/x11/ChildSurface.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

// The visual a child window is made with, and its colour map.
struct ChildVisual {
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    bool ownsColormap = false;

    // The parent's own where it is opaque true colour; else a 24-bit true
    // colour visual of its screen, with a colour map of its own.
    static ChildVisual forParent(Display* display, ::Window parent) {
        XWindowAttributes attributes{};
        // A parent that is gone fails the child's creation all the same.
        if (!XGetWindowAttributes(display, parent, &attributes)) return {nullptr, CopyFromParent, CopyFromParent};
        const int xScreen = XScreenNumberOfScreen(attributes.screen);
        XVisualInfo opaque{};
        if (attributes.depth == 24 || !XMatchVisualInfo(display, xScreen, 24, TrueColor, &opaque)) {
            return {nullptr, CopyFromParent, attributes.colormap, false};
        }
        return {opaque.visual, 24, XCreateColormap(display, attributes.root, opaque.visual, AllocNone), true};
    }
};

} // namespace

std::unique_ptr<ChildSurface> ChildSurface::create(Connection& connection, unsigned long parent, bool parentIsRoot,
                                                   Rect pixels) {
    auto* display = static_cast<Display*>(connection.display());
    const PixelFrame frame = wholePixels(pixels);
    const ChildVisual visual = ChildVisual::forParent(display, parent);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.override_redirect = parentIsRoot ? True : False;
    // A depth other than the parent's needs a border and colour map of it.
    attributes.border_pixel = 0;
    attributes.colormap = visual.colormap;
    const unsigned long given = CWBackPixmap | CWOverrideRedirect | CWBorderPixel | CWColormap;
    const ::Window window = XCreateWindow(display, parent, frame.x, frame.y, frame.width, frame.height, 0,
                                          visual.depth, InputOutput, visual.visual ? visual.visual : CopyFromParent, given,
                                          &attributes);
    connection.adoptWindow(window);
    XMapWindow(display, window);
    if (parentIsRoot) XLowerWindow(display, window);
    XFlush(display);
    return std::unique_ptr<ChildSurface>(new ChildSurface(connection, window, visual.colormap, visual.ownsColormap));
}

ChildSurface::ChildSurface(Connection& connection, unsigned long window, unsigned long colormap, bool ownsColormap)
    : connection_(connection), window_(window), colormap_(colormap), ownsColormap_(ownsColormap) {}

ChildSurface::~ChildSurface() {
    auto* display = static_cast<Display*>(connection_.display());
    // Gone already when its parent was destroyed; the error that says so
    // is expected.
    XDestroyWindow(display, window_);
    if (ownsColormap_) XFreeColormap(display, colormap_);
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
