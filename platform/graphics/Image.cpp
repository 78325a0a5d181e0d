#include "platform/graphics/Image.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/PNGEncoding.h"
#include "platform/graphics/RasterImageContent.h"
#include "platform/graphics/SVGImageContent.h"

#include "platform/foundation/RegularFile.h"

#include <new>
#include <vector>

namespace graphics {

namespace {

std::unique_ptr<ImageContent> contentFromBytes(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return nullptr;
    if (const auto bitmap = decodePNG(bytes)) return RasterImageContent::fromBitmap(*bitmap);
    return SVGImageContent::fromData(bytes);
}

cairo_operator_t cairoOperator(CompositingOperation operation) {
    return operation == CompositingOperation::Copy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER;
}

bool isEmpty(Size size) { return !(size.width > 0.0 && size.height > 0.0); }

// Maps the image's own space (origin top-left, y down, extent as given) so
// that the source rectangle lands on rect. The image's top row goes to
// rect's minimum y where that is the visual top (a flipped context that is
// respected), else to its maximum y.
void mapImageOntoRect(cairo_t* cairo, Rect rect, Rect source, Size extent, bool topAtMinY) {
    const double xScale = rect.size.width / source.size.width;
    const double yScale = rect.size.height / source.size.height;
    cairo_translate(cairo, rect.minX(), topAtMinY ? rect.minY() : rect.maxY());
    cairo_scale(cairo, xScale, topAtMinY ? yScale : -yScale);
    // The source rectangle is measured from the image's bottom edge.
    cairo_translate(cairo, -source.minX(), -(extent.height - source.maxY()));
}

} // namespace

Image::Image(std::unique_ptr<ImageContent> content) : content_(std::move(content)) {}

Image::~Image() = default;

std::shared_ptr<Image> Image::initWithContentsOfFile(const std::filesystem::path& path) {
    const auto file = foundation::readRegularFile(path, kMaximumImageFileSize);
    if (!file.wasRead()) return nullptr;
    // Even within the limits, memory can run out; an image that cannot be
    // held is one that cannot be read.
    try {
        auto content = contentFromBytes(file.bytes);
        if (!content) return nullptr;
        return std::shared_ptr<Image>(new Image(std::move(content)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Size Image::size() const { return content_->size(); }

void Image::drawInRect(Rect rect, Rect fromRect, CompositingOperation operation, double fraction,
                       bool respectFlipped) const {
    const auto context = GraphicsContext::currentContext();
    const Size ownSize = size();
    const Size extent = isEmpty(ownSize) ? rect.size : ownSize;
    const Rect source = fromRect.isZero() ? Rect{{}, extent} : fromRect;
    // A degenerate scale would put the cairo context into a lasting error.
    if (!context || isEmpty(rect.size) || isEmpty(source.size)) return;

    cairo_t* cairo = context->cairoContext();
    cairo_save(cairo);
    cairo_rectangle(cairo, rect.minX(), rect.minY(), rect.size.width, rect.size.height);
    cairo_clip(cairo);
    // The artwork is composed on its own first, so that the operation
    // applies to the finished image, not to each of its shapes.
    cairo_push_group(cairo);
    mapImageOntoRect(cairo, rect, source, extent, context->isFlipped() && respectFlipped);
    content_->draw(cairo, extent, context->imageInterpolation());
    cairo_pop_group_to_source(cairo);
    cairo_set_operator(cairo, cairoOperator(operation));
    cairo_paint_with_alpha(cairo, fraction);
    cairo_restore(cairo);
}

} // namespace graphics
