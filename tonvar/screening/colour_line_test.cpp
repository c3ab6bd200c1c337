// The four-ink matrix screening line: smoothing, white pixels, positions and replication.
#include <gtest/gtest.h>

#include <vector>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using testkit::ScreenJob;
using testkit::ScreenKind;

// A complete four-ink engine whose colour table, thresholds and matrix the test sets: every
// matrix value is 100 and ink 0 prints large exactly when its value is 50 or more.
struct ColourHand {
  explicit ColourHand(bool two_luts = false) : s(ScreenKind::kFourInk) {
    s.two_luts = two_luts;
    EXPECT_EQ(s.Run(), kStatusOk);
    ScreenEngine* e = s.engine();
    auto* matrix = reinterpret_cast<uint32_t*>(e->buffers[kBufferMatrix].data);
    for (uint32_t i = 0; i < e->matrix_cells; ++i) matrix[i] = 100;
    const ColourInkTables t = InkTables(e);
    for (uint32_t v = 0; v < 256; ++v) {
      t.t0[v] = v >= 50 ? (1000u << 16) | 1000u : 0;
      t.t1[v] = v >= 50 ? 1000u : 0;
    }
    for (const LutDescriptor& lut : e->luts) {
      for (uint32_t n = 0; n < 4 * kColourNodes; ++n) lut.body[n] = 0;
    }
    s.output.assign(1, std::vector<uint8_t>(4 * 32, 0));
  }
  void SetInk0(uint32_t i, uint32_t j, uint32_t l, uint8_t value) {
    s.engine()->luts[0].body[((i * kColourGrid + j) * kColourGrid + l) * 4] = value;
  }
  // Input pixels at grid nodes (k, 0, 0), or white for -1.
  void Pixels(const std::vector<int>& nodes) {
    const std::vector<uint8_t> g = testkit::ScreenGridPoints();
    s.input.assign(1, std::vector<uint8_t>(4 * 64, 0xFF));
    for (size_t x = 0; x < nodes.size(); ++x) {
      if (nodes[x] < 0) continue;
      s.input[0][4 * x] = g[nodes[x]];
      s.input[0][4 * x + 1] = 0;
      s.input[0][4 * x + 2] = 0;
      s.input[0][4 * x + 3] = 3;
    }
  }
  uint8_t Plane0() const { return s.output[0][0]; }
  ScreenJob s;
};

TEST(ScreenColorLine, SmoothingBetweenNeighbouringNodes) {
  struct SmoothCase {
    const char* what;
    std::vector<int> nodes;
    uint8_t plane0;
  };
  // Node 0 has ink 0 = 0, node 1 ink 0 = 80 (large alone), node 5 ink 0 = 0.
  const SmoothCase cases[] = {
      {"the first pixel is never smoothed", {1}, 0xC0},
      {"a neighbour halves it: (80 + 0 + 1) >> 1 = 40", {0, 1}, 0x00},
      {"a white pixel between keeps the state", {0, -1, 1}, 0x00},
      {"a distant node is not smoothed", {5, 1}, 0x30},
      {"the smoothed value carries on: (80 + 40 + 1) >> 1 = 60", {0, 1, 1}, 0x0C},
  };
  for (const SmoothCase& c : cases) {
    SCOPED_TRACE(c.what);
    ColourHand h;
    h.SetInk0(1, 0, 0, 80);
    h.Pixels(c.nodes);
    ASSERT_EQ(h.s.Halftone(0, static_cast<uint32_t>(c.nodes.size()), 1, 0), kStatusOk);
    EXPECT_EQ(h.Plane0(), c.plane0);
  }
  // A new call starts without a previous pixel.
  ColourHand h;
  h.SetInk0(1, 0, 0, 80);
  h.Pixels({0});
  ASSERT_EQ(h.s.Halftone(0, 1, 1, 0), kStatusOk);
  h.Pixels({1});
  ASSERT_EQ(h.s.Halftone(1, 1, 1, 0), kStatusOk);
  EXPECT_EQ(h.Plane0(), 0xC0);
}

TEST(ScreenColorLine, TagThreeReadsTheFirstTableAndOtherTagsTheSecond) {
  ColourHand h(true);
  ASSERT_NE(h.s.engine()->luts[0].body, h.s.engine()->luts[1].body);
  h.s.engine()->luts[1].body[((1 * kColourGrid + 0) * kColourGrid + 0) * 4] = 80;
  h.Pixels({1, 1, 1});
  h.s.input[0][4 * 1 + 3] = 0;
  h.s.input[0][4 * 2 + 3] = 7;
  ASSERT_EQ(h.s.Halftone(0, 3, 1, 0), kStatusOk);
  // The second pixel is smoothed against the first: (80 + 0 + 1) >> 1 = 40, no dot; the third
  // against the second: (80 + 40 + 1) >> 1 = 60.
  EXPECT_EQ(h.Plane0(), 0x0C);
}

TEST(ScreenColorLine, WhitePixelsSetNothing) {
  ColourHand h;
  for (uint32_t n = 0; n < 4 * kColourNodes; ++n) h.s.engine()->luts[0].body[n] = 255;
  h.Pixels({-1, -1, -1, -1, -1});
  h.s.input[0][3] = 0;  // any tag
  h.s.output.assign(1, std::vector<uint8_t>(4 * 32, 0));
  ASSERT_EQ(h.s.Halftone(0, 5, 1, 0), kStatusOk);
  EXPECT_EQ(h.s.output[0], std::vector<uint8_t>(4 * 32, 0));
}

TEST(ScreenColorLine, FirstBitTwoKeepsTheHighPositions) {
  ColourHand h;
  h.SetInk0(1, 0, 0, 80);
  h.Pixels({1});
  h.s.output.assign(1, std::vector<uint8_t>(4 * 32, 0xFF));
  ASSERT_EQ(h.s.Halftone(0, 1, 1, 0, 2), kStatusOk);
  EXPECT_EQ(h.s.output[0][0], 0xFC);    // kept 7-4, code 3 in 3-2, 1-0 cleared
  EXPECT_EQ(h.s.output[0][32], 0xF0);   // ink 1: code 0
  EXPECT_EQ(h.s.output[0][1], 0xFF);    // beyond the span
}

TEST(ScreenColorLine, ReplicationCodes) {
  // Code 1: each input pixel serves two output pixels.
  ColourHand h;
  h.SetInk0(31, 0, 0, 200);
  h.Pixels({0, 31});
  h.s.engine()->job.replication = 1;
  ASSERT_EQ(h.s.Halftone(0, 4, 1, 0), kStatusOk);
  EXPECT_EQ(h.Plane0(), 0x0F);

  // Pairs: (0, 0, 0) with (200, 200, 200) is black; (10, 10, 10) with (200, 200, 200) is
  // (105, 105, 105), which the matrix value 100 moves to node 13.
  ColourHand pairs;
  pairs.s.engine()->job.replication = 0xFFFFFFFF;
  ScreenEngine* e = pairs.s.engine();
  e->luts[0].body[((13 * kColourGrid + 13) * kColourGrid + 13) * 4] = 200;
  const uint8_t in[16] = {0, 0, 0, 9, 200, 200, 200, 9, 10, 10, 10, 9, 200, 200, 200, 9};
  pairs.s.input.assign(1, std::vector<uint8_t>(in, in + 16));
  ASSERT_EQ(pairs.s.Halftone(0, 2, 1, 0), kStatusOk);
  EXPECT_EQ(pairs.Plane0(), 0x30);
}

TEST(ScreenColorLine, InksZeroAndOneUseComplementaryPositions) {
  // With the default dispersed 64 x 64 matrix (levels 0..4095) and an ink value whose large
  // share is half the cells, ink 0 prints exactly where ink 1 does not.
  ScreenJob s(ScreenKind::kFourInk);
  ASSERT_EQ(s.Run(), kStatusOk);
  ScreenEngine* e = s.engine();
  const ColourInkTables t = InkTables(e);
  t.t0[90] = 2048u | (2048u << 16);
  t.t1[90] = 2048u;
  for (uint32_t n = 0; n < kColourNodes; ++n) {
    uint8_t* node = e->luts[0].body + 4 * n;
    node[0] = node[1] = 90;
    node[2] = node[3] = 0;
  }
  s.input.assign(1, std::vector<uint8_t>(4 * 64, 0));
  for (int x = 0; x < 64; ++x) s.input[0][4 * x + 3] = 3;
  s.output.assign(1, std::vector<uint8_t>(4 * 32, 0));
  for (uint32_t line : {0u, 7u}) {
    ASSERT_EQ(s.Halftone(0, 64, 1, line), kStatusOk);
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(s.output[0][i] ^ s.output[0][32 + i], 0xFF) << i;
      EXPECT_NE(s.output[0][i], 0x00);
    }
  }
}

}  // namespace
}  // namespace tonvar::screening
