// What korlan-flow costs while nobody can see it: a --software saver drawing
// into a window of an Xvfb server of the benchmark's own, measured from
// /proc while it draws and while another window covers it, in CPU seconds
// per second of one core. The goal while covered is under 1 %.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kMeasureTime = 10s;
constexpr auto kStartTime = 60s;
constexpr unsigned kWidth = 640, kHeight = 360;

// The user and system time the process has used, all its threads together.
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

std::uint64_t framesIn(const std::string& countFile) {
    std::ifstream file(countFile);
    std::uint64_t frames = 0;
    file >> frames;
    return frames;
}

// Waits until the count has not moved for a second: the saver is either
// drawing steadily or has stopped.
bool waitUntil(const std::string& countFile, bool drawing) {
    const auto deadline = Clock::now() + kStartTime;
    while (Clock::now() < deadline) {
        const std::uint64_t before = framesIn(countFile);
        std::this_thread::sleep_for(1s);
        if ((framesIn(countFile) > before) == drawing && (!drawing || before > 0)) return true;
    }
    return false;
}

void BM_SaverCpu(benchmark::State& state) {
    const bool covered = state.range(0) != 0;
    const XvfbServer server({"640x360x24"});
    TestDisplay screen(server.display());
    if (!screen.isOpen()) {
        state.SkipWithError("no Xvfb server");
        return;
    }
    const unsigned long given = screen.createWindow(kWidth, kHeight);
    const std::string countFile = "/tmp/korlan-flow-bench-frames-" + std::to_string(getpid());
    {
        // Without the validation layer that the tests turn on: its cost is
        // no part of the saver's.
        HostProcess host({"--window-id", std::to_string(given), "--software"},
                         {"DISPLAY=" + server.display(), "KORLAN_FLOW_VALIDATION=0",
                          "LD_PRELOAD=" KORLAN_FLOW_FRAME_COUNTER, "KORLAN_FLOW_FRAME_COUNT_FILE=" + countFile});
        if (!waitUntil(countFile, true)) state.SkipWithError("no frames from korlan-flow");
        if (covered) {
            // Made last, so it lies over the saver's window.
            screen.createWindow(kWidth, kHeight);
            if (!waitUntil(countFile, false)) state.SkipWithError("korlan-flow went on drawing while covered");
        }
        for (auto _ : state) {
            const double cpuBefore = cpuSeconds(host.pid());
            const std::uint64_t framesBefore = framesIn(countFile);
            const auto start = Clock::now();
            std::this_thread::sleep_for(kMeasureTime);
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            state.SetIterationTime(wall);
            state.counters["cpu_share_of_one_core"] = (cpuSeconds(host.pid()) - cpuBefore) / wall;
            state.counters["frames_per_second"] = double(framesIn(countFile) - framesBefore) / wall;
        }
        host.signal(SIGTERM);
        host.waitForExit(10s);
    }
    unlink(countFile.c_str());
}
BENCHMARK(BM_SaverCpu)->ArgName("covered")->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
