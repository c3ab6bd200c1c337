// GoogleTest expectations over the multi-level bands.
#include <gtest/gtest.h>

#include "testkit/tonvar/multi_level_bands.h"

namespace testkit {

void ExpectMultiLevelBands(const EngineCalls& calls) {
  for (const MultiLevelBand& band : MultiLevelBands()) {
    SCOPED_TRACE(band.name);
    MultiLevelChain chain(calls, band);
    ASSERT_EQ(chain.Open(), 0u);
    BandRows engine;
    ASSERT_EQ(RunOnChain(chain, band, false, &engine), 0u);
    const BandRows model = ModelMultiLevelBand(band, *chain.Table(), false);
    for (uint32_t line = 0; line < band.lines; ++line) EXPECT_EQ(engine[line], model[line]) << "line " << line;
    EXPECT_EQ(BandChecksum(engine), band.golden) << std::hex << "0x" << BandChecksum(engine);

    // Blank input: no dot from the first dot on; the kept leading dots and the spare bytes stay.
    MultiLevelChain blank_chain(calls, band);
    ASSERT_EQ(blank_chain.Open(), 0u);
    BandRows blank;
    ASSERT_EQ(RunOnChain(blank_chain, band, true, &blank), 0u);
    const BandRows blank_model = ModelMultiLevelBand(band, *blank_chain.Table(), true);
    EXPECT_EQ(blank, blank_model);
    for (const auto& row : blank) {
      for (int k = 0; k < band.inks; ++k) {
        const uint8_t* plane = row.data() + size_t(k) * band.PlaneBytes();
        const uint8_t kept = band.first_dot == 0 ? 0 : static_cast<uint8_t>(0xFF << (8 - 2 * band.first_dot));
        EXPECT_EQ(plane[0] & ~kept, 0) << "plane " << k;
        for (uint32_t b = 1; b < (band.first_dot + band.count + 3) / 4; ++b) EXPECT_EQ(plane[b], 0) << "plane " << k;
      }
    }
  }
}

}  // namespace testkit
