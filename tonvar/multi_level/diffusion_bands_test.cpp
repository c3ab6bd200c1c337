// Cell error diffusion and one bit per dot through the engine interface's internal operations:
// the golden checksums the Windows DLL's test holds too.
#include <gtest/gtest.h>

#include "testkit/tonvar/diffusion_bands.h"
#include "testkit/tonvar/internal_calls.h"

namespace tonvar::multi_level {
namespace {

TEST(DiffusionBands, GoldenChecksumsBlankSetsNoDotAndTwoHandlesAgree) {
  testkit::ExpectDiffusionBands(testkit::InternalEngineCalls());
}

}  // namespace
}  // namespace tonvar::multi_level
