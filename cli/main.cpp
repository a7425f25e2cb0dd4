#include <iostream>
#include <string>
#include <vector>

#include "cli_app.h"

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
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(dsf2vemo::cli::Utf8FromWide(argv[i]));
    }
    return dsf2vemo::cli::Run(arguments, dsf2vemo::GetLocaleSeparators(), std::cout, std::cerr);
}

#else

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return dsf2vemo::cli::Run(arguments, dsf2vemo::GetLocaleSeparators(), std::cout, std::cerr);
}

#endif
