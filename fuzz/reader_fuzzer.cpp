// The reader alone, and the diagnosis of what it decodes: any input decodes, with findings of
// one line each and the decoded numbers handed to the pane in order, or is rejected with a
// ConversionError. Anything else escaping, and any sanitizer report, is a failure.
#include "fuzz_target.h"

DSF2VEMO_FUZZ_TARGET(dsf2vemo::testing::CheckReader)
