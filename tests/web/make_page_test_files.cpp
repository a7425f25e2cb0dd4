// Writes the data system files the page's tests read, beside the sample: make_page_test_files DIR
#include <exception>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "dsf_builder.h"

namespace {

using namespace dsf2vemo;
using namespace dsf2vemo::testing;

// `text` padded with NUL bytes to `size`.
std::string NulPadded(std::string text, std::size_t size) {
    text.resize(size, '\0');
    return text;
}

void Write(const std::filesystem::path& folder, const char* name, const MomentData& data,
           const std::string& header) {
    WriteFileBytes(folder / name, BuildDsf(data, header));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_page_test_files DIR\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);

        // Header and names padded with NUL bytes, and one name with text after its NUL.
        MomentData nul = DemoMomentData();
        nul.VariableCount = 3;
        nul.VariableNames = {NulPadded("X1", 8), NulPadded("X2", 8),
                             NulPadded(std::string("A\0B", 3), 8)};
        nul.Covariances = {1.5, 0.3, 2.25, 0.1, 0.2, 3.0};
        nul.Means = {10, 20.5, -0.25};
        Write(folder, "nul_padding.dsf", nul, NulPadded("NUL PADDED", 64));

        // Windows-1252 text beyond ASCII in the header and the names, and a byte that is no text.
        MomentData high = DemoMomentData();
        high.VariableCount = 3;
        high.VariableNames = {"\xE9t\xE9", "na\xEFve", "x\x81y"};
        high.Covariances = {1.5, 0.3, 2.25, 0.1, 0.2, 3.0};
        high.Means = {10, 20.5, 1e-7};
        Write(folder, "high_bit_names.dsf", high, "\xC9tudes \x80 \xA9 2000");

        // A covariance that is no number: the diagnosis points it out, and JSON and Mplus, which
        // have no words for it, refuse the file.
        MomentData not_finite = DemoMomentData();
        not_finite.Covariances = {1.5, std::numeric_limits<double>::quiet_NaN(), 2.25};
        Write(folder, "not_finite.dsf", not_finite, "NOT A NUMBER");

        // Cut before its last mean.
        std::vector<std::byte> damaged = BuildDsf(DemoMomentData(), kDemoHeader);
        damaged.resize(damaged.size() - 8);
        WriteFileBytes(folder / "damaged.dsf", damaged);

        Write(folder, "p200.dsf", WellFormedMomentData(200), "TWO HUNDRED VARIABLES");
    } catch (const std::exception& error) {
        std::cerr << "make_page_test_files: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
