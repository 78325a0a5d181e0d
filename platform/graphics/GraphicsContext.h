#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <vector>

struct _cairo;

namespace graphics {

// How scaled raster images are resampled.
enum class ImageInterpolation { Default = 0, None = 1, Low = 2, High = 3, Medium = 4 };

// A 2-D drawing destination. Each thread has its own current context and its
// own stack of saved graphics states; drawing operations draw into the
// calling thread's current context.
//
// Coordinates are points with the origin at the lower-left corner and y
// growing upwards, unless the context is flipped (origin at the top-left, y
// growing downwards).
class KF_PLATFORM_API GraphicsContext {
public:
    // A context drawing into the raster in the raster's point size; null
    // without a raster or with a point size of zero.
    static std::shared_ptr<GraphicsContext> graphicsContextWithBitmapImageRep(
        const std::shared_ptr<BitmapImageRep>& rep, bool flipped = false);

    // The calling thread's current context; null when none was set.
    static std::shared_ptr<GraphicsContext> currentContext();
    static void setCurrentContext(std::shared_ptr<GraphicsContext> context);
    // Remembers the calling thread's current context; the matching restore
    // makes it current again. A restore without a save does nothing.
    static void saveGraphicsState();
    static void restoreGraphicsState();

    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    bool isFlipped() const { return flipped_; }
    ImageInterpolation imageInterpolation() const { return imageInterpolation_; }
    void setImageInterpolation(ImageInterpolation interpolation) { imageInterpolation_ = interpolation; }
    const Color& fillColor() const { return fillColor_; }
    void setFillColor(const Color& color) { fillColor_ = color; }

    // The context's own drawing state (origin, clip, fill colour), saved
    // and restored in pairs, for drawing parts of a picture in turn.
    void saveState();
    void restoreState();
    // Moves the origin to the given point of the current coordinates.
    void translateBy(double x, double y);
    // Limits drawing to the rectangle, within the current limit.
    void clipToRect(Rect rect);
    // Makes everything drawn so far visible in the destination's pixels.
    void flushGraphics();

    // For drawing operations: a cairo context whose user space is this
    // context's points.
    _cairo* cairoContext() const { return cairo_; }

private:
    GraphicsContext(std::shared_ptr<BitmapImageRep> rep, _cairo* cairo, bool flipped);

    std::shared_ptr<BitmapImageRep> rep_;
    _cairo* cairo_;
    bool flipped_;
    ImageInterpolation imageInterpolation_ = ImageInterpolation::Default;
    Color fillColor_;
    std::vector<Color> savedFillColors_;
};

} // namespace graphics
