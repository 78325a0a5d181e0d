// What showing frames in a window costs beside drawing them off screen: a
// flat pass and the pattern pass, presented in a 1920 x 1080 window of an
// Xvfb server of the benchmark's own, and the same passes drawn into an
// offscreen target with as many frames in flight as a window allows.
#include "tests/integration/shaders/PatternPass.h"
#include "tests/support/XvfbServer.h"

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <deque>
#include <stdexcept>
#include <thread>

namespace {

constexpr unsigned kWidth = 1920, kHeight = 1080;
constexpr std::size_t kFramesInFlight = 2;

struct Stage {
    XvfbServer server{{"1920x1080x24"}};
    Display* display = nullptr;
    Window window = 0;
    GpuHarness harness;
    std::shared_ptr<gpu::RenderPipelineState> patternPipeline;
    std::shared_ptr<gpu::RenderPipelineState> flatPipeline;
    std::shared_ptr<gpu::WindowDrawableSource> drawables;

    // The swapchain goes before its window, the window before the server.
    ~Stage() {
        drawables.reset();
        if (window) XDestroyWindow(display, window);
        if (display) XCloseDisplay(display);
    }
};

std::unique_ptr<Stage> openStage() {
    auto stage = std::make_unique<Stage>();
    XInitThreads();
    stage->display = XOpenDisplay(stage->server.display().c_str());
    if (!stage->display) throw std::runtime_error("no Xvfb server");
    stage->window =
        XCreateSimpleWindow(stage->display, DefaultRootWindow(stage->display), 0, 0, kWidth, kHeight, 0, 0, 0);
    XMapWindow(stage->display, stage->window);
    XSync(stage->display, False);
    std::string failure;
    auto& harness = stage->harness;
    if (!harness.open(KORLAN_FLOW_BUNDLE_PATH, false, &failure)) throw std::runtime_error(failure);
    stage->patternPipeline = harness.newPipeline("flowVertex", "flowFragment", false, &failure);
    const auto flatLibrary = harness.loadLibrary(KORLAN_FLOW_BENCH_BUNDLE_PATH, &failure);
    if (flatLibrary) {
        stage->flatPipeline = harness.newPipeline("flowVertex", "flatColourFragment", false, &failure, flatLibrary);
    }
    if (!stage->patternPipeline || !stage->flatPipeline) throw std::runtime_error(failure);
    stage->drawables = harness.device().newWindowDrawableSource({stage->display, stage->window},
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
