#include "platform/gpu/DeviceLossAnnouncement.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"

namespace gpu {

void announceDeviceOrSurfaceLost() {
    // Losses are learnt on the completion thread too; observers run on the
    // main thread like every other notification.
    dispatch::async([] {
        foundation::NotificationCenter::defaultCenter().postNotificationName(kDeviceOrSurfaceLostNotification);
    });
}

} // namespace gpu
