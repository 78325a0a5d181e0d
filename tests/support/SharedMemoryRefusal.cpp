#include "tests/support/SharedMemoryRefusal.h"

#include "tests/support/NextDefinition.h"

#include <X11/Xlib.h>

#include <atomic>

namespace {

std::atomic<bool> refused = false;

} // namespace

WithoutSharedMemory::WithoutSharedMemory() { refused = true; }

WithoutSharedMemory::~WithoutSharedMemory() { refused = false; }

// Exported, so the platform library finds it before libXext's.
extern "C" __attribute__((visibility("default"))) Bool XShmQueryExtension(Display* display) {
    static const auto forward = nextDefinition<Bool (*)(Display*)>("XShmQueryExtension", "shared memory refusal");
    return !refused && forward(display);
}
