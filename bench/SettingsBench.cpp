// What a settings round trip costs: the saver loads on every start and on
// every announcement, the sheet stores on "Sichern".
#include "tests/support/LoadedModule.h"
#include "tests/support/ScratchConfigHome.h"

#include <benchmark/benchmark.h>

static void LoadConfiguration(benchmark::State& state) {
    ScratchConfigHome scratch;
    const auto& module = loadedModule();
    module.storeConfiguration({1.0f, 1.0f, 1.0f});
    for (auto _ : state) benchmark::DoNotOptimize(module.loadConfiguration());
}
BENCHMARK(LoadConfiguration);

// Durable writes: dominated by the file system's flush.
static void StoreConfiguration(benchmark::State& state) {
    ScratchConfigHome scratch;
    const auto& module = loadedModule();
    for (auto _ : state) module.storeConfiguration({1.0f, 1.0f, 1.0f});
}
BENCHMARK(StoreConfiguration)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
