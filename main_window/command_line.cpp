#include "command_line.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "error_description.h"

namespace dsf2vemo::gui {

namespace {

struct LocalFreer {
    void operator()(wchar_t** arguments) const { LocalFree(arguments); }
};

}  // namespace

std::vector<std::filesystem::path> CommandLineFiles(const wchar_t* command_line) {
    int count = 0;
    const std::unique_ptr<wchar_t*[], LocalFreer> arguments(
        CommandLineToArgvW(command_line, &count));
    if (!arguments) {
        ThrowLastError("the command line could not be split into arguments");
    }
    std::vector<std::filesystem::path> files;
    // The first argument is the program itself.
    for (int index = 1; index < count; ++index) {
        if (*arguments[index] == L'\0') {
            continue;
        }
        // The window shows full paths and derives the output name's folder from them.
        files.push_back(std::filesystem::absolute(arguments[index]));
    }
    return files;
}

}  // namespace dsf2vemo::gui
