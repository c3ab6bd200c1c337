// The diffusion inks of a row pair walked side by side give the bytes, error rows and generator
// position of the one-ink kernels run ink after ink: kernel by kernel on random cells whose sums
// sit on and beside the band limits, and through the engine on every instruction-set path.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/diffusion_kernels.h"
#include "tonvar/multi_level/fuzz_engine.h"

namespace tonvar::multi_level {
namespace {

struct InksKernel {
  const char* name;
  DiffuseCellsKernel one;
  DiffuseInksKernel together;
};

constexpr InksKernel kInksKernels[] = {
    {"1x1Ink4", &DiffuseCells1x1Ink4, &DiffuseInks1x1Ink4}, {"1x1Ink8", &DiffuseCells1x1Ink8, &DiffuseInks1x1Ink8},
    {"1x2", &DiffuseCells1x2, &DiffuseInks1x2},             {"2x1Ink4", &DiffuseCells2x1Ink4, &DiffuseInks2x1Ink4},
    {"2x1Ink8", &DiffuseCells2x1Ink8, &DiffuseInks2x1Ink8}, {"4x1", &DiffuseCells4x1, &DiffuseInks4x1},
};

// Cell sums where the kernels change rule; a flat cell's sum is four times its value.
constexpr int32_t kBandLimits[] = {64,   128,  192,  256,  320,  384,  448,  576,  640,  768,   832,   1280,  1472,
                                   1536, 1600, 1792, 2048, 2560, 2688, 2880, 3072, 3392, 5440, 6528, 10240, 11520, 16320};

constexpr int kInksAtMost = 3;
constexpr int kMargin = 30;
constexpr int32_t kWidth = 96;
constexpr int32_t kLongWidth = 12000;  // busy cells enough for an ink to draw past its words ahead

// One row pair of up to three inks: tables, cells, error rows and output, copied for each run.
struct InksCase {
  int32_t width = kWidth;
  std::unique_ptr<MultiLevelState> state = std::make_unique<MultiLevelState>();
  std::vector<int16_t> samples;
  std::vector<DotTableSlot> slots = std::vector<DotTableSlot>(kInksAtMost);
  HorizontalZone run[halftone_lines::kZoneCount];
  std::vector<uint32_t> planes[kInksAtMost];
  std::vector<uint32_t> flat;
  std::vector<int32_t> errors[kInksAtMost][2];
  uint32_t words[kInksAtMost][2];
  uint32_t positions[kInksAtMost];
  int32_t table_set = 0;
  int32_t dot_position = 0;

  struct Result {
    std::vector<uint8_t> rows[kInksAtMost][2];
    std::vector<int32_t> errors[kInksAtMost][2];
    uint32_t next_draw;
    bool operator==(const Result&) const = default;
  };

  Result Run(const InksKernel& kernel, int inks, bool together) const {
    const auto copy = std::make_unique<MultiLevelState>(*state);
    if (state->random.next != nullptr) copy->random.next = copy->random.words + (state->random.next - state->random.words);
    Result result;
    DiffusionCall calls[kInksAtMost];
    for (int i = 0; i < inks; ++i) {
      for (int row = 0; row < 2; ++row) {
        result.rows[i][row].assign(static_cast<size_t>(width) / 2 + 16, 0xA5);
        result.errors[i][row] = errors[i][row];
      }
      calls[i] = {copy.get(), run, {words[i][0], words[i][1]}, &slots[i], table_set, dot_position, positions[i],
                  planes[i].data(), flat.data(), {result.rows[i][0].data(), result.rows[i][1].data()},
                  result.errors[i][0].data() + kMargin, result.errors[i][1].data() + kMargin};
    }
    if (together) {
      kernel.together(calls, inks);
    } else {
      for (int i = 0; i < inks; ++i) kernel.one(calls[i]);
    }
    result.next_draw = common::RandomGenerate(&copy->random);
    return result;
  }
};

// A table value: mostly a quarter of a band limit, give or take one, else anything up to past a
// dot's weight.
uint32_t TableValue(std::mt19937& random) {
  if (random() % 3 != 0) {
    const int32_t limit = kBandLimits[random() % std::size(kBandLimits)];
    return static_cast<uint32_t>(std::max(0, limit / 4 + static_cast<int32_t>(random() % 3) - 1));
  }
  return random() % 4500;
}

void Fill(InksCase& c, std::mt19937& random, int round) {
  const uint32_t key[] = {static_cast<uint32_t>(round), 0x5A5A};
  common::RandomInitByArray(key, 2, &c.state->random);
  for (int i = 0; i < round % 5; ++i) common::RandomGenerate(&c.state->random);
  c.samples.resize(16 * 16 + 4);
  for (int16_t& m : c.samples) m = static_cast<int16_t>(random() % 4200);
  c.state->matrix.width = c.state->matrix.height = 16;
  c.state->matrix.samples = c.samples.data();
  for (uint32_t& t : c.state->diffusion_thresholds.value) t = 100 + random() % 900;
  for (DotTableSlot& slot : c.slots) {
    for (DotTable& table : slot.set) {
      for (auto& level : table.level) {
        for (uint32_t& v : level) v = TableValue(random);
      }
    }
  }
  // The five zones split [start, end) at even columns; any but the interior may blend.
  const int32_t start = 2 * static_cast<int32_t>(random() % 4);
  const int32_t end = c.width == kWidth ? start + 2 * static_cast<int32_t>(random() % 40) : c.width - 8;
  int32_t cuts[6] = {start, 0, 0, 0, 0, end};
  for (int z = 1; z < 5; ++z) cuts[z] = start + 2 * static_cast<int32_t>(random() % ((end - start) / 2 + 1));
  std::sort(cuts + 1, cuts + 5);
  for (int z = 0; z < 5; ++z) {
    const bool blend = z != 2 && random() % 2 == 0 && cuts[z + 1] > cuts[z];
    c.run[z] = {cuts[z], cuts[z + 1], std::max(cuts[z + 1] - cuts[z], 2), blend ? 0 : 1};
    c.state->zones[z] = c.run[z];
  }
  c.table_set = static_cast<int32_t>(random() % 3);
  c.dot_position = 2 * static_cast<int32_t>(random() % 8);
  const size_t cells = static_cast<size_t>(end - start) / 2;
  c.flat.assign(cells / 32 + 2, 0);
  for (uint32_t& f : c.flat) f = random() % 3 == 0 ? static_cast<uint32_t>(random()) : 0;
  for (int i = 0; i < kInksAtMost; ++i) {
    c.planes[i].resize(cells + 1);
    for (size_t k = 0; k < c.planes[i].size(); ++k) {
      const bool detailed = ((c.flat[k / 32] >> (k % 32)) & 1) != 0;
      const bool busy = c.width != kWidth || random() % 4 != 0;  // every cell of a long row is busy
      uint32_t entry = busy ? static_cast<uint32_t>(random()) | 1 : 0;
      if (!detailed) entry &= 0xFF;
      c.planes[i][k] = entry;
    }
    for (auto& row : c.errors[i]) {
      row.resize(static_cast<size_t>(c.width) + 2 * kMargin + 8);
      for (int32_t& e : row) e = static_cast<int32_t>(random() % 6001) - 3000;
    }
    for (uint32_t& w : c.words[i]) w = random() % 2 == 0 ? 0 : static_cast<uint32_t>(random());
    c.positions[i] = static_cast<uint32_t>(random() % 256);
  }
  c.state->first_dot = static_cast<uint32_t>(c.dot_position);
  c.state->count = static_cast<uint32_t>(end - start) - (end > start ? random() % 2 : 0);
}

TEST(DiffusionInks, SideBySideGivesTheOneInkKernelsBytesErrorsAndDraws) {
  std::mt19937 random(2026);
  for (const InksKernel& kernel : kInksKernels) {
    for (int round = 0; round < 122; ++round) {
      InksCase c;
      if (round >= 120) c.width = kLongWidth;
      Fill(c, random, round);
      for (const int inks : {1, 2, 3}) {
        ASSERT_EQ(c.Run(kernel, inks, true), c.Run(kernel, inks, false))
            << kernel.name << " inks " << inks << " round " << round;
      }
    }
  }
}

// Through the engine: cell error diffusion of a band of random pictures, every class, 4 and 8
// inks, each instruction-set path against the scalar one.
constexpr uint32_t kClassDpi[4][2] = {{720, 720}, {720, 1440}, {1440, 720}, {2880, 720}};

MultiLevelEngine* DiffusionEngine(bool eight_inks, uint32_t width, int ratio_class, halftone_lines::SimdPath path) {
  MultiLevelEngine* engine =
      NewFuzzEngine(eight_inks, width, kClassDpi[ratio_class][0], kClassDpi[ratio_class][1], 2);
  engine->job.method = 1;
  engine->state->simd_path = path;
  EXPECT_TRUE(CompleteWithDefaultResources(engine, eight_inks));
  return engine;
}

TEST(DiffusionInks, EveryPathGivesTheScalarBandThroughTheEngine) {
  using halftone_lines::SimdPath;
  constexpr uint32_t kBandWidth = 150;
  const int supported = static_cast<int>(halftone_lines::SupportedSimdPath());
  for (const bool eight_inks : {false, true}) {
    const int planes = eight_inks ? 8 : 4;
    for (int ratio_class = 0; ratio_class < 4; ++ratio_class) {
      std::vector<std::vector<uint8_t>> outputs;
      for (int path = 0; path <= supported; ++path) {
        MultiLevelEngine* engine = DiffusionEngine(eight_inks, kBandWidth, ratio_class, static_cast<SimdPath>(path));
        std::mt19937 random(static_cast<uint32_t>(31 * ratio_class + planes));
        std::vector<uint8_t> all;
        for (uint32_t line = 0; line < 24; line += 2) {
          std::vector<uint8_t> input[2];
          for (auto& row : input) {
            row.resize(4 * kBandWidth);
            for (size_t i = 0; i < row.size(); ++i) {
              // Flat stretches, ramps and noise.
              const size_t x = i / 4;
              row[i] = static_cast<uint8_t>((x / 25) % 3 == 0 ? 40 * (i % 4) + line : (x / 25) % 3 == 1 ? x * 3 + i
                                                                                                       : random());
            }
          }
          const uint32_t first_dot = line % 4;
          const uint32_t x_start = line % 3;
          const uint32_t count = kBandWidth - x_start - line % 5;
          const size_t stride = (first_dot + count) / 4 + 4;
          std::vector<uint8_t> output[2] = {std::vector<uint8_t>(stride * planes, 0x3C),
                                            std::vector<uint8_t>(stride * planes, 0x3C)};
          const uint8_t* in_rows[2] = {input[0].data(), input[1].data()};
          uint8_t* out_rows[2] = {output[0].data(), output[1].data()};
          ASSERT_EQ(MultiLevelHalftone(engine, {in_rows, out_rows, static_cast<int64_t>(stride), first_dot, count,
                                                x_start, 2, line, 0, 0}),
                    kStatusOk);
          for (const auto& row : output) all.insert(all.end(), row.begin(), row.end());
        }
        outputs.push_back(all);
        ASSERT_EQ(MultiLevelDelete(reinterpret_cast<void**>(&engine)), kStatusOk);
      }
      for (size_t path = 1; path < outputs.size(); ++path) {
        EXPECT_EQ(outputs[path], outputs[0]) << "inks " << planes << " class " << ratio_class << " path " << path;
      }
    }
  }
}

}  // namespace
}  // namespace tonvar::multi_level
