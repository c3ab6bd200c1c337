// The grey-input halftoning engine through Tonvar.dll's exports as the rendering library runs
// it: grey colour chain, HalftoneNew with the grey table, the halftoning resources and Halftone
// over whole bands. The checksums are the host build's too.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testkit/tonvar/grey_halftone_bands.h"
#include "testkit/tonvar_dll/exported_calls.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

using GreyHalftoneDll = testkit::EngineCallsDllTest;

TEST_F(GreyHalftoneDll, GoldenChecksumsAndBlankInput) {
  testkit::ExpectGreyGoldenBands(calls_);
}

// Diffusion carries its error rows and random numbers from call to call, each handle its own.
TEST_F(GreyHalftoneDll, TwoHandlesAgree) {
  const std::vector<testkit::BandScenario> scenarios = testkit::GreyHalftoneBandScenarios();
  for (const testkit::BandScenario& s : {scenarios[1], scenarios[5], scenarios[7]}) {
    testkit::ExpectTwoHandlesAgree(calls_, s);
  }
}

// Flat bands: the darker the grey (the more ink the table gives), the more dot weight, for
// ordered dither and diffusion alike (1-bit jobs print only the large dots of light levels,
// none); white sets no dot.
TEST_F(GreyHalftoneDll, ToneRisesWithTheInkOfTheLevel) {
  const std::vector<testkit::BandScenario> scenarios = testkit::GreyHalftoneBandScenarios();
  for (const testkit::BandScenario& s : {scenarios[1], scenarios[3], scenarios[4], scenarios[7]}) {
    SCOPED_TRACE(s.name);
    std::vector<uint32_t> weights;
    for (int grey : {255, 224, 160, 96, 32, 0}) {
      testkit::ScreeningChain chain(calls_, s);
      ASSERT_EQ(chain.Open(), 0u);
      std::vector<uint8_t> row(size_t{s.width} * 4, static_cast<uint8_t>(grey));
      std::vector<std::vector<uint8_t>> out(2, std::vector<uint8_t>(s.RowBytes()));
      uint32_t weight = 0;
      for (uint32_t line = 0; line < s.lines; line += 2) {
        const uint8_t* in[2] = {row.data(), row.data()};
        uint8_t* rows[2] = {out[0].data(), out[1].data()};
        ASSERT_EQ(chain.Band(in, rows, line, 2), 0u);
        for (const auto& r : out) {
          for (uint8_t b : r) {
            for (uint32_t d = 0; d < 8; d += s.job.bits_per_dot) weight += (b >> d) & ((1u << s.job.bits_per_dot) - 1);
          }
        }
      }
      weights.push_back(weight);
    }
    EXPECT_EQ(weights[0], 0u) << "white";
    for (size_t i = 1; i < weights.size(); ++i) EXPECT_GE(weights[i], weights[i - 1]) << i;
    EXPECT_GT(weights[5], weights[3]);
    EXPECT_GT(weights[3], weights[1]);
  }
}

// Output rows whose last plane ends just before a no-access page: the whole width, and short
// spans at the end of the line whose planes each take one byte; nothing else on the page is
// touched.
TEST_F(GreyHalftoneDll, RowsAgainstNoAccessPages) {
  constexpr size_t kPage = 4096;
  const std::vector<testkit::BandScenario> scenarios = testkit::GreyHalftoneBandScenarios();
  for (const testkit::BandScenario& s : {scenarios[1], scenarios[3], scenarios[4], scenarios[7]}) {
    SCOPED_TRACE(s.name);
    testkit::ScreeningChain chain(calls_, s);
    ASSERT_EQ(chain.Open(), 0u);
    const auto input = testkit::BandInput(s, false);
    uint8_t* pages[2];
    for (uint8_t*& base : pages) {
      base = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
      ASSERT_NE(base, nullptr);
      DWORD old = 0;
      ASSERT_TRUE(VirtualProtect(base + kPage, kPage, PAGE_NOACCESS, &old));
    }
    const size_t stride = s.PlaneBytes();
    struct Span {
      uint32_t x_start, count;
      size_t bytes;  // per plane
    };
    for (const Span span : {Span{0, s.width, stride}, Span{96, 3, 1}, Span{98, 1, 1}, Span{96, 4, 1}}) {
      for (uint8_t* base : pages) std::memset(base, 0xA5, kPage);
      const size_t first = kPage - 7 * stride - span.bytes;  // plane 0's first byte
      uint8_t* rows[2] = {pages[0] + first, pages[1] + first};
      const uint8_t* in[2] = {input[0].data() + 4 * span.x_start, input[1].data() + 4 * span.x_start};
      EXPECT_EQ(chain.Band(in, rows, 0, 2, span.x_start, span.count), 0u) << span.x_start;
      for (uint8_t* base : pages) {
        for (size_t i = 0; i < kPage; ++i) {
          const bool plane_byte = i >= first && (i - first) % stride < span.bytes;
          if (!plane_byte) {
            ASSERT_EQ(base[i], 0xA5) << span.x_start << ": byte " << i;
          }
        }
      }
    }
    for (uint8_t* base : pages) VirtualFree(base, 0, MEM_RELEASE);
  }
}

}  // namespace
