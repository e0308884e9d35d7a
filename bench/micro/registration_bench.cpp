// Registration of n tags on a fresh channel: eight areas of 32 stations in turn.
#include "micro_fixture.h"

#include "comm/tag_registration.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr uint16_t kAnalog = 1;
constexpr int kStations = 32;

void BM_RegisterTags(benchmark::State& state) {
    const auto tags = state.range(0);
    std::vector<std::string> devices;
    for (int number = 1; number <= kStations; ++number) {
        devices.push_back("LINE.S" + std::to_string(number));
    }
    const char* addresses[] = {"D0", "D1", "D3", "D4", "P10", "P3", "C1", "C2"};
    for (auto _ : state) {
        state.PauseTiming();
        auto line = std::make_unique<bench::MicroLine>(kStations);
        state.ResumeTiming();
        for (int64_t i = 0; i < tags; ++i) {
            const auto& device = devices[static_cast<size_t>(i % kStations)];
            const char* address = addresses[(i / kStations) % 8];
            benchmark::DoNotOptimize(comm::RegisterTag(line->Channel(), device.c_str(), address,
                                                       kAnalog, 0, static_cast<uint32_t>(i + 1)));
        }
        state.PauseTiming();
        line.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(tags);
    state.SetItemsProcessed(state.iterations() * tags);
}
BENCHMARK(BM_RegisterTags)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
