// Monochrome screening tables: main block forms, block modes, tone-curve remap, level table.
#include <gtest/gtest.h>

#include <cstring>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/screening/mono_tone_tables.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using testkit::CurveForm;
using testkit::DotCurveShape;
using testkit::DotShares;
using testkit::ScreenJob;
using testkit::ScreenKind;

common::ResourceBytes Bytes(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

// A mono engine with the id list and matrix read, ready for its main block.
struct MonoEngine {
  explicit MonoEngine(uint32_t bits = 2) : s(ScreenKind::kMono) {
    s.job.bits_per_dot = bits;
    s.lut0.lut.dot_curve_id = -1;  // the sequence stops before the main block
    EXPECT_EQ(s.Run(), kStatusOk);
  }
  EngineStatus Read(const std::vector<uint8_t>& block) { return ReadScreenBlock(s.engine(), Bytes(block)); }
  const uint32_t* A(int i) const { return s.engine()->dot_table_a[i]; }
  const uint32_t* B(int i) const { return s.engine()->dot_table_b[i]; }
  ScreenJob s;
};

DotCurveShape Shape(CurveForm form, std::vector<DotShares> entries, uint32_t bits = 8) {
  DotCurveShape shape;
  shape.form = form;
  shape.entries = std::move(entries);
  shape.sample_bits = bits;
  return shape;
}

std::vector<DotShares> Constant(uint32_t count, DotShares e) { return std::vector<DotShares>(count, e); }

TEST(MonoMainBlock, RescaleBySampleWidthShiftAndFlag) {
  struct RescaleCase {
    const char* what;
    DotCurveShape shape;
    uint32_t expected_small;
  };
  auto kind3 = [](uint32_t bits, int32_t shift, int32_t flag, int32_t value) {
    DotCurveShape s = Shape(CurveForm::kKind3, Constant(256, {value, 0, 0}), bits);
    s.shift = shift;
    s.flag = flag;
    return s;
  };
  const RescaleCase cases[] = {
      {"16-bit, shift 8, flag 1: unchanged", kind3(16, 8, 1, 40000), 40000},
      {"16-bit, shift 8, flag 0: x 65535 / 65280", kind3(16, 8, 0, 40000), 40000u * 65535 / 65280},
      {"8-bit, shift 0, flag 0: x 257", kind3(8, 0, 0, 200), 200u * 257},
      {"kind 0", Shape(CurveForm::kKind0, Constant(256, {100, 0, 0})), 100u * 257},
      {"kind -1", Shape(CurveForm::kKindMinus1, Constant(256, {100, 0, 0})), 100u * 257},
      {"kind 4, planes of 16-bit samples", [] {
         DotCurveShape s = Shape(CurveForm::kKind4, Constant(256, {1000, 0, 0}), 16);
         s.shift = 8, s.flag = 1;
         return s;
       }(), 1000},
  };
  for (const RescaleCase& c : cases) {
    SCOPED_TRACE(c.what);
    MonoEngine m;
    ASSERT_EQ(m.Read(testkit::DotCurveBlock(c.shape)), kStatusOk);
    EXPECT_EQ(m.A(100)[0], c.expected_small);
    EXPECT_EQ(m.s.engine()->block_mode, kBlockModeThreeSizes);
  }
}

TEST(MonoMainBlock, HalvingAndSampleSelection) {
  // 512 entries: entry 255 comes from 510, entry 0 stays.
  std::vector<DotShares> entries(512);
  for (uint32_t i = 0; i < 512; ++i) entries[i] = {static_cast<int32_t>(i / 2), 0, 0};
  entries[510] = {77, 0, 0};
  entries[511] = {99, 0, 0};
  MonoEngine m;
  ASSERT_EQ(m.Read(testkit::DotCurveBlock(Shape(CurveForm::kKind0, entries))), kStatusOk);
  EXPECT_EQ(m.A(255)[0], 77u * 257);
  EXPECT_EQ(m.A(0)[0], 0u);
  EXPECT_EQ(m.A(3)[0], 3u * 257);

  // A kind-3 block for a 1-bit job takes the third sample as the small share.
  MonoEngine one(1);
  ASSERT_EQ(one.Read(testkit::DotCurveBlock(Shape(CurveForm::kKind3, Constant(256, {1, 2, 3})))), kStatusOk);
  EXPECT_EQ(one.A(9)[0], 3u * 257);
  EXPECT_EQ(one.A(9)[1], 0u);
  EXPECT_EQ(one.A(9)[2], 0u);
}

TEST(MonoMainBlock, SecondTableSetsTheBlockMode) {
  struct ModeCase {
    const char* what;
    uint32_t first_bits, second_kind;
    DotShares second;
    uint32_t mode;
    DotShares b;  // entry of table B
  };
  const ModeCase cases[] = {
      {"8-bit, kind 2, first words all 0: one size", 8, 2, {0, 0, 3000}, kBlockModeOneSize, {3000, 0, 0}},
      {"8-bit, kind 2, a first word set: two sizes", 8, 2, {5, 0, 3000}, kBlockModeTwoSizes, {5, 0, 3000}},
      {"16-bit, kind 1: one size", 16, 1, {700, 0, 0}, kBlockModeOneSize, {700, 0, 0}},
      {"16-bit, kind 2: two sizes", 16, 2, {0, 0, 3000}, kBlockModeTwoSizes, {0, 0, 3000}},
      {"8-bit, kind 3: three sizes", 8, 3, {1, 2, 3}, kBlockModeThreeSizes, {1, 2, 3}},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.what);
    DotCurveShape shape = Shape(CurveForm::kKind2, testkit::RampDotShares(256, c.first_bits == 8 ? 255 : 65535), c.first_bits);
    shape.second_kind = c.second_kind;
    shape.second = Constant(256, c.second);
    MonoEngine m;
    ASSERT_EQ(m.Read(testkit::DotCurveBlock(shape)), kStatusOk);
    EXPECT_EQ(m.s.engine()->block_mode, c.mode);
    EXPECT_EQ(m.B(40)[0], static_cast<uint32_t>(c.b.small));
    EXPECT_EQ(m.B(40)[1], static_cast<uint32_t>(c.b.medium));
    EXPECT_EQ(m.B(40)[2], static_cast<uint32_t>(c.b.large));
    // Kind 2's first table: 8-bit samples are scaled by 257, 16-bit ones kept.
    const DotShares a = shape.entries[200];
    EXPECT_EQ(m.A(200)[0], static_cast<uint32_t>(a.small) * (c.first_bits == 8 ? 257 : 1));
  }
}

TEST(MonoMainBlock, DamagedBlocks) {
  for (const testkit::DamagedBlock& d : testkit::DamagedMainBlocks()) {
    SCOPED_TRACE(d.what);
    ScreenJob s(ScreenKind::kMono);
    s.resources[testkit::kScreenFinalId] = d.bytes;
    EXPECT_EQ(s.Run(), d.status);
    EXPECT_EQ(s.asked.size(), 3u);
  }
}

TEST(MonoToneTable, ChosenByResolution) {
  struct ToneCase {
    int32_t h, v;
    const ToneTable* table;
  };
  const ToneCase cases[] = {{360, 720, &kToneTable360},   {720, 720, &kToneTable720},
                            {1440, 720, &kToneTable1440}, {2880, 1440, &kToneTable1440},
                            {2880, 720, &kToneTable2880}};
  for (const ToneCase& c : cases) {
    int32_t tone[256];
    ASSERT_EQ(LoadMonoToneTable(tone, c.h, c.v), kStatusOk);
    EXPECT_EQ(tone[0], 128);
    EXPECT_EQ(tone[200], (*c.table)[200]) << c.h << " x " << c.v;
  }
  int32_t tone[256];
  EXPECT_EQ(LoadMonoToneTable(tone, 540, 540), kStatusBadResource);
  EXPECT_EQ(kToneTable720[3], 38);
  EXPECT_EQ(kToneTable720[39], 80);
  EXPECT_EQ(kToneTable720[40], kToneTable360[40]);
  EXPECT_EQ(kToneTable360[255], 128);
  EXPECT_EQ(kToneTable2880[255], 193);
}

TEST(MonoLevels, SharesThresholdsAndLevels) {
  // Ink value v = 255 - grey on the diagonal. The matrix has 4096 levels.
  std::vector<DotShares> entries = testkit::RampDotShares(256, 65535);
  entries[255] = {0, 0, 65535};   // large only: R = 0, L = N
  entries[0] = {32768, 0, 0};     // small only: R = 32768
  DotCurveShape shape = Shape(CurveForm::kKind3, entries, 16);
  shape.shift = 8, shape.flag = 1;
  ScreenJob s(ScreenKind::kMono);
  s.resources[testkit::kScreenFinalId] = testkit::DotCurveBlock(shape);
  ASSERT_EQ(s.Run(), kStatusOk);
  const ScreenEngine* e = s.engine();
  EXPECT_EQ(e->diffusion_shares[255], 0u);
  EXPECT_EQ(e->large_thresholds[255], 4096u);
  EXPECT_EQ(e->medium_thresholds[255], 4096u);
  EXPECT_EQ(e->diffusion_shares[0], 32768u);
  EXPECT_EQ(e->tone_table[0], e->tone_table[1]);

  const auto* levels = reinterpret_cast<const MonoLevel*>(e->buffers[kBufferLevelTable].data);
  // Grey 0 is ink 255: a zero share, so a level no error reaches.
  EXPECT_EQ(levels[0].tone, 0);
  EXPECT_EQ(levels[0].level, -8388608);
  EXPECT_EQ(e->dot_thresholds[0], 4096u | (4096u << 16));
  // Grey 255 is ink 0.
  EXPECT_EQ(levels[255].tone, 32768);
  EXPECT_EQ(levels[255].level, 32768 - e->tone_table[32768 >> 8] * 256);
  // Between two grid nodes (grid 0, 32, 64, ...): grey 16 mixes nodes 0 and 1 evenly.
  const int32_t r1 = static_cast<int32_t>(e->diffusion_shares[255 - 32]);
  EXPECT_EQ(levels[16].tone, (0 * 16 + r1 * 16) / 32);
}

TEST(MonoLevels, RefusedTablesAnswer768) {
  struct LevelCase {
    const char* what;
    void (*damage)(testkit::ScreenLut*);
  };
  const LevelCase cases[] = {
      {"grid ends at 252", [](testkit::ScreenLut* l) { l->lut.grid[0][8] = 252; }},
      {"grid does not rise", [](testkit::ScreenLut* l) { l->lut.grid[0][4] = l->lut.grid[0][3]; }},
      {"grid starts at 1", [](testkit::ScreenLut* l) { l->lut.grid[0][0] = 1; }},
      {"no black channel", [](testkit::ScreenLut* l) { l->lut.ink_ids[3] = 9; }},
      {"axes of different sizes", [](testkit::ScreenLut* l) { l->lut.grid_points[1] = 5; }},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenJob s(ScreenKind::kMono);
    c.damage(&s.lut0);
    EXPECT_EQ(s.Run(), kStatusBadResource);
    EXPECT_EQ(s.asked.size(), 3u);
  }
  // Levels above 65535 would spill out of their 16-bit half.
  ScreenJob big(ScreenKind::kMono);
  big.resources[testkit::kScreenMatrixIds[0]] = testkit::HeaderMatrixBlock(70000, 8, 8, testkit::DispersedMatrix(8, 8));
  EXPECT_EQ(big.Run(), kStatusBadResource);
}

TEST(MonoRemap, ToneCurveOfInkZero) {
  // Curve positions in 1/16: position 16 x i / 2 reads half way, 255 << 4 and beyond the last.
  InkCurveSet set{};
  set.count = 2;
  set.fraction_bits = 4;
  set.ink_ids[0] = 3;
  set.ink_ids[1] = 0;
  for (int i = 0; i < 256; ++i) {
    set.curves[0][i] = 0;
    set.curves[1][i] = static_cast<uint32_t>(i * 8);  // level i / 2
  }
  set.curves[1][255] = 255 << 4;
  set.curves[1][254] = static_cast<uint32_t>(-5);  // a negative position reads entry 0
  MonoEngine m;
  for (int i = 0; i < 256; ++i) {
    for (int s = 0; s < 3; ++s) {
      m.s.engine()->dot_table_a[i][s] = static_cast<uint32_t>(100 * i + s);
      m.s.engine()->dot_table_b[i][s] = static_cast<uint32_t>(1000 * i);
    }
  }
  LutDescriptor lut = m.s.lut0.lut;
  lut.ink_curves_valid = 1;
  lut.ink_curves = &set;
  RemapMonoDotTables(m.s.engine(), lut);
  const ScreenEngine* e = m.s.engine();
  EXPECT_EQ(e->dot_table_a[10][1], 100u * 5 + 1);          // position 80: entry 5
  EXPECT_EQ(e->dot_table_a[11][0], 100u * 5 + 50);         // position 88: half way to entry 6
  EXPECT_EQ(e->dot_table_b[11][0], 1000u * 5 + 500);
  EXPECT_EQ(e->dot_table_a[255][2], 100u * 255 + 2);       // beyond the last position
  EXPECT_EQ(e->dot_table_a[254][2], 2u);                   // clamped to entry 0

  // Without a valid set nothing changes.
  const uint32_t before = e->dot_table_a[11][0];
  lut.ink_curves_valid = 0;
  RemapMonoDotTables(m.s.engine(), lut);
  EXPECT_EQ(e->dot_table_a[11][0], before);
}

}  // namespace
}  // namespace tonvar::screening
