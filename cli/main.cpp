#include <iostream>
#include <string>
#include <vector>

#include "cli_app.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

std::string Utf8FromWide(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size - 1));
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The text data file and the echo are bytes with CR LF already in them.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Utf8FromWide(argv[i]));
    }
    return dsf2vemo::cli::Run(arguments, dsf2vemo::GetLocaleSeparators(), std::cout, std::cerr);
}

#else

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return dsf2vemo::cli::Run(arguments, dsf2vemo::GetLocaleSeparators(), std::cout, std::cerr);
}

#endif
