// The results pane of the window for a data system file, built the window's way, for the page's
// tests to compare with:
//   window_pane_reference FILE.dsf DECIMAL [mplus]
// Prints the pane's bytes: the echo, then the Warnings block of the diagnosis and, with "mplus",
// of the names a conversion to Mplus summary data renames. A failed read prints the echo up to
// the failure and ends with status 1.
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "diagnosis.h"
#include "dsf_reader.h"
#include "mplus_pair.h"
#include "results_pane.h"

int main(int argc, char** argv) {
    using namespace dsf2vemo;
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: window_pane_reference FILE.dsf DECIMAL [mplus]\n";
        return 2;
    }
    const std::string decimal = argv[2];
    const bool after_mplus = argc == 4 && std::string_view(argv[3]) == "mplus";
    TextPane echo(decimal);
    try {
        const DsfFile file = ReadDsfFile(argv[1], echo);
        std::vector<Finding> findings;
        std::vector<std::string> written;
        try {
            findings = Diagnose(file, {decimal});
        } catch (...) {
            // As in the window: a file read stays convertible without its warnings.
        }
        try {
            const std::string sentence =
                after_mplus ? RenamingSentence(FormatMplus(file, "x.dat").renamings) : "";
            if (!sentence.empty()) {
                written.push_back(sentence);
            }
        } catch (...) {
            // A conversion that fails leaves the pane as it was.
        }
        TextPane pane(decimal);
        pane.SetResultsText(echo.Text());
        AppendWarnings(pane, findings, written);
        std::cout << pane.Text();
        return 0;
    } catch (const std::exception&) {
        std::cout << echo.Text();
        return 1;
    }
}
