#pragma once

#include "tests/support/GpuTestSupport.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct _XDisplay;

// The test's own client of an X server: it makes and changes windows as
// another program would, reads what is on screen and types as a user.
class TestDisplay {
public:
    explicit TestDisplay(const std::string& name);
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    unsigned long rootWindow(int xScreen = 0) const;
    // A mapped window at the top-left of the screen.
    unsigned long createWindow(unsigned width, unsigned height, int xScreen = 0);
    // The same inside a window.
    unsigned long createChildWindow(unsigned long parent, unsigned width, unsigned height);
    // Windows that programs may hand over too: one in a 32-bit visual with
    // an alpha channel, one that takes only input.
    unsigned long createAlphaWindow(unsigned width, unsigned height);
    unsigned long createInputOnlyWindow(unsigned width, unsigned height);
    // The server's resource database, as xrdb sets it.
    void setResources(const std::string& text);
    void resizeWindow(unsigned long window, unsigned width, unsigned height);
    void destroyWindow(unsigned long window);
    // A top-level window of the screen with the title; 0 when there is none.
    unsigned long windowNamed(const std::string& title, int xScreen = 0);
    // Asks the window to close, as a window manager's close button does.
    void requestClose(unsigned long window);

    // What the window shows, children included, as BGRA rows from the top.
    Pixels pixelsOf(unsigned long window);

    // The gamma ramp (red, green, blue) of the first CRTC of the screen.
    std::vector<unsigned short> gammaRamp(int xScreen = 0);
    void setGammaRamp(const std::vector<unsigned short>& ramp, int xScreen = 0);

    void pressKey();
    void movePointer(int x, int y);

    // The top-level windows that are mapped on the screen, bottom to top;
    // those of a pixel (helper windows kept out of sight) left out.
    struct Placed {
        unsigned long window;
        int x, y;
        unsigned width, height;
        bool operator==(const Placed&) const = default;
    };
    std::vector<Placed> mappedWindows(int xScreen = 0);
    void setMapped(unsigned long window, bool mapped);
    // Ends the connection of the program that made the window, as xkill
    // does.
    void killClientOf(unsigned long window);

private:
    unsigned long mapped(unsigned long window);

    _XDisplay* display_;
};

// Polls until the condition holds or the time is up.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// The flow pattern: most pixels away from the background colour, in many
// shades.
bool showsThePattern(const Pixels& pixels);
// In many shades, as the renderer draws even where the pattern is as dark
// as the background, and no window's fill is.
bool isShaded(const Pixels& pixels);
// The logo: white pixels in the upper-left corner, and nowhere in the lower
// half.
bool showsTheLogoInTheUpperLeft(const Pixels& pixels);
// Where the logo's white pixels lie in the upper-left corner; all zero
// when there are none.
struct PixelBox {
    std::uint32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelBox&) const = default;
};
PixelBox logoBoxOf(const Pixels& pixels);
// Nothing but the background colour.
bool showsOnlyTheBackground(const Pixels& pixels);
// The part of the picture at x, y (from the top left) of the given size.
Pixels regionOf(const Pixels& pixels, std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height);
