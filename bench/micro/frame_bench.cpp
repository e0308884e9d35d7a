// Request frames and answers: formatting, and the check and decode of an answer.
#include "micro_fixture.h"

#include "comm/comm_request.h"
#include "comm/tag_registration.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kAnalog = 1;

// n frames formatted: a group query and a parameter write each.
void BM_FormatFrame(benchmark::State& state) {
    bench::MicroLine line;
    comm::RegisterTag(line.Channel(), "S1", "D0", kAnalog, 0, 1);
    CCommBlock& block = *line.Channel().Block(0);
    const auto count = static_cast<size_t>(state.range(0));
    std::vector<CCommRequest> requests;
    for (size_t i = 0; i < count; ++i) {
        requests.emplace_back(block, i % 2 == 0 ? 'Q' : 'P', static_cast<int32_t>(i % 4),
                              static_cast<uint16_t>(i));
    }
    for (auto _ : state) {
        for (const CCommRequest& request : requests) {
            std::string frame = request.FormatFrame();
            benchmark::DoNotOptimize(frame);
        }
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FormatFrame)->RangeMultiplier(8)->Range(1, 4096)->Complexity(benchmark::oN);

// One answer to a group-0 query, checked and decoded, its value handed to n bindings.
void BM_CheckAnswer(benchmark::State& state) {
    bench::MicroLine line;
    const auto bindings = state.range(0);
    for (int64_t i = 0; i < bindings; ++i) {
        comm::RegisterTag(line.Channel(), "S1", "D0", kAnalog, 0, static_cast<uint32_t>(i + 1));
    }
    CCommBlock& block = *line.Channel().Block(0);
    CCommRequest request(block, 'Q', 0, 0);
    const std::string frame = request.FormatFrame();
    const uint8_t answer[] = {'Q', 0x03, 0x06, '0', '1', '0', '0', '0', '6', '0', '0', 0};
    uint8_t buffer[CCommRequest::kAnswerBufferSize];
    for (auto _ : state) {
        std::memcpy(buffer, answer, sizeof(buffer));
        benchmark::DoNotOptimize(request.CheckAnswer(buffer, frame));
        line.Channel().DiscardValueChanges();
    }
    state.SetComplexityN(bindings);
}
BENCHMARK(BM_CheckAnswer)->RangeMultiplier(8)->Range(1, 4096)->Complexity(benchmark::oN);

} // namespace
