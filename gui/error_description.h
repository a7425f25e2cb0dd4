#pragma once

#include <exception>
#include <string>

namespace dsf2vemo::gui {

// The description of a caught failure, for the error box: the exception's text (UTF-8), or a
// fixed text for failures that carry none.
std::wstring ErrorDescription(std::exception_ptr failure);

// Throws std::system_error with the thread's last Windows error, described as `what` failing.
[[noreturn]] void ThrowLastError(const char* what);

}  // namespace dsf2vemo::gui
