#include "moment_view.h"

#include <cmath>

#include "file_text.h"
#include "moment_checks.h"
#include "number_format.h"

namespace dsf2vemo {

MomentView::MomentView(const DsfFile& diagnosed, const DiagnosisOptions& diagnosis_options)
    : file(diagnosed),
      data(diagnosed.Moments),
      options(diagnosis_options),
      p(diagnosed.Moments.VariableNames.size()) {
    CheckMomentArrays(data);
    variances.reserve(p);
    inverse_sd.reserve(p);
    smallest = largest = p;
    for (std::size_t i = 0; i < p; ++i) {
        const double variance = data.Covariances[CovarianceIndex(i, i)];
        variances.push_back(variance);
        const bool usable = variance > 0 && std::isfinite(variance);
        inverse_sd.push_back(usable ? 1 / std::sqrt(variance) : 0.0);
        if (usable) {
            if (smallest == p || variance < variances[smallest]) {
                smallest = i;
            }
            if (largest == p || variance > variances[largest]) {
                largest = i;
            }
        }
    }
}

std::string MomentView::Name(std::size_t i) const {
    return QuotedFileText(data.VariableNames[i]);
}

std::string MomentView::Number(double value) const {
    return FormatSignificantDigits(value, 4, options.decimal_separator);
}

std::string MomentView::ValueName(std::size_t index) const {
    if (index >= data.Covariances.size()) {
        return "the mean of " + Name(index - data.Covariances.size());
    }
    const CovarianceCell cell = CovarianceCellAt(index);
    if (cell.row == cell.column) {
        return "the variance of " + Name(cell.row);
    }
    return "the covariance of " + Name(cell.row) + " and " + Name(cell.column);
}

}  // namespace dsf2vemo
