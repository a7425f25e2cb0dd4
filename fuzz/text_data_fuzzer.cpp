// The text data file of what the reader decodes, with separators the input picks, read back by
// an independent parser that checks its lines, fields and numbers against what was read.
#include "fuzz_target.h"

DSF2VEMO_FUZZ_TARGET(dsf2vemo::testing::CheckTextData)
