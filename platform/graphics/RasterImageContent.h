#pragma once

#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/ImageContent.h"

#include <memory>

namespace graphics {

// A bitmap, drawn one point per pixel and resampled as the context's image
// interpolation asks when scaled.
class RasterImageContent final : public ImageContent {
public:
    // From an RGBAPremultipliedLast bitmap; null when cairo cannot hold it.
    static std::unique_ptr<RasterImageContent> fromBitmap(const BitmapImage& bitmap);

    ~RasterImageContent() override;
    RasterImageContent(const RasterImageContent&) = delete;
    RasterImageContent& operator=(const RasterImageContent&) = delete;

    Size size() const override;
    void draw(cairo_t* cairo, Size extent, ImageInterpolation interpolation) const override;

private:
    explicit RasterImageContent(cairo_surface_t* surface) : surface_(surface) {}

    cairo_surface_t* surface_;
};

} // namespace graphics
