#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/Window.h"

#include <memory>

namespace ui {

// The process's interface as a whole.
class KF_PLATFORM_API Application {
public:
    // Created once and never destroyed.
    static Application& sharedApplication();

    // Ends the sheet the window is: its parent detaches it and tells
    // whoever began it how it ended. Nothing for a window that is no
    // attached sheet. The window itself stays as it is; dismissing it is
    // the presenter's.
    void endSheet(const std::shared_ptr<view::Window>& sheet, view::ModalResponse returnCode);

private:
    Application() = default;
};

} // namespace ui
