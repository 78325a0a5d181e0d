#pragma once

#include "renderer/KORLANFlowRenderer.h"
#include "sheet/KORLANFlowConfigurationController.h"

#include "platform/dispatch/TimerSource.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/Image.h"
#include "platform/view/MetalView.h"
#include "platform/view/ScreenSaverView.h"
#include "platform/view/Window.h"

#include <cstdint>
#include <memory>
#include <optional>

// The module's principal class, the one object the host talks to. It turns
// the host's start and stop requests and the window, superview and
// visibility events into one of two activities: GPU frames driven by its
// own 60 Hz timer, or (in the preview) a fixed picture. Whenever one of the
// conditions for running goes, everything GPU-related is torn down in a
// fixed order; the next start builds it afresh. Main thread only.
class KORLANFlowScreenSaverView final : public view::ScreenSaverView {
public:
    static std::shared_ptr<KORLANFlowScreenSaverView> initWithFrame(view::Rect frame, bool isPreview);
    ~KORLANFlowScreenSaverView() override;

    // Host requests.
    void startAnimation() override;
    void stopAnimation() override;
    // All drawing comes from the render timer.
    void animateOneFrame() override {}
    bool hasConfigureSheet() const override { return true; }
    // The settings sheet's window: one controller per view, made on the
    // first request and showing the stored settings at every one.
    std::shared_ptr<view::Window> configureSheet() override;
    // The host fades the displays when the saver starts and stops.
    static bool performGammaFade() { return true; }

    // Fallback drawing: the background colour, and in the preview the
    // picture from the bundle stretched over the whole view.
    void drawRect(view::Rect dirtyRect) override;
    bool isOpaque() const override { return true; }

    // Notification handlers.
    void flowSettingsDidChange(const foundation::Notification& notification);
    void observedWindowWillClose(const foundation::Notification& notification);

    // The lifecycle.
    bool configureMetalRendererWithBundle(const std::shared_ptr<foundation::Bundle>& bundle);
    void startRenderingIfPossible();
    void suspendForLifecycleChange();
    void suspendBecauseReplacedOnDisplay();
    void tearDownRenderingAndFrameworkTimer();
    void stopObservingWindow();

    // The render loop.
    void startRenderTimer();
    void stopRenderTimer();
    void renderOneFrameForGeneration(std::uint64_t generation);

    // The display claim registry.
    std::optional<std::int64_t> currentDisplayIdentifier() const;
    void claimCurrentDisplay();
    void unregisterActiveDisplayClaim();

    const std::shared_ptr<view::MetalView>& metalView() const { return metalView_; }
    const std::shared_ptr<KORLANFlowRenderer>& renderer() const { return renderer_; }
    const std::shared_ptr<dispatch::TimerSource>& renderTimer() const { return renderTimer_; }
    const std::shared_ptr<graphics::Image>& settingsPreviewImage() const { return settingsPreviewImage_; }
    const std::shared_ptr<KORLANFlowConfigurationController>& configurationController() const {
        return configurationController_;
    }
    std::optional<std::int64_t> claimedDisplayIdentifier() const { return claimedDisplayIdentifier_; }
    std::shared_ptr<view::Window> observedWindow() const { return observedWindow_.lock(); }
    bool animationRequested() const { return animationRequested_; }
    bool saverRunning() const { return saverRunning_; }
    bool displacedByReplacement() const { return displacedByReplacement_; }
    std::uint64_t renderGeneration() const { return renderGeneration_; }

protected:
    void viewWillMoveToWindow(const std::shared_ptr<view::Window>& newWindow) override;
    void viewDidMoveToWindow() override;
    void viewWillMoveToSuperview(const std::shared_ptr<view::View>& newSuperview) override;
    void viewDidMoveToSuperview() override;
    void viewDidHide() override;
    void viewDidUnhide() override;

private:
    KORLANFlowScreenSaverView(view::Rect frame, bool isPreview) : ScreenSaverView(frame, isPreview) {}

    // The bundle whose library holds this class: where the view finds its
    // preview picture, GPU programs and logo.
    static std::shared_ptr<foundation::Bundle> classBundle();
    std::shared_ptr<KORLANFlowScreenSaverView> self();
    void loadSettingsPreviewImage();
    using NotificationHandler = void (KORLANFlowScreenSaverView::*)(const foundation::Notification&);
    foundation::NotificationCenter::ObserverId observe(const char* name, const void* sender,
                                                       NotificationHandler handler);
    void observeWindow(const std::shared_ptr<view::Window>& window);
    bool runConditionsHold() const;
    void startShowingPreview();
    void startRendering();
    std::shared_ptr<view::MetalView> newConfiguredMetalView(const std::shared_ptr<gpu::Device>& device) const;

    std::shared_ptr<view::MetalView> metalView_;
    std::shared_ptr<KORLANFlowRenderer> renderer_;
    std::shared_ptr<dispatch::TimerSource> renderTimer_;
    std::shared_ptr<graphics::Image> settingsPreviewImage_;
    std::shared_ptr<KORLANFlowConfigurationController> configurationController_;
    std::optional<std::int64_t> claimedDisplayIdentifier_;
    std::weak_ptr<view::Window> observedWindow_;
    bool animationRequested_ = false;
    bool saverRunning_ = false;
    bool displacedByReplacement_ = false;
    std::uint64_t renderGeneration_ = 0;

    std::optional<foundation::NotificationCenter::ObserverId> settingsObserver_;
    std::optional<foundation::NotificationCenter::ObserverId> windowObserver_;
};
