#include "saver/KORLANFlowScreenSaverView.h"

void KORLANFlowScreenSaverView::viewWillMoveToWindow(const std::shared_ptr<view::Window>& newWindow) {
    const auto currentWindow = window();
    if (currentWindow && newWindow != currentWindow) {
        stopObservingWindow();
        suspendForLifecycleChange();
    }
    ScreenSaverView::viewWillMoveToWindow(newWindow);
}

void KORLANFlowScreenSaverView::viewDidMoveToWindow() {
    ScreenSaverView::viewDidMoveToWindow();
    stopObservingWindow();
    const auto currentWindow = window();
    if (!currentWindow) return;
    observeWindow(currentWindow);
    startRenderingIfPossible();
}

void KORLANFlowScreenSaverView::viewWillMoveToSuperview(const std::shared_ptr<view::View>& newSuperview) {
    if (!newSuperview && superview()) suspendForLifecycleChange();
    ScreenSaverView::viewWillMoveToSuperview(newSuperview);
}

void KORLANFlowScreenSaverView::viewDidMoveToSuperview() {
    ScreenSaverView::viewDidMoveToSuperview();
    startRenderingIfPossible();
}

void KORLANFlowScreenSaverView::viewDidHide() {
    ScreenSaverView::viewDidHide();
    suspendForLifecycleChange();
}

void KORLANFlowScreenSaverView::viewDidUnhide() {
    ScreenSaverView::viewDidUnhide();
    startRenderingIfPossible();
}

// Window observation

void KORLANFlowScreenSaverView::observeWindow(const std::shared_ptr<view::Window>& window) {
    observedWindow_ = window;
    windowObserver_ =
        observe(view::kWindowWillCloseNotification, window.get(), &KORLANFlowScreenSaverView::observedWindowWillClose);
}

void KORLANFlowScreenSaverView::observedWindowWillClose(const foundation::Notification& notification) {
    const auto window = observedWindow_.lock();
    if (!window || notification.object != window.get()) return;
    stopObservingWindow();
    suspendForLifecycleChange();
}

void KORLANFlowScreenSaverView::stopObservingWindow() {
    // Keyed on the observation rather than the weak window, so that the
    // observation of a window that has gone is ended too.
    if (!windowObserver_) return;
    foundation::NotificationCenter::defaultCenter().removeObserver(*windowObserver_);
    windowObserver_.reset();
    observedWindow_.reset();
}
