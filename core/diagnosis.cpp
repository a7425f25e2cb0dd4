#include "diagnosis.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string_view>

#include "conversion_error.h"
#include "file_text.h"
#include "positive_definite.h"

namespace dsf2vemo {

namespace {

// Covariances may exceed the bound by this share: what rounding of computed moments can do.
constexpr double kBoundTolerance = 1e-8;
constexpr double kVarianceRatioLimit = 1000;
// Lists of variables name this many and count the rest.
constexpr std::size_t kNamesListed = 5;

constexpr std::string_view kOtherLayout =
    "; the file may come from a PRELIS version with another layout, which this program reads "
    "wrongly";

std::size_t FirstNonTextByte(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsTextByte(static_cast<unsigned char>(text[i]))) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string Count(std::size_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

// The (row, column) of each lower-triangle index, from 0, for messages.
struct Cell {
    std::size_t row;
    std::size_t column;
};

Cell CellOf(std::size_t index) {
    std::size_t row =
        static_cast<std::size_t>((std::sqrt(8.0 * static_cast<double>(index) + 1) - 1) / 2);
    while (row * (row + 1) / 2 > index) {
        --row;
    }
    while ((row + 1) * (row + 2) / 2 <= index) {
        ++row;
    }
    return {row, index - row * (row + 1) / 2};
}

class Diagnosis {
  public:
    Diagnosis(const DsfFile& file, const DiagnosisOptions& options)
        : file_(file), data_(file.Moments), options_(options), p_(data_.VariableNames.size()) {
        if (data_.VariableCount < 1 || static_cast<std::size_t>(data_.VariableCount) != p_ ||
            data_.Covariances.size() != p_ * (p_ + 1) / 2 || data_.Means.size() != p_) {
            throw std::invalid_argument("the moment data don't match their variable count");
        }
        variances_.reserve(p_);
        for (std::size_t i = 0; i < p_; ++i) {
            variances_.push_back(data_.Covariances[i * (i + 1) / 2 + i]);
        }
    }

    std::vector<Finding> Run() {
        CheckText();
        CheckCaseCount();
        const bool finite = CheckFinite();
        const bool positive = CheckVariancesPositive();
        const bool within_bound = CheckBound();
        CheckCorrelationMatrix();
        CheckVarianceRatio();
        const bool test_definiteness = options_.test_positive_definite_at_any_size ||
                                       data_.VariableCount <= kPositiveDefiniteTestLimit;
        if (finite && positive && within_bound && test_definiteness) {
            CheckPositiveDefinite();
        }
        return std::move(findings_);
    }

  private:
    void Add(std::string_view code, std::string sentence) {
        findings_.push_back({std::string(code), std::move(sentence)});
    }

    std::string Name(std::size_t i) const { return QuotedFileText(data_.VariableNames[i]); }

    // Four significant digits, in the echo's decimal form.
    std::string Number(double value) const {
        if (std::isnan(value)) {
            return "NaN";
        }
        if (std::isinf(value)) {
            return value < 0 ? "-Inf" : "Inf";
        }
        std::array<char, 32> buffer{};
        const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::general, 4)
                             .ptr;
        std::string text;
        for (const char* c = buffer.data(); c != end; ++c) {
            if (*c == '.') {
                text += options_.decimal_separator;
            } else {
                text += *c;
            }
        }
        return text;
    }

    std::string ValueName(std::size_t index) const {
        if (index >= data_.Covariances.size()) {
            return "the mean of " + Name(index - data_.Covariances.size());
        }
        const Cell cell = CellOf(index);
        if (cell.row == cell.column) {
            return "the variance of " + Name(cell.row);
        }
        return "the covariance of " + Name(cell.row) + " and " + Name(cell.column);
    }

    void CheckText() {
        // Trailing NULs stand for the spaces that pad the header; the names come trimmed.
        const std::string_view header(file_.Header);
        const std::size_t header_byte = FirstNonTextByte(header.substr(0, UnpaddedSize(header)));
        if (header_byte != std::string_view::npos) {
            Add("header-not-text",
                "byte " + std::to_string(header_byte + 1) + " of the header is 0x" +
                    HexByte(static_cast<unsigned char>(file_.Header[header_byte])) +
                    ", which is not text" + std::string(kOtherLayout));
        }
        std::size_t count = 0;
        std::size_t first = 0;
        for (std::size_t i = 0; i < p_; ++i) {
            if (FirstNonTextByte(data_.VariableNames[i]) != std::string_view::npos) {
                if (count++ == 0) {
                    first = i;
                }
            }
        }
        if (count > 0) {
            Add("name-not-text", Count(count, "variable name holds", "variable names hold") +
                                     " bytes that are not text; the first is that of variable " +
                                     std::to_string(first + 1) + ", " + Name(first) +
                                     std::string(kOtherLayout));
        }
    }

    void CheckCaseCount() {
        const std::int32_t cases = data_.CaseCount;
        if (cases <= 0) {
            Add("too-few-cases", "the number of cases is " + std::to_string(cases) +
                                     ", but moments need at least one case");
        } else if (cases <= data_.VariableCount) {
            Add("too-few-cases", Count(static_cast<std::size_t>(cases), "case", "cases") + " for " +
                                     Count(p_, "variable", "variables") +
                                     ": the sample covariance matrix of no more cases than "
                                     "variables is singular");
        }
    }

    bool CheckFinite() {
        std::size_t count = 0;
        std::size_t first = 0;
        const auto scan = [&](std::span<const double> values, std::size_t offset) {
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (!std::isfinite(values[i]) && count++ == 0) {
                    first = offset + i;
                }
            }
        };
        scan(data_.Covariances, 0);
        scan(data_.Means, data_.Covariances.size());
        if (count == 0) {
            return true;
        }
        const double value = first < data_.Covariances.size()
                                 ? data_.Covariances[first]
                                 : data_.Means[first - data_.Covariances.size()];
        Add("not-finite", Count(count, "value is", "values are") +
                              " not a finite number; the first is " + ValueName(first) + " (" +
                              Number(value) + ")");
        return false;
    }

    bool CheckVariancesPositive() {
        std::string listed;
        std::size_t count = 0;
        for (std::size_t i = 0; i < p_; ++i) {
            if (variances_[i] <= 0) {
                if (count < kNamesListed) {
                    listed +=
                        (count > 0 ? ", " : "") + Name(i) + " (" + Number(variances_[i]) + ")";
                }
                ++count;
            }
        }
        if (count == 0) {
            return true;
        }
        if (count > kNamesListed) {
            listed += " and " + std::to_string(count - kNamesListed) + " more";
        }
        Add("variance-not-positive",
            Count(count, "variance is", "variances are") + " zero or negative: " + listed);
        return false;
    }

    // |s_ij| <= sqrt(s_ii s_jj), wherever both variances are positive and finite.
    bool CheckBound() {
        std::vector<double> inverse_sd(p_, 0.0);
        for (std::size_t i = 0; i < p_; ++i) {
            if (variances_[i] > 0 && std::isfinite(variances_[i])) {
                inverse_sd[i] = 1 / std::sqrt(variances_[i]);
            }
        }
        std::size_t count = 0;
        double worst = 0;
        std::size_t worst_index = 0;
        const double limit = 1 + kBoundTolerance;
        std::size_t k = 0;
        for (std::size_t i = 0; i < p_; ++i, ++k) {
            for (std::size_t j = 0; j < i; ++j, ++k) {
                const double correlation =
                    std::abs(data_.Covariances[k]) * inverse_sd[i] * inverse_sd[j];
                // An infinite covariance is reported as not finite, not here.
                if (correlation > limit && std::isfinite(correlation)) {
                    ++count;
                    if (correlation > worst) {
                        worst = correlation;
                        worst_index = k;
                    }
                }
            }
        }
        if (count == 0) {
            return true;
        }
        const Cell cell = CellOf(worst_index);
        Add("covariance-out-of-bounds",
            Count(count, "covariance exceeds", "covariances exceed") +
                " the product of the two standard deviations, which no covariance matrix "
                "allows; the worst is that of " +
                Name(cell.row) + " and " + Name(cell.column) + ", a correlation of " +
                Number(data_.Covariances[worst_index] * inverse_sd[cell.row] *
                       inverse_sd[cell.column]));
        return false;
    }

    void CheckCorrelationMatrix() {
        for (const double variance : variances_) {
            if (variance != 1) {
                return;
            }
        }
        Add("correlation-matrix",
            "every variance is exactly 1: looks like a correlation matrix; it will be labelled "
            "as covariances");
    }

    void CheckVarianceRatio() {
        std::size_t smallest = p_;
        std::size_t largest = p_;
        for (std::size_t i = 0; i < p_; ++i) {
            if (variances_[i] > 0 && std::isfinite(variances_[i])) {
                if (smallest == p_ || variances_[i] < variances_[smallest]) {
                    smallest = i;
                }
                if (largest == p_ || variances_[i] > variances_[largest]) {
                    largest = i;
                }
            }
        }
        if (smallest == p_ || variances_[largest] <= kVarianceRatioLimit * variances_[smallest]) {
            return;
        }
        Add("variance-ratio", "the variances differ by a factor of " +
                                  Number(variances_[largest] / variances_[smallest]) +
                                  ": the smallest is that of " + Name(smallest) + " (" +
                                  Number(variances_[smallest]) + "), the largest that of " +
                                  Name(largest) + " (" + Number(variances_[largest]) + ")");
    }

    void CheckPositiveDefinite() {
        std::size_t variable = 0;
        try {
            variable = FirstVariableNotPositiveDefinite(data_.Covariances, p_);
        } catch (const std::bad_alloc&) {
            throw ConversionError(ErrorKind::Unsupported,
                                  "the positive-definiteness test of " +
                                      Count(p_, "variable", "variables") + " needs " +
                                      std::to_string(16 * p_ * p_ / 1'000'000 + 1) +
                                      " MB of memory, more than is available");
        }
        if (variable == 0) {
            return;
        }
        Add("not-positive-definite",
            "the covariance matrix is not positive definite; it first fails at variable " +
                std::to_string(variable) + ", " + Name(variable - 1) +
                ", which is (nearly) a linear combination of the variables before it or has "
                "covariances with them that no data can give");
    }

    const DsfFile& file_;
    const MomentData& data_;
    const DiagnosisOptions& options_;
    std::size_t p_;
    std::vector<double> variances_;
    std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> Diagnose(const DsfFile& file, const DiagnosisOptions& options) {
    return Diagnosis(file, options).Run();
}

void AppendWarnings(TextPane& pane, std::span<const Finding> findings) {
    if (findings.empty()) {
        return;
    }
    const std::size_t caret = pane.SelStart();
    pane.AppendNewLine();
    pane.AppendNewLine();
    pane.AppendText("Warnings");
    for (const Finding& finding : findings) {
        pane.AppendNewLine();
        pane.AppendText(finding.Sentence);
    }
    pane.SetSelStart(caret);
}

}  // namespace dsf2vemo
