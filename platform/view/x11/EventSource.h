#pragma once

namespace view::x11 {

class Connection;

// Watches the connection from the main queue's loop. Besides the socket it
// asks Xlib before each wait: the Vulkan driver's threads read the same
// socket and may leave our events queued where no poll would see them.
void watchConnection(Connection& connection, int fileDescriptor);

} // namespace view::x11
