// The line drivers: partial first bytes, what a span writes, blank input and ordered dither
// against a model written from the dot rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "tonvar/grey_input/test_engine.h"
#include "tonvar/halftone_lines/matrix_layout.h"
#include "tonvar/halftone_lines/simd_path.h"

namespace tonvar::grey_input {
namespace {

namespace faults = common::faults;

struct Route {
  uint32_t bits, h, v, method;
};
constexpr Route kRoutes[] = {{1, 720, 720, 3},  {1, 1440, 720, 1}, {1, 1440, 720, 3},
                             {2, 720, 720, 1},  {2, 720, 720, 3},  {2, 1440, 720, 1},
                             {2, 1440, 360, 1}, {2, 1440, 360, 3}};

// Bytes of a plane a span may write: from the byte of its first dot to that of its last.
bool InSpan(int byte, uint32_t bits, uint32_t first_bit, uint32_t count) {
  const int per_byte = 8 / int(bits);
  return byte >= 0 && byte <= int((first_bit + count - 1) / per_byte);
}

TEST_F(GreyEngineTest, EveryPathGivesTheScalarBytesOnRandomInput) {
  const int supported = static_cast<int>(halftone_lines::SupportedSimdPath());
  for (const Route& r : kRoutes) {
    if (r.bits != 2) continue;
    std::vector<std::vector<std::vector<uint8_t>>> outputs;
    for (int path = 0; path <= supported; ++path) {
      std::mt19937 random(99);
      if (engine_ != nullptr) ASSERT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
      Ready(GreyJob(r.bits, r.h, r.v, r.method, 200));
      Engine().simd_path = static_cast<halftone_lines::SimdPath>(path);
      std::vector<std::vector<uint8_t>> out;
      for (uint32_t line = 0; line < 24; line += 2) {
        Band band(2, 200, 52);
        for (auto& row : band.input) {
          // Runs of one grey among random pixels, so that both flat and busy stretches occur.
          for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i % 40 < 16 ? line * 9 : random());
        }
        const uint32_t first_bit = line % 4, x_start = line % 3;
        ASSERT_EQ(GreyHalftone(engine_, band.Args(first_bit, 190, x_start, 2, line)), kStatusOk);
        out.insert(out.end(), band.output.begin(), band.output.end());
      }
      outputs.push_back(out);
    }
    for (size_t path = 1; path < outputs.size(); ++path) {
      EXPECT_EQ(outputs[path], outputs[0]) << "path " << path << " method " << r.method << " h " << r.h;
    }
  }
}

// The side-by-side paths against the scalar one at the edges of a band: every resolution class
// and method, each replication code, one and two rows, spans that start inside a cell, end at
// the job's width or hold a single pixel, and planes laid closer than a span's bytes (which the
// vector paths leave to the scalar routines). Output, error rows and the random stream must
// agree after every band.
TEST_F(GreyEngineTest, VectorPathsGiveTheScalarBytesAtBandEdges) {
  struct Case {
    uint32_t h, v, method, replication;
    int32_t plane_bytes;
  };
  constexpr Case kCases[] = {
      {720, 720, 1, 0, 70},   {720, 720, 3, 0, 70},   {1440, 720, 1, 0, 70}, {1440, 720, 3, 0, 70},
      {1440, 360, 1, 0, 70},  {1440, 360, 3, 0, 70},  {720, 720, 1, 1, 70},  {1440, 720, 3, 3, 70},
      {1440, 360, 1, 7, 70},  {720, 720, 3, 15, 70},  {720, 720, 1, 0, 5},   {1440, 360, 3, 0, 9},
  };
  constexpr uint32_t kWidth = 250;
  const int supported = static_cast<int>(halftone_lines::SupportedSimdPath());
  for (const Case& k : kCases) {
    const uint32_t step = k.replication + 1;  // what a span's start must be a multiple of
    std::vector<std::vector<uint8_t>> outputs;
    std::vector<std::vector<int32_t>> error_rows;
    for (int path = 0; path <= supported; ++path) {
      if (engine_ != nullptr) ASSERT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
      RasterJob job = GreyJob(2, k.h, k.v, k.method, kWidth);
      job.replication = k.replication;
      Ready(job);
      Engine().simd_path = static_cast<halftone_lines::SimdPath>(path);
      std::mt19937 random(1234 + k.replication);
      std::vector<uint8_t> out;
      for (uint32_t line = 0; line < 30; ++line) {
        Band band(2, kWidth, 70, 0xA5);  // room for a whole row in every plane
        for (auto& row : band.input) {
          for (size_t i = 0; i < row.size(); ++i) {
            row[i] = static_cast<uint8_t>(i % 64 < 24 ? (line * 37) % 256 : random());
          }
        }
        const uint32_t first_bit = step == 1 ? line % 4 : step == 2 ? 2 * (line % 2) : 0;
        const uint32_t x_start = step * ((line * 7) % 9);
        const uint32_t room = kWidth - x_start;
        // Whole rest of the row, a single pixel, an odd count, and counts that fit the planes.
        const uint32_t counts[4] = {room, 1, std::min(room, 2 * (line % 40) + 3),
                                    std::min(room, uint32_t(k.plane_bytes) * 4 - first_bit)};
        const uint32_t count = counts[line % 4];
        const uint32_t rows = line % 3 == 2 ? 1 : 2;
        HalftoneBand args = band.Args(first_bit, count, x_start, rows, line);
        args.plane_stride = k.plane_bytes;
        ASSERT_EQ(GreyHalftone(engine_, args), kStatusOk) << "line " << line;
        for (const auto& row : band.output) out.insert(out.end(), row.begin(), row.end());
      }
      const GreyHalftoneEngine& e = Engine();
      const int32_t* errors = e.error_rows_base;
      error_rows.emplace_back(errors, errors + e.error_rows_size / 4);
      const uint32_t* words = e.random.words;
      out.insert(out.end(), reinterpret_cast<const uint8_t*>(words),
                 reinterpret_cast<const uint8_t*>(words + common::kMtWordCount));
      out.push_back(static_cast<uint8_t>(e.random.left));
      outputs.push_back(out);
    }
    for (size_t path = 1; path < outputs.size(); ++path) {
      EXPECT_EQ(outputs[path], outputs[0]) << "path " << path << " class " << k.h / k.v << " method " << k.method
                                           << " replication " << k.replication << " planes " << k.plane_bytes;
      EXPECT_EQ(error_rows[path], error_rows[0]) << "path " << path << " class " << k.h / k.v << " method "
                                                 << k.method << " replication " << k.replication;
    }
  }
}

TEST_F(GreyEngineTest, BlankInputSetsNoDotAndSpansStayInTheirBytes) {
  for (const Route& r : kRoutes) {
    for (auto [first_bit, count, x_start] : {std::tuple{0u, 40u, 0u}, std::tuple{1u, 9u, 3u},
                                            std::tuple{2u, 7u, 6u}, std::tuple{3u, 1u, 9u},
                                            std::tuple{5u, 30u, 1u}, std::tuple{7u, 33u, 20u}}) {
      if (first_bit >= 8 / r.bits) continue;
      faults::ScopedReset each;
      Ready(GreyJob(r.bits, r.h, r.v, r.method));
      for (uint32_t rows : {1u, 2u}) {
        Band band(2, 64, 24, 0x5A);
        const uint32_t line = 7;
        ASSERT_EQ(GreyHalftone(engine_, band.Args(first_bit, count, x_start, rows, line)), kStatusOk);
        for (uint32_t row = 0; row < 2; ++row) {
          for (int at = 0; at < int(band.output[row].size()); ++at) {
            const int plane_byte = (at - Band::kGuard) % band.stride;
            const bool inside = at >= Band::kGuard && at < Band::kGuard + 8 * band.stride;
            const bool written = inside && (row == 0 || rows == 2) && InSpan(plane_byte, r.bits, first_bit, count);
            uint8_t expected = 0x5A;
            if (written) {
              // Dots before the first one keep the output's bits; blank input leaves no dot.
              expected = 0;
              if (plane_byte == 0) expected = uint8_t(0x5A & ~(0xFF >> (first_bit * r.bits)));
            }
            ASSERT_EQ(band.output[row][at], expected)
                << r.bits << " bits, class " << r.h / r.v << ", method " << r.method << ", first bit "
                << first_bit << ", count " << count << ", rows " << rows << ", row " << row << ", byte " << at;
          }
        }
      }
      EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
    }
  }
}

// Model of the ordered dither: the cell of pixel x (relative to x_start, counted from the
// leading half cell) reads the matrix at the slot's start index plus 4 per cell; each dot
// compares its level's thresholds with its matrix value.
uint32_t ModelCode(const GreyHalftoneEngine& e, uint32_t bits, int slot, uint32_t amount, int32_t m) {
  const uint32_t* t = e.level_tables[kGroupOfSlot[slot]][kInteriorTable].level[amount];
  if (bits == 1) return int32_t(t[kLargeDot]) > m ? 1 : 0;
  if (int32_t(t[kLargeDot]) > m) return 3;
  if (int32_t(t[kMediumOrLarge]) > m) return 2;
  return int32_t(t[kAnyDot]) > m ? 1 : 0;
}

TEST_F(GreyEngineTest, OrderedDitherFollowsTheDotRules) {
  for (uint32_t bits : {1u, 2u}) {
    for (uint32_t first_bit : {0u, 1u, 2u, 3u}) {
      faults::ScopedReset each;
      Ready(GreyJob(bits, 720, 720, 3));
      const GreyHalftoneEngine& e = Engine();
      Band band(2, 64, 24);
      for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 64; ++x) band.SetGrey(row, x, uint8_t((x * 37 + row * 101) % 256));
      }
      const uint32_t x_start = 5, count = 45, line = 9;
      ASSERT_EQ(GreyHalftone(engine_, band.Args(first_bit, count, x_start, 2, line)), kStatusOk);
      int32_t phases[8];
      halftone_lines::ComputeMatrixPhases(phases, e.layout, x_start, line);
      const int32_t mask = e.layout.width * e.layout.height - 1;
      const int per_byte = 8 / int(bits);
      for (int slot = 0; slot < kInks; ++slot) {
        for (int row = 0; row < 2; ++row) {
          for (uint32_t i = 0; i < count; ++i) {
            // Dot position from the first bit; the cell's left dot sits at an even position.
            const uint32_t pos = first_bit + i;
            const int32_t cell = int32_t(pos / 2) - int32_t(first_bit / 2);
            const int32_t phi = (phases[slot] + 4 * (cell + 1)) & mask;
            const int32_t m = e.layout.samples[phi + (pos % 2 ? 2 : 0) + row];
            const uint8_t* pixel = band.in[row] + 4 * i;  // in[r] points at column x_start
            const uint32_t grey = (30 * pixel[0] + 59 * pixel[1] + 11 * pixel[2]) / 100;
            const uint32_t word = lut_->table.packed.rows[grey].words[slot / 2];
            const uint32_t amount = slot % 2 == 0 ? word >> 16 : word & 0xFFFF;
            const uint32_t code = ModelCode(e, bits, slot, amount, m);
            const uint8_t byte = band.Plane(row, slot)[pos / per_byte];
            const uint32_t shift = 8 - bits * (pos % per_byte + 1);
            ASSERT_EQ((byte >> shift) & ((1u << bits) - 1), code)
                << bits << " bits, first bit " << first_bit << ", slot " << slot << ", row " << row << ", pixel " << i;
          }
        }
      }
      EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
    }
  }
}

TEST_F(GreyEngineTest, OneRowKeepsRowZeroAndToneRisesWithTheLevel) {
  Ready(GreyJob(2, 720, 720, 1));
  auto ink_dots = [&](uint8_t grey) {
    Band band(1, 64, 16);
    for (int x = 0; x < 64; ++x) band.SetGrey(0, x, grey);
    EXPECT_EQ(GreyHalftone(engine_, band.Args(0, 64, 0, 1, 3)), kStatusOk);
    uint32_t sum = 0;
    for (int k = 0; k < kInks; ++k) {
      for (int b = 0; b < 16; ++b) {
        for (int d = 0; d < 4; ++d) sum += (band.Plane(0, k)[b] >> (2 * d)) & 3;
      }
    }
    return sum;
  };
  uint32_t previous = 0;
  for (int grey : {0, 40, 80, 120, 160, 200, 255}) {
    const uint32_t sum = ink_dots(uint8_t(grey));
    if (grey == 0) {
      EXPECT_EQ(sum, 0u);
    } else {
      EXPECT_GT(sum, previous) << grey;
    }
    previous = sum;
  }
}

TEST_F(GreyEngineTest, ErrorRowsAreClearedOnJumpsAndRightOfTheSpanEverySixteenthLine) {
  Ready(GreyJob(2, 720, 720, 3, 40));
  GreyHalftoneEngine& e = Engine();
  auto fill = [&] {
    for (uint64_t i = 0; i < e.error_rows_size / 4; ++i) e.error_rows_base[i] = 7;
  };
  Band band(2, 40, 16);
  auto run = [&](uint32_t line, uint32_t x_start, uint32_t count) {
    ASSERT_EQ(GreyHalftone(engine_, band.Args(0, count, x_start, 2, line)), kStatusOk);
  };
  run(3, 0, 8);
  fill();
  run(6, 0, 8);  // a jump: every row cleared, margins too
  for (uint64_t i = 0; i < e.error_rows_size / 4; ++i) ASSERT_EQ(e.error_rows_base[i], 0) << i;
  run(14, 0, 8);
  fill();
  run(15, 0, 10);  // one line on to a sixteenth line: the words right of the span
  for (int i = 0; i < kInks; ++i) {
    for (const int32_t* row : {e.error_row_even[i], e.error_row_odd[i]}) {
      EXPECT_EQ(row[9], 7);
      for (int x = 10; x < 40; ++x) ASSERT_EQ(row[x], 0) << x;
      EXPECT_EQ(row[40], 7);
    }
  }
  fill();
  run(16, 0, 10);  // one line on, not a sixteenth line
  run(16, 0, 10);  // the same line again
  EXPECT_EQ(e.error_row_odd[3][20], 7);
}

TEST_F(GreyEngineTest, AnEmptySpanWritesNothing) {
  Ready(GreyJob(2, 720, 720, 1));
  Band band(2, 64, 16, 0x5A);
  for (int x = 0; x < 64; ++x) band.SetGrey(0, x, 200);
  for (uint32_t first_bit : {0u, 1u, 3u}) {
    ASSERT_EQ(GreyHalftone(engine_, band.Args(first_bit, 0, 5, 2, 1)), kStatusOk);
  }
  for (const auto& row : band.output) EXPECT_EQ(row, std::vector<uint8_t>(row.size(), 0x5A));
}

}  // namespace
}  // namespace tonvar::grey_input
