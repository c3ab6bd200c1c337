// Cell error diffusion and one bit per dot through Tonvar.dll's exports: every routed
// combination against the golden checksums the host build holds too, blank input, two handles.
#include <gtest/gtest.h>

#include "testkit/tonvar/diffusion_bands.h"
#include "testkit/tonvar_dll/exported_calls.h"

namespace {

TEST(DiffusionBandsDll, GoldenChecksumsBlankSetsNoDotAndTwoHandlesAgree) {
  testkit::TonvarLibrary library("Tonvar.dll");
  ASSERT_TRUE(library.Loaded());
  testkit::ExpectDiffusionBands(testkit::ExportedCalls(library.Exports()));
}

}  // namespace
