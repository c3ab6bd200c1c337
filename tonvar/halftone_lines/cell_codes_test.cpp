// The cell dither kernels of every instruction-set path against the scalar reference, and the
// path choice.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tonvar/halftone_lines/cell_codes.h"

namespace tonvar::halftone_lines {
namespace {

// A threshold table of random rows, thresholds in any order and anywhere in the signed range
// (damaged tables need not be cumulative), with the word the SSE2 form reads after the last row.
struct RandomTable {
  explicit RandomTable(std::mt19937& random, uint32_t rows) : words(3 * size_t{rows} + 1) {
    const int32_t edges[] = {INT32_MIN, -1, 0, 1, 32767, 32768, INT32_MAX};
    for (uint32_t& w : words) {
      const uint32_t pick = random() % 8;
      w = pick < 7 ? static_cast<uint32_t>(edges[pick]) + static_cast<uint32_t>(random() % 3) - 1u
                   : static_cast<uint32_t>(random() % 70000) - 2000u;
    }
  }
  std::vector<uint32_t> words;
};

std::vector<int16_t> RandomSamples(std::mt19937& random, size_t count) {
  std::vector<int16_t> samples(count);
  for (int16_t& s : samples) s = static_cast<int16_t>(random() % 3 == 0 ? random() : random() % 4096);
  return samples;
}

TEST(CellCodes, EveryPathMatchesTheScalarCodesOnRandomCells) {
  std::mt19937 random(1234);
  constexpr uint32_t kRows = 512;
  const RandomTable table(random, kRows);
  const std::vector<int16_t> samples = RandomSamples(random, 4096 + 4);
  for (int i = 0; i < 200000; ++i) {
    auto row = [&random] { return static_cast<uint32_t>(random() % kRows); };
    const CellRows r0{row(), row(), row(), row()};
    const CellRows r1{row(), row(), row(), row()};
    const int16_t* s0 = samples.data() + random() % 4096;
    const int16_t* s1 = samples.data() + random() % 4096;
    const uint32_t want0 = CellCodesScalar(table.words.data(), r0, s0);
    const uint32_t want1 = CellCodesScalar(table.words.data(), r1, s1);
#ifdef TONVAR_HALFTONE_X86
    ASSERT_EQ(CellCodesSse2(table.words.data(), r0, s0), want0) << i;
    ASSERT_EQ(CellCodesSse2(table.words.data(), r1, s1), want1) << i;
#endif
  }
}

TEST(CellCodes, ByteHoldsRowZeroThenRowOneLeftDotHigh) {
  // Rows: 0 none, 1 small, 2 medium, 3 large against a sample of 100.
  const uint32_t table[] = {0, 0, 0, 101, 0, 0, 101, 101, 0, 101, 101, 101, 0};
  const int16_t samples[4] = {100, 100, 100, 100};
  struct Case {
    CellRows rows;
    uint32_t byte;
  };
  const Case cases[] = {
      {{3, 0, 0, 0}, 0x0C}, {{0, 3, 0, 0}, 0x03}, {{0, 0, 3, 0}, 0xC0},
      {{0, 0, 0, 3}, 0x30}, {{1, 2, 3, 0}, 0xC6}, {{0, 0, 0, 0}, 0x00},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CellCodesScalar(table, c.rows, samples), c.byte);
#ifdef TONVAR_HALFTONE_X86
    EXPECT_EQ(CellCodesSse2(table, c.rows, samples), c.byte);
#endif
  }
}

TEST(SimdPath, TheEnvironmentLowersThePathAndNeverRaisesIt) {
  const char* before = std::getenv("TONVAR_HALFTONE_PATH");
  const std::string kept = before != nullptr ? before : "";
  const SimdPath supported = SupportedSimdPath();
  struct Case {
    const char* value;
    SimdPath want;
  };
  const Case cases[] = {
      {"scalar", SimdPath::kScalar},
      {"sse2", supported == SimdPath::kScalar ? SimdPath::kScalar : SimdPath::kSse2},
      {"avx2", supported},
      {"bogus", supported},
  };
  for (const Case& c : cases) {
#ifdef _WIN32
    _putenv(("TONVAR_HALFTONE_PATH=" + std::string(c.value)).c_str());
#else
    setenv("TONVAR_HALFTONE_PATH", c.value, 1);
#endif
    EXPECT_EQ(ChooseSimdPath(), c.want) << c.value;
  }
#ifdef _WIN32
  _putenv(("TONVAR_HALFTONE_PATH=" + kept).c_str());
#else
  if (before != nullptr) {
    setenv("TONVAR_HALFTONE_PATH", kept.c_str(), 1);
  } else {
    unsetenv("TONVAR_HALFTONE_PATH");
  }
#endif
  EXPECT_STREQ(SimdPathName(SimdPath::kAvx2), "avx2");
}

}  // namespace
}  // namespace tonvar::halftone_lines
