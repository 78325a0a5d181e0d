// What showing frames in a window costs beside drawing them off screen: a
// flat pass and the pattern pass, presented in a 1920 x 1080 window of an
// Xvfb server of the benchmark's own, and the same passes drawn into an
// offscreen target with as many frames in flight as a window allows.
#include "tests/e2e/TestDisplay.h"
#include "tests/integration/shaders/PatternPass.h"
#include "tests/support/XvfbServer.h"

#include "platform/view/x11/Connection.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

constexpr unsigned kWidth = 1920, kHeight = 1080;
constexpr std::size_t kFramesInFlight = 2;

view::x11::Connection& connectionTo(const XvfbServer& server) {
    setenv("DISPLAY", server.display().c_str(), 1);
    std::string failure;
    auto* connection = view::x11::Connection::open(&failure);
    if (!connection) throw std::runtime_error(failure);
    return *connection;
}

// Released in reverse: the swapchain before its window, the window before
// the server.
struct Stage {
    XvfbServer server{{"1920x1080x24"}};
    // Frames are presented through the platform's connection, as the saver
    // presents them; the window comes from a client of the bench's own, as
    // from the program that hands the saver a window.
    view::x11::Connection& connection = connectionTo(server);
    TestDisplay screen{server.display()};
    unsigned long window = screen.createWindow(kWidth, kHeight);
    GpuHarness harness;
    std::shared_ptr<gpu::RenderPipelineState> patternPipeline;
    std::shared_ptr<gpu::RenderPipelineState> flatPipeline;
    std::shared_ptr<gpu::WindowDrawableSource> drawables;
};

std::unique_ptr<Stage> openStage() {
    auto stage = std::make_unique<Stage>();
    std::string failure;
    auto& harness = stage->harness;
    if (!harness.open(KORLAN_FLOW_BUNDLE_PATH, false, &failure)) throw std::runtime_error(failure);
    stage->patternPipeline = harness.newPipeline("flowVertex", "flowFragment", false, &failure);
    const auto flatLibrary = harness.loadLibrary(KORLAN_FLOW_BENCH_BUNDLE_PATH, &failure);
    if (flatLibrary) {
        stage->flatPipeline = harness.newPipeline("flowVertex", "flatColourFragment", false, &failure, flatLibrary);
    }
    if (!stage->patternPipeline || !stage->flatPipeline) throw std::runtime_error(failure);
    stage->drawables = harness.device().newWindowDrawableSource({gpu::WindowSystem::X11, stage->connection.display(), stage->window},
                                                                GpuHarness::kTargetFormat, kWidth, kHeight);
    if (!stage->drawables) throw std::runtime_error("the device cannot present to the window");
    return stage;
}

// Open for the whole run; the server stops when the process exits.
Stage& stage() {
    static const std::unique_ptr<Stage> opened = openStage();
    return *opened;
}

Pass passNamed(bool pattern) {
    if (pattern) {
        return patternPass(stage().patternPipeline, makeUniforms(kWidth, kHeight, 5000.25f, 123457.0f));
    }
    const auto& color = kBackgroundClearColor;
    return {.pipeline = stage().flatPipeline,
            .fragmentBytes = colorBytes(float(color.red), float(color.green), float(color.blue), 1.0f)};
}

void reportFramesPerSecond(benchmark::State& state, std::chrono::steady_clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    state.counters["frames_per_s"] = double(state.iterations()) / seconds;
}

// One iteration is one frame shown in the window, waiting as a timer tick
// would when no drawable is free.
void Presented(benchmark::State& state) {
    auto& harness = stage().harness;
    const Pass pass = passNamed(state.range(0) != 0);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::shared_ptr<gpu::Drawable> drawable;
        while (!(drawable = stage().drawables->nextDrawable())) std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto commandBuffer = harness.queue()->commandBuffer();
        harness.encodePass(*commandBuffer, drawable->texture(), pass);
        commandBuffer->presentDrawable(drawable);
        commandBuffer->commit();
    }
    reportFramesPerSecond(state, std::chrono::steady_clock::now() - start);
}

// One iteration is one frame drawn off screen, with the same number of
// frames in flight.
void Offscreen(benchmark::State& state) {
    auto& harness = stage().harness;
    const Pass pass = passNamed(state.range(0) != 0);
    const auto target = harness.newTarget(kWidth, kHeight);
    std::deque<std::shared_ptr<gpu::CommandBuffer>> inFlight;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (inFlight.size() == kFramesInFlight) {
            inFlight.front()->waitUntilCompleted();
            inFlight.pop_front();
        }
        auto commandBuffer = harness.queue()->commandBuffer();
        harness.encodePass(*commandBuffer, target, pass);
        commandBuffer->commit();
        inFlight.push_back(std::move(commandBuffer));
    }
    for (const auto& commandBuffer : inFlight) commandBuffer->waitUntilCompleted();
    reportFramesPerSecond(state, std::chrono::steady_clock::now() - start);
}

} // namespace

// Argument 0: the flat pass; 1: the pattern pass.
BENCHMARK(Presented)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Offscreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
