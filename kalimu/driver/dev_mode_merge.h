// The part-by-part merge of two device modes whose public and private parts may differ in size:
// the conversion between driver versions and the hand-back of a settings record to a caller in
// the shape of the record the caller gave.
#pragma once

#include <windows.h>

namespace kalimu::driver {

// Copies the common length of the public parts and of the private parts of source over
// destination; destination keeps its driver version, sizes and a record version (dmSpecVersion) that fits its
// public size (0x320 for 188 bytes, 0x401 for 220). Answers the bytes copied, or -1 (nothing
// written) when the driver versions differ or a record is shorter than its own header.
int MergeDevModeParts(const DEVMODEW* source, DEVMODEW* destination);

// Hands source back in output. Without input the whole source record; with one, output takes
// the smaller public and private sizes of input and source, and the parts are merged. When the
// parts cannot be merged (an input of another driver version, a public-only record) the whole
// source record is handed back instead: output is then dmSize + dmDriverExtra of source long.
// 1, or 0 for a missing source or output.
int MergeDevModeToOutput(const DEVMODEW* source, const DEVMODEW* input, DEVMODEW* output);

}  // namespace kalimu::driver
