#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

// How a piece of work did in a child process of its own.
struct ChildOutcome {
    // The work's result, or -1 when the child did not exit by itself (a
    // crash, or killed at the time limit).
    int exitStatus = -1;
    bool killedAtTimeLimit = false;
    double seconds = 0.0;
    // The largest resident set of the child or any process it waited for.
    std::size_t peakResidentBytes = 0;
};

struct ChildLimits {
    // Enforced with RLIMIT_AS, except under AddressSanitizer, which reserves
    // terabytes of address space for itself.
    std::size_t addressSpaceBytes;
    std::chrono::milliseconds wallTime;
};

// Runs work in a forked child under the limits, so that a hang, a crash or
// a memory blow-up shows as an outcome rather than taking the test down.
ChildOutcome runInLimitedChild(const std::function<int()>& work, const ChildLimits& limits);
