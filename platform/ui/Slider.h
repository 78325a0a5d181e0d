#pragma once

#include "platform/PlatformExport.h"
#include "platform/ui/Control.h"

#include <memory>

namespace ui {

enum class ControlSize { Regular = 0, Small = 1, Mini = 2, Large = 3 };

// A value chosen by dragging a knob between two bounds; the value never
// leaves them. A continuous slider sends its action at every position a
// move passes, any other only once the move ends.
class KF_PLATFORM_API Slider : public Control {
public:
    static std::shared_ptr<Slider> sliderWithValue(double value, double minValue, double maxValue, Action action);

    double doubleValue() const { return value_; }
    // A value outside the bounds (or NaN) is taken as the nearest bound (the
    // minimum).
    void setDoubleValue(double value);
    float floatValue() const { return static_cast<float>(value_); }
    void setFloatValue(float value) { setDoubleValue(value); }
    double minValue() const { return minValue_; }
    double maxValue() const { return maxValue_; }

    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }
    ControlSize controlSize() const { return controlSize_; }
    void setControlSize(ControlSize size) { controlSize_ = size; }

    // The user moved the knob to this value.
    void moveTo(double value);
    // The user let go of the knob (or of a key); nothing when nothing moved.
    void endMove();

    void realize(view::ViewRealizer& realizer) override;

private:
    Slider(double minValue, double maxValue, Action action)
        : Control(std::move(action)), minValue_(minValue), maxValue_(maxValue) {}

    double value_ = 0.0;
    double minValue_;
    double maxValue_;
    bool continuous_ = false;
    bool moving_ = false;
    ControlSize controlSize_ = ControlSize::Regular;
};

} // namespace ui
