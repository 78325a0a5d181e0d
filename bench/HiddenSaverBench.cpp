// What korlan-flow costs while nobody can see it: a --software saver drawing
// into a window of an Xvfb server of the benchmark's own, measured from
// /proc while it draws and while another window covers it, in CPU seconds
// per second of one core. The goal while covered is under 1 %.
#include "bench/ProcessMeasures.h"
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>

namespace {

constexpr unsigned kWidth = 640, kHeight = 360;

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
        auto environment = countingFramesInto(countFile);
        environment.push_back("DISPLAY=" + server.display());
        HostProcess host({"--window-id", std::to_string(given), "--software"}, environment);
        if (!waitUntil(countFile, true)) state.SkipWithError("no frames from korlan-flow");
        if (covered) {
            // Made last, so it lies over the saver's window.
            screen.createWindow(kWidth, kHeight);
            if (!waitUntil(countFile, false)) state.SkipWithError("korlan-flow went on drawing while covered");
        }
        reportAndEnd(state, host, countFile);
    }
}
BENCHMARK(BM_SaverCpu)->ArgName("covered")->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
