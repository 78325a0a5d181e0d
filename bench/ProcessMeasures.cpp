#include "bench/ProcessMeasures.h"

#include <unistd.h>

#include <csignal>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kMeasureTime = 10s;
constexpr auto kStartTime = 60s;

} // namespace

double cpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat{std::istreambuf_iterator<char>(file), {}};
    // The fields after the command's name, which may hold spaces: from the
    // 3rd, the state, to utime and stime, the 14th and 15th.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
    if (values.size() < 13) throw std::runtime_error("no such process");
    return double(std::stoull(values[11]) + std::stoull(values[12])) / double(sysconf(_SC_CLK_TCK));
}

std::vector<std::string> countingFramesInto(const std::string& countFile) {
    return {"KORLAN_FLOW_VALIDATION=0", "LD_PRELOAD=" KORLAN_FLOW_FRAME_COUNTER,
            "KORLAN_FLOW_FRAME_COUNT_FILE=" + countFile};
}

std::uint64_t framesIn(const std::string& countFile) {
    std::ifstream file(countFile);
    std::uint64_t frames = 0;
    file >> frames;
    return frames;
}

bool waitUntil(const std::string& countFile, bool drawing) {
    const auto deadline = Clock::now() + kStartTime;
    while (Clock::now() < deadline) {
        const std::uint64_t before = framesIn(countFile);
        std::this_thread::sleep_for(1s);
        if ((framesIn(countFile) > before) == drawing && (!drawing || before > 0)) return true;
    }
    return false;
}

SaverRate measureSaver(pid_t pid, const std::string& countFile) {
    const double cpuBefore = cpuSeconds(pid);
    const std::uint64_t framesBefore = framesIn(countFile);
    const auto start = Clock::now();
    std::this_thread::sleep_for(kMeasureTime);
    SaverRate rate;
    rate.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    rate.cpuShareOfOneCore = (cpuSeconds(pid) - cpuBefore) / rate.wallSeconds;
    rate.framesPerSecond = double(framesIn(countFile) - framesBefore) / rate.wallSeconds;
    return rate;
}

void reportAndEnd(benchmark::State& state, HostProcess& saver, const std::string& countFile) {
    for (auto _ : state) {
        const SaverRate rate = measureSaver(saver.pid(), countFile);
        state.SetIterationTime(rate.wallSeconds);
        state.counters["frames_per_second"] = rate.framesPerSecond;
        state.counters["cpu_share_of_one_core"] = rate.cpuShareOfOneCore;
    }
    saver.signal(SIGTERM);
    saver.waitForExit(10s);
    unlink(countFile.c_str());
}
