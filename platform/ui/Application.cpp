#include "platform/ui/Application.h"

namespace ui {

Application& Application::sharedApplication() {
    static Application* const application = new Application();
    return *application;
}

void Application::endSheet(const std::shared_ptr<view::Window>& sheet, view::ModalResponse returnCode) {
    if (!sheet) return;
    if (const auto parent = sheet->sheetParent()) parent->endSheet(sheet, returnCode);
}

} // namespace ui
