#pragma once

#include <exception>
#include <string>

namespace dsf2vemo {

// A failure as the converter words it after "error: …": the exception's own description, "not
// enough memory", or "an unknown error" for what carries none.
std::string FailureDescription(std::exception_ptr failure);

}  // namespace dsf2vemo
