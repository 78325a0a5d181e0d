#include "renderer/KORLANFlowRenderer.h"

#include "shaders/KORLANFlowShaderTypes.h"

#include "platform/view/Workspace.h"

#include <cmath>

namespace {

constexpr double kMaximumFrameStepMilliseconds = 250.0;
constexpr float kReducedMotionFactor = 0.22f;

// fmax takes the number over a NaN, so NaN sizes become 1 as well.
float atLeastOne(double value) { return std::fmax(static_cast<float>(value), 1.0f); }

} // namespace

void KORLANFlowRenderer::startAtTimestamp(double timestamp) {
    if (!ready_) return;
    running_ = true;
    setElapsedTime(0.0f);
    lastTimestampMilliseconds_ = timestamp;
    hasLastTimestamp_ = true;
    frameCount_ = 0;
    presentedFrameCount_ = 0;
}

void KORLANFlowRenderer::advanceToTimestamp(double timestamp) {
    if (!running_) return;
    if (!hasLastTimestamp_) {
        lastTimestampMilliseconds_ = timestamp;
        hasLastTimestamp_ = true;
        return;
    }
    const double delta = timestamp - lastTimestampMilliseconds_;
    // Re-anchor before judging the delta: a clock that jumped backwards
    // restarts from where it is now, not from where it was.
    lastTimestampMilliseconds_ = timestamp;
    if (!(delta > 0.0 && std::isfinite(delta))) return;

    const bool reduceMotion = view::Workspace::sharedWorkspace().accessibilityDisplayShouldReduceMotion();
    const double capped = delta > kMaximumFrameStepMilliseconds ? kMaximumFrameStepMilliseconds : delta;
    const float step = static_cast<float>(capped / 1000.0);
    const float factor = reduceMotion ? kReducedMotionFactor : 1.0f;
    // The product of two floats is exact in double precision, so a single
    // step from zero rounds once, exactly as a fused multiply-add in single
    // precision would; unlike a float sum it keeps every step after days.
    animationTime_ = std::fmod(animationTime_ + static_cast<double>(step) * static_cast<double>(factor),
                               static_cast<double>(kTimePeriod));
    elapsedTime_ = KORLANFlowTimeWithinPeriod(animationTime_);
}

void KORLANFlowRenderer::setElapsedTime(float seconds) {
    elapsedTime_ = seconds;
    animationTime_ = seconds;
}

void KORLANFlowRenderer::stop() {
    running_ = false;
    hasLastTimestamp_ = false;
}

void KORLANFlowRenderer::stopAndWaitForPendingCommands() {
    stop();
    const auto drain = commandQueue_ ? commandQueue_->commandBuffer() : nullptr;
    if (!drain) return;
    drain->setLabel("KORLAN Flow Renderer Drain");
    // Buffers of one queue complete in order: once this empty one has,
    // every frame committed before it has too.
    drain->commit();
    drain->waitUntilCompleted();
    if (auto failure = drain->error()) lastError_ = std::move(failure);
}

void KORLANFlowRenderer::applyConfiguration(KORLANFlowConfiguration configuration) { configuration_ = configuration; }

void KORLANFlowRenderer::updateDrawableMetrics(view::Size drawableSize) {
    const auto view = metalView();
    const view::Rect bounds = view ? view->bounds() : view::Rect{};
    logicalWidth_ = atLeastOne(bounds.size.width);
    logicalHeight_ = atLeastOne(bounds.size.height);
    drawableSize_ = {std::fmax(drawableSize.width, 1.0), std::fmax(drawableSize.height, 1.0)};
}

void KORLANFlowRenderer::mtkViewDrawableSizeWillChange(view::MetalView&, view::Size size) {
    updateDrawableMetrics(size);
}
