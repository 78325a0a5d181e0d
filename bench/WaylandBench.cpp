// korlan-flow on Wayland beside X11, on the CPU device: the frames it shows
// a second full screen at 1920 x 1080 on headless sway and on Xvfb, and
// what the animated wallpaper costs while a full-screen window covers it
// (the goal: under 1 % of one core).
#include "bench/ProcessMeasures.h"
#include "tests/e2e/HeadlessCompositor.h"
#include "tests/e2e/HostProcess.h"
#include "tests/support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kStartTime = 60s;

std::string countFileOf(const char* what) {
    return "/tmp/korlan-flow-bench-" + std::string(what) + "-" + std::to_string(getpid());
}

void BM_FullScreen(benchmark::State& state) {
    const bool wayland = state.range(0) != 0;
    std::optional<HeadlessCompositor> compositor;
    std::optional<XvfbServer> xServer;
    std::vector<std::string> environment;
    if (wayland) {
        compositor.emplace(HeadlessCompositor::sway({{1920, 1080, 1}}));
        if (!compositor->isRunning()) return state.SkipWithError(compositor->whyNot().c_str());
        environment = compositor->clientEnvironment();
    } else {
        xServer.emplace(std::vector<std::string>{"1920x1080x24"});
        if (xServer->display().empty()) return state.SkipWithError("no Xvfb server");
        environment = {"DISPLAY=" + xServer->display(), "WAYLAND_DISPLAY="};
    }
    const std::string countFile = countFileOf("full-screen");
    const auto counting = countingFramesInto(countFile);
    environment.insert(environment.end(), counting.begin(), counting.end());
    HostProcess host({"--software"}, environment);
    if (!waitUntil(countFile, true)) return state.SkipWithError("no frames from korlan-flow");
    reportAndEnd(state, host, countFile);
}
BENCHMARK(BM_FullScreen)->ArgName("wayland")->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_WallpaperCpu(benchmark::State& state) {
    const bool covered = state.range(0) != 0;
    const auto compositor = HeadlessCompositor::sway({{1920, 1080, 1}});
    if (!compositor.isRunning()) return state.SkipWithError(compositor.whyNot().c_str());
    const std::string countFile = countFileOf("wallpaper");
    auto environment = compositor.clientEnvironment();
    const auto counting = countingFramesInto(countFile);
    environment.insert(environment.end(), counting.begin(), counting.end());
    HostProcess wallpaper({"--background", "--software"}, environment);
    if (!waitUntil(countFile, true)) return state.SkipWithError("no frames from korlan-flow");
    // The preview draws without the GPU, so that only the wallpaper counts
    // frames.
    std::optional<HostProcess> window;
    if (covered) {
        window.emplace(std::vector<std::string>{"preview"}, compositor.clientEnvironment());
        const auto deadline = std::chrono::steady_clock::now() + kStartTime;
        while (!compositor.command({"[app_id=korlan-flow] fullscreen enable"})) {
            if (std::chrono::steady_clock::now() > deadline) return state.SkipWithError("no window to cover with");
            std::this_thread::sleep_for(100ms);
        }
        if (!waitUntil(countFile, false)) return state.SkipWithError("the wallpaper went on drawing while covered");
    }
    reportAndEnd(state, wallpaper, countFile);
}
BENCHMARK(BM_WallpaperCpu)->ArgName("covered")->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
