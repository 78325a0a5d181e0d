#pragma once

// Makes the X server's MIT-SHM extension look absent to the platform
// library while the object lives, so that a CPU device presents through a
// swapchain, as a GPU does. The test executable's XShmQueryExtension
// displaces libXext's.
class WithoutSharedMemory {
public:
    WithoutSharedMemory();
    ~WithoutSharedMemory();
    WithoutSharedMemory(const WithoutSharedMemory&) = delete;
    WithoutSharedMemory& operator=(const WithoutSharedMemory&) = delete;
};
