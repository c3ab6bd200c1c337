// The diffusion kernels against the literal model and on hand-checked cells.
#include <gtest/gtest.h>

#include <random>

#include "tonvar/multi_level/diffusion_rig_test.h"

namespace tonvar::multi_level {
namespace {

// Cumulative tables rising with the level: any dot >= medium or large >= large, up to 4080.
void RisingTables(KernelRig& rig) {
  for (uint32_t level = 0; level < 256; ++level) {
    const uint32_t v = level * 16;
    rig.SetValue(level, 0, v);
    rig.SetValue(level, 1, v * 3 / 4);
    rig.SetValue(level, 2, v / 3);
  }
}

// A band of cells: runs of blank flat cells, flat cells and detailed cells.
void RandomCells(KernelRig& rig, std::mt19937& random, int cells, int32_t start) {
  std::vector<uint32_t> plane(static_cast<size_t>(cells));
  std::vector<uint32_t> flat(static_cast<size_t>(cells / 32 + 1), 0);
  for (int i = 0; i < cells; ++i) {
    const uint32_t kind = random() % 8;
    if (kind < 2) {
      plane[static_cast<size_t>(i)] = 0;
    } else if (kind < 5) {
      plane[static_cast<size_t>(i)] = random() % 256;
    } else {
      plane[static_cast<size_t>(i)] = random();
      flat[static_cast<size_t>(i / 32)] |= 1u << (i % 32);
    }
  }
  if (random() % 3 == 0) std::fill(plane.begin(), plane.begin() + cells / 2, 0);  // long blank run
  rig.SetCells(start, plane, flat);
}

void RandomErrors(KernelRig& rig, std::mt19937& random) {
  for (int pass = 0; pass < 2; ++pass) {
    for (int32_t& e : rig.Errors(pass)) e = static_cast<int32_t>(random() % 4001) - 2000;
  }
}

// The bits of the dots before `position` in an output word: what a leading cell leaves.
uint32_t LeadMask(const KernelCase& kernel, int position) {
  uint32_t mask = 0;
  for (int q = 0; q < position; ++q) {
    mask |= kernel.one_bit ? 1u << ((7 - q % 8) + 8 * (q / 8)) : 3u << (8 * (q / 4) + 6 - 2 * (q % 4));
  }
  return mask;
}

class KernelModelTest : public ::testing::TestWithParam<KernelCase> {};

// Random bands in every zone layout and table set, from every even dot position.
TEST_P(KernelModelTest, RandomBandsMatchTheModel) {
  const KernelCase& kernel = GetParam();
  std::mt19937 random(7);
  for (int trial = 0; trial < 60; ++trial) {
    KernelRig rig(160);
    RisingTables(rig);
    for (int set = 0; set < 3; ++set) {
      for (uint32_t level = 0; level < 256; ++level) {
        for (int column = 0; column < 3; ++column) {
          rig.Slot().set[set].level[2 * level][column] += static_cast<uint32_t>(set * 40);
        }
      }
    }
    for (uint32_t& t : rig.State().diffusion_thresholds.value) t = random() % 3000;
    for (int16_t& s : rig.Samples()) s = static_cast<int16_t>(static_cast<int32_t>(random() % 5000) - 500);
    RandomErrors(rig, random);
    const int cells = 1 + static_cast<int>(random() % 70);
    const int32_t start = 2 * static_cast<int32_t>(random() % 4);
    RandomCells(rig, random, cells, start);
    const int32_t end = start + 2 * cells;
    HorizontalZone* run = rig.RunZones();
    HorizontalZone* job = rig.JobZones();
    if (trial % 2 == 1) {
      // Edge, transition, centre, transition, edge, cut to the run.
      const int32_t a = start + 2 * (cells / 5), b = start + 2 * (2 * cells / 5), c = start + 2 * (3 * cells / 5),
                    d = start + 2 * (4 * cells / 5);
      job[0] = {0, a, a, 1};
      job[1] = {a - 6, b, b - a + 6, 0};
      job[2] = {b, c, c - b, 1};
      job[3] = {c, d + 4, d - c + 4, 0};
      job[4] = {d, end, end - d, 1};
      run[0] = {start, a, a - start, 1};
      run[1] = {a, b, b - a + 6, 0};
      run[2] = {b, c, c - b, 1};
      run[3] = {c, d, d - c + 4, 0};
      run[4] = {d, end, end - d, 1};
    }
    const int set = trial % 3;
    const int position = kernel.one_bit ? 2 * static_cast<int>(random() % 16) : 2 * static_cast<int>(random() % 8);
    const uint32_t w0 = random(), w1 = random();
    const uint32_t lead0 = w0 & LeadMask(kernel, position), lead1 = w1 & LeadMask(kernel, position);
    const KernelResult product = rig.RunProduct(kernel, set, position, lead0, lead1);
    const KernelResult expected = rig.RunModel(kernel, set, position, lead0, lead1);
    ASSERT_EQ(product.rows[0], expected.rows[0]) << "trial " << trial;
    ASSERT_EQ(product.rows[1], expected.rows[1]) << "trial " << trial;
    ASSERT_EQ(product.errors[0], expected.errors[0]) << "trial " << trial;
    ASSERT_EQ(product.errors[1], expected.errors[1]) << "trial " << trial;
    ASSERT_EQ(product.next_draw, expected.next_draw) << "trial " << trial;
  }
}

// Every band boundary of every kernel: bands of cells of one density (levels 1, 1, 1, 2 whose
// values add up to it, in both passes), on carried error and around large dots.
TEST_P(KernelModelTest, BandBoundariesMatchTheModel) {
  const KernelCase& kernel = GetParam();
  std::vector<int32_t> densities;
  switch (kernel.kernel) {
    case model::Kernel::k1x1Ink4:
    case model::Kernel::k1x1Ink8:
      densities = {1, 64, 65, 128, 129, 384, 385, 576, 577, 768, 769, 1536, 1537, 3392, 3393, 6528, 6529, 10240,
                   10241, 16319, 16320};
      break;
    case model::Kernel::k1x2:
      densities = {1, 128, 129, 384, 385, 832, 833, 1280, 1281, 2048, 2049, 2688, 2689, 6528, 6529, 11520, 11521,
                   16320};
      break;
    case model::Kernel::k4x1:
      densities = {1,    64,   65,   128,  129,  192,  193,  256,   257,   320,   321,   448,   449,  640,
                   641,  1472, 1473, 1792, 1793, 2880, 2881, 5440, 5441, 11520, 11521, 16319, 16320};
      break;
    default:
      densities = {1, 64, 65, 128, 129, 320, 321, 575, 576, 577, 832, 833, 1600, 1601, 2560, 2561, 3072, 3073, 6528,
                   6529, 11520, 11521, 16320};
      break;
  }
  std::mt19937 random(11);
  for (const int32_t density : densities) {
    KernelRig rig(96);
    const uint32_t q = static_cast<uint32_t>(density / 4), rest = static_cast<uint32_t>(density % 4);
    for (int column = 0; column < 2; ++column) {
      rig.SetValue(1, kernel.one_bit ? 2 : column, q);
      rig.SetValue(2, kernel.one_bit ? 2 : column, q + rest);
    }
    if (!kernel.one_bit) {
      rig.SetValue(1, 2, q / 2);
      rig.SetValue(2, 2, q / 2);
    }
    for (uint32_t& t : rig.State().diffusion_thresholds.value) t = random() % 2500;
    for (int16_t& s : rig.Samples()) s = static_cast<int16_t>(static_cast<int32_t>(random() % 6000) - 500);
    RandomErrors(rig, random);
    std::vector<uint32_t> plane(40, 0x01010102);
    std::vector<uint32_t> flat(2, 0xFFFFFFFF);
    plane[7] = plane[23] = 0;  // two blank flat cells
    flat[0] &= ~(1u << 7 | 1u << 23);
    rig.SetCells(4, plane, flat);
    const KernelResult product = rig.RunProduct(kernel);
    const KernelResult expected = rig.RunModel(kernel);
    ASSERT_EQ(product, expected) << "density " << density;
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, KernelModelTest, ::testing::ValuesIn(kKernelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A band of blank flat cells takes no draw: the kernels that draw at the set-up take one, the
// others none.
TEST(DiffusionKernelTest, BlankCellsTakeNoDraw) {
  for (const KernelCase& kernel : kKernelCases) {
    KernelRig rig;
    rig.SetCells(0, std::vector<uint32_t>(20, 0), {});
    common::MtState fresh = rig.State().random;
    const uint32_t first = common::RandomGenerate(&fresh);
    const uint32_t second = common::RandomGenerate(&fresh);
    const bool draws_at_set_up = kernel.kernel == model::Kernel::k1x1Ink4 || kernel.kernel == model::Kernel::k1x2 ||
                                 kernel.kernel == model::Kernel::k2x1Ink4;
    const KernelResult result = rig.RunProduct(kernel);
    EXPECT_EQ(result.next_draw, draws_at_set_up ? second : first) << kernel.name;
    const int written = kernel.one_bit ? 5 : 10;  // 40 dots
    for (int row = 0; row < 2; ++row) {
      EXPECT_EQ(std::count(result.rows[row].begin(), result.rows[row].begin() + written, 0), written) << kernel.name;
      EXPECT_EQ(result.rows[row][written], 0xEE) << kernel.name;
    }
  }
}

// Error survives five empty cells of the equal-resolution kernels; the sixth clears its columns.
TEST(DiffusionKernelTest, IdleCellsPassErrorOnFiveTimes) {
  KernelRig rig;
  rig.SetCells(0, std::vector<uint32_t>(7, 0), {});
  *rig.ErrorAt(0, 0) = 4080;
  *rig.ErrorAt(0, 1) = 4080;
  const KernelResult result = rig.RunProduct(kKernelCases[0]);
  const std::vector<int32_t> expected = {0, 2040, 2040, 510, 2550, 127, 637, 31, 158, 7, 0, 0, 0, 0, 0, 0};
  const std::vector<int32_t> medium(result.errors[0].begin() + KernelRig::kMargin - 2,
                                    result.errors[0].begin() + KernelRig::kMargin + 14);
  EXPECT_EQ(medium, expected);
}

// A full cell gets four dots of the pass's size; the words are stored when 16 pixels are full
// and the last partial word gives only the bytes the band covers.
TEST(DiffusionKernelTest, FullCellsAndTheLastWord) {
  KernelRig rig;
  rig.SetValue(255, 1, 4080);
  rig.SetCells(0, std::vector<uint32_t>(13, 255), {});
  for (const KernelCase& kernel : kKernelCases) {
    if (kernel.one_bit) continue;
    const KernelResult result = rig.RunProduct(kernel);
    // 26 pixels: a full word, then (26 mod 16 + 3) / 4 = 3 bytes.
    const std::vector<uint8_t> expected = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xA0, 0xEE};
    EXPECT_EQ(std::vector<uint8_t>(result.rows[0].begin(), result.rows[0].begin() + 8), expected) << kernel.name;
    EXPECT_EQ(result.rows[1], result.rows[0]) << kernel.name;
  }
}

// A large value equal to its matrix sample gives no large dot; one above it does.
TEST(DiffusionKernelTest, LargeDotsNeedAValueAboveTheSample) {
  KernelRig rig;
  std::fill(rig.Samples().begin(), rig.Samples().end(), int16_t{1000});
  rig.SetValue(1, 2, 1000);
  rig.SetValue(2, 2, 1001);
  rig.SetCells(0, {0x01020102}, {1});
  const KernelResult result = rig.RunProduct(kKernelCases[1]);
  // P1 and P3 (level 2) get large dots, P0 and P2 nothing: row bytes 0011 0000.
  EXPECT_EQ(result.rows[0][0], 0x30);
  EXPECT_EQ(result.rows[1][0], 0x30);
}

// One bit per dot: a group of 32 dots is stored when full, and the last partial group gives
// ((firstDot + count) mod 32 + 7) / 8 bytes.
TEST(OneBitKernelTest, GroupsAndTheLastBytes) {
  KernelRig rig;
  rig.SetValue(255, 2, 4080);
  rig.SetCells(0, std::vector<uint32_t>(7, 255), {});
  std::fill(rig.Samples().begin(), rig.Samples().end(), int16_t{100});
  const KernelCase dither{"Dither", model::Kernel::kOneBit, &DitherPlaneOneBit, true};
  // From dot 30: the first cell completes the group; 12 more dots give (30 + 14) mod 32 = 12
  // dots, 2 bytes.
  const KernelResult result = rig.RunProduct(dither, 0, 30, 0x00010000, 0);
  const std::vector<uint8_t> expected = {0x00, 0x00, 0x01, 0x03, 0xFF, 0xF0, 0xEE};
  EXPECT_EQ(std::vector<uint8_t>(result.rows[0].begin(), result.rows[0].begin() + 7), expected);
}

// The one-bit dither: a flat cell of level 0 sets no dot even over negative samples; a detailed
// cell's level-0 sub-pixel is compared like any other; equal is not above.
TEST(OneBitKernelTest, DitherComparesStrictly) {
  KernelRig rig;
  std::fill(rig.Samples().begin(), rig.Samples().end(), int16_t{-1});
  rig.SetValue(3, 2, 50);
  rig.SetCells(0, {0, 0x00000300}, {2});
  const KernelCase dither{"Dither", model::Kernel::kOneBit, &DitherPlaneOneBit, true};
  KernelResult result = rig.RunProduct(dither);
  EXPECT_EQ(result.rows[0][0], 0x30);  // cell 1 at dots 2 and 3: P0 and P1 (level 0, value 0 > -1)
  EXPECT_EQ(result.rows[1][0], 0x30);  // P2 (level 3) and P3 (level 0)
  std::fill(rig.Samples().begin(), rig.Samples().end(), int16_t{0});
  result = rig.RunProduct(dither);
  EXPECT_EQ(result.rows[0][0], 0x00);
  EXPECT_EQ(result.rows[1][0], 0x20);
}

// The vertical blend of the one threshold: the edge set at the first line of the top
// transition, the interior set at the last line of the bottom transition's inner end; the first
// two thresholds of set 2 keep their values.
TEST(OneBitKernelTest, VerticalBlendOfTheThirdThreshold) {
  auto slots = std::make_unique<DotTableSlot[]>(kDotSlots);
  for (int k = 0; k < kDotSlots; ++k) {
    for (int level = 0; level < kDotLevels; ++level) {
      slots[k].set[0].level[level][2] = 320;
      slots[k].set[1].level[level][2] = 640;
      slots[k].set[2].level[level][0] = 7;
      slots[k].set[2].level[level][1] = 9;
    }
  }
  const int32_t bounds[6] = {0, 10, 42, 100, 132, 140};
  struct Case {
    int32_t line;
    uint32_t expected;
  };
  // Top: f = ((42 - line) x 32) / 32, (T1 (32 - f) + T0 f) / 32. Bottom: f = ((132 - line) x 32) / 32,
  // (T0 (32 - f) + T1 f) / 32.
  for (const Case& c : {Case{10, 320}, Case{41, 630}, Case{26, 480}, Case{100, 640}, Case{131, 330}}) {
    BlendVerticalTablesOneBit(c.line, slots.get(), bounds, bounds);
    for (int k = 0; k < kDotSlots; ++k) {
      EXPECT_EQ(slots[k].set[2].level[511][2], c.expected) << c.line;
      EXPECT_EQ(slots[k].set[2].level[0][0], 7u);
      EXPECT_EQ(slots[k].set[2].level[0][1], 9u);
    }
  }
}

}  // namespace
}  // namespace tonvar::multi_level
