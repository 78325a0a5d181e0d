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

// Makes the device look unable to draw into host memory while the object
// lives, so that a CPU device's frames are read back into the shared memory
// after every pass. The test executable's
// vkGetPhysicalDeviceImageFormatProperties2 displaces the loader's.
class WithoutDrawingIntoHostMemory {
public:
    WithoutDrawingIntoHostMemory();
    ~WithoutDrawingIntoHostMemory();
    WithoutDrawingIntoHostMemory(const WithoutDrawingIntoHostMemory&) = delete;
    WithoutDrawingIntoHostMemory& operator=(const WithoutDrawingIntoHostMemory&) = delete;
};
