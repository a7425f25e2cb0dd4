// The reader's echo into the pane, held against numbers worked out apart. Its inputs are kept to
// a few variables: a huge value's three decimals take {fmt}'s exact long arithmetic, whose every
// comparison the coverage instrumentation traces.
#include "fuzz_target.h"

DSF2VEMO_FUZZ_TARGET(dsf2vemo::testing::CheckEcho)
