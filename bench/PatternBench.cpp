// What the pattern pass costs the GPU, beside a flat-colour pass of the same
// size on the same device: the pattern may take at most six flat passes'
// time at 1920 x 1080, so that a CPU device can still keep up.
#include "tests/integration/shaders/PatternPass.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>

namespace {

struct Programs {
    GpuHarness harness;
    std::shared_ptr<gpu::RenderPipelineState> patternPipeline;
    std::shared_ptr<gpu::RenderPipelineState> flatPipeline;
};

Programs loadPrograms() {
    std::string failure;
    Programs programs;
    auto& harness = programs.harness;
    if (!harness.open(KORLAN_FLOW_BUNDLE_PATH, false, &failure)) throw std::runtime_error(failure);
    programs.patternPipeline = harness.newPipeline("flowVertex", "flowFragment", false, &failure);
    const auto flatLibrary = harness.loadLibrary(KORLAN_FLOW_BENCH_BUNDLE_PATH, &failure);
    if (flatLibrary) {
        programs.flatPipeline = harness.newPipeline("flowVertex", "flatColourFragment", false, &failure, flatLibrary);
    }
    if (!programs.patternPipeline || !programs.flatPipeline) throw std::runtime_error(failure);
    return programs;
}

const Programs& programs() {
    static const Programs loaded = loadPrograms();
    return loaded;
}

// The background colour over the whole target.
Pass flatPass() {
    const auto& color = kBackgroundClearColor;
    return {.pipeline = programs().flatPipeline,
            .fragmentBytes = colorBytes(float(color.red), float(color.green), float(color.blue), float(color.alpha))};
}

// Seconds from commit to completion of one buffer holding the pass.
double timePass(const std::shared_ptr<gpu::Texture>& target, const Pass& pass) {
    const auto& harness = programs().harness;
    const auto commandBuffer = harness.queue()->commandBuffer();
    harness.encodePass(*commandBuffer, target, pass);
    const auto start = std::chrono::steady_clock::now();
    commandBuffer->commit();
    commandBuffer->waitUntilCompleted();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reports the pass's time per frame and throughput. With a yardstick, a
// flat pass runs beside each timed one, so that the ratio holds up while
// other work comes and goes on the cores.
void measure(benchmark::State& state, const Pass& pass, const Pass* yardstick) {
    const auto width = std::uint32_t(state.range(0));
    const auto height = std::uint32_t(state.range(1));
    const auto target = programs().harness.newTarget(width, height);
    double total = 0.0;
    double yardstickTotal = 0.0;
    for (auto _ : state) {
        if (yardstick) yardstickTotal += timePass(target, *yardstick);
        const double seconds = timePass(target, pass);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double perFrame = total / double(state.iterations());
    state.counters["ms_per_frame"] = perFrame * 1e3;
    state.counters["Mpixel_per_s"] = double(width) * height / perFrame * 1e-6;
    if (yardstick) state.counters["x_flat"] = total / yardstickTotal;
}

void FlatPass(benchmark::State& state) {
    measure(state, flatPass(), nullptr);
}

void PatternPass(benchmark::State& state) {
    // A mid-period time and the default settings: what a saver draws.
    const auto uniforms = makeUniforms(std::uint32_t(state.range(0)), std::uint32_t(state.range(1)), 5000.25f,
                                       123457.0f);
    const auto flat = flatPass();
    measure(state, patternPass(programs().patternPipeline, uniforms), &flat);
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({1280, 720})->Args({1920, 1080})->Args({2048, 2048});
    benchmark->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(FlatPass)->Apply(Sizes);
BENCHMARK(PatternPass)->Apply(Sizes);

BENCHMARK_MAIN();
