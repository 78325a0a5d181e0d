#include "saver/KORLANFlowScreenSaverView.h"

#include "renderer/BackgroundClearColor.h"
#include "renderer/BackgroundColor.h"
#include "renderer/RendererErrors.h"
#include "settings/KORLANFlowConfiguration.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/ProcessInfo.h"

#include <string>

namespace {

constexpr double kAnimationTimeInterval = 1.0 / 60.0;
constexpr int kPreferredFramesPerSecond = 60;

constexpr const char* kNoDeviceMessage = "KORLAN Flow: Dieses System stellt kein Metal-Gerät bereit.";
// Followed by the error's description.
constexpr const char* kRendererFailedMessage = "KORLAN Flow: Nativer Renderer konnte nicht starten: ";

} // namespace

// Creation and release

std::shared_ptr<KORLANFlowScreenSaverView> KORLANFlowScreenSaverView::initWithFrame(view::Rect frame, bool isPreview) {
    std::shared_ptr<KORLANFlowScreenSaverView> saverView(new KORLANFlowScreenSaverView(frame, isPreview));
    saverView->setAnimationTimeInterval(kAnimationTimeInterval);
    saverView->setWantsLayer(true);
    saverView->layer()->backgroundColor = kBackgroundColor;
    if (saverView->isPreview()) saverView->loadSettingsPreviewImage();
    saverView->settingsObserver_ = saverView->observe(KORLANFlowSettingsDidChangeNotification, nullptr,
                                                      &KORLANFlowScreenSaverView::flowSettingsDidChange);
    return saverView;
}

KORLANFlowScreenSaverView::~KORLANFlowScreenSaverView() {
    stopObservingWindow();
    unregisterActiveDisplayClaim();
    tearDownRenderingAndFrameworkTimer();
    if (settingsObserver_) foundation::NotificationCenter::defaultCenter().removeObserver(*settingsObserver_);
}

std::shared_ptr<foundation::Bundle> KORLANFlowScreenSaverView::classBundle() {
    return foundation::Bundle::bundleForAddress(
        reinterpret_cast<const void*>(&KORLANFlowScreenSaverView::initWithFrame));
}

std::shared_ptr<KORLANFlowScreenSaverView> KORLANFlowScreenSaverView::self() {
    return std::static_pointer_cast<KORLANFlowScreenSaverView>(shared_from_this());
}

void KORLANFlowScreenSaverView::loadSettingsPreviewImage() {
    const auto bundle = classBundle();
    const auto location = bundle ? bundle->URLForResource("preview", "png") : std::filesystem::path();
    // A picture that cannot be read leaves the preview showing the background.
    settingsPreviewImage_ = location.empty() ? nullptr : graphics::Image::initWithContentsOfFile(location);
}

foundation::NotificationCenter::ObserverId KORLANFlowScreenSaverView::observe(const char* name, const void* sender,
                                                                              NotificationHandler handler) {
    // Weak: the notification centre must not keep the view alive.
    std::weak_ptr<KORLANFlowScreenSaverView> weakView = self();
    return foundation::NotificationCenter::defaultCenter().addObserverForName(
        name, sender, [weakView, handler](const foundation::Notification& notification) {
            if (const auto saverView = weakView.lock()) (saverView.get()->*handler)(notification);
        });
}

// Host requests

void KORLANFlowScreenSaverView::startAnimation() {
    animationRequested_ = true;
    displacedByReplacement_ = false;
    startRenderingIfPossible();
}

void KORLANFlowScreenSaverView::stopAnimation() {
    animationRequested_ = false;
    displacedByReplacement_ = false;
    unregisterActiveDisplayClaim();
    tearDownRenderingAndFrameworkTimer();
}

// Starting

bool KORLANFlowScreenSaverView::runConditionsHold() const {
    return animationRequested_ && !displacedByReplacement_ && !saverRunning_ && window() && superview() &&
           !isHidden() && bounds().size.width > 0.0 && bounds().size.height > 0.0;
}

void KORLANFlowScreenSaverView::startRenderingIfPossible() {
    if (!runConditionsHold()) return;
    if (isPreview()) {
        startShowingPreview();
    } else {
        startRendering();
    }
}

void KORLANFlowScreenSaverView::startShowingPreview() {
    if (!isAnimating()) ScreenSaverView::startAnimation();
    saverRunning_ = true;
    setNeedsDisplay(true);
    displayIfNeeded();
}

void KORLANFlowScreenSaverView::startRendering() {
    claimCurrentDisplay();
    if (displacedByReplacement_) return;
    // On failure the claim stays: the next start trigger retries from the
    // top, and a retry of the same view displaces nobody.
    if (!configureMetalRendererWithBundle(classBundle())) return;
    if (!isAnimating()) ScreenSaverView::startAnimation();
    saverRunning_ = true;
    renderer_->startAtTimestamp(foundation::ProcessInfo::systemUptime() * 1000.0);
    // Lays out now, so that the Metal view's frame and drawable are current.
    layoutSubtreeIfNeeded();
    renderer_->mtkViewDrawableSizeWillChange(*metalView_, metalView_->drawableSize());
    metalView_->setPaused(true);
    startRenderTimer();
    // The first frame now, before the first tick.
    renderOneFrameForGeneration(renderGeneration_);
}

// GPU set-up

bool KORLANFlowScreenSaverView::configureMetalRendererWithBundle(const std::shared_ptr<foundation::Bundle>& bundle) {
    if (metalView_ && renderer_) return true;
    const auto device = gpu::Device::createSystemDefaultDevice();
    if (!device) {
        foundation::Log(kNoDeviceMessage);
        return false;
    }
    auto newMetalView = newConfiguredMetalView(device);
    ErrorRef error;
    std::shared_ptr<KORLANFlowRenderer> newRenderer;
    if (bundle) {
        newRenderer = KORLANFlowRenderer::initWithMetalView(newMetalView, *bundle, &error);
    } else {
        // A library outside its bundle has no GPU programs to load.
        reportRendererError(&error, RendererErrorCode::ShaderLibraryMissing);
    }
    if (!newRenderer) {
        foundation::Log(kRendererFailedMessage + foundation::describe(error));
        return false;
    }
    newRenderer->applyConfiguration(KORLANFlowLoadConfiguration());
    newMetalView->setDelegate(newRenderer);
    metalView_ = std::move(newMetalView);
    renderer_ = std::move(newRenderer);
    addSubview(metalView_);
    return true;
}

std::shared_ptr<view::MetalView>
KORLANFlowScreenSaverView::newConfiguredMetalView(const std::shared_ptr<gpu::Device>& device) const {
    auto configured = view::MetalView::initWithFrame(bounds(), device);
    configured->setAutoresizingMask(view::ViewWidthSizable | view::ViewHeightSizable);
    configured->setColorPixelFormat(gpu::PixelFormat::BGRA8Unorm);
    configured->setClearColor(kBackgroundClearColor);
    configured->setFramebufferOnly(true);
    // Frames come only from the render timer's explicit draws.
    configured->setPaused(true);
    configured->setEnableSetNeedsDisplay(false);
    configured->setPreferredFramesPerSecond(kPreferredFramesPerSecond);
    configured->setAutoResizeDrawable(true);
    configured->setColorspace(graphics::ColorSpace::createWithName(graphics::kColorSpaceSRGB));
    return configured;
}

// Suspension and teardown

void KORLANFlowScreenSaverView::suspendForLifecycleChange() {
    unregisterActiveDisplayClaim();
    tearDownRenderingAndFrameworkTimer();
}

void KORLANFlowScreenSaverView::suspendBecauseReplacedOnDisplay() {
    displacedByReplacement_ = true;
    unregisterActiveDisplayClaim();
    tearDownRenderingAndFrameworkTimer();
}

void KORLANFlowScreenSaverView::tearDownRenderingAndFrameworkTimer() {
    saverRunning_ = false;
    stopRenderTimer();
    // Nothing GPU-related may be released while the GPU still uses it.
    if (renderer_) renderer_->stopAndWaitForPendingCommands();
    if (metalView_) {
        metalView_->setPaused(true);
        metalView_->setDelegate(nullptr);
        metalView_->releaseDrawables();
        metalView_->removeFromSuperview();
    }
    renderer_.reset();
    metalView_.reset();
    if (isAnimating()) ScreenSaverView::stopAnimation();
}
