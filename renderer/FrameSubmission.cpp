#include "renderer/KORLANFlowRenderer.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"

void KORLANFlowRenderer::drawInMTKView(view::MetalView& view) {
    if (!ready_) return;
    // The clock advances before a drawable is asked for, so animation time
    // keeps pace with the timer even when drawables run short.
    if (running_) advanceToTimestamp(foundation::ProcessInfo::systemUptime() * 1000.0);
    const auto drawable = view.currentDrawable();
    if (!drawable) return;

    const auto commandBuffer = commandQueue_->commandBuffer();
    if (commandBuffer) commandBuffer->setLabel("KORLAN Flow Frame");
    ErrorRef encodingError;
    if (!encodeSceneToTexture(drawable->texture(), commandBuffer, &encodingError)) {
        lastError_ = std::move(encodingError);
        return;
    }

    // The handlers run on a GPU thread: they only hop to the main queue,
    // where a renderer released meanwhile is simply skipped.
    const std::weak_ptr<KORLANFlowRenderer> weakRenderer = weak_from_this();
    drawable->addPresentedHandler([weakRenderer](const std::shared_ptr<gpu::Drawable>& shown) {
        if (!(shown->presentedTime() > 0.0)) return;
        dispatch::async([weakRenderer] {
            if (const auto renderer = weakRenderer.lock()) ++renderer->presentedFrameCount_;
        });
    });
    commandBuffer->presentDrawable(drawable);
    commandBuffer->addCompletedHandler([weakRenderer](const std::shared_ptr<gpu::CommandBuffer>& completed) {
        if (!completed->error()) return;
        dispatch::async([weakRenderer, completed] {
            if (const auto renderer = weakRenderer.lock()) renderer->lastError_ = completed->error();
        });
    });
    commandBuffer->commit();
    ++frameCount_;
}
