// The JSON of what the reader decodes, read back by nlohmann-json: every number the very double.
#include "fuzz_target.h"

DSF2VEMO_FUZZ_TARGET(dsf2vemo::testing::CheckJson)
