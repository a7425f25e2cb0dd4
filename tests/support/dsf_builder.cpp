#include "dsf_builder.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace dsf2vemo::testing {

ByteWriter& ByteWriter::Unsigned(std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes_.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
    }
    return *this;
}

ByteWriter& ByteWriter::Text(std::string_view text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes_.push_back(static_cast<std::byte>(i < text.size() ? text[i] : ' '));
    }
    return *this;
}

ByteWriter& ByteWriter::Int32(std::int32_t value) {
    return Unsigned(static_cast<std::uint32_t>(value), 4);
}

ByteWriter& ByteWriter::Double(double value) {
    return Unsigned(std::bit_cast<std::uint64_t>(value), 8);
}

ByteWriter& ByteWriter::Raw(std::span<const std::byte> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<std::byte> BuildDsf(const MomentData& data, std::string_view header) {
    ByteWriter writer;
    writer.Text(header, 64).Int32(data.CaseCount).Int32(data.VariableCount);
    for (const std::string& name : data.VariableNames) {
        writer.Text(name, 8);
    }
    for (const double value : data.Covariances) {
        writer.Double(value);
    }
    for (const double value : data.Means) {
        writer.Double(value);
    }
    return writer.Bytes();
}

MomentData DemoMomentData() {
    return {150, 2, {"X1", "X2"}, {1.5, 0.3, 2.25}, {10, 20.5}};
}

MomentData SyntheticMomentData(std::int32_t variable_count) {
    MomentData data;
    data.CaseCount = 500;
    data.VariableCount = variable_count;
    for (std::int32_t i = 1; i <= variable_count; ++i) {
        data.VariableNames.push_back("V" + std::to_string(i));
        data.Means.push_back(10.0 + i / 7.0);
        for (std::int32_t j = 1; j <= i; ++j) {
            data.Covariances.push_back(i == j ? 1.0 + i / 3.0 : 0.5 / (1.0 + i - j) - 0.01 * j);
        }
    }
    return data;
}

MomentData WellFormedMomentData(std::int32_t variable_count) {
    MomentData data;
    data.CaseCount = 2 * variable_count + 100;
    data.VariableCount = variable_count;
    std::vector<double> sd;
    for (std::int32_t i = 0; i < variable_count; ++i) {
        data.VariableNames.push_back("V" + std::to_string(i + 1));
        data.Means.push_back(10.0 + i / 7.0);
        sd.push_back(std::sqrt(1.0 + (i % 100) / 3.0));
    }
    for (std::int32_t i = 0; i < variable_count; ++i) {
        for (std::int32_t j = 0; j <= i; ++j) {
            // Every pair correlates 0.3: positive definite at any size, and every value needs
            // all its digits, as measured data do.
            const double correlation = i == j ? 1.0 : 0.3;
            data.Covariances.push_back(correlation * sd[static_cast<std::size_t>(i)] *
                                       sd[static_cast<std::size_t>(j)]);
        }
    }
    return data;
}

void WriteFileBytes(const std::filesystem::path& path, std::span<const std::byte> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write test file");
    }
}

void WriteFileText(const std::filesystem::path& path, std::string_view text) {
    WriteFileBytes(path, std::as_bytes(std::span(text.data(), text.size())));
}

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read test file");
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace dsf2vemo::testing
