#pragma once

#include <cpp11.hpp>

#include "file_conversion.h"

namespace dsf2vemo::r {

// A failed step as R code raises it: list(failure = the command line's words after "error: ").
cpp11::writable::list FailureForR(const StepFailure& failure);

}  // namespace dsf2vemo::r
