#include "moment_table.h"

#include "message_text.h"
#include "moment_checks.h"

namespace dsf2vemo {

MomentTable TableOfMoments(const DsfFile& file) {
    const MomentData& data = file.Moments;
    CheckMomentArrays(data);
    MomentTable table;
    table.header =
        MessageTextFromFile(std::string_view(file.Header).substr(0, UnpaddedSize(file.Header)));
    table.cases = data.CaseCount;
    table.names.reserve(data.VariableNames.size());
    for (const std::string& name : data.VariableNames) {
        table.names.push_back(MessageTextFromFile(name));
    }
    const std::size_t p = data.VariableNames.size();
    table.covariances.resize(p * p);
    for (std::size_t i = 0; i < p; ++i) {
        const std::span<const double> row = CovarianceRow(data.Covariances, i);
        for (std::size_t j = 0; j <= i; ++j) {
            table.covariances[i * p + j] = row[j];
            table.covariances[j * p + i] = row[j];
        }
    }
    table.means = data.Means;
    return table;
}

}  // namespace dsf2vemo
