#pragma once

// What the benchmarks read of a saver they run: its CPU time from /proc,
// and the frames it presented, counted by the frame counter preloaded into
// it (KORLAN_FLOW_FRAME_COUNTER).

#include "tests/e2e/HostProcess.h"

#include <benchmark/benchmark.h>

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// The user and system time the process has used, all its threads together.
double cpuSeconds(pid_t pid);

// The environment that makes the frame counter count into the file, with
// the validation layer off: its cost is no part of the saver's.
std::vector<std::string> countingFramesInto(const std::string& countFile);
std::uint64_t framesIn(const std::string& countFile);
// Waits until the count moves (drawing) or stops moving (not drawing) over
// a second; false when it did not within a minute.
bool waitUntil(const std::string& countFile, bool drawing);

// Over the measuring time: frames a second, and CPU seconds a second of
// the process.
struct SaverRate {
    double framesPerSecond = 0.0;
    double cpuShareOfOneCore = 0.0;
    double wallSeconds = 0.0;
};
SaverRate measureSaver(pid_t pid, const std::string& countFile);

// Measures the saver in each of the state's iterations, as the counters
// frames_per_second and cpu_share_of_one_core, then ends it and removes
// the count.
void reportAndEnd(benchmark::State& state, HostProcess& saver, const std::string& countFile);
