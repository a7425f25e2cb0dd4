#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsf_reader.h"
#include "results_pane.h"

namespace dsf2vemo {

// Something in a file that was read successfully that makes its moments unusable, or suspect, as
// a covariance matrix. The code is short and fixed; the sentence names the variables and
// numbers. Sentences are single-byte text in the file's code page, like the names they quote;
// bytes of a name that are not text appear as "\xNN".
struct Finding {
    std::string Code;
    std::string Sentence;

    friend bool operator==(const Finding&, const Finding&) = default;
};

// Up to this many variables the positive-definiteness test always runs (milliseconds); beyond,
// only when asked, since its time grows with the cube of the variable count.
inline constexpr std::int32_t kPositiveDefiniteTestLimit = 500;

struct DiagnosisOptions {
    // For the numbers in the sentences, as in the echo.
    std::string decimal_separator = ".";
    bool test_positive_definite_at_any_size = false;
};

// Checks the header (but for its trailing padding of spaces and NULs) and names for bytes that
// are not text, the case count against the variable count, and the matrix: values that are not
// finite, variances that are not positive, covariances beyond the product of the standard
// deviations, a correlation matrix, variances more than a factor of 1000 apart and, when nothing
// simpler is wrong, positive definiteness. Findings come in that order. Throws ConversionError
// (Unsupported) when the memory for the positive-definiteness test can't be had, and (Refused)
// when the arrays don't match the variable count.
std::vector<Finding> Diagnose(const DsfFile& file, const DiagnosisOptions& options = {});

// After the echo in `pane`: an empty line, the heading "Warnings" and one line per finding; with
// no findings, nothing. The caret stays where it was.
void AppendWarnings(TextPane& pane, std::span<const Finding> findings);
// The same with, after the findings, what writing a file told the user (Mplus's renamings): one
// Warnings block for both, as the window and the page show it.
void AppendWarnings(TextPane& pane, std::span<const Finding> findings,
                    std::span<const std::string> written);

}  // namespace dsf2vemo
