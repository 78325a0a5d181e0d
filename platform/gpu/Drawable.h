#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/InplaceFunction.h"
#include "platform/gpu/Texture.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gpu {

// What a GPU report's handler may capture, in bytes: handlers are added
// every frame and kept without a heap allocation.
inline constexpr std::size_t kHandlerCapacity = 6 * sizeof(void*);

// A texture to draw a frame into and then show. Taken and never presented,
// it goes back to where it came from.
class KF_PLATFORM_API Drawable {
public:
    // Runs on a thread of the backend, never the main thread, with the
    // drawable; released right after it ran.
    using PresentedHandler =
        foundation::InplaceFunction<void(const std::shared_ptr<Drawable>& drawable), kHandlerCapacity>;

    virtual ~Drawable() = default;
    virtual std::shared_ptr<Texture> texture() const = 0;
    virtual void addPresentedHandler(PresentedHandler handler) = 0;
    // Uptime in seconds when the frame was shown; 0 while it has not been,
    // and for good when it was dropped.
    virtual double presentedTime() const = 0;
};

// Where a view's drawables come from: a window's swapchain, or a bounded set
// of offscreen textures for views without a window.
class KF_PLATFORM_API DrawableSource {
public:
    virtual ~DrawableSource() = default;
    // Null when no drawable becomes free in time or the source is gone.
    virtual std::shared_ptr<Drawable> nextDrawable() = 0;
};

// The drawables of one window. Asking for one never holds the caller up for
// more than about a millisecond: without a free image in that time it gives
// none, and the frame is skipped.
class KF_PLATFORM_API WindowDrawableSource : public DrawableSource {
public:
    // The window's size in pixels as its owner last saw it; drawables of
    // that size come from the next request on.
    virtual void setDrawableSize(std::uint64_t width, std::uint64_t height) = 0;
    // True once the window has gone: no drawable comes any more.
    virtual bool isLost() const = 0;
};

} // namespace gpu
