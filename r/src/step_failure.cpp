#include "step_failure.h"

#include "r_text.h"

namespace dsf2vemo::r {

using namespace cpp11::literals;

cpp11::writable::list FailureForR(const StepFailure& failure) {
    return cpp11::writable::list({"failure"_nm = RTexts({failure.what()})});
}

}  // namespace dsf2vemo::r
