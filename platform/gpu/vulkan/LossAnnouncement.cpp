#include "platform/gpu/vulkan/LossAnnouncement.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/gpu/PresentationLoss.h"

namespace gpu::vulkan {

void announcePresentationLost() {
    // Losses are learnt on the completion thread too; observers run on the
    // main thread like every other notification.
    dispatch::async([] {
        foundation::NotificationCenter::defaultCenter().postNotificationName(kPresentationLostNotification);
    });
}

} // namespace gpu::vulkan
