// Read + write speed of whole conversions, for p variables (p(p+1)/2 covariances).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "dsf_builder.h"
#include "dsf_reader.h"
#include "number_format.h"
#include "temp_dir.h"
#include "text_data_writer.h"

namespace {

using namespace dsf2vemo;

void BM_ReadAndWrite(benchmark::State& state) {
    const auto p = static_cast<std::int32_t>(state.range(0));
    testing::TempDir dir;
    const auto input = dir.Path() / "bench.dsf";
    const auto output = dir.Path() / "bench.txt";
    testing::WriteFileBytes(input, testing::BuildDsf(testing::SyntheticMomentData(p), "BENCH"));
    for (auto _ : state) {
        TextPane pane;
        const MomentData data = ReadDsf(input, pane);
        WriteTextData(output, data, {",", "."});
        benchmark::DoNotOptimize(pane.Text().data());
    }
    state.counters["values"] = static_cast<double>(CovarianceCount(p) + p);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
}
BENCHMARK(BM_ReadAndWrite)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_GeneralNumber(benchmark::State& state) {
    std::string out;
    double value = 0.123456789012345678;
    for (auto _ : state) {
        out.clear();
        AppendGeneralNumber(out, value, ".");
        value += 1.000000001;
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_GeneralNumber);

void BM_ThreeDecimals(benchmark::State& state) {
    std::string out;
    double value = 0.123456789012345678;
    for (auto _ : state) {
        out.clear();
        AppendThreeDecimals(out, value, ".");
        value += 1.000000001;
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ThreeDecimals);

}  // namespace

BENCHMARK_MAIN();
