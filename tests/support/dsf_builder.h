#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "moment_data.h"

namespace dsf2vemo::testing {

// Little-endian byte writer for making data system files, valid or damaged.
class ByteWriter {
  public:
    // `text` padded with spaces (or cut) to exactly `size` bytes.
    ByteWriter& Text(std::string_view text, std::size_t size);
    ByteWriter& Int32(std::int32_t value);
    ByteWriter& Double(double value);
    ByteWriter& Raw(std::span<const std::byte> bytes);

    const std::vector<std::byte>& Bytes() const { return bytes_; }

  private:
    ByteWriter& Unsigned(std::uint64_t value, std::size_t size);
    std::vector<std::byte> bytes_;
};

// A data system file holding `data` under `header`; names are padded to 8 bytes. The variable
// count written is data.VariableCount, whatever the arrays hold.
std::vector<std::byte> BuildDsf(const MomentData& data, std::string_view header = "");

// The documented example: header "DEMO", 150 cases, X1 and X2, covariances 1.5, 0.3 and 2.25,
// means 10 and 20.5.
MomentData DemoMomentData();
inline constexpr std::string_view kDemoHeader = "DEMO";

// What the demo data becomes: the text data file with "," and ".", with ";" and ",", and the
// echo of the demo file with a decimal point.
inline const std::string kDemoComma =
    "rowtype_,varname_,X1,X2\r\nn,,150,150\r\ncov,X1,1.5\r\ncov,X2,0.3,2.25\r\nmean,,10,20.5\r\n";
inline const std::string kDemoSemicolon =
    "rowtype_;varname_;X1;X2\r\nn;;150;150\r\ncov;X1;1,5\r\ncov;X2;0,3;2,25\r\nmean;;10;20,5\r\n";
inline const std::string kDemoPane = "DEMO" + std::string(60, ' ') +
                                     "\r\n150 cases\r\n2 variables\r\nX1, X2\r\n\r\nCovariances\r\n"
                                     " 1.500\r\n .300 2.250\r\n\r\nMeans\r\n 10.000 20.500";

// p variables named V1 … Vp with values derived from their position; for tests and benchmarks.
MomentData SyntheticMomentData(std::int32_t variable_count);

// p variables V1 … Vp whose moments have no findings: a positive definite covariance matrix
// (every pair correlates 0.3), variances within a factor of 34, more cases than variables, and
// values of all 15 digits.
MomentData WellFormedMomentData(std::int32_t variable_count);

void WriteFileBytes(const std::filesystem::path& path, std::span<const std::byte> bytes);
void WriteFileText(const std::filesystem::path& path, std::string_view text);
std::string ReadFileText(const std::filesystem::path& path);

}  // namespace dsf2vemo::testing
