// The Mplus pair of what the reader decodes: the data file's numbers the very doubles, the input
// file's lines within Mplus's width and its names ones Mplus takes, unique ignoring case.
#include "fuzz_target.h"

DSF2VEMO_FUZZ_TARGET(dsf2vemo::testing::CheckMplus)
