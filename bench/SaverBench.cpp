// What the saver view costs the main thread: one tick of its render timer
// at 1920 × 1080 (time and heap allocations of a steady-state tick) on the
// recording device and on the default device (software allowed), and the
// time from startAnimation to the first presented frame with a warm
// pipeline cache.
#include "bench/HeapAllocations.h"
#include "saver/KORLANFlowScreenSaverView.h"
#include "tests/support/PlatformOverrides.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchDirectoryVariable.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"
#include "platform/view/Screen.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

namespace {

constexpr view::Rect kFullHD{{0.0, 0.0}, {1920.0, 1080.0}};
constexpr int kWarmUpTicks = 10;

std::shared_ptr<gpu::Device> softwareAllowedDevice() {
    gpu::DeviceOptions options;
    options.allowSoftwareDevice = true;
    gpu::setDeviceOptions(options);
    return gpu::Device::createSystemDefaultDevice();
}

// A full-screen view in an off-screen window of 1920 × 1080 points, with the
// bundle as built as the module's own and the given device as the system's.
class SaverOnDevice {
public:
    explicit SaverOnDevice(std::shared_ptr<gpu::Device> device)
        : systemDevice_(std::move(device)),
          window_(view::Window::initWithContentRect(
              kFullHD, view::WindowStyleMaskBorderless,
              view::Screen::initWithFrame(kFullHD, 1.0, {{view::kScreenNumberKey, std::int64_t{1}}}))),
          saver_(KORLANFlowScreenSaverView::initWithFrame(kFullHD, false)) {
        window_->contentView()->addSubview(saver_);
    }
    ~SaverOnDevice() {
        saver_->stopAnimation();
        dispatch::MainQueue::shared().drain();
    }

    KORLANFlowScreenSaverView& saver() const { return *saver_; }

private:
    ScratchDirectoryVariable cacheHome_{"XDG_CACHE_HOME"};
    UseBundleForAddress builtBundle_{foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH)};
    UseSystemDefaultDevice systemDevice_;
    std::shared_ptr<view::Window> window_;
    std::shared_ptr<KORLANFlowScreenSaverView> saver_;
};

// Lets the device finish what the ticks submitted and the main queue take
// the reports, so that each tick starts from the same state.
void settle(KORLANFlowScreenSaverView& saver, testing_gpu::RecordingDevice* recording) {
    if (recording) {
        recording->completeAll();
        recording->clearRecording();
    } else if (const auto& renderer = saver.renderer()) {
        renderer->stopAndWaitForPendingCommands();
        renderer->startAtTimestamp(foundation::ProcessInfo::systemUptime() * 1000.0);
    }
    dispatch::MainQueue::shared().drain();
}

void Tick(benchmark::State& state, bool onRecordingDevice) {
    const auto recording = onRecordingDevice ? std::make_shared<testing_gpu::RecordingDevice>() : nullptr;
    const auto device = recording ? std::shared_ptr<gpu::Device>(recording) : softwareAllowedDevice();
    if (!device) return state.SkipWithError("no device");
    const SaverOnDevice world(device);
    auto& saver = world.saver();
    saver.startAnimation();
    if (!saver.renderer()) return state.SkipWithError("the saver did not start");
    // Stops the timer's own ticks; each iteration is one tick by hand.
    saver.stopRenderTimer();
    const auto tick = [&] { saver.renderOneFrameForGeneration(saver.renderGeneration()); };
    // The first ticks make the drawables, the textures and the frames'
    // records, whose lists grow to what a frame needs.
    for (int warmUp = 0; warmUp < kWarmUpTicks; ++warmUp) {
        tick();
        settle(saver, recording.get());
    }
    std::size_t allocations = 0;
    std::uint64_t frames = 0;
    for (auto _ : state) {
        const std::uint64_t framesBefore = saver.renderer()->frameCount();
        const std::size_t before = heapAllocations();
        tick();
        allocations += heapAllocations() - before;
        frames += saver.renderer()->frameCount() - framesBefore;
        state.PauseTiming();
        settle(saver, recording.get());
        state.ResumeTiming();
    }
    state.counters["heap allocations/tick"] =
        benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
    // One frame a tick, or the tick measured nothing.
    state.counters["frames/tick"] = benchmark::Counter(double(frames), benchmark::Counter::kAvgIterations);
    state.SetLabel(device->name() + (recording ? " (its own records counted)" : ""));
}
// A fixed count: the GPU work waited for between ticks is not timed.
BENCHMARK_CAPTURE(Tick, RecordingDevice, true)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Tick, DefaultDevice, false)->Iterations(30)->Unit(benchmark::kMicrosecond);

// From the host's startAnimation to the first frame shown, the pipelines
// coming from the cache a first start has filled.
void StartToFirstPresentedFrame(benchmark::State& state) {
    const auto device = softwareAllowedDevice();
    if (!device) return state.SkipWithError("no device");
    const SaverOnDevice world(device);
    auto& saver = world.saver();
    const auto presented = [&] { return saver.renderer() && saver.renderer()->presentedFrameCount() >= 1; };
    const auto run = [&] {
        saver.startAnimation();
        return dispatch::MainQueue::shared().runUntil(presented, std::chrono::seconds(10));
    };
    if (!run()) return state.SkipWithError("no frame presented");
    for (auto _ : state) {
        state.PauseTiming();
        saver.stopAnimation();
        dispatch::MainQueue::shared().drain();
        state.ResumeTiming();
        if (!run()) return state.SkipWithError("no frame presented");
    }
    state.SetLabel(device->name() + ", warm pipeline cache");
}
BENCHMARK(StartToFirstPresentedFrame)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
