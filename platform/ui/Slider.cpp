#include "platform/ui/Slider.h"

#include "platform/view/ViewRealizer.h"

#include <cmath>

namespace ui {

std::shared_ptr<Slider> Slider::sliderWithValue(double value, double minValue, double maxValue, Action action) {
    std::shared_ptr<Slider> slider(new Slider(minValue, maxValue, std::move(action)));
    slider->setDoubleValue(value);
    return slider;
}

void Slider::setDoubleValue(double value) {
    // fmax gives the bound when the value is NaN.
    value_ = std::fmin(std::fmax(value, minValue_), maxValue_);
    didChange();
}

void Slider::moveTo(double value) {
    setDoubleValue(value);
    moving_ = true;
    if (continuous_) sendAction();
}

void Slider::endMove() {
    if (!moving_) return;
    moving_ = false;
    if (!continuous_) sendAction();
}

void Slider::realize(view::ViewRealizer& realizer) {
    const std::weak_ptr<Slider> slider = std::static_pointer_cast<Slider>(shared_from_this());
    realizer.realizeSlider(*this, {value_, minValue_, maxValue_,
                                   [slider](double value) {
                                       if (const auto moved = slider.lock()) moved->moveTo(value);
                                   },
                                   [slider] {
                                       if (const auto moved = slider.lock()) moved->endMove();
                                   }});
}

} // namespace ui
