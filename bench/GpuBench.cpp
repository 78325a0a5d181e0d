// What building the renderer's three pipelines costs on the default device
// (software allowed): cold, with no pipeline cache on disk, and warm, with
// the cache an earlier device left behind.
#include "tests/support/GpuTestSupport.h"
#include "tests/support/ScratchDirectoryVariable.h"

#include "platform/foundation/Bundle.h"
#include "platform/gpu/Device.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace {

struct PipelineRecipe {
    const char* vertex;
    const char* fragment;
    bool blending;
};

// The renderer's three: pattern, composite and the blended logo.
constexpr std::array kPipelines = {PipelineRecipe{"flowVertex", "flowFragment", false},
                                   PipelineRecipe{"flowVertex", "flowCompositeFragment", false},
                                   PipelineRecipe{"logoVertex", "logoFragment", true}};

struct OpenDevice {
    std::shared_ptr<gpu::Device> device;
    std::shared_ptr<gpu::Library> library;
};

OpenDevice openDevice() {
    gpu::DeviceOptions options;
    options.allowSoftwareDevice = true;
    gpu::setDeviceOptions(options);
    OpenDevice open{gpu::Device::createSystemDefaultDevice(), nullptr};
    const auto bundle = foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH);
    if (open.device && bundle) open.library = open.device->newDefaultLibraryWithBundle(*bundle);
    return open;
}

bool buildPipelines(const OpenDevice& open) {
    for (const auto& recipe : kPipelines) {
        gpu::RenderPipelineDescriptor descriptor;
        descriptor.vertexFunction = open.library->newFunctionWithName(recipe.vertex);
        descriptor.fragmentFunction = open.library->newFunctionWithName(recipe.fragment);
        auto& attachment = descriptor.colorAttachments[0];
        attachment.pixelFormat = gpu::PixelFormat::BGRA8Unorm;
        if (recipe.blending) blendSourceOver(attachment);
        if (!open.device->newRenderPipelineStateWithDescriptor(descriptor)) return false;
    }
    return true;
}

// Device creation and release (which writes the cache) stay out of the
// measured time; only the three builds count.
void measurePipelineBuilds(benchmark::State& state, bool warm) {
    const ScratchDirectoryVariable cacheHome("XDG_CACHE_HOME");
    if (warm) buildPipelines(openDevice());
    for (auto _ : state) {
        state.PauseTiming();
        if (!warm) cacheHome.clear();
        auto open = openDevice();
        if (!open.library) {
            state.SkipWithError("no device or no program library");
            break;
        }
        state.ResumeTiming();
        if (!buildPipelines(open)) state.SkipWithError("a pipeline failed to build");
        state.PauseTiming();
        open = {};
        state.ResumeTiming();
    }
}

} // namespace

static void ThreePipelinesCold(benchmark::State& state) { measurePipelineBuilds(state, false); }
BENCHMARK(ThreePipelinesCold)->Unit(benchmark::kMillisecond)->Iterations(10);

static void ThreePipelinesWarm(benchmark::State& state) { measurePipelineBuilds(state, true); }
BENCHMARK(ThreePipelinesWarm)->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
