#pragma once

#include "platform/foundation/Error.h"
#include "platform/view/Window.h"
#include "platform/ui/gtk/WidgetTree.h"

#include <gtk/gtk.h>

#include <memory>

namespace ui::gtk {

using view::NativeSurface;
using view::Screen;
using view::Window;
using view::WindowBackend;
using view::Size;
using view::Rect;

// Shows a window as a GtkWindow whose widgets show its views.
class GtkWindowBackend final : public WindowBackend {
public:
    // Builds the window's widgets without showing them. Null, with an
    // error, without a display or for constraints no layout can hold.
    static std::unique_ptr<GtkWindowBackend> realize(const std::shared_ptr<Window>& window,
                                                     foundation::ErrorRef* error);
    ~GtkWindowBackend() override;
    GtkWindowBackend(const GtkWindowBackend&) = delete;
    GtkWindowBackend& operator=(const GtkWindowBackend&) = delete;

    GtkWindow* gtkWindow() const { return gtkWindow_; }

    void attach(const std::shared_ptr<Window>&) override {}
    Size contentSize() const override { return contentSize_; }
    // Points are CSS pixels, which GTK scales itself.
    double backingScaleFactor() const override { return 1.0; }
    std::shared_ptr<Screen> screen() const override { return nullptr; }
    void showContents(const graphics::BitmapImageRep&) override {}
    std::unique_ptr<NativeSurface> newChildSurface(Rect) override { return nullptr; }
    bool showsEachView() const override { return true; }
    void close() override;

private:
    GtkWindowBackend(Window& window, std::unique_ptr<WidgetTree> tree);

    // The window whose signals the GtkWindow sends; it owns this backend.
    Window* window_;
    Size contentSize_;
    std::unique_ptr<WidgetTree> tree_;
    GtkWindow* gtkWindow_;
};

} // namespace ui::gtk
