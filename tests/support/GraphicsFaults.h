#pragma once

// Failures of the platform's graphics operations that no real input reaches
// reliably, for the tests of the code that must handle them.
//
// Linking this file into a test executable defines these four operations in
// the executable itself, where they take the place of the platform
// library's for the whole process; each forwards to the library's own
// definition unless its fault is armed. Link it only into the executables
// that arm faults.

enum class GraphicsFault {
    // graphics::GraphicsContext::graphicsContextWithBitmapImageRep yields null.
    NoGraphicsContext,
    // graphics::BitmapImageRep::CGImage yields null.
    NoBitmapImage,
    // graphics::BitmapImage::create yields null.
    NoImageFromPixels,
    // graphics::encodePNG yields nullopt.
    NoPNG,
};

// While it lives, the next call of the operation fails, once, whichever
// thread makes it. A fault that no call reached is disarmed when the object
// goes, so it cannot leak into the next test.
class FailNextGraphicsCall {
public:
    explicit FailNextGraphicsCall(GraphicsFault fault);
    ~FailNextGraphicsCall();
    FailNextGraphicsCall(const FailNextGraphicsCall&) = delete;
    FailNextGraphicsCall& operator=(const FailNextGraphicsCall&) = delete;

private:
    GraphicsFault fault_;
};
