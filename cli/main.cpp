#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli_app.h"
#include "failure_description.h"
#include "standard_input.h"

namespace {

// Whatever escapes the conversions still ends as one message and the failure status.
int ReportEscaped() {
    std::cerr << "dsf2vemo-cli: error: " << dsf2vemo::FailureDescription(std::current_exception())
              << '\n';
    return dsf2vemo::cli::kExitConversionFailed;
}

// What "-" reads: the process's standard input, unless it is no data system file.
dsf2vemo::cli::StandardInput StandardInput() {
    return {std::cin, dsf2vemo::cli::StandardInputRefusal(), dsf2vemo::cli::StandardInputPath()};
}

}  // namespace

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "console_stream.h"
#include "wide_text.h"

int wmain(int argc, wchar_t** argv) {
    // The text data file and the echo are bytes with CR LF already in them.
    _setmode(_fileno(stdout), _O_BINARY);
    // Messages are UTF-8 and name paths: a console shows them as UTF-16.
    const dsf2vemo::cli::ConsoleRedirect errors_to_console(std::cerr, STD_ERROR_HANDLE);
    try {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i) {
            arguments.push_back(dsf2vemo::CodePageFromWide(CP_UTF8, argv[i]));
        }
        return dsf2vemo::cli::Run(arguments, dsf2vemo::GetLocaleSeparators(), StandardInput(),
                                  std::cout, std::cerr);
    } catch (...) {
        return ReportEscaped();
    }
}

#else

int main(int argc, char** argv) {
    try {
        std::vector<std::string> arguments(argv + 1, argv + argc);
        return dsf2vemo::cli::Run(arguments, dsf2vemo::GetLocaleSeparators(), StandardInput(),
                                  std::cout, std::cerr);
    } catch (...) {
        return ReportEscaped();
    }
}

#endif
