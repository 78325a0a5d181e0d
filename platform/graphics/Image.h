#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/Geometry.h"

#include <filesystem>
#include <memory>

namespace graphics {

class ImageContent;

// How drawn pixels combine with the destination's.
enum class CompositingOperation {
    // The image's pixels replace the destination's, transparent ones included.
    Copy = 1,
    // The image is blended over the destination by its alpha.
    SourceOver = 2,
};

// Artwork read from an SVG or PNG file.
class KF_PLATFORM_API Image {
public:
    // Null when the file cannot be read or holds neither a PNG image nor an
    // SVG document. Only a regular file of at most 8 MiB is read, never a
    // FIFO or a device, and an image over 16384 pixels on a side is refused
    // before its pixels are allocated.
    static std::shared_ptr<Image> initWithContentsOfFile(const std::filesystem::path& path);

    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // In points: a PNG's pixel size; an SVG's width and height, else its view
    // box's size, else zero (it then takes the size of the rectangle it is
    // drawn into).
    Size size() const;

    // Draws the part fromRect of the image (in the image's own points, origin
    // at its lower-left corner; the zero rectangle means the whole image)
    // into rect of the calling thread's current context, scaled on each axis
    // independently to fill it. The fraction scales the image's opacity.
    // With respectFlipped the image appears upright in a flipped context
    // too; an unflipped context always shows it upright. Without a current
    // context, or with an empty rectangle, nothing is drawn.
    void drawInRect(Rect rect, Rect fromRect, CompositingOperation operation, double fraction,
                    bool respectFlipped) const;

private:
    explicit Image(std::unique_ptr<ImageContent> content);

    std::unique_ptr<ImageContent> content_;
};

} // namespace graphics
