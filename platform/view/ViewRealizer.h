#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"

#include <functional>
#include <optional>
#include <string>

namespace view {

class View;

// What a label shows.
struct LabelWidget {
    std::string text;
    graphics::TextAlignment alignment = graphics::TextAlignment::Natural;
    graphics::Font font;
    // None: the toolkit's own text colour.
    std::optional<graphics::Color> color;
};

// A horizontal slider and what it tells its view: each move, and the end of
// a drag or key press.
struct SliderWidget {
    double value = 0.0;
    double minimum = 0.0;
    double maximum = 1.0;
    std::function<void(double value)> moved;
    std::function<void()> moveEnded;
};

struct ButtonWidget {
    std::string title;
    bool circular = false;
    // Fills the button, with its title in white on it.
    std::optional<graphics::Color> tint;
    std::function<void()> clicked;
};

// Shows views as the widgets of a toolkit. Each view says which widget shows
// it, through View::realize, when its window is first shown and again each
// time what it shows changes; the realizer makes the widget the first time
// and brings it up to date after that.
class ViewRealizer {
public:
    virtual ~ViewRealizer() = default;

    // A view that holds others and paints no more than its layer.
    virtual void realizeContainer(View& view) = 0;
    // A view that draws itself with drawRect:.
    virtual void realizeDrawing(View& view) = 0;
    virtual void realizeLabel(View& view, const LabelWidget& label) = 0;
    virtual void realizeSlider(View& view, const SliderWidget& slider) = 0;
    virtual void realizeButton(View& view, const ButtonWidget& button) = 0;
};

} // namespace view
