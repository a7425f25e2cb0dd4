#include "format_read_back.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <vector>

namespace dsf2vemo::testing {

namespace {

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string CompareValues(const std::vector<double>& read, const MomentData& expected) {
    std::vector<double> wanted = expected.Means;
    wanted.insert(wanted.end(), expected.Covariances.begin(), expected.Covariances.end());
    if (read.size() != wanted.size()) {
        return std::to_string(read.size()) + " numbers, but " + std::to_string(wanted.size()) +
               " were read";
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (!SameDouble(read[i], wanted[i])) {
            return "number " + std::to_string(i + 1) + " differs from the double read";
        }
    }
    return {};
}

bool IsNameByte(char c, bool first) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '_'));
}

}  // namespace

std::string CompareJson(const DsfFile& expected, std::string_view json) {
    const MomentData& data = expected.Moments;
    nlohmann::ordered_json object;
    try {
        object = nlohmann::ordered_json::parse(json);
    } catch (const nlohmann::json::exception& error) {
        return std::string("the JSON doesn't parse: ") + error.what();
    }
    std::vector<std::string> keys;
    for (const auto& item : object.items()) {
        keys.push_back(item.key());
    }
    if (keys != std::vector<std::string>{"header", "cases", "variables", "covariances", "means"}) {
        return "the members are not header, cases, variables, covariances and means";
    }
    if (object["cases"] != data.CaseCount || object["variables"].size() != data.Means.size()) {
        return "the case count or the number of names differs";
    }
    std::vector<double> values = object["means"].get<std::vector<double>>();
    for (std::size_t i = 0; i < object["covariances"].size(); ++i) {
        const auto& row = object["covariances"][i];
        if (row.size() != i + 1) {
            return "row " + std::to_string(i + 1) + " holds " + std::to_string(row.size()) +
                   " values";
        }
        for (const auto& value : row) {
            values.push_back(value.get<double>());
        }
    }
    return CompareValues(values, data);
}

std::string CompareMplus(const DsfFile& expected, const MplusFiles& files) {
    std::vector<double> values;
    std::istringstream numbers(files.data);
    for (std::string token; numbers >> token;) {
        double value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size()) {
            return "the data file holds \"" + token + "\", which is no number";
        }
        values.push_back(value);
    }
    if (std::string failure = CompareValues(values, expected.Moments); !failure.empty()) {
        return "the data file: " + failure;
    }

    std::istringstream lines(files.input);
    std::string names;
    bool in_names = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 91) {  // 90 and the CR
            return "the input file has a line of " + std::to_string(line.size() - 1) +
                   " characters";
        }
        in_names = in_names || line.starts_with("VARIABLE: NAMES =");
        if (in_names) {
            names += line.substr(line.starts_with("VARIABLE:") ? 17 : 0) + " ";
            in_names = line.find(';') == std::string::npos;
        }
    }
    std::istringstream words(names.substr(0, names.find(';')));
    std::set<std::string> taken;
    for (std::string word; words >> word;) {
        bool valid = word.size() <= 8 && IsNameByte(word[0], true);
        for (char& c : word) {
            valid = valid && IsNameByte(c, false);
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        if (!valid || !taken.insert(word).second) {
            return "the name " + word + " is not one Mplus takes, or repeats one";
        }
    }
    if (taken.size() != expected.Moments.VariableNames.size()) {
        return std::to_string(taken.size()) + " names for " +
               std::to_string(expected.Moments.VariableNames.size()) + " variables";
    }
    return {};
}

}  // namespace dsf2vemo::testing
