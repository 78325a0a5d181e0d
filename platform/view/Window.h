#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/view/Geometry.h"
#include "platform/view/WindowBackend.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace view {

class Screen;
class View;
class WindowController;

// Posted by a window about to close, with the window as the sender.
inline constexpr const char* kWindowWillCloseNotification = "NSWindowWillCloseNotification";

// The parts of a window's frame: a titled window without the others has no
// close, minimise or resize control.
enum WindowStyleMask : unsigned {
    WindowStyleMaskBorderless = 0,
    WindowStyleMaskTitled = 1,
    WindowStyleMaskClosable = 2,
    WindowStyleMaskMiniaturizable = 4,
    WindowStyleMaskResizable = 8,
};

// The look of a window's controls, whatever the desktop's own.
enum class AppearanceName { Aqua, DarkAqua };

// How a sheet ended.
using ModalResponse = long;
inline constexpr ModalResponse ModalResponseCancel = 0;
inline constexpr ModalResponse ModalResponseOK = 1;

// A window: its content view fills it. Shown by a backend (an X11 window
// that shows what its views draw, or a GTK window that shows them as
// widgets), or, without one, kept off screen, where what its views draw
// stays in its contents for whoever looks. A window can carry one sheet at
// a time: a window attached to it that the user finishes before going back
// to this one.
class KF_PLATFORM_API Window : public std::enable_shared_from_this<Window> {
public:
    using SheetCompletionHandler = std::function<void(ModalResponse)>;

    // A window off screen with a plain content view of the size, on the
    // screen if one is given. Null for a size that is not a positive, finite
    // number of points.
    static std::shared_ptr<Window> initWithContentRect(Rect contentRect,
                                                       unsigned styleMask = WindowStyleMaskBorderless,
                                                       std::shared_ptr<Screen> screen = nullptr,
                                                       double backingScaleFactor = 1.0);
    static std::shared_ptr<Window> initWithBackend(std::unique_ptr<WindowBackend> backend);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::shared_ptr<View>& contentView() const { return contentView_; }
    // The view takes the content size; the old content view leaves the
    // window, the new one enters it.
    void setContentView(std::shared_ptr<View> view);
    std::shared_ptr<Screen> screen() const;
    Size contentSize() const { return contentSize_; }
    double backingScaleFactor() const;
    bool isVisible() const { return !closed_; }

    unsigned styleMask() const { return styleMask_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    // None: the desktop's own.
    std::optional<AppearanceName> appearance() const { return appearance_; }
    void setAppearance(AppearanceName appearance) { appearance_ = appearance; }
    // Has the keyboard focus when the window is shown; not owned.
    std::shared_ptr<View> initialFirstResponder() const { return initialFirstResponder_.lock(); }
    void setInitialFirstResponder(const std::shared_ptr<View>& view) { initialFirstResponder_ = view; }
    // Handles the key through the first view, in the order of the view tree,
    // that has it as key equivalent ("\r" for Return). False when none has.
    bool performKeyEquivalent(const std::string& key);

    std::shared_ptr<WindowController> windowController() const { return windowController_.lock(); }
    // Whether closing the window also makes its controller let go of it.
    bool isReleasedWhenClosed() const { return releasedWhenClosed_; }
    void setReleasedWhenClosed(bool released) { releasedWhenClosed_ = released; }
    // Tells the observers it will close, takes the window off screen, then
    // lets the controller go of a window released when closed. Its views
    // stay in it.
    void close();

    // Draws the views that need display into the contents and shows them.
    void displayIfNeeded();
    // What the views drew, the window's size in pixels; null before any.
    std::shared_ptr<graphics::BitmapImageRep> contents() const { return contents_; }
    // Null for a window off screen.
    WindowBackend* backend() const { return backend_.get(); }
    // Shows the window through the backend from now on; null takes it off
    // screen again. Hands back the backend it had, for the caller to let go
    // of when that is safe.
    std::unique_ptr<WindowBackend> setBackend(std::unique_ptr<WindowBackend> backend);

    // From the backend: the display server changed the window.
    void backendDidResize(Size contentSize);
    void backendNeedsRedraw();
    void backendDidClose();

    // Whether the sheet could be attached now: not while another sheet is
    // attached, nor when the sheet already belongs to a window.
    bool canBeginSheet(const std::shared_ptr<Window>& sheet) const;
    // Attaches the sheet; its ending calls the handler once with how it
    // ended. False, and nothing attached, when it cannot be attached now.
    bool beginSheet(const std::shared_ptr<Window>& sheet, SheetCompletionHandler handler);
    std::shared_ptr<Window> attachedSheet() const { return attachedSheet_; }
    // The window this one is attached to as a sheet; not owned.
    std::shared_ptr<Window> sheetParent() const { return sheetParent_.lock(); }
    // Detaches the sheet, if it is this window's, and calls its handler.
    void endSheet(const std::shared_ptr<Window>& sheet, ModalResponse returnCode);

private:
    friend class WindowController;
    Window(Size contentSize, unsigned styleMask, std::shared_ptr<Screen> screen, double backingScaleFactor,
           std::unique_ptr<WindowBackend> backend);
    void drawViews();

    Size contentSize_;
    unsigned styleMask_;
    std::shared_ptr<Screen> screen_;
    double backingScaleFactor_;
    std::unique_ptr<WindowBackend> backend_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<graphics::BitmapImageRep> contents_;
    bool closed_ = false;
    std::string title_;
    std::optional<AppearanceName> appearance_;
    std::weak_ptr<View> initialFirstResponder_;
    std::weak_ptr<WindowController> windowController_;
    bool releasedWhenClosed_ = true;
    std::shared_ptr<Window> attachedSheet_;
    SheetCompletionHandler sheetCompletionHandler_;
    std::weak_ptr<Window> sheetParent_;
};

} // namespace view
