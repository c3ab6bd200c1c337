// Whole bands through the engine interface's internal operations, against the ordered-dither
// model and the golden checksums the Windows DLL's test holds too.
#include <gtest/gtest.h>

#include "testkit/tonvar/internal_calls.h"
#include "testkit/tonvar/multi_level_bands.h"

namespace tonvar::multi_level {
namespace {

TEST(MultiLevelBands, EngineEqualsTheModelAndTheGoldenChecksumsAndBlankSetsNoDot) {
  testkit::ExpectMultiLevelBands(testkit::InternalEngineCalls());
}

}  // namespace
}  // namespace tonvar::multi_level
