// Cell error diffusion and one bit per dot through Tonvar.dll's exports: every routed
// combination against the golden checksums the host build holds too, blank input, two handles.
#include <gtest/gtest.h>

#include "testkit/tonvar/diffusion_bands.h"
#include "testkit/tonvar_dll/exported_calls.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

using DiffusionBandsDll = testkit::TonvarDllTest;

TEST_F(DiffusionBandsDll, GoldenChecksumsBlankSetsNoDotAndTwoHandlesAgree) {
  testkit::ExpectDiffusionBands(testkit::ExportedCalls(dll()));
}

}  // namespace
