#pragma once

#include "platform/PlatformExport.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace ui {

class WindowController;

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

// A window of an interface: a content view of a fixed size, a title and a
// frame, kept as state without a display; a presenter shows it. A window
// can carry one sheet at a time: a window attached to it that the user
// finishes before going back to this one.
class KF_PLATFORM_API Window : public std::enable_shared_from_this<Window> {
public:
    using SheetCompletionHandler = std::function<void(ModalResponse)>;

    // The content view is a plain view of the content size. Null for a size
    // that is not a positive, finite number of points.
    static std::shared_ptr<Window> initWithContentRect(Rect contentRect, unsigned styleMask);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    Size contentSize() const { return contentSize_; }
    unsigned styleMask() const { return styleMask_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    // None: the desktop's own.
    std::optional<AppearanceName> appearance() const { return appearance_; }
    void setAppearance(AppearanceName appearance) { appearance_ = appearance; }

    const std::shared_ptr<View>& contentView() const { return contentView_; }
    // The view takes the content size; the old content view leaves.
    void setContentView(std::shared_ptr<View> view);
    // Has the keyboard focus when the window is shown; not owned.
    std::shared_ptr<View> initialFirstResponder() const { return initialFirstResponder_.lock(); }
    void setInitialFirstResponder(const std::shared_ptr<View>& view) { initialFirstResponder_ = view; }

    // Presses the first button, in the order of the view tree, whose key
    // equivalent the key is ("\r" for Return). False when none has it.
    bool performKeyEquivalent(const std::string& key);

    std::shared_ptr<WindowController> windowController() const { return windowController_.lock(); }
    // Whether closing the window also makes its controller let go of it.
    bool isReleasedWhenClosed() const { return releasedWhenClosed_; }
    void setReleasedWhenClosed(bool released) { releasedWhenClosed_ = released; }
    // Tells the observers of the will-close notification, with the window
    // as the sender, then lets the controller go of a window released when
    // closed.
    void close();

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
    Window(Size contentSize, unsigned styleMask) : contentSize_(contentSize), styleMask_(styleMask) {}

    Size contentSize_;
    unsigned styleMask_;
    std::string title_;
    std::optional<AppearanceName> appearance_;
    std::shared_ptr<View> contentView_;
    std::weak_ptr<View> initialFirstResponder_;
    std::weak_ptr<WindowController> windowController_;
    bool releasedWhenClosed_ = true;
    std::shared_ptr<Window> attachedSheet_;
    SheetCompletionHandler sheetCompletionHandler_;
    std::weak_ptr<Window> sheetParent_;
};

} // namespace ui
