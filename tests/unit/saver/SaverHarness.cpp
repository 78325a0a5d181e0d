#include "tests/unit/saver/SaverHarness.h"

#include "tests/support/SvgDocument.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/PNGEncoding.h"
#include "platform/view/Screen.h"

#include <gtest/gtest.h>

std::ostream& operator<<(std::ostream& stream, SaverState state) {
    constexpr const char* kNames[] = {"Stopped", "Waiting", "Rendering", "PreviewShowing", "Displaced", "Inconsistent"};
    return stream << kNames[static_cast<int>(state)];
}

namespace {

bool ownsGPUSide(const KORLANFlowScreenSaverView& view) {
    return view.metalView() || view.renderer() || view.renderTimer();
}

bool ownsNothing(const KORLANFlowScreenSaverView& view) {
    return !ownsGPUSide(view) && !view.isAnimating() && !view.claimedDisplayIdentifier();
}

bool rendersFully(const KORLANFlowScreenSaverView& view) {
    const auto& metal = view.metalView();
    return metal && view.renderer() && view.renderTimer() && view.isAnimating() && metal->superview().get() == &view &&
           metal->delegate() == view.renderer();
}

} // namespace

SaverState stateOf(const KORLANFlowScreenSaverView& view) {
    const auto state = [&](bool fits, SaverState named) { return fits ? named : SaverState::Inconsistent; };
    if (!view.animationRequested()) {
        return state(!view.displacedByReplacement() && !view.saverRunning() && ownsNothing(view), SaverState::Stopped);
    }
    if (view.displacedByReplacement()) return state(!view.saverRunning() && ownsNothing(view), SaverState::Displaced);
    if (!view.saverRunning()) return state(!ownsGPUSide(view) && !view.isAnimating(), SaverState::Waiting);
    if (view.isPreview()) {
        return state(view.isAnimating() && !ownsGPUSide(view) && !view.claimedDisplayIdentifier(),
                     SaverState::PreviewShowing);
    }
    return state(rendersFully(view), SaverState::Rendering);
}

SaverHarness::SaverHarness() {
    bundle.withResource("overlay-logo.svg", svgDocument(547, 100, R"(<rect width="547" height="100" fill="#eeeeee"/>)"))
        .withResource("preview.png", fourColourPicturePNG());
    useDevice(device);
    useBundle(bundle.bundle());
    testing::internal::CaptureStderr();
}

SaverHarness::~SaverHarness() {
    dispatch::MainQueue::shared().drain();
    testing::internal::GetCapturedStderr();
}

std::shared_ptr<view::Window> SaverHarness::windowOnDisplay(std::optional<std::int64_t> display, view::Size points,
                                                            double scale) {
    view::DeviceDescription description;
    if (display) description[view::kScreenNumberKey] = *display;
    const view::Rect frame{{0.0, 0.0}, points};
    return view::Window::initWithContentRect(frame, view::WindowStyleMaskBorderless,
                                             view::Screen::initWithFrame(frame, scale, description), scale);
}

std::shared_ptr<KORLANFlowScreenSaverView> SaverHarness::newView(bool isPreview, view::Size points) {
    return KORLANFlowScreenSaverView::initWithFrame({{0.0, 0.0}, points}, isPreview);
}

PlacedView SaverHarness::placedView(bool isPreview, std::optional<std::int64_t> display) {
    PlacedView placed{windowOnDisplay(display), newView(isPreview)};
    placed.window->contentView()->addSubview(placed.view);
    return placed;
}

PlacedView SaverHarness::startedView(bool isPreview, std::optional<std::int64_t> display) {
    auto placed = placedView(isPreview, display);
    placed.view->startAnimation();
    return placed;
}

void SaverHarness::useDevice(std::shared_ptr<gpu::Device> device) {
    systemDevice_.reset();
    systemDevice_.emplace(std::move(device));
}

void SaverHarness::useBundle(std::shared_ptr<foundation::Bundle> bundle) {
    ownBundle_.reset();
    ownBundle_.emplace(std::move(bundle));
}

int SaverHarness::loggedTimes(const std::string& message) {
    const std::string logged = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    int times = 0;
    for (auto at = logged.find(message); at != std::string::npos; at = logged.find(message, at + 1)) ++times;
    return times;
}

std::string fourColourPicturePNG() {
    const std::vector<std::uint8_t> pixels{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    const auto image = graphics::BitmapImage::create(2, 2, 8, graphics::BitmapLayout::RGBAPremultipliedLast, pixels);
    const auto png = graphics::encodePNG(*image);
    return std::string(png->begin(), png->end());
}
