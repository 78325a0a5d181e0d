#include "platform/view/wayland/SurfaceBackend.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/view/Window.h"
#include "platform/view/wayland/Subsurface.h"

#include <wayland-client.h>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace view::wayland {

namespace {

// How often the frame callbacks are looked after.
constexpr std::uint64_t kFrameWatchNanoseconds = 250000000;
// Without a frame callback for this long the surface is damaged, so that a
// compositor that shows it repaints it and answers...
constexpr std::uint64_t kAskAgainNanoseconds = 500000000;
// ...and when none has come after this long either, it is not shown.
constexpr std::uint64_t kHiddenNanoseconds = 1000000000;

// The scale's unit in the fractional-scale protocol.
constexpr double kFractionalScaleUnit = 120.0;

const wl_callback_listener kFrameListener = {
    .done = [](void* data, wl_callback*, uint32_t) { static_cast<SurfaceBackend*>(data)->frameShown(); },
};

const wp_fractional_scale_v1_listener kFractionalScaleListener = {
    .preferred_scale = [](void* data, wp_fractional_scale_v1*,
                          uint32_t scale) { static_cast<NewSurface*>(data)->preferredScale = scale; },
};

int wholePoints(double pixels, double scale) { return std::max(1, int(std::lround(pixels / scale))); }

} // namespace

std::unique_ptr<NewSurface> NewSurface::create(Connection& connection) {
    const auto& globals = connection.globals();
    auto created = std::make_unique<NewSurface>();
    created->surface = wl_compositor_create_surface(globals.compositor);
    if (globals.fractionalScale && globals.viewporter) {
        created->fractionalScale =
            wp_fractional_scale_manager_v1_get_fractional_scale(globals.fractionalScale, created->surface);
        wp_fractional_scale_v1_add_listener(created->fractionalScale, &kFractionalScaleListener, created.get());
    }
    return created;
}

SurfaceScale NewSurface::scaleOn(int outputScale) const {
    if (fractionalScale && preferredScale > 0) return {preferredScale / kFractionalScaleUnit, true};
    return {double(std::max(1, outputScale)), false};
}

SurfaceBackend::SurfaceBackend(Connection& connection, const NewSurface& surface, std::shared_ptr<Screen> screen,
                               SurfaceScale scale)
    : connection_(connection), surface_(surface.surface), screen_(std::move(screen)), scale_(scale), shared_(std::make_shared<SharedSurfaceState>()) {
    shared_->surface = surface_;
    // Later preferences are not followed: a window keeps the scale it was
    // made with.
    if (surface.fractionalScale) wp_fractional_scale_v1_destroy(surface.fractionalScale);
    if (scale_.fractional) {
        viewport_ = wp_viewporter_get_viewport(connection_.globals().viewporter, surface_);
    } else {
        wl_surface_set_buffer_scale(surface_, int(scale_.factor));
    }
    connection_.addTarget(surface_, this);
}

SurfaceBackend::~SurfaceBackend() = default;

void SurfaceBackend::attach(const std::shared_ptr<Window>& window) {
    owner_ = window;
    // The first contents are drawn once the window is set up, as an X
    // server's first exposure asks for them.
    std::weak_ptr<Window> weakWindow = window;
    dispatch::async([weakWindow] {
        if (const auto shown = weakWindow.lock()) shown->backendNeedsRedraw();
    });
}

void SurfaceBackend::configured(Size size) {
    if (size.width == size_.width && size.height == size_.height) return;
    size_ = size;
    if (viewport_) wp_viewport_set_destination(viewport_, int(std::lround(size.width)), int(std::lround(size.height)));
    if (const auto window = owner_.lock()) window->backendDidResize(size_);
}

void SurfaceBackend::closedByCompositor() {
    if (closed_) return;
    if (const auto window = owner_.lock()) window->backendDidClose();
}

void SurfaceBackend::showContents(const graphics::BitmapImageRep& contents) {
    if (closed_) return;
    std::erase_if(buffers_, [](const auto& buffer) { return buffer->isReleased(); });
    auto buffer = ShmBuffer::create(connection_.globals().shm, contents);
    if (!buffer) return;
    wl_surface_attach(surface_, buffer->handle(), 0, 0);
    wl_surface_damage(surface_, 0, 0, wholePoints(contents.pixelsWide(), scale_.factor),
                      wholePoints(contents.pixelsHigh(), scale_.factor));
    buffers_.push_back(std::move(buffer));
    const bool firstContents = !frameWatch_;
    if (firstContents) {
        lastFrameShown_ = dispatch::now();
        frameWatch_ = dispatch::TimerSource::create();
        if (frameWatch_) {
            frameWatch_->setTimer(dispatch::time(lastFrameShown_, kFrameWatchNanoseconds), kFrameWatchNanoseconds,
                                  kFrameWatchNanoseconds / 10);
            // Cancelled when the window closes, before this object goes.
            frameWatch_->setEventHandler([this] { checkFrames(); });
            frameWatch_->resume();
        }
    }
    askForFrame();
    wl_surface_commit(surface_);
    connection_.flush();
}

std::unique_ptr<NativeSurface> SurfaceBackend::newChildSurface(Rect pixels) {
    if (closed_) return nullptr;
    return Subsurface::create(connection_, shared_, scale_, pixels);
}

// The request takes effect with the surface's next commit: the caller's,
// or the driver's present of a subsurface's frame, which commits the
// window's cached state too.
void SurfaceBackend::askForFrame() {
    if (frameCallback_) return;
    frameCallback_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frameCallback_, &kFrameListener, this);
}

void SurfaceBackend::frameShown() {
    wl_callback_destroy(std::exchange(frameCallback_, nullptr));
    lastFrameShown_ = dispatch::now();
    askedAgain_ = false;
    shared_->frameDue = true;
    askForFrame();
    wl_surface_commit(surface_);
    connection_.flush();
    setShows(true);
}

void SurfaceBackend::checkFrames() {
    const dispatch::Time now = dispatch::now();
    if (now - lastFrameShown_ >= kHiddenNanoseconds) {
        setShows(false);
        return;
    }
    if (now - lastFrameShown_ < kAskAgainNanoseconds || askedAgain_) return;
    // Nothing may have changed on screen since the last frame: a corner
    // damaged makes a compositor that shows the surface repaint it.
    askedAgain_ = true;
    wl_surface_damage(surface_, 0, 0, 1, 1);
    wl_surface_commit(surface_);
    connection_.flush();
}

void SurfaceBackend::setShows(bool shows) {
    if (shows == shows_) return;
    shows_ = shows;
    // Hidden, the views draw nothing; shown again, they may at once.
    shared_->frameDue = true;
    if (visibilityChanged_) visibilityChanged_(shows_);
}

void SurfaceBackend::userActivity() {
    if (userActivity_) userActivity_();
}

void SurfaceBackend::close() {
    if (closed_) return;
    closed_ = true;
    if (frameWatch_) frameWatch_->cancel();
    connection_.removeTarget(surface_);
    if (frameCallback_) wl_callback_destroy(std::exchange(frameCallback_, nullptr));
    if (viewport_) wp_viewport_destroy(std::exchange(viewport_, nullptr));
    destroyRole();
    shared_->surface = nullptr;
    wl_surface_destroy(surface_);
    buffers_.clear();
    connection_.flush();
}

} // namespace view::wayland
