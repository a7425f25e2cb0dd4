// The window's own share of showing a file, as far as it is portable: the echo read into the
// pane's text, the Warnings block after it, and the text as the rich edit control takes it
// (UTF-16, each byte through its code page's table). Bytes per second that stay level from p to p
// mean a cost linear in the text; the formatting of the echo's numbers alone beside it.
//   pane_bench [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "control_text.h"
#include "diagnosis.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "garbage_dsf.h"
#include "number_format.h"

namespace {

using namespace dsf2vemo;

std::vector<std::byte> FileOf(bool garbage, std::int32_t p) {
    return garbage ? testing::GarbageDsf(p) : testing::BuildDsf(testing::SyntheticMomentData(p));
}

// Latin-1 as a stand-in for the ANSI code page's table: what costs is the look-up, not the table.
gui::ByteMap<char16_t> Table() {
    gui::ByteMap<char16_t> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<char16_t>(i);
    }
    table[0] = u'\u2400';
    return table;
}

void SetEcho(benchmark::State& state, std::size_t echo_bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * echo_bytes));
    state.counters["echo_MB"] = static_cast<double>(echo_bytes) / 1e6;
}

// Read, diagnosed, warned about and made the control's text, as Input does before the hand-over.
void BM_PaneText(benchmark::State& state, bool garbage) {
    const std::vector<std::byte> bytes = FileOf(garbage, static_cast<std::int32_t>(state.range(0)));
    const gui::ByteMap<char16_t> table = Table();
    std::size_t echo_bytes = 0;
    for (auto _ : state) {
        TextPane echo;
        const DsfFile file = ParseDsfFile(bytes, echo);
        TextPane warnings;
        AppendWarnings(warnings, Diagnose(file));
        const std::string_view pieces[] = {echo.Text(), warnings.Text()};
        const auto text = gui::MapToControlText<char16_t>(pieces, echo.SelStart(), table);
        benchmark::DoNotOptimize(text.text.data());
        echo_bytes = text.text.size();
    }
    SetEcho(state, echo_bytes);
}

// The control's text alone, from an echo made once.
void BM_ControlText(benchmark::State& state, bool garbage) {
    TextPane echo;
    ParseDsf(FileOf(garbage, static_cast<std::int32_t>(state.range(0))), echo);
    const gui::ByteMap<char16_t> table = Table();
    const std::string_view pieces[] = {echo.Text()};
    for (auto _ : state) {
        const auto text = gui::MapToControlText<char16_t>(pieces, echo.SelStart(), table);
        benchmark::DoNotOptimize(text.text.data());
    }
    SetEcho(state, echo.Text().size());
}

// Formatting the echo's numbers, nothing else.
void BM_EchoNumbers(benchmark::State& state, bool garbage) {
    TextPane echo;
    const MomentData data =
        ParseDsf(FileOf(garbage, static_cast<std::int32_t>(state.range(0))), echo);
    std::string out;
    for (auto _ : state) {
        for (const std::vector<double>* values : {&data.Covariances, &data.Means}) {
            for (const double x : *values) {
                out.clear();
                AppendThreeDecimals(out, x, ".");
                benchmark::DoNotOptimize(out.data());
            }
        }
    }
    SetEcho(state, echo.Text().size());
}

BENCHMARK_CAPTURE(BM_PaneText, moments, false)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PaneText, garbage, true)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ControlText, moments, false)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ControlText, garbage, true)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EchoNumbers, moments, false)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EchoNumbers, garbage, true)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
