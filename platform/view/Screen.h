#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/Geometry.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>

namespace view {

// The key of a screen's number in its device description.
inline constexpr const char* kScreenNumberKey = "NSScreenNumber";

// A value of a device description: a number, or text.
using DeviceDescriptionValue = std::variant<std::int64_t, std::string>;
using DeviceDescription = std::map<std::string, DeviceDescriptionValue>;

// One display: where it lies among the others (points, origin at the lower
// left of the first), how many pixels a point has there, and its
// description, whose "NSScreenNumber" tells the displays apart.
class KF_PLATFORM_API Screen {
public:
    static std::shared_ptr<Screen> initWithFrame(Rect frame, double backingScaleFactor, DeviceDescription description);

    Rect frame() const { return frame_; }
    double backingScaleFactor() const { return backingScaleFactor_; }
    const DeviceDescription& deviceDescription() const { return description_; }

private:
    Screen(Rect frame, double backingScaleFactor, DeviceDescription description);

    Rect frame_;
    double backingScaleFactor_;
    DeviceDescription description_;
};

} // namespace view
