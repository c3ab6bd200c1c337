// The multi-level engine's one-bit routines and cell error diffusion through the engine's own
// Halftone: the leading dots of the first byte, refused ink counts, and the tone of flat colour.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

constexpr int kMatrixSide = 16;

class FlatColourTest : public EngineTest {
 protected:
  // A complete engine whose every colour gives each ink `amount`, with a 16 x 16 matrix spread
  // over 0..4079 and dot tables that rise with the level.
  void Ready(const RasterJob& job, int channels, uint8_t amount) {
    ::testkit::CubeTableShape table;
    table.channels = static_cast<uint32_t>(channels);
    table.body.assign(size_t{table.grid} * table.grid * table.grid * table.channels, amount);
    ASSERT_EQ(Create(job, table), kStatusOk);
    ASSERT_EQ(Step({0}).status, kStatusOk);
    ::testkit::MatrixBlockShape matrix;
    matrix.width = matrix.height = kMatrixSide;
    matrix.phases = ::testkit::SamplePhases(channels);
    for (int i = 0; i < kMatrixSide * kMatrixSide; ++i) matrix.samples.push_back(static_cast<int16_t>((i * 997) % 4080));
    ASSERT_EQ(Step(::testkit::BuildMatrixBlock(matrix)).status, kStatusOk);
    ASSERT_EQ(Step(::testkit::BuildDotCurveTable({})).id, kNoMoreResources);
  }

  // One call on rows of `planes` planes of `stride` bytes, every byte preset to `preset`.
  EngineStatus Call(uint32_t x_start, uint32_t count, uint32_t first_dot, uint32_t rows, uint32_t line,
                    int planes, uint8_t preset) {
    in_.assign(2, std::vector<uint8_t>(4 * (size_t{job_.width_pixels} + 4), 128));
    out_.assign(2, std::vector<uint8_t>(size_t(planes) * kStride, preset));
    const uint8_t* in[2] = {in_[0].data(), in_[1].data()};
    uint8_t* out[2] = {out_[0].data(), out_[1].data()};
    return MultiLevelHalftone(engine_, {in, out, kStride, first_dot, count, x_start, rows, line, 0, 0});
  }

  static constexpr int64_t kStride = 96;
  std::vector<std::vector<uint8_t>> in_, out_;
};

RasterJob FlatJob(uint32_t h_dpi, uint32_t bits, uint32_t method, int inks) {
  RasterJob job = SampleJob();
  job.resolution_x_dpi = h_dpi;
  job.bits_per_dot = bits;
  job.method = method;
  job.ink_set = inks == 8 ? 9 : inks == 7 ? 4 : inks == 6 ? 3 : 1;
  job.width_pixels = 256;
  return job;
}

// The dots before the first dot keep what the output byte held; the run starts at the first dot.
TEST_F(FlatColourTest, OneBitLeadingDotsKeepTheFirstByte) {
  struct Case {
    uint32_t first_dot;
    uint8_t before, after;
  };
  // No ink: every dot of the run is clear.
  const Case cases[] = {{0, 0xFF, 0x00}, {1, 0xFF, 0x80}, {2, 0xFF, 0xC0}, {3, 0xA0, 0xA0},
                        {3, 0x5F, 0x40}, {4, 0xFF, 0xF0}, {7, 0xFF, 0xFE}};
  for (uint32_t method : {1u, 3u}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "method " << method << ", first dot " << c.first_dot);
      Ready(FlatJob(1440, 1, method, 4), 4, 0);
      ASSERT_EQ(Call(8, 40, c.first_dot, 2, 0, 4, c.before), kStatusOk);
      for (int row = 0; row < 2; ++row) {
        for (int k = 0; k < 4; ++k) {
          const uint8_t* plane = out_[size_t(row)].data() + k * kStride;
          EXPECT_EQ(plane[0], c.after) << "row " << row << ", plane " << k;
          const uint32_t bytes = (c.first_dot + 40 + 7) / 8;
          for (uint32_t b = 1; b < bytes; ++b) EXPECT_EQ(plane[b], 0) << "byte " << b;
          EXPECT_EQ(plane[bytes], c.before) << "past the band";
        }
      }
      EXPECT_EQ(DeleteEngine(), kStatusOk);
    }
  }
}

TEST_F(FlatColourTest, SixAndSevenInksAnswer512AtEveryCall) {
  for (int inks : {6, 7}) {
    for (uint32_t bits : {1u, 2u}) {
      for (uint32_t method : {1u, 3u}) {
        SCOPED_TRACE(testing::Message() << inks << " inks, " << bits << " bits, method " << method);
        Ready(FlatJob(1440, bits, method, inks), inks, 100);
        for (uint32_t line = 0; line < 3; ++line) EXPECT_EQ(Call(0, 16, 0, 2, line, inks, 0x11), kStatusBadArgument);
        EXPECT_EQ(out_[0], std::vector<uint8_t>(out_[0].size(), 0x11));
        EXPECT_EQ(DeleteEngine(), kStatusOk);
      }
    }
  }
}

// On a band of one flat colour the share of pixels with a dot is 0 without ink and rises with
// the ink amount: strictly for the inks that diffuse, never falling for the others.
TEST_F(FlatColourTest, ToneRisesWithTheInkAmount) {
  struct Combination {
    uint32_t h_dpi, bits;
    int inks;
  };
  const Combination combinations[] = {{720, 2, 4},  {720, 2, 8},  {720 / 2, 2, 4}, {1440, 2, 4},
                                      {1440, 2, 8}, {2880, 2, 8}, {1440, 1, 4},    {1440, 1, 8}};
  constexpr uint32_t kLines = 32, kWidth = 256;
  for (const Combination& m : combinations) {
    std::vector<std::vector<double>> share(size_t(m.inks));
    for (int amount = 0; amount <= 256; amount += 32) {
      SCOPED_TRACE(testing::Message() << m.h_dpi << " dpi, " << m.bits << " bits, " << m.inks << " inks, amount "
                                      << amount);
      RasterJob job = FlatJob(m.h_dpi, m.bits, 1, m.inks);
      Ready(job, m.inks, static_cast<uint8_t>(std::min(amount, 255)));
      std::vector<uint64_t> dots(size_t(m.inks), 0);
      for (uint32_t line = 0; line < kLines; line += 2) {
        ASSERT_EQ(Call(0, kWidth, 0, 2, line, m.inks, 0), kStatusOk);
        for (const auto& row : out_) {
          for (int k = 0; k < m.inks; ++k) {
            for (uint32_t b = 0; b < kWidth * m.bits / 8; ++b) {
              const uint8_t byte = row[size_t(k) * kStride + b];
              // A pixel has a dot when its code is not 0.
              dots[size_t(k)] += m.bits == 1 ? std::popcount(byte) : std::popcount(uint8_t((byte | byte >> 1) & 0x55));
            }
          }
        }
      }
      for (int k = 0; k < m.inks; ++k) share[size_t(k)].push_back(double(dots[size_t(k)]) / (kWidth * kLines));
      EXPECT_EQ(DeleteEngine(), kStatusOk);
    }
    for (int k = 0; k < m.inks; ++k) {
      SCOPED_TRACE(testing::Message() << m.h_dpi << " dpi, " << m.bits << " bits, " << m.inks << " inks, ink " << k);
      const bool diffused = m.inks == 4 ? k < 2 : (k >= 4 && k <= 6);
      EXPECT_EQ(share[size_t(k)][0], 0.0);
      for (size_t i = 1; i < share[size_t(k)].size(); ++i) {
        if (diffused) {
          EXPECT_GT(share[size_t(k)][i], share[size_t(k)][i - 1]) << "amount " << 32 * i;
        } else {
          EXPECT_GE(share[size_t(k)][i], share[size_t(k)][i - 1]) << "amount " << 32 * i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tonvar::multi_level
