#include "platform/view/x11/EventSource.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/ReadinessSource.h"
#include "platform/view/x11/Connection.h"

namespace view::x11 {

void watchConnection(Connection& connection, int fileDescriptor) {
    // Attached for the life of the process, like the connection.
    dispatch::attachReadinessSource(
        dispatch::MainQueue::shared(), "KORLAN Flow X connection",
        [&connection] { return connection.hasEvents(); }, [&connection] { connection.dispatchEvents(); },
        fileDescriptor);
}

} // namespace view::x11
