#pragma once

#include "platform/view/WindowBackend.h"
#include "platform/view/x11/Connection.h"

#include <memory>

namespace view::x11 {

// A child X window that a GPU view presents in, destroyed with the object.
// Until the first frame it shows its background colour, never black. It is
// always an opaque 24-bit window, whatever its parent's visual: presented
// frames carry no alpha worth showing, and a parent with an alpha channel
// would take them for transparent.
class ChildSurface : public NativeSurface {
public:
    // Inside the parent at the given pixels; a child of a root window stays
    // below the other windows, like a desktop.
    static std::unique_ptr<ChildSurface> create(Connection& connection, unsigned long parent, bool parentIsRoot,
                                                Rect pixels);
    ~ChildSurface() override;

    gpu::NativeWindow nativeWindow() const override {
        return {gpu::WindowSystem::X11, connection_.display(), window_};
    }
    void setFrame(Rect pixels) override;
    void setBackgroundColor(const graphics::Color& color) override;

private:
    ChildSurface(Connection& connection, unsigned long window, unsigned long colormap, bool ownsColormap);

    Connection& connection_;
    unsigned long window_;
    unsigned long colormap_;
    // A colour map made for a visual other than the parent's.
    bool ownsColormap_;
};

} // namespace view::x11
