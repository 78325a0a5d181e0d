// What the renderer costs on the default device (software allowed): building
// one (library, three pipelines, logo) with a cold and a warm pipeline cache,
// the main thread's share of a frame, the heap allocations of a steady-state
// frame, and a frame capture.
#include "bench/HeapAllocations.h"
#include "renderer/KORLANFlowRenderer.h"
#include "tests/support/ScratchDirectoryVariable.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"

#include <benchmark/benchmark.h>

namespace {

std::shared_ptr<gpu::Device> softwareAllowedDevice() {
    gpu::DeviceOptions options;
    options.allowSoftwareDevice = true;
    gpu::setDeviceOptions(options);
    return gpu::Device::createSystemDefaultDevice();
}

std::shared_ptr<KORLANFlowRenderer> makeRenderer(const std::shared_ptr<view::MetalView>& view) {
    const auto bundle = foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH);
    return bundle ? KORLANFlowRenderer::initWithMetalView(view, *bundle) : nullptr;
}

std::shared_ptr<view::MetalView> viewOfSize(const std::shared_ptr<gpu::Device>& device, double width, double height) {
    auto view = view::MetalView::initWithFrame({{0.0, 0.0}, {width, height}}, device);
    return view;
}

void ConstructRenderer(benchmark::State& state) {
    const bool warm = state.range(0) != 0;
    const ScratchDirectoryVariable cacheHome("XDG_CACHE_HOME");
    const auto device = softwareAllowedDevice();
    const auto view = viewOfSize(device, 1920, 1080);
    if (warm) makeRenderer(view);
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            cacheHome.clear();
            state.ResumeTiming();
        }
        if (!makeRenderer(view)) state.SkipWithError("no renderer");
    }
    state.SetLabel(warm ? "warm pipeline cache" : "cold pipeline cache");
}
BENCHMARK(ConstructRenderer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Encoding and submitting one frame on the main thread; the GPU's work is
// waited for outside the measured time.
constexpr int kWarmUpFrames = 10;

void DrawFrame(benchmark::State& state) {
    const auto device = softwareAllowedDevice();
    const auto view = viewOfSize(device, double(state.range(0)), double(state.range(1)));
    const auto renderer = makeRenderer(view);
    if (!renderer) return state.SkipWithError("no renderer");
    view->setDelegate(renderer);
    renderer->startAtTimestamp(foundation::ProcessInfo::systemUptime() * 1000.0);
    // The first frames make the reduced texture, the drawables and the
    // frames' records, whose lists grow to what a frame needs.
    for (int frame = 0; frame < kWarmUpFrames; ++frame) {
        view->draw();
        renderer->stopAndWaitForPendingCommands();
        dispatch::MainQueue::shared().drain();
    }
    std::size_t allocations = 0;

    for (auto _ : state) {
        const std::size_t before = heapAllocations();
        view->draw();
        allocations += heapAllocations() - before;
        state.PauseTiming();
        renderer->stopAndWaitForPendingCommands();
        renderer->startAtTimestamp(foundation::ProcessInfo::systemUptime() * 1000.0);
        // The reports the frame sent the main queue, as its loop takes them
        // between frames.
        dispatch::MainQueue::shared().drain();
        state.ResumeTiming();
    }
    state.counters["heap allocations/frame"] =
        benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}
// A fixed count: the GPU work waited for between frames is not timed, so a
// time-based run would render for minutes.
BENCHMARK(DrawFrame)->Args({1920, 1080})->Args({3840, 2160})->Iterations(30)->Unit(benchmark::kMicrosecond);

void CaptureFrame(benchmark::State& state) {
    const auto device = softwareAllowedDevice();
    const auto view = viewOfSize(device, double(state.range(0)), double(state.range(1)));
    const auto renderer = makeRenderer(view);
    if (!renderer) return state.SkipWithError("no renderer");
    std::uint64_t checksum = 0;
    for (auto _ : state) {
        if (!renderer->captureFrameChecksum(&checksum, nullptr)) state.SkipWithError("capture failed");
    }
}
BENCHMARK(CaptureFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
