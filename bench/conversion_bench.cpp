// Read + write speed of whole conversions, for p variables (p(p+1)/2 covariances), and what the
// diagnosis of the moment data adds to them.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "diagnosis.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "number_format.h"
#include "positive_definite.h"
#include "temp_dir.h"
#include "text_data_writer.h"
#include "write_output.h"

namespace {

using namespace dsf2vemo;

// A conversion as the command line does it: read, write, then diagnose what was read.
template <bool kDiagnose>
void BM_Conversion(benchmark::State& state) {
    const auto p = static_cast<std::int32_t>(state.range(0));
    testing::TempDir dir;
    const auto input = dir.Path() / "bench.dsf";
    const auto output = dir.Path() / "bench.txt";
    testing::WriteFileBytes(input, testing::BuildDsf(testing::WellFormedMomentData(p), "BENCH"));
    for (auto _ : state) {
        TextPane pane;
        const DsfFile file = ReadDsfFile(input, pane);
        WriteTextData(output, file.Moments, {",", "."});
        if constexpr (kDiagnose) {
            if (!Diagnose(file).empty()) {
                state.SkipWithError("the benchmark data have findings");
                break;
            }
        }
        benchmark::DoNotOptimize(pane.Text().data());
    }
    state.counters["values"] = static_cast<double>(CovarianceCount(p) + p);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
}
void BM_ReadAndWrite(benchmark::State& state) {
    BM_Conversion<false>(state);
}
void BM_ReadWriteAndDiagnose(benchmark::State& state) {
    BM_Conversion<true>(state);
}
BENCHMARK(BM_ReadAndWrite)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWriteAndDiagnose)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The diagnosis alone: with the positive-definiteness test up to 500 variables, without beyond.
void BM_Diagnose(benchmark::State& state) {
    const DsfFile file{"BENCH",
                       testing::WellFormedMomentData(static_cast<std::int32_t>(state.range(0)))};
    for (auto _ : state) {
        const std::vector<Finding> findings = Diagnose(file);
        if (!findings.empty()) {
            state.SkipWithError("the benchmark data have findings");
            break;
        }
    }
}
BENCHMARK(BM_Diagnose)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The positive-definiteness test alone (a positive definite matrix: one factorisation).
void BM_PositiveDefiniteTest(benchmark::State& state) {
    const auto p = static_cast<std::int32_t>(state.range(0));
    const MomentData data = testing::WellFormedMomentData(p);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            FirstVariableNotPositiveDefinite(data.Covariances, static_cast<std::size_t>(p)));
    }
}
BENCHMARK(BM_PositiveDefiniteTest)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

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
