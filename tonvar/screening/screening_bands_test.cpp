// Whole bands through the engine interface's internal operations: the same scenarios and
// golden checksums as the Windows DLL's test, so both builds are held to the same bytes.
#include <gtest/gtest.h>

#include "testkit/tonvar/internal_calls.h"
#include "testkit/tonvar/screening_bands.h"

namespace tonvar::screening {
namespace {

TEST(ScreeningBands, GoldenChecksumsAndBlankInput) {
  testkit::ExpectGoldenBands(testkit::InternalEngineCalls());
}

}  // namespace
}  // namespace tonvar::screening
