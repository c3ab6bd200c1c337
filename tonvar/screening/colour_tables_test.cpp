// Four-ink screening tables: resampled colour tables, grid index map, dot curves, thresholds.
#include <gtest/gtest.h>

#include <cstring>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using testkit::ScreenJob;
using testkit::ScreenKind;

common::ResourceBytes Bytes(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

uint32_t Node(const uint8_t* table, uint32_t i, uint32_t j, uint32_t l) {
  const uint8_t* n = table + ((i * kColourGrid + j) * kColourGrid + l) * 4;
  return n[0] | (n[1] << 8) | (n[2] << 16) | (uint32_t{n[3]} << 24);
}

struct Buffer {
  EngineBuffer buffer{};
  ~Buffer() {
    common::ReleaseBlock(&buffer.allocation);
  }
};

TEST(BuildColorTable, NodesOfTheSourceGridComeOutExactly) {
  // A 32-point source on the new grid itself: every node comes back unchanged.
  testkit::ScreenLut source;
  testkit::BuildScreenLut(&source, 32, 4, &testkit::FourInkNode);
  ASSERT_EQ(std::vector<uint8_t>(source.lut.grid[0], source.lut.grid[0] + 32), testkit::ScreenGridPoints());
  Buffer b;
  LutDescriptor lut = source.lut;
  ASSERT_EQ(BuildColorTable(&b.buffer, &lut, Bytes(testkit::ScreenGridBlock(testkit::ScreenGridPoints()))), kStatusOk);
  EXPECT_EQ(lut.body, b.buffer.data);
  EXPECT_EQ(lut.body_handle, nullptr);
  EXPECT_EQ(lut.grid_points[2], 32u);
  for (uint32_t i : {0u, 5u, 17u, 31u}) {
    for (uint32_t j : {0u, 9u, 31u}) {
      for (uint32_t l : {0u, 30u, 31u}) {
        const uint8_t* src = source.body.data() + ((i * 32 + j) * 32 + l) * 4;
        EXPECT_EQ(Node(lut.body, i, j, l), src[0] | (src[1] << 8) | (src[2] << 16) | (uint32_t{src[3]} << 24))
            << i << " " << j << " " << l;
      }
    }
  }
  // A second build on the resampled descriptor owns no node table.
  Buffer again;
  EXPECT_EQ(BuildColorTable(&again.buffer, &lut, Bytes(testkit::ScreenGridBlock(testkit::ScreenGridPoints()))),
            kStatusBadJob);
}

TEST(BuildColorTable, InterpolatesBetweenSourceNodes) {
  // A 2-point source (0, 255): every output is a weighted mix of the cube's corners, and the
  // inputs 255 give the last node.
  testkit::ScreenLut source;
  testkit::BuildScreenLut(&source, 2, 4, [](uint32_t c, uint8_t a, uint8_t b, uint8_t d) -> uint8_t {
    return c == 0 ? a : c == 1 ? b : c == 2 ? d : static_cast<uint8_t>((a + b + d) / 3);
  });
  LutDescriptor lut = source.lut;
  Buffer b;
  const std::vector<uint8_t> grid = testkit::ScreenGridPoints();
  ASSERT_EQ(BuildColorTable(&b.buffer, &lut, Bytes(testkit::ScreenGridBlock(grid))), kStatusOk);
  EXPECT_EQ(Node(lut.body, 31, 31, 31), 0xFFFFFFFFu);
  EXPECT_EQ(Node(lut.body, 0, 0, 0), 0u);
  // Axis 0 alone at grid point 10 (x = 82): fraction (127 + 128 x 82) / 255 = 41 of 128, so
  // channel 0 is (41 x 255 + 64) >> 7 = 82 and channel 3 (a third of it) 27.
  const uint32_t node = Node(lut.body, 10, 0, 0);
  EXPECT_EQ(grid[10], 82);
  EXPECT_EQ(node & 0xFF, 82u);
  EXPECT_EQ(node >> 24, (41u * 85 + 64) >> 7);
}

TEST(BuildColorTable, RefusalsLeaveTheDescriptorAsItWas) {
  struct RefusalCase {
    const char* what;
    void (*damage)(LutDescriptor*);
    std::vector<uint8_t> block;
    EngineStatus status;
  };
  const std::vector<uint8_t> good = testkit::ScreenGridBlock(testkit::ScreenGridPoints());
  std::vector<RefusalCase> cases = {
      {"no node table", [](LutDescriptor* l) { l->body = nullptr; }, good, kStatusBadJob},
      {"node table without allocation", [](LutDescriptor* l) { l->body_handle = nullptr; }, good, kStatusBadJob},
      {"three bytes per node", [](LutDescriptor* l) { l->channel_count = 3; }, good, kStatusBadJob},
      {"source grid that does not rise", [](LutDescriptor* l) { l->grid[0][3] = l->grid[0][2]; }, good, kStatusBadJob},
      {"axes of different sizes", [](LutDescriptor* l) { l->grid_points[2] = 5; }, good, kStatusBadJob},
  };
  const std::vector<testkit::DamagedBlock> damaged = testkit::DamagedGridBlocks();
  for (const testkit::DamagedBlock& d : damaged) {
    cases.push_back({d.what.c_str(), [](LutDescriptor*) {}, d.bytes, d.status});
  }
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::ScreenLut source;
    testkit::BuildScreenLut(&source, 9, 4, &testkit::FourInkNode);
    c.damage(&source.lut);
    LutDescriptor lut = source.lut;
    Buffer b;
    EXPECT_EQ(BuildColorTable(&b.buffer, &lut, Bytes(c.block)), c.status);
    EXPECT_EQ(std::memcmp(&lut, &source.lut, sizeof lut), 0);
    EXPECT_EQ(b.buffer.allocation, nullptr);
  }
}

TEST(BuildGridIndexMap, LowerNodeAndWeight) {
  uint8_t grid[32];
  for (int k = 0; k < 31; ++k) grid[k] = static_cast<uint8_t>(8 * k);
  grid[31] = 255;
  uint8_t map[256][2];
  BuildGridIndexMap(map, grid);
  struct MapCase {
    int x, node, weight;
  };
  for (const MapCase& c : {MapCase{0, 0, 255}, MapCase{12, 1, 127}, MapCase{16, 2, 255},
                           MapCase{250, 30, 85}, MapCase{255, 31, 255}}) {
    EXPECT_EQ(map[c.x][0], c.node) << c.x;
    EXPECT_EQ(map[c.x][1], c.weight) << c.x;
  }
}

TEST(ColourDotCurve, FormsCountsAndDamage) {
  const std::vector<testkit::DotShares> ramp = testkit::RampDotShares(256, 255);
  std::vector<testkit::DotShares> ramp512 = testkit::RampDotShares(512, 255);
  ramp512[511] = {1, 2, 3};
  struct FormCase {
    const char* what;
    testkit::DotCurveShape shape;
    testkit::DotShares e255;
  };
  auto shape = [](testkit::CurveForm form, std::vector<testkit::DotShares> entries, uint32_t bits = 8,
                 int32_t shift = 0) {
    testkit::DotCurveShape s;
    s.form = form;
    s.entries = std::move(entries);
    s.sample_bits = bits;
    s.shift = shift;
    return s;
  };
  std::vector<testkit::DotShares> shifted = ramp;
  for (auto& e : shifted) e = {e.small << 2, e.medium << 2, e.large << 2};
  const FormCase cases[] = {
      {"kind 0", shape(testkit::CurveForm::kKind0, ramp), ramp[255]},
      {"kind 2, 16-bit", shape(testkit::CurveForm::kKind2, ramp, 16), ramp[255]},
      {"kind 3, 16-bit, shift 2", shape(testkit::CurveForm::kKind3, shifted, 16, 2), ramp[255]},
      {"kind 3, 512 entries keep entry 511", shape(testkit::CurveForm::kKind3, ramp512), {1, 2, 3}},
  };
  for (const FormCase& c : cases) {
    SCOPED_TRACE(c.what);
    int16_t curve[512][3] = {};
    ASSERT_EQ(ReadColorDotCurve(Bytes(testkit::DotCurveBlock(c.shape)), curve), kStatusOk);
    EXPECT_EQ(curve[255][0], c.e255.small);
    EXPECT_EQ(curve[255][1], c.e255.medium);
    EXPECT_EQ(curve[255][2], c.e255.large);
    const testkit::DotShares& e100 = c.shape.entries.size() == 512 ? ramp512[200] : ramp[100];
    EXPECT_EQ(curve[100][2], e100.large);
  }
  // The raw form starts at offset 0: entry 0 is zero and entry 1's small share is byte 3.
  std::vector<testkit::DotShares> raw = ramp;
  raw[0] = {};
  int16_t curve[512][3] = {};
  ASSERT_EQ(ReadColorDotCurve(Bytes(testkit::DotCurveBlock(shape(testkit::CurveForm::kRaw, raw))), curve), kStatusOk);
  EXPECT_EQ(curve[1][0], raw[1].small);

  for (const testkit::DamagedBlock& d : testkit::DamagedColourDotCurves()) {
    SCOPED_TRACE(d.what);
    EXPECT_EQ(ReadColorDotCurve(Bytes(d.bytes), curve), d.status);
  }
}

TEST(DotThresholds, ScaledSharesAndOverflow) {
  uint32_t scale[256];
  FillScaleTable(scale, 4096);
  EXPECT_EQ(scale[255], 4096u);
  EXPECT_EQ(scale[128], 128u * 4096 / 255);
  int16_t curve[512][3] = {};
  curve[7][2] = 255;                                // (0, 0, 255)
  curve[8][0] = 10, curve[8][1] = 20, curve[8][2] = 30;
  uint32_t t0[256], t1[256];
  ASSERT_EQ(BuildDotThresholds(t0, t1, curve, scale), kStatusOk);
  EXPECT_EQ(t0[7], 4096u | (4096u << 16));
  EXPECT_EQ(t1[7], 4096u);
  EXPECT_EQ(t0[8], scale[30] | ((scale[30] + scale[20]) << 16));
  EXPECT_EQ(t1[8], scale[30] + scale[20] + scale[10]);

  // A 256 x 256 matrix: a total share of 255 reaches 65536.
  FillScaleTable(scale, 65536);
  EXPECT_EQ(BuildDotThresholds(t0, t1, curve, scale), kStatusBadResource);
  curve[7][2] = 0, curve[7][0] = 255;
  EXPECT_EQ(BuildDotThresholds(t0, t1, curve, scale), kStatusBadResource);
  EXPECT_EQ(t1[7], 65536u);  // written before the refusal
}

TEST(ColourTables, StepsOwnAndReleaseTheirBlocks) {
  // Every allocation of the four-ink sequence failing in turn: the step answers 257 and the
  // engine still releases what it holds.
  for (int n = 1; n <= 8; ++n) {
    common::faults::ScopedReset reset;
    ScreenJob s(ScreenKind::kFourInk);
    s.two_luts = true;
    common::faults::FailNth(common::faults::MemOp::kAlloc, n);
    const EngineStatus status = s.Run();
    EXPECT_TRUE(status == kStatusOk || status == kStatusAllocFailed) << n;
    s.Delete();
    EXPECT_EQ(common::faults::LiveBlocks(), 0) << n;
  }
}

}  // namespace
}  // namespace tonvar::screening
