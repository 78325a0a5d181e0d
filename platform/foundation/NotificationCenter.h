#pragma once

#include "platform/PlatformExport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace foundation {

struct Notification {
    std::string name;
    const void* object = nullptr; // the sender, compared by identity only
};

// Announcements inside one process. Delivery is synchronous, on the thread
// that posts, so every observer has run when post returns.
class KF_PLATFORM_API NotificationCenter {
public:
    using ObserverId = std::uint64_t;
    using Block = std::function<void(const Notification&)>;

    // Created once and never destroyed: observers that go away while the
    // process exits still find it.
    static NotificationCenter& defaultCenter();

    // A missing name or a null object matches every notification.
    ObserverId addObserverForName(std::optional<std::string> name, const void* object, Block block);
    // Safe at any time, also from inside a delivery: a removed observer is
    // not called again, not even by a delivery already under way.
    void removeObserver(ObserverId observer);
    void postNotificationName(const std::string& name, const void* object = nullptr);

private:
    struct Observer;

    std::mutex mutex_;
    std::vector<std::shared_ptr<Observer>> observers_;
    ObserverId nextId_ = 1;
};

} // namespace foundation
