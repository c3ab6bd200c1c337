// Whole-band scenarios of the grey-input halftoning engine.
#include "testkit/tonvar/grey_halftone_bands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testkit/tonvar/grey_halftone_resources.h"
#include "testkit/tonvar/grey_resources.h"

namespace testkit {
namespace {

constexpr uint32_t kBandWidth = 100;
constexpr uint32_t kBandLines = 8;
constexpr uint32_t kHalftoneId = 200;
int32_t kTone[9] = {0, 0, 100, 0, 0, 0, 0, 0, 0};

struct ScenarioShape {
  const char* name;
  uint32_t bits, h, v, method;
  bool per_ink_curves;
  uint64_t golden;
};

// Golden checksums of each scenario's band (FNV-1a over every output row). Dither bands of
// equal curves agree across resolution classes: only diffusion reads the class's thresholds.
const ScenarioShape kScenarios[] = {
    {"1 bit, 720 x 720, dither", 1, 720, 720, 3, false, 0xcfc92a8cfb3d3e35ull},
    {"1 bit, 1440 x 720, diffusion", 1, 1440, 720, 1, true, 0x4f7bfb4e0b60b8d9ull},
    {"1 bit, 1440 x 720, dither", 1, 1440, 720, 3, false, 0xcfc92a8cfb3d3e35ull},
    {"2 bits, 720 x 720, diffusion", 2, 720, 720, 1, false, 0x57a23a17cf3be3efull},
    {"2 bits, 720 x 720, dither", 2, 720, 720, 3, true, 0xa1bfa1de50e8b8abull},
    {"2 bits, 1440 x 720, diffusion", 2, 1440, 720, 1, true, 0xd37fc64e5b64cbdfull},
    {"2 bits, 1440 x 720, dither", 2, 1440, 720, 3, false, 0x579e79cfc3397583ull},
    {"2 bits, 1440 x 360, diffusion", 2, 1440, 360, 1, false, 0x0c43054506c16939ull},
    {"2 bits, 1440 x 360, dither", 2, 1440, 360, 3, true, 0xa1bfa1de50e8b8abull},
};

// White carries no ink; darker levels more of every ink, each at its own pace.
uint16_t WhiteIsBlank(uint32_t level, uint32_t column) {
  return static_cast<uint16_t>((255 - level) * 256 * (column + 1) / 8);
}

BandScenario Build(const ScenarioShape& shape) {
  BandScenario s;
  s.name = shape.name;
  s.golden = shape.golden;
  s.params.document_type = 7;
  s.params.tone_adjustments = kTone;
  s.job.method = shape.method;
  s.job.channel_order = 3;
  s.job.ink_set = 9;
  s.job.resolution_x_dpi = shape.h;
  s.job.resolution_y_dpi = shape.v;
  s.job.bits_per_dot = shape.bits;
  s.job.width_pixels = kBandWidth;
  s.job.height_lines = kBandLines;
  GreyHeaderRowShape row;
  row.halftone = shape.method == 1 ? "ED" : "DitherB";
  row.h_res = static_cast<int32_t>(shape.h);
  row.v_res = static_cast<int32_t>(shape.v);
  row.out_bit = static_cast<int32_t>(shape.bits);
  row.smb_id = kHalftoneId;
  s.resources[0] = GreyTextResource(GreyHeaderTable({row}));
  GreyTableShape table;
  for (uint32_t level = 0; level < 256; ++level) {
    for (uint32_t column = 0; column < 8; ++column) table.amounts.push_back(WhiteIsBlank(level, column));
  }
  s.resources[row.cmm_id] = GreyChunkContainer({{"tgvm", GreyTableChunk(table)}});
  if (shape.per_ink_curves) {
    GreyDotCurveKind4Shape dots;
    for (uint8_t ink : {0, 1, 2, 3, 4, 5, 7, 11}) {
      GreyDotCurveEntry entry(ink);
      entry.sample = [ink](uint32_t row, uint32_t size) {
        return row < 2 ? 0 : GreyRampDot(std::min<uint32_t>(511, row + 24u * ink), size);
      };
      dots.entries.push_back(entry);
    }
    s.resources[kHalftoneId] = BuildGreyDotCurveKind4(dots);
  } else {
    GreyDotCurveKind3Shape dots;
    s.resources[kHalftoneId] = BuildGreyDotCurveKind3(dots);
  }
  const uint32_t screen_id = 701 + (shape.h == shape.v ? 0 : shape.h == 2 * shape.v ? 1 : 2);
  s.resources[screen_id] = BuildGreyScreen({});
  s.halftone_ids = {kHalftoneId, screen_id};
  s.width = kBandWidth;
  s.lines = kBandLines;
  s.planes = 8;
  s.bytes_per_pixel = 4;
  return s;
}

}  // namespace

std::vector<BandScenario> GreyHalftoneBandScenarios() {
  std::vector<BandScenario> out;
  for (const ScenarioShape& shape : kScenarios) out.push_back(Build(shape));
  return out;
}

void ExpectGreyGoldenBands(const EngineCalls& calls) {
  for (const BandScenario& s : GreyHalftoneBandScenarios()) {
    SCOPED_TRACE(s.name);
    ScreeningChain chain(calls, s);
    const uint32_t opened = chain.Open();
    EXPECT_EQ(chain.halftone_ids, s.halftone_ids);
    ASSERT_EQ(opened, 0u);
    uint32_t status = 0;
    std::vector<std::vector<uint8_t>> output;
    const uint64_t sum = RunBand(calls, s, false, &status, &output);
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(sum, s.golden) << std::hex << "0x" << sum;
    uint32_t dots = 0;
    for (const auto& row : output) {
      for (uint8_t b : row) dots += b != 0;
    }
    EXPECT_GT(dots, 0u) << "the textured band makes dots";
    std::vector<std::vector<uint8_t>> blank;
    RunBand(calls, s, true, &status, &blank);
    ASSERT_EQ(status, 0u);
    for (const auto& row : blank) EXPECT_EQ(row, std::vector<uint8_t>(row.size(), 0));
  }
}

}  // namespace testkit
