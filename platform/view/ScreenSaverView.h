#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/TimerSource.h"
#include "platform/view/View.h"

#include <memory>

namespace view {

class Window;

// The view a screen saver draws in, as its host drives it: made for a
// display or for the preview thumbnail, started and stopped. The base
// animation calls animateOneFrame every animation interval between
// startAnimation and stopAnimation.
class KF_PLATFORM_API ScreenSaverView : public View {
public:
    bool isPreview() const { return preview_; }
    double animationTimeInterval() const { return animationTimeInterval_; }
    void setAnimationTimeInterval(double seconds);
    bool isAnimating() const { return animationTimer_ != nullptr; }

    virtual void startAnimation();
    virtual void stopAnimation();
    virtual void animateOneFrame() {}
    virtual bool hasConfigureSheet() const { return false; }
    // The window of the view's settings sheet, for the host to present; null
    // for a saver without settings.
    virtual std::shared_ptr<Window> configureSheet() { return nullptr; }

    // The view draws itself, also where views are shown as widgets.
    void realize(ViewRealizer& realizer) override;

protected:
    ScreenSaverView(Rect frame, bool isPreview);

private:
    // The base animation alone, whatever a subclass makes of start and stop.
    void startAnimationTimer();
    void stopAnimationTimer();

    bool preview_;
    double animationTimeInterval_ = 1.0 / 30.0;
    std::shared_ptr<dispatch::TimerSource> animationTimer_;
};

// What a module registers for its principal class, so a host makes its
// views without linking it.
struct ScreenSaverViewClass {
    std::shared_ptr<ScreenSaverView> (*initWithFrame)(Rect frame, bool isPreview);
    // Whether the host should fade the displays when the saver starts and
    // stops.
    bool (*performGammaFade)();
};

} // namespace view
