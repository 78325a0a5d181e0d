#include "platform/view/WindowController.h"

namespace view {

std::shared_ptr<WindowController> WindowController::initWithWindow(const std::shared_ptr<Window>& window) {
    std::shared_ptr<WindowController> controller(new WindowController());
    if (!controller->adoptWindow(window)) return nullptr;
    return controller;
}

WindowController::~WindowController() = default;

bool WindowController::adoptWindow(const std::shared_ptr<Window>& window) {
    if (!window || window->windowController()) return false;
    window_ = window;
    window->windowController_ = weak_from_this();
    return true;
}

} // namespace view
