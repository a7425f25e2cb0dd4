// The floor of a conversion, for bench/run_bench.sh to measure dsf2vemo-cli against: reads a
// data system file, formats every value to 15 significant digits by the converter's own integer
// arithmetic (the fastest way this machine knows; std::to_chars is slower) with the separators
// "," and "." into one buffer, and writes it once, flushing it and its folder to disk as the
// converter does. No checks, no echo, no temporary file: what a durable text data file costs at
// the least. With --shortest, each value is written in the shortest form that reads back
// as the same double (std::to_chars without a precision), the floor of the JSON and Mplus
// outputs, whose numbers take that form.
//
//   floor_conversion [--shortest] INPUT.dsf OUTPUT.txt
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "number_format.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

std::int32_t Int32At(const std::vector<char>& bytes, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

double DoubleAt(const std::vector<char>& bytes, std::size_t offset) {
    double value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

std::string_view NameAt(const std::vector<char>& bytes, std::size_t offset) {
    std::string_view name(bytes.data() + offset, 8);
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    while (!name.empty() && name.front() == ' ') {
        name.remove_prefix(1);
    }
    return name;
}

bool shortest = false;

void AppendValue(std::string& out, double value) {
    if (!shortest) {
        dsf2vemo::AppendGeneralNumber(out, value, ".");
        return;
    }
    char text[32];
    out.append(text, std::to_chars(std::begin(text), std::end(text), value).ptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--shortest") {
        shortest = true;
        --argc;
        ++argv;
    }
    if (argc != 3) {
        std::cerr << "usage: floor_conversion [--shortest] INPUT.dsf OUTPUT.txt\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> bytes(static_cast<std::size_t>(std::filesystem::file_size(argv[1])));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (bytes.size() < 72) {
        std::cerr << "floor_conversion: the input is too short\n";
        return 1;
    }
    const auto p = static_cast<std::size_t>(Int32At(bytes, 68));
    const std::int32_t cases = Int32At(bytes, 64);
    if (bytes.size() < 72 + 20 * p + 4 * p * p) {
        std::cerr << "floor_conversion: the input is too short\n";
        return 1;
    }

    std::string out;
    out.reserve(64 + 30 * p + (p * (p + 1) / 2 + p) * 24);
    out += "rowtype_,varname_";
    for (std::size_t i = 0; i < p; ++i) {
        out += ',';
        out += NameAt(bytes, 72 + 8 * i);
    }
    out += "\r\nn,";
    const std::string case_text = std::to_string(cases);
    for (std::size_t i = 0; i < p; ++i) {
        out += ',';
        out += case_text;
    }
    out += "\r\n";
    std::size_t offset = 72 + 8 * p;
    for (std::size_t i = 0; i < p; ++i) {
        out += "cov,";
        out += NameAt(bytes, 72 + 8 * i);
        for (std::size_t j = 0; j <= i; ++j, offset += 8) {
            out += ',';
            AppendValue(out, DoubleAt(bytes, offset));
        }
        out += "\r\n";
    }
    out += "mean,";
    for (std::size_t i = 0; i < p; ++i, offset += 8) {
        out += ',';
        AppendValue(out, DoubleAt(bytes, offset));
    }
    out += "\r\n";

    std::FILE* file = std::fopen(argv[2], "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() ||
        std::fflush(file) != 0 || fsync(fileno(file)) != 0 || std::fclose(file) != 0) {
        std::cerr << "floor_conversion: the output could not be written\n";
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[2]).parent_path();
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0 || fsync(descriptor) != 0 || close(descriptor) != 0) {
        std::cerr << "floor_conversion: the output's folder could not be flushed\n";
        return 1;
    }
    return 0;
}
