#include "platform/view/Screen.h"

namespace view {

Screen::Screen(Rect frame, double backingScaleFactor, DeviceDescription description)
    : frame_(frame), backingScaleFactor_(backingScaleFactor), description_(std::move(description)) {}

std::shared_ptr<Screen> Screen::initWithFrame(Rect frame, double backingScaleFactor, DeviceDescription description) {
    return std::shared_ptr<Screen>(new Screen(frame, backingScaleFactor, std::move(description)));
}

} // namespace view
