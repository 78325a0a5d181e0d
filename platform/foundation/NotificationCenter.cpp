#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>

namespace foundation {

struct NotificationCenter::Observer {
    ObserverId id;
    std::optional<std::string> name;
    const void* object;
    Block block;
    std::atomic<bool> removed{false};

    bool matches(const Notification& notification) const {
        return (!name || *name == notification.name) && (!object || object == notification.object);
    }
};

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

NotificationCenter::ObserverId NotificationCenter::addObserverForName(std::optional<std::string> name,
                                                                      const void* object, Block block) {
    std::lock_guard lock(mutex_);
    const ObserverId id = nextId_++;
    observers_.push_back(std::make_shared<Observer>(id, std::move(name), object, std::move(block)));
    return id;
}

void NotificationCenter::removeObserver(ObserverId observer) {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(observers_.begin(), observers_.end(),
                                    [observer](const auto& entry) { return entry->id == observer; });
    if (found == observers_.end()) return;
    (*found)->removed = true;
    observers_.erase(found);
}

void NotificationCenter::postNotificationName(const std::string& name, const void* object) {
    const Notification notification{name, object};
    // Deliver from a snapshot without holding the lock, so observers may add
    // and remove observers (themselves included) while they run.
    std::vector<std::shared_ptr<Observer>> snapshot;
    {
        std::lock_guard lock(mutex_);
        snapshot = observers_;
    }
    for (const auto& observer : snapshot) {
        if (!observer->removed && observer->matches(notification)) observer->block(notification);
    }
}

} // namespace foundation
