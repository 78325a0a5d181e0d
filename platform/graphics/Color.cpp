#include "platform/graphics/Color.h"

#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

namespace graphics {

void Color::setFill() const {
    if (const auto context = GraphicsContext::currentContext()) context->setFillColor(*this);
}

void RectFill(Rect rect) {
    const auto context = GraphicsContext::currentContext();
    if (!context) return;
    cairo_t* cairo = context->cairoContext();
    const Color& fill = context->fillColor();
    cairo_save(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cairo, fill.red, fill.green, fill.blue, fill.alpha);
    cairo_rectangle(cairo, rect.minX(), rect.minY(), rect.size.width, rect.size.height);
    cairo_fill(cairo);
    cairo_restore(cairo);
}

} // namespace graphics
