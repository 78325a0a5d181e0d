#include "renderer/KORLANFlowFrameChecking.h"
#include "renderer/KORLANFlowRenderer.h"
#include "settings/KORLANFlowSettings.h"

#include "platform/foundation/ClassRegistry.h"

namespace {

std::shared_ptr<KORLANFlowFrameChecking> makeRenderer(const std::shared_ptr<view::MetalView>& view,
                                                      const foundation::Bundle& bundle, ErrorRef* error) {
    return KORLANFlowRenderer::initWithMetalView(view, bundle, error);
}

// Runs when the module is loaded, before dlopen returns to the host.
[[gnu::constructor]] void registerRendererClass() {
    foundation::ClassRegistry::shared().registerClass(
        kKORLANFlowRendererClassName, std::make_shared<const KORLANFlowRendererClass>(
                                          KORLANFlowRendererClass{makeRenderer, KORLANFlowClampConfiguration}));
}

} // namespace
