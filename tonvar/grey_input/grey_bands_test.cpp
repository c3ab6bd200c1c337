// Whole grey bands through the engine interface's internal operations: the same scenarios and
// golden checksums as the Windows DLL's test, so both builds are held to the same bytes.
#include <gtest/gtest.h>

#include "testkit/tonvar/grey_halftone_bands.h"
#include "testkit/tonvar/internal_calls.h"

namespace tonvar::grey_input {
namespace {

TEST(GreyBands, GoldenChecksumsAndBlankInput) {
  testkit::ExpectGreyGoldenBands(testkit::InternalEngineCalls());
}

}  // namespace
}  // namespace tonvar::grey_input
