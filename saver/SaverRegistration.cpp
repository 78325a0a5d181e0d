#include "saver/KORLANFlowScreenSaverView.h"

#include "platform/foundation/ClassRegistry.h"

namespace {

// The name the bundle's Info.ini gives as its principal class.
constexpr const char* kPrincipalClassName = "KORLANFlowScreenSaverView";

std::shared_ptr<view::ScreenSaverView> makeSaverView(view::Rect frame, bool isPreview) {
    return KORLANFlowScreenSaverView::initWithFrame(frame, isPreview);
}

// Runs when the module is loaded, before dlopen returns to the host.
[[gnu::constructor]] void registerPrincipalClass() {
    foundation::ClassRegistry::shared().registerClass(
        kPrincipalClassName, std::make_shared<const view::ScreenSaverViewClass>(view::ScreenSaverViewClass{
                                 makeSaverView, &KORLANFlowScreenSaverView::performGammaFade}));
}

} // namespace
