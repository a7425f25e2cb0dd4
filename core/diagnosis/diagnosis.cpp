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
    AppendWarnings(pane, findings, {});
}

void AppendWarnings(TextPane& pane, std::span<const Finding> findings,
                    std::span<const std::string> written) {
    if (findings.empty() && written.empty()) {
        return;
    }
    const std::size_t caret = pane.SelStart();
    pane.AppendNewLine();
    pane.AppendNewLine();
    pane.AppendText("Warnings");
    const auto append_line = [&pane](std::string_view sentence) {
        pane.AppendNewLine();
        pane.AppendText(sentence);
    };
    for (const Finding& finding : findings) {
        append_line(finding.Sentence);
    }
    for (const std::string& sentence : written) {
        append_line(sentence);
    }
    pane.SetSelStart(caret);
}

}  // namespace dsf2vemo
