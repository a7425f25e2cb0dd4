#include "diagnosis.h"

#include "findings.h"
#include "moment_view.h"

namespace dsf2vemo {

std::vector<Finding> Diagnose(const DsfFile& file, const DiagnosisOptions& options) {
    const MomentView view(file, options);
    std::vector<Finding> findings;
    bool definiteness_tells_more = options.test_positive_definite_at_any_size ||
                                   file.Moments.VariableCount <= kPositiveDefiniteTestLimit;
    for (const FindingRule& rule : FindingRules()) {
        if (std::optional<std::string> sentence = rule.check(view)) {
            findings.push_back({std::string(rule.code), std::move(*sentence)});
            definiteness_tells_more = definiteness_tells_more && !rule.blocks_definiteness_test;
        }
    }
    if (definiteness_tells_more) {
        if (std::optional<std::string> sentence = NotPositiveDefinite(view)) {
            findings.push_back({std::string(kNotPositiveDefinite), std::move(*sentence)});
        }
    }
    return findings;
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
