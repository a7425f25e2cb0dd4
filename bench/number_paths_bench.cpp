// What the pane's three decimals and the text data file's 15 digits cost per value, natively and
// in WebAssembly, for the values of a p = 2000 file (bench/number_paths_bench.sh builds it both
// ways, against this tree and an earlier one). With --products, also the 128-bit product from
// 32-bit halves against the compiler's own, for the targets where that type is emulated.
//
//   number_paths_bench [--products]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "number_format.h"
#ifdef DSF2VEMO_BENCH_PRODUCTS
#include "wide_product.h"
#endif

namespace {

constexpr int kVariables = 2000;
constexpr int kPasses = 9;

// The moments the benchmark files hold: every pair correlated 0.3, standard deviations from 1
// to 5.8, means from 10 up.
std::vector<double> MomentValues() {
    std::vector<double> sd;
    std::vector<double> values;
    for (int i = 0; i < kVariables; ++i) {
        sd.push_back(std::sqrt(1.0 + (i % 100) / 3.0));
    }
    for (int i = 0; i < kVariables; ++i) {
        for (int j = 0; j <= i; ++j) {
            values.push_back((i == j ? 1.0 : 0.3) * sd[static_cast<std::size_t>(i)] *
                             sd[static_cast<std::size_t>(j)]);
        }
    }
    for (int i = 0; i < kVariables; ++i) {
        values.push_back(10.0 + i / 7.0);
    }
    return values;
}

// The median and the fastest of the passes, in nanoseconds per value.
template <class Pass>
void Measure(const char* name, std::size_t count, Pass pass) {
    std::vector<double> times;
    std::size_t bytes = 0;
    for (int i = 0; i < kPasses; ++i) {
        const auto start = std::chrono::steady_clock::now();
        bytes = pass();
        times.push_back(
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-26s median %6.1f ns, fastest %6.1f ns per value (%zu bytes)\n", name,
                times[times.size() / 2] / static_cast<double>(count),
                times.front() / static_cast<double>(count), bytes);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<double> values = MomentValues();
    std::string out;
    out.reserve(values.size() * 24);
    Measure("three decimals", values.size(), [&] {
        out.clear();
        for (const double value : values) {
            out += ' ';
            dsf2vemo::AppendThreeDecimals(out, value, ".");
        }
        return out.size();
    });
    Measure("15 significant digits", values.size(), [&] {
        out.clear();
        for (const double value : values) {
            out += ',';
            dsf2vemo::AppendGeneralNumber(out, value, ".");
        }
        return out.size();
    });
#ifdef DSF2VEMO_BENCH_PRODUCTS
    if (argc > 1 && std::string_view(argv[1]) == "--products") {
        // The products the 15-digit road takes: a 53-bit significand times a power of five.
        std::vector<std::uint64_t> factors;
        std::uint64_t state = 0x9E3779B97F4A7C15u;
        for (std::size_t i = 0; i < values.size(); ++i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            factors.push_back((state >> 11) | (std::uint64_t{1} << 52));
        }
        // 5^14, read anew each pass so that no product is worked out ahead.
        volatile std::uint64_t power_source = 6103515625u;
        const auto products = [&](auto multiply) {
            const std::uint64_t power = power_source;
            std::uint64_t sum = 0;
            for (const std::uint64_t factor : factors) {
                const dsf2vemo::WideProduct product = multiply(factor, power);
                sum += product.high ^ product.low;
            }
            return static_cast<std::size_t>(sum & 0xFF);
        };
        Measure("product by 32-bit halves", factors.size(),
                [&] { return products(dsf2vemo::MultiplyByHalves); });
#if defined(__SIZEOF_INT128__)
        Measure("product by __int128", factors.size(),
                [&] { return products(dsf2vemo::MultiplyByInt128); });
#endif
    }
#else
    (void)argc;
    (void)argv;
#endif
    return 0;
}
