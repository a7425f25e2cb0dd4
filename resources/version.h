#pragma once

// The version both programs carry in their version resources.
#define DSF2VEMO_VERSION_BINARY 1, 0, 0, 0
#define DSF2VEMO_VERSION_TEXT "1.00"
