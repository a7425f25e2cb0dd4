#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "diagnosis.h"

namespace dsf2vemo {

// What every finding looks at, computed once per diagnosis: the moments, the variances and what
// follows from them, and the words for names and numbers in sentences.
struct MomentView {
    MomentView(const DsfFile& file, const DiagnosisOptions& options);

    const DsfFile& file;
    const MomentData& data;
    const DiagnosisOptions& options;
    std::size_t p;
    std::vector<double> variances;
    // 1 / standard deviation where the variance is finite and positive, 0 elsewhere.
    std::vector<double> inverse_sd;
    // The smallest and the largest finite positive variance; p where there is none.
    std::size_t smallest = 0;
    std::size_t largest = 0;

    // The name of variable i (from 0) in quotes, bytes that aren't text as "\xNN".
    std::string Name(std::size_t i) const;
    // Four significant digits, in the echo's decimal form.
    std::string Number(double value) const;
    // "the variance of …", "the covariance of … and …" or "the mean of …" for an index into the
    // covariances followed by the means.
    std::string ValueName(std::size_t index) const;
};

}  // namespace dsf2vemo
