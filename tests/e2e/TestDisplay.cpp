#include "tests/e2e/TestDisplay.h"

#include "renderer/BackgroundColor.h"
#include "tests/support/PixelStatistics.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <thread>

namespace {

// How far a pattern pixel may lie from the background and still count as
// background, and how many distinct shades make a pattern.
constexpr int kBackgroundTolerance = 2;
constexpr double kPatternShare = 0.5;
constexpr std::size_t kPatternShades = 50;
constexpr int kLogoWhite = 200;

bool isWhite(const Pixel& pixel) { return pixel[0] > kLogoWhite && pixel[1] > kLogoWhite && pixel[2] > kLogoWhite; }

bool anyWhite(const Pixels& pixels, std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom) {
    for (std::uint32_t y = top; y < bottom; ++y) {
        for (std::uint32_t x = left; x < right; ++x) {
            if (isWhite(pixels.at(x, y))) return true;
        }
    }
    return false;
}

// The windows looked at belong to another process, which may destroy one
// between the question which windows there are and the question about it:
// that answer is "none", not the end of the test. Errors on other
// connections (a toolkit's in the same process) go to the handler that was
// there before.
std::set<Display*> testConnections;
XErrorHandler previousErrorHandler = nullptr;

int ignoreVanishedWindows(Display* display, XErrorEvent* error) {
    const bool vanished =
        error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch;
    if (vanished && testConnections.contains(display)) return 0;
    return previousErrorHandler ? previousErrorHandler(display, error) : 0;
}

} // namespace

TestDisplay::TestDisplay(const std::string& name) : display_(XOpenDisplay(name.c_str())) {
    if (!display_) return;
    testConnections.insert(display_);
    const XErrorHandler previous = XSetErrorHandler(&ignoreVanishedWindows);
    if (previous != &ignoreVanishedWindows) previousErrorHandler = previous;
}

TestDisplay::~TestDisplay() {
    if (!display_) return;
    testConnections.erase(display_);
    XCloseDisplay(display_);
}

unsigned long TestDisplay::rootWindow(int xScreen) const { return RootWindow(display_, xScreen); }

unsigned long TestDisplay::createWindow(unsigned width, unsigned height, int xScreen) {
    return createChildWindow(RootWindow(display_, xScreen), width, height);
}

unsigned long TestDisplay::createChildWindow(unsigned long parent, unsigned width, unsigned height) {
    return mapped(XCreateSimpleWindow(display_, parent, 0, 0, width, height, 0, 0, 0));
}

unsigned long TestDisplay::createAlphaWindow(unsigned width, unsigned height) {
    XVisualInfo alpha{};
    if (!XMatchVisualInfo(display_, DefaultScreen(display_), 32, TrueColor, &alpha)) return 0;
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display_, DefaultRootWindow(display_), alpha.visual, AllocNone);
    // Opaque blue: what the window shows until someone draws into it.
    attributes.background_pixel = 0xff2040c0;
    attributes.border_pixel = 0;
    return mapped(XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, width, height, 0, 32, InputOutput,
                                alpha.visual, CWColormap | CWBackPixel | CWBorderPixel, &attributes));
}

unsigned long TestDisplay::createInputOnlyWindow(unsigned width, unsigned height) {
    return mapped(XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, width, height, 0, 0, InputOnly,
                                CopyFromParent, 0, nullptr));
}

unsigned long TestDisplay::mapped(unsigned long window) {
    XMapWindow(display_, window);
    XSync(display_, False);
    return window;
}

void TestDisplay::setResources(const std::string& text) {
    XChangeProperty(display_, DefaultRootWindow(display_), XInternAtom(display_, "RESOURCE_MANAGER", False),
                    XA_STRING, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                    int(text.size()));
    XSync(display_, False);
}

void TestDisplay::resizeWindow(unsigned long window, unsigned width, unsigned height) {
    XResizeWindow(display_, window, width, height);
    XSync(display_, False);
}

void TestDisplay::destroyWindow(unsigned long window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

unsigned long TestDisplay::windowNamed(const std::string& title, int xScreen) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    if (!XQueryTree(display_, RootWindow(display_, xScreen), &root, &parent, &children, &count)) return 0;
    for (unsigned index = 0; index < count && !found; ++index) {
        char* name = nullptr;
        if (XFetchName(display_, children[index], &name) && name && title == name) found = children[index];
        XFree(name);
    }
    XFree(children);
    return found;
}

void TestDisplay::requestClose(unsigned long window) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &message);
    XSync(display_, False);
}

Pixels TestDisplay::pixelsOf(unsigned long window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes)) return {};
    Pixels pixels{std::uint32_t(attributes.width), std::uint32_t(attributes.height), {}};
    XImage* image = XGetImage(display_, window, 0, 0, pixels.width, pixels.height, AllPlanes, ZPixmap);
    if (!image) return {};
    pixels.bytes.resize(std::size_t(pixels.width) * pixels.height * 4);
    for (std::uint32_t y = 0; y < pixels.height; ++y) {
        for (std::uint32_t x = 0; x < pixels.width; ++x) {
            const unsigned long value = XGetPixel(image, int(x), int(y));
            std::uint8_t* out = &pixels.bytes[(std::size_t(y) * pixels.width + x) * 4];
            out[0] = std::uint8_t(value & 0xff);
            out[1] = std::uint8_t((value >> 8) & 0xff);
            out[2] = std::uint8_t((value >> 16) & 0xff);
            out[3] = 0xff;
        }
    }
    XDestroyImage(image);
    return pixels;
}

namespace {

RRCrtc firstCrtc(Display* display, int xScreen) {
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, xScreen));
    const RRCrtc crtc = resources && resources->ncrtc > 0 ? resources->crtcs[0] : 0;
    if (resources) XRRFreeScreenResources(resources);
    return crtc;
}

} // namespace

std::vector<unsigned short> TestDisplay::gammaRamp(int xScreen) {
    XRRCrtcGamma* gamma = XRRGetCrtcGamma(display_, firstCrtc(display_, xScreen));
    if (!gamma) return {};
    std::vector<unsigned short> ramp(gamma->red, gamma->red + gamma->size);
    ramp.insert(ramp.end(), gamma->green, gamma->green + gamma->size);
    ramp.insert(ramp.end(), gamma->blue, gamma->blue + gamma->size);
    XRRFreeGamma(gamma);
    return ramp;
}

void TestDisplay::setGammaRamp(const std::vector<unsigned short>& ramp, int xScreen) {
    const int size = int(ramp.size() / 3);
    XRRCrtcGamma* gamma = XRRAllocGamma(size);
    std::copy(ramp.begin(), ramp.begin() + size, gamma->red);
    std::copy(ramp.begin() + size, ramp.begin() + 2 * size, gamma->green);
    std::copy(ramp.begin() + 2 * size, ramp.end(), gamma->blue);
    XRRSetCrtcGamma(display_, firstCrtc(display_, xScreen), gamma);
    XRRFreeGamma(gamma);
    XSync(display_, False);
}

void TestDisplay::pressKey() {
    const KeyCode key = XKeysymToKeycode(display_, XK_space);
    XTestFakeKeyEvent(display_, key, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, False, CurrentTime);
    XSync(display_, False);
}

void TestDisplay::movePointer(int x, int y) {
    XTestFakeMotionEvent(display_, 0, x, y, CurrentTime);
    XSync(display_, False);
}

std::vector<TestDisplay::Placed> TestDisplay::mappedWindows(int xScreen) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Placed> mapped;
    if (!XQueryTree(display_, RootWindow(display_, xScreen), &root, &parent, &children, &count)) return mapped;
    for (unsigned index = 0; index < count; ++index) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display_, children[index], &attributes)) continue;
        if (attributes.map_state != IsViewable || (attributes.width <= 1 && attributes.height <= 1)) continue;
        mapped.push_back({children[index], attributes.x, attributes.y, unsigned(attributes.width),
                          unsigned(attributes.height)});
    }
    XFree(children);
    return mapped;
}

void TestDisplay::setMapped(unsigned long window, bool mapped) {
    mapped ? XMapRaised(display_, window) : XUnmapWindow(display_, window);
    XSync(display_, False);
}

void TestDisplay::killClientOf(unsigned long window) {
    XKillClient(display_, window);
    XSync(display_, False);
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool showsThePattern(const Pixels& pixels) {
    return !pixels.bytes.empty() && shareAwayFromBackground(pixels, kBackgroundTolerance) >= kPatternShare &&
           isShaded(pixels);
}

bool isShaded(const Pixels& pixels) {
    std::set<std::uint32_t> shades;
    for (std::size_t i = 0; i < pixels.bytes.size() && shades.size() < kPatternShades; i += 4) {
        shades.insert(pixels.bytes[i] | pixels.bytes[i + 1] << 8 | pixels.bytes[i + 2] << 16);
    }
    return shades.size() >= kPatternShades;
}

bool showsTheLogoInTheUpperLeft(const Pixels& pixels) {
    if (pixels.bytes.empty()) return false;
    return anyWhite(pixels, 0, 0, pixels.width / 3, pixels.height / 4) &&
           !anyWhite(pixels, 0, pixels.height / 2, pixels.width, pixels.height);
}

PixelBox logoBoxOf(const Pixels& pixels) {
    std::uint32_t left = pixels.width, top = pixels.height, right = 0, bottom = 0;
    for (std::uint32_t y = 0; y < pixels.height / 4; ++y) {
        for (std::uint32_t x = 0; x < pixels.width / 3; ++x) {
            if (!isWhite(pixels.at(x, y))) continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    }
    if (right == 0) return {};
    return {left, top, right - left, bottom - top};
}

bool showsOnlyTheBackground(const Pixels& pixels) {
    for (std::size_t i = 0; i < pixels.bytes.size(); i += 4) {
        if (pixels.bytes[i] != kBackgroundBlue || pixels.bytes[i + 1] != kBackgroundGreen ||
            pixels.bytes[i + 2] != kBackgroundRed) {
            return false;
        }
    }
    return !pixels.bytes.empty();
}

Pixels regionOf(const Pixels& pixels, std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height) {
    Pixels region{width, height, {}};
    if (x + width > pixels.width || y + height > pixels.height) return {};
    for (std::uint32_t row = y; row < y + height; ++row) {
        const auto start = pixels.bytes.begin() + (std::size_t(row) * pixels.width + x) * 4;
        region.bytes.insert(region.bytes.end(), start, start + std::size_t(width) * 4);
    }
    return region;
}
