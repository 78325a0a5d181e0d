#pragma once

namespace view::wayland {

class Connection;

// Watches the connection from the main queue's loop, for the life of the
// process, with the discipline libwayland asks of a program whose other
// threads (the Vulkan driver's) read the same socket: announce the intent
// to read before the wait, flush what was asked, then read or cancel after
// it, and dispatch what arrived. A hang-up or a read error hangs the
// connection up.
void watchConnection(Connection& connection);

} // namespace view::wayland
