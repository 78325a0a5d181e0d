// What the pattern pass costs the GPU, beside a flat-colour pass of the same
// size on the same device: the pattern may take at most six flat passes'
// time at 1920 x 1080, so that a CPU device can still keep up.
#include "tests/integration/shaders/ShaderHarness.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <stdexcept>

namespace {

constexpr std::array<float, 4> kFlatColour{15.0f / 255.0f, 18.0f / 255.0f, 22.0f / 255.0f, 1.0f};

struct Programs {
    std::unique_ptr<ShaderHarness> harness;
    std::shared_ptr<gpu::RenderPipelineState> flatPipeline;
};

Programs loadPrograms() {
    std::string failure;
    Programs programs;
    programs.harness = ShaderHarness::create(KORLAN_FLOW_BUNDLE_PATH, false, &failure);
    if (!programs.harness) throw std::runtime_error(failure);
    const auto library = programs.harness->loadLibrary(KORLAN_FLOW_BENCH_BUNDLE_PATH, &failure);
    if (library) {
        programs.flatPipeline =
            programs.harness->newPipeline("flowVertex", "flatColourFragment", false, &failure, library);
    }
    if (!programs.flatPipeline) throw std::runtime_error(failure);
    return programs;
}

const Programs& programs() {
    static const Programs loaded = loadPrograms();
    return loaded;
}

PassDescription flatPass() {
    PassDescription pass;
    pass.pipeline = programs().flatPipeline;
    pass.fragmentBytes = std::as_bytes(std::span(kFlatColour));
    return pass;
}

// Seconds from commit to completion of one buffer holding the pass.
double timePass(const std::shared_ptr<gpu::Texture>& target, const PassDescription& pass) {
    const auto& harness = *programs().harness;
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
void measure(benchmark::State& state, const PassDescription& pass, const PassDescription* yardstick) {
    const auto width = std::uint32_t(state.range(0));
    const auto height = std::uint32_t(state.range(1));
    const auto target = programs().harness->newTarget(width, height);
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
    measure(state, programs().harness->patternPass(uniforms), &flat);
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({1280, 720})->Args({1920, 1080})->Args({2048, 2048});
    benchmark->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(FlatPass)->Apply(Sizes);
BENCHMARK(PatternPass)->Apply(Sizes);

BENCHMARK_MAIN();
