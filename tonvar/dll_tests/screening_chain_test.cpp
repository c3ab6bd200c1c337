// Screening through Tonvar.dll's exports as the rendering library runs it: colour chain,
// HalftoneNew, the screening resources and Halftone over whole bands. The checksums are the
// host build's too.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testkit/tonvar/screening_bands.h"
#include "testkit/tonvar_dll/exported_calls.h"
#include "testkit/tonvar_dll/guarded_bytes.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

using ScreeningChainDll = testkit::EngineCallsDllTest;

TEST_F(ScreeningChainDll, GoldenChecksumsAndBlankInput) {
  testkit::ExpectGoldenBands(calls_);
}

TEST_F(ScreeningChainDll, TwoHandlesAgree) {
  const std::vector<testkit::BandScenario> scenarios = testkit::ScreeningBandScenarios();
  for (const testkit::BandScenario& s : {scenarios[2], scenarios.back()}) {
    testkit::ExpectTwoHandlesAgree(calls_, s);
  }
}

using GuardedRow = testkit::GuardedBytes;

TEST_F(ScreeningChainDll, RowsAgainstNoAccessPages) {
  for (const testkit::BandScenario& s : testkit::ScreeningBandScenarios()) {
    SCOPED_TRACE(s.name);
    std::vector<std::vector<uint8_t>> expected;
    uint32_t status = 0;
    testkit::RunBand(calls_, s, false, &status, &expected);
    ASSERT_EQ(status, 0u);

    testkit::ScreeningChain chain(calls_, s);
    ASSERT_EQ(chain.Open(), 0u);
    const auto input = testkit::BandInput(s, false);
    for (uint32_t line = 0; line < s.lines; line += 2) {
      GuardedRow in0(input[line]), in1(input[line + 1]);
      const std::vector<uint8_t> zero(s.RowBytes(), 0);
      GuardedRow out0(zero), out1(zero);
      const uint8_t* in[2] = {in0.data(), in1.data()};
      uint8_t* out[2] = {out0.data(), out1.data()};
      ASSERT_EQ(chain.Band(in, out, line, 2), 0u);
      EXPECT_EQ(out0.Bytes(), expected[line]);
      EXPECT_EQ(out1.Bytes(), expected[line + 1]);
      EXPECT_TRUE(out0.SentinelIntact());
      EXPECT_TRUE(out1.SentinelIntact());
    }
  }
}

TEST_F(ScreeningChainDll, RefusalsThroughTheExports) {
  const std::vector<testkit::BandScenario> scenarios = testkit::ScreeningBandScenarios();
  const testkit::BandScenario& mono = scenarios[2];
  testkit::ScreeningChain chain(calls_, mono);
  ASSERT_EQ(chain.Open(), 0u);
  std::vector<uint8_t> input = testkit::BandInput(mono, false)[0];
  input.resize(mono.width + 1, 0);
  std::vector<uint8_t> row(mono.RowBytes() + 8, 0x3C);
  const uint8_t* in[1] = {input.data()};
  uint8_t* out[1] = {row.data()};
  // The span may end at the width + 1, not beyond.
  EXPECT_EQ(chain.Band(in, out, 0, 1, 1, mono.width + 1), 518u);
  EXPECT_EQ(row, std::vector<uint8_t>(mono.RowBytes() + 8, 0x3C));
  EXPECT_EQ(chain.Band(in, out, 0, 1, 0, mono.width + 1), 0u);
}

}  // namespace
