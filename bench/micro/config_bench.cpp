// The configuration file: save and load of a document of n stations (up to 32).
#include "micro_fixture.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

std::string BenchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("vfda-micro-") + name + ".cfg"))
        .string();
}

void FillStations(CVfdaDrvDoc& document, int64_t count) {
    for (int64_t number = 0; number < count; ++number) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = "STATION" + std::to_string(number);
        station->m_description = "DRIVE OF LINE " + std::to_string(number);
        station->m_stationNumber = static_cast<int32_t>(number);
        document.AddStation(std::move(station));
    }
}

void BM_SaveConfig(benchmark::State& state) {
    CVfdaDrvDoc document;
    FillStations(document, state.range(0));
    document.SetPath(BenchFile("save"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(document.SaveFile());
    }
    std::filesystem::remove(document.Path());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SaveConfig)->RangeMultiplier(2)->Range(1, 32)->Complexity(benchmark::oN);

void BM_LoadConfig(benchmark::State& state) {
    const std::string path = BenchFile("load");
    {
        CVfdaDrvDoc document;
        FillStations(document, state.range(0));
        document.SetPath(path);
        document.SaveFile();
    }
    for (auto _ : state) {
        CVfdaDrvDoc document;
        benchmark::DoNotOptimize(document.LoadFile(path));
    }
    std::filesystem::remove(path);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadConfig)->RangeMultiplier(2)->Range(1, 32)->Complexity(benchmark::oN);

} // namespace
