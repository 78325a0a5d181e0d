#include "tests/unit/sheet/RefusingWindowControllers.h"

#include "tests/support/PlatformDefinition.h"

#include "platform/view/WindowController.h"

namespace {

bool refusing = false;
std::shared_ptr<view::Window> lastRefused;

using AdoptWindow = bool (*)(view::WindowController*, const std::shared_ptr<view::Window>&);

} // namespace

RefusingWindowControllers::RefusingWindowControllers() { refusing = true; }

RefusingWindowControllers::~RefusingWindowControllers() {
    refusing = false;
    lastRefused.reset();
}

const std::shared_ptr<view::Window>& RefusingWindowControllers::refusedWindow() const { return lastRefused; }

namespace view {

bool WindowController::adoptWindow(const std::shared_ptr<Window>& window) {
    static const auto platform = platformDefinitionAs<AdoptWindow>(
        "_ZN4view16WindowController11adoptWindowERKSt10shared_ptrINS_6WindowEE");
    if (!refusing) return platform(this, window);
    lastRefused = window;
    return false;
}

} // namespace view
