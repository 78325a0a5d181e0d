#include "tests/unit/sheet/RefusingWindowControllers.h"

#include "tests/support/PlatformDefinition.h"

#include "platform/ui/WindowController.h"

namespace {

bool refusing = false;
std::shared_ptr<ui::Window> lastRefused;

using AdoptWindow = bool (*)(ui::WindowController*, const std::shared_ptr<ui::Window>&);

} // namespace

RefusingWindowControllers::RefusingWindowControllers() { refusing = true; }

RefusingWindowControllers::~RefusingWindowControllers() {
    refusing = false;
    lastRefused.reset();
}

const std::shared_ptr<ui::Window>& RefusingWindowControllers::refusedWindow() const { return lastRefused; }

namespace ui {

bool WindowController::adoptWindow(const std::shared_ptr<Window>& window) {
    static const auto platform = platformDefinitionAs<AdoptWindow>(
        "_ZN2ui16WindowController11adoptWindowERKSt10shared_ptrINS_6WindowEE");
    if (!refusing) return platform(this, window);
    lastRefused = window;
    return false;
}

} // namespace ui
