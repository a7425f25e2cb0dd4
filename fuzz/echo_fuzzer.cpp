// The reader's echo into the pane, held against numbers worked out apart. A huge value's three
// decimals take {fmt}'s exact long arithmetic, slow under the instrumentation: an input whose
// huge values go past the budget is left out (-1 keeps it out of the corpus too), so that each
// input formats about one value near the top of the range at most.
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = dsf2vemo::fuzz::Bytes(data, size);
    if (!dsf2vemo::testing::WithinEchoFuzzBudget(bytes)) {
        return -1;
    }
    return dsf2vemo::fuzz::Report("CheckEcho", dsf2vemo::testing::CheckEcho(bytes));
}
