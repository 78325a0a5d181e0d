#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

#include <vector>

namespace graphics {

namespace {

struct ThreadGraphicsState {
    std::shared_ptr<GraphicsContext> current;
    std::vector<std::shared_ptr<GraphicsContext>> saved;
};

ThreadGraphicsState& threadState() {
    thread_local ThreadGraphicsState state;
    return state;
}

// cairo's device space has y growing downwards from the top, like flipped
// points; unflipped points grow upwards from the bottom edge.
void mapPointsToPixels(cairo_t* cairo, const BitmapImageRep& rep, bool flipped) {
    const Size points = rep.size();
    const double yScale = rep.pixelsHigh() / points.height;
    if (!flipped) cairo_translate(cairo, 0.0, rep.pixelsHigh());
    cairo_scale(cairo, rep.pixelsWide() / points.width, flipped ? yScale : -yScale);
}

} // namespace

GraphicsContext::GraphicsContext(std::shared_ptr<BitmapImageRep> rep, cairo_t* cairo, bool flipped)
    : rep_(std::move(rep)), cairo_(cairo), flipped_(flipped) {}

GraphicsContext::~GraphicsContext() { cairo_destroy(cairo_); }

std::shared_ptr<GraphicsContext> GraphicsContext::graphicsContextWithBitmapImageRep(
    const std::shared_ptr<BitmapImageRep>& rep, bool flipped) {
    if (!rep) return nullptr;
    cairo_t* cairo = cairo_create(rep->cairoSurface());
    mapPointsToPixels(cairo, *rep, flipped);
    // A point size of zero leaves no coordinates to draw in.
    if (cairo_status(cairo) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cairo);
        return nullptr;
    }
    return std::shared_ptr<GraphicsContext>(new GraphicsContext(rep, cairo, flipped));
}

std::shared_ptr<GraphicsContext> GraphicsContext::currentContext() { return threadState().current; }

void GraphicsContext::setCurrentContext(std::shared_ptr<GraphicsContext> context) {
    threadState().current = std::move(context);
}

void GraphicsContext::saveGraphicsState() {
    auto& state = threadState();
    state.saved.push_back(state.current);
}

void GraphicsContext::restoreGraphicsState() {
    auto& state = threadState();
    if (state.saved.empty()) return;
    state.current = std::move(state.saved.back());
    state.saved.pop_back();
}

void GraphicsContext::saveState() {
    cairo_save(cairo_);
    savedFillColors_.push_back(fillColor_);
}

void GraphicsContext::restoreState() {
    if (savedFillColors_.empty()) return;
    cairo_restore(cairo_);
    fillColor_ = savedFillColors_.back();
    savedFillColors_.pop_back();
}

void GraphicsContext::translateBy(double x, double y) { cairo_translate(cairo_, x, y); }

void GraphicsContext::clipToRect(Rect rect) {
    cairo_rectangle(cairo_, rect.minX(), rect.minY(), rect.size.width, rect.size.height);
    cairo_clip(cairo_);
}

void GraphicsContext::flushGraphics() { cairo_surface_flush(cairo_get_target(cairo_)); }

} // namespace graphics
