#pragma once

// Driver results that no real device gives on demand, for the tests of the
// code that must handle them.
//
// Linking this file into a test executable defines vkQueueSubmit2 in the
// executable itself, where it takes the place of the Vulkan loader's for the
// whole process; it forwards to the loader's unless a fault is armed. Link
// it only into the executables that arm faults.

#include <thread>
#include <vector>

// While it lives, every submission reports the device lost without reaching
// the device.
class LoseDeviceOnSubmit {
public:
    LoseDeviceOnSubmit();
    ~LoseDeviceOnSubmit();
    LoseDeviceOnSubmit(const LoseDeviceOnSubmit&) = delete;
    LoseDeviceOnSubmit& operator=(const LoseDeviceOnSubmit&) = delete;
};

// While it lives, notes the thread that made each submission.
class SubmittingThreads {
public:
    SubmittingThreads();
    ~SubmittingThreads();
    SubmittingThreads(const SubmittingThreads&) = delete;
    SubmittingThreads& operator=(const SubmittingThreads&) = delete;

    std::vector<std::thread::id> seen() const;
};
