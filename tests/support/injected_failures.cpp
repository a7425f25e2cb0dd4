#include "injected_failures.h"

namespace dsf2vemo::testing {

ChildResult RunInjecting(const std::filesystem::path& program,
                         const std::vector<std::string>& injections,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& scratch, ChildLimits limits) {
    std::string failures;
    for (const std::string& injection : injections) {
        failures += (failures.empty() ? "" : ";") + injection;
    }
    // AddressSanitizer wants to be loaded first; the library asks nothing of it.
    limits.environment.insert(
        limits.environment.end(),
        {"LD_PRELOAD=" DSF2VEMO_CALL_FAILURES_LIBRARY, "DSF2VEMO_FAIL_CALLS=" + failures,
         "ASAN_OPTIONS=verify_asan_link_order=0"});
    return RunChild(program, arguments, limits, scratch);
}

}  // namespace dsf2vemo::testing
