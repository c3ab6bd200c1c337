// Whole bands through the grey-input halftoning engine, as the rendering library runs them: grey
// colour chain (document type 7), HalftoneNew with its grey table, the halftoning resources,
// Halftone per pair of rows. The same scenarios and golden checksums serve the host build
// (through the interface's internal operations) and the Windows DLL (through its exports).
#pragma once

#include <vector>

#include "testkit/tonvar/screening_bands.h"

namespace testkit {

// Every routed (bits, resolution class, method) combination, 100 pixels wide, eight lines.
std::vector<BandScenario> GreyHalftoneBandScenarios();

// GoogleTest expectations over every scenario: the resources asked for, the golden checksum of
// the band, no dot from a blank (white) band.
void ExpectGreyGoldenBands(const EngineCalls& calls);

}  // namespace testkit
