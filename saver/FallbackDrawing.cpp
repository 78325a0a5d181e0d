#include "saver/KORLANFlowScreenSaverView.h"

#include "renderer/BackgroundColor.h"

#include "platform/graphics/GraphicsContext.h"

void KORLANFlowScreenSaverView::drawRect(view::Rect dirtyRect) {
    kBackgroundColor.setFill();
    graphics::RectFill(dirtyRect);
    if (!isPreview() || !settingsPreviewImage_) return;
    const auto context = graphics::GraphicsContext::currentContext();
    if (!context) return;
    const auto interpolation = context->imageInterpolation();
    context->setImageInterpolation(graphics::ImageInterpolation::High);
    // The whole picture over the whole view, whatever part needs drawing,
    // stretched without keeping its aspect ratio.
    settingsPreviewImage_->drawInRect(bounds(), graphics::Rect{}, graphics::CompositingOperation::Copy, 1.0, true);
    context->setImageInterpolation(interpolation);
}
