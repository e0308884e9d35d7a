// A received word handed to every binding of its parameter, and the records dropped again.
#include "micro_fixture.h"

#include "comm/tag_registration.h"

#include <benchmark/benchmark.h>

namespace {

constexpr uint16_t kAnalog = 1;

void BM_DistributeValue(benchmark::State& state) {
    bench::MicroLine line;
    const auto bindings = state.range(0);
    for (int64_t i = 0; i < bindings; ++i) {
        comm::RegisterTag(line.Channel(), "S1", "D1", kAnalog, 0, static_cast<uint32_t>(i + 1));
    }
    CCommBlock& block = *line.Channel().Block(0);
    uint16_t raw = 0;
    for (auto _ : state) {
        block.DistributeValue(1, ++raw);
        line.Channel().DiscardValueChanges();
    }
    state.SetComplexityN(bindings);
    state.SetItemsProcessed(state.iterations() * bindings);
}
BENCHMARK(BM_DistributeValue)->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

} // namespace
