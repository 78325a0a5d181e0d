#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/View.h"

#include <functional>
#include <memory>

namespace ui {

// What a control does when it is used: a method to call on a target. The
// target is not owned, so that a controller that owns a window that owns a
// control pointing back at the controller is no cycle; once the target is
// gone, using the control does nothing.
class Action {
public:
    using Sender = std::shared_ptr<view::View>;

    Action() = default;
    template <class Target>
    Action(const std::shared_ptr<Target>& target, void (Target::*method)(const Sender& sender))
        : target_(target), send_([method](void* object, const Sender& sender) {
              (static_cast<Target*>(object)->*method)(sender);
          }) {}

    // True when the target was still there and got the call.
    bool sendFrom(const Sender& sender) const {
        const auto target = target_.lock();
        if (!target) return false;
        send_(target.get(), sender);
        return true;
    }

private:
    std::weak_ptr<void> target_;
    std::function<void(void*, const Sender&)> send_;
};

// A view the user acts on, which then sends its action with itself as the
// sender.
class KF_PLATFORM_API Control : public view::View {
public:
    const Action& action() const { return action_; }
    // True when the target was still there and got the call.
    bool sendAction() { return action_.sendFrom(shared_from_this()); }

protected:
    Control(Action action) : view::View({}), action_(std::move(action)) {}

private:
    Action action_;
};

} // namespace ui
