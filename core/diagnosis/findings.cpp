#include "findings.h"

#include <array>
#include <cmath>
#include <new>

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

using Sentence = std::optional<std::string>;

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

// Trailing NULs stand for the spaces that pad the header.
Sentence HeaderNotText(const MomentView& view) {
    const std::string_view header(view.file.Header);
    const std::size_t at = FirstNonTextByte(header.substr(0, UnpaddedSize(header)));
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return "byte " + std::to_string(at + 1) + " of the header is 0x" +
           HexByte(static_cast<unsigned char>(header[at])) + ", which is not text" +
           std::string(kOtherLayout);
}

// The names come trimmed.
Sentence NamesNotText(const MomentView& view) {
    std::size_t count = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < view.p; ++i) {
        if (FirstNonTextByte(view.data.VariableNames[i]) != std::string_view::npos &&
            count++ == 0) {
            first = i;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    return Count(count, "variable name holds", "variable names hold") +
           " bytes that are not text; the first is that of variable " + std::to_string(first + 1) +
           ", " + view.Name(first) + std::string(kOtherLayout);
}

Sentence TooFewCases(const MomentView& view) {
    const std::int32_t cases = view.data.CaseCount;
    if (cases <= 0) {
        return "the number of cases is " + std::to_string(cases) +
               ", but moments need at least one case";
    }
    if (cases <= view.data.VariableCount) {
        return Count(static_cast<std::size_t>(cases), "case", "cases") + " for " +
               Count(view.p, "variable", "variables") +
               ": the sample covariance matrix of no more cases than variables is singular";
    }
    return std::nullopt;
}

Sentence NotFinite(const MomentView& view) {
    const MomentData& data = view.data;
    std::size_t count = 0;
    std::size_t first = 0;
    double first_value = 0;
    std::size_t index = 0;
    for (const auto* values : {&data.Covariances, &data.Means}) {
        for (const double value : *values) {
            if (!std::isfinite(value) && count++ == 0) {
                first = index;
                first_value = value;
            }
            ++index;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    return Count(count, "value is", "values are") + " not a finite number; the first is " +
           view.ValueName(first) + " (" + view.Number(first_value) + ")";
}

Sentence VariancesNotPositive(const MomentView& view) {
    std::string listed;
    std::size_t count = 0;
    for (std::size_t i = 0; i < view.p; ++i) {
        if (view.variances[i] <= 0) {
            if (count < kNamesListed) {
                listed += (count > 0 ? ", " : "") + view.Name(i) + " (" +
                          view.Number(view.variances[i]) + ")";
            }
            ++count;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    if (count > kNamesListed) {
        listed += " and " + std::to_string(count - kNamesListed) + " more";
    }
    return Count(count, "variance is", "variances are") + " zero or negative: " + listed;
}

// |s_ij| <= sqrt(s_ii s_jj), wherever both variances are positive and finite.
Sentence CovarianceOutOfBounds(const MomentView& view) {
    std::size_t count = 0;
    double worst = 0;
    CovarianceCell worst_cell{};
    const double limit = 1 + kBoundTolerance;
    for (std::size_t i = 0; i < view.p; ++i) {
        const std::span<const double> row = CovarianceRow(view.data.Covariances, i);
        for (std::size_t j = 0; j < i; ++j) {
            const double correlation = std::abs(row[j]) * view.inverse_sd[i] * view.inverse_sd[j];
            // An infinite covariance is reported as not finite, not here.
            if (correlation > limit && std::isfinite(correlation)) {
                ++count;
                if (correlation > worst) {
                    worst = correlation;
                    worst_cell = {i, j};
                }
            }
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    const auto [i, j] = worst_cell;
    const double signed_worst =
        view.data.Covariances[CovarianceIndex(i, j)] * view.inverse_sd[i] * view.inverse_sd[j];
    return Count(count, "covariance exceeds", "covariances exceed") +
           " the product of the two standard deviations, which no covariance matrix allows; the "
           "worst is that of " +
           view.Name(i) + " and " + view.Name(j) + ", a correlation of " +
           view.Number(signed_worst);
}

Sentence CorrelationMatrix(const MomentView& view) {
    for (const double variance : view.variances) {
        if (variance != 1) {
            return std::nullopt;
        }
    }
    if (view.variances.empty()) {
        return std::nullopt;
    }
    return "every variance is exactly 1: looks like a correlation matrix; it will be labelled as "
           "covariances";
}

Sentence VarianceRatio(const MomentView& view) {
    if (view.smallest == view.p) {
        return std::nullopt;
    }
    const double smallest = view.variances[view.smallest];
    const double largest = view.variances[view.largest];
    if (largest <= kVarianceRatioLimit * smallest) {
        return std::nullopt;
    }
    return "the variances differ by a factor of " + view.Number(largest / smallest) +
           ": the smallest is that of " + view.Name(view.smallest) + " (" + view.Number(smallest) +
           "), the largest that of " + view.Name(view.largest) + " (" + view.Number(largest) + ")";
}

constexpr std::array kRules = {
    FindingRule{"header-not-text", false, HeaderNotText},
    FindingRule{"name-not-text", false, NamesNotText},
    FindingRule{"too-few-cases", false, TooFewCases},
    FindingRule{"not-finite", true, NotFinite},
    FindingRule{"variance-not-positive", true, VariancesNotPositive},
    FindingRule{"covariance-out-of-bounds", true, CovarianceOutOfBounds},
    FindingRule{"correlation-matrix", false, CorrelationMatrix},
    FindingRule{"variance-ratio", false, VarianceRatio},
};

}  // namespace

std::span<const FindingRule> FindingRules() {
    return kRules;
}

Sentence NotPositiveDefinite(const MomentView& view) {
    std::size_t variable = 0;
    try {
        variable = FirstVariableNotPositiveDefinite(view.data.Covariances, view.p);
    } catch (const std::bad_alloc&) {
        throw ConversionError(ErrorKind::Unsupported,
                              "the positive-definiteness test of " +
                                  Count(view.p, "variable", "variables") + " needs " +
                                  std::to_string(16 * view.p * view.p / 1'000'000 + 1) +
                                  " MB of memory, more than is available");
    }
    if (variable == 0) {
        return std::nullopt;
    }
    return "the covariance matrix is not positive definite; it first fails at variable " +
           std::to_string(variable) + ", " + view.Name(variable - 1) +
           ", which is (nearly) a linear combination of the variables before it or has "
           "covariances with them that no data can give";
}

}  // namespace dsf2vemo
