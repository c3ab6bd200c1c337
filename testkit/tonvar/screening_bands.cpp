// Whole-band scenarios of the screening engine and their runner.
#include "testkit/tonvar/screening_bands.h"

#include <gtest/gtest.h>

#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/screening_job.h"
#include "testkit/tonvar/screening_resources.h"

namespace testkit {
namespace {

constexpr uint32_t kTableId = 3100;
constexpr uint32_t kBandWidth = 200;
constexpr uint32_t kBandLines = 8;

enum class MainBlock { kThreeSizes, kTwoSizes };

struct ScenarioShape {
  const char* name;
  bool four_inks;
  uint32_t bits, h, v;
  MainBlock block;
  uint64_t golden;
};

// Golden checksums of each scenario's band (FNV-1a over every output row).
const ScenarioShape kScenarios[] = {
    {"mono 1 bit, 720 x 720", false, 1, 720, 720, MainBlock::kThreeSizes, 0xb33d88a81199f165ull},
    {"mono 1 bit, 1440 x 720", false, 1, 1440, 720, MainBlock::kThreeSizes, 0xbe57eff9df96d7c2ull},
    {"mono 2 bits, three sizes, 720 x 720", false, 2, 720, 720, MainBlock::kThreeSizes, 0x6dd7ca560d0227caull},
    {"mono 2 bits, three sizes, 720 x 1440", false, 2, 720, 1440, MainBlock::kThreeSizes, 0xc02b0606fff90340ull},
    {"mono 2 bits, two sizes, 1440 x 720", false, 2, 1440, 720, MainBlock::kTwoSizes, 0x929226f86ef33db2ull},
    {"mono 2 bits, two sizes, 2880 x 720", false, 2, 2880, 720, MainBlock::kTwoSizes, 0x13118ee482ac0d54ull},
    {"mono 2 bits, two sizes, 2880 x 1440", false, 2, 2880, 1440, MainBlock::kTwoSizes, 0x663d2034a1469a79ull},
    {"four inks, 720 x 720", true, 2, 720, 720, MainBlock::kThreeSizes, 0xa22792866085afddull},
    {"four inks, 360 x 720", true, 2, 360, 720, MainBlock::kThreeSizes, 0xa1b3a0d3c35a1299ull},
};

// Colour table body: grid^3 nodes of four channels.
std::vector<uint8_t> TableBody(uint32_t grid, bool four_inks) {
  const std::vector<uint8_t> g = UniformGrid(grid);
  std::vector<uint8_t> body;
  body.reserve(size_t{grid} * grid * grid * 4);
  for (uint32_t i = 0; i < grid; ++i) {
    for (uint32_t j = 0; j < grid; ++j) {
      for (uint32_t k = 0; k < grid; ++k) {
        for (uint32_t c = 0; c < 4; ++c) {
          body.push_back(four_inks ? FourInkNode(c, g[i], g[j], g[k]) : GreyNode(c, g[i], g[j], g[k]));
        }
      }
    }
  }
  return body;
}

BandScenario Build(const ScenarioShape& shape) {
  BandScenario s;
  s.name = shape.name;
  s.golden = shape.golden;
  s.width = kBandWidth;
  s.lines = kBandLines;
  s.planes = shape.four_inks ? 4 : 1;
  s.bytes_per_pixel = shape.four_inks ? 4 : 1;
  tonvar::RasterJob& job = s.job;
  job.method = 3;
  job.channel_order = shape.four_inks ? 2 : 0;
  job.ink_set = shape.four_inks ? 5 : 0;
  job.resolution_x_dpi = shape.h;
  job.resolution_y_dpi = shape.v;
  job.bits_per_dot = shape.bits;
  job.width_pixels = kBandWidth;
  s.params.document_type = shape.four_inks ? 1 : 0;
  s.params.mode_modifier = shape.four_inks ? 1 : 0;

  ModeTableShape modes;
  modes.version = 500;
  ModeRowShape row;
  row.table_id = kTableId;
  row.first_halftone_id = kScreenIdList;
  row.colour_dot_curve_id = kScreenFinalId;
  row.mono_dot_curve_id = kScreenFinalId;
  row.h_res = static_cast<int32_t>(shape.h);
  row.v_res = static_cast<int32_t>(shape.v);
  row.bits_per_dot = static_cast<int32_t>(shape.bits);
  row.mode = shape.four_inks ? "AUTO" : "MONO";
  modes.rows = {row};
  s.resources[0] = TextBytes(BuildModeTable(modes));
  ColourTableShape table;
  table.grid = 9;
  table.channels = 4;
  table.body = TableBody(9, shape.four_inks);
  s.resources[kTableId] = BuildTaggedColourTable(table);

  s.resources[kScreenIdList] = ScreenIdList({kScreenGridId, kScreenMatrixIds[0], kScreenMatrixIds[1],
                                             kScreenMatrixIds[2], kScreenMatrixIds[3]});
  s.resources[kScreenGridId] = ScreenGridBlock(ScreenGridPoints());
  s.resources[kScreenMatrixIds[0]] = DefaultMatrix();
  s.resources[kScreenMatrixIds[1]] = ShortMatrixBlock(128, 32, DispersedMatrix(128, 32));
  s.resources[kScreenMatrixIds[2]] = HeaderMatrixBlock(2048, 32, 64, DispersedMatrix(32, 64));
  s.resources[kScreenMatrixIds[3]] = ShortMatrixBlock(64, 128, DispersedMatrix(64, 128));
  uint32_t matrix = kScreenMatrixIds[0];
  if ((shape.h == 1440 && shape.v == 720) || shape.h >= 4 * shape.v) {
    matrix = kScreenMatrixIds[2];
  } else if (shape.h > shape.v) {
    matrix = kScreenMatrixIds[1];
  } else if (2 * shape.h == shape.v) {
    matrix = kScreenMatrixIds[3];
  }
  if (shape.four_inks) {
    s.resources[kScreenFinalId] = DefaultColourDotCurve();
    s.halftone_ids = {kScreenIdList, kScreenGridId, matrix, kScreenFinalId};
  } else {
    s.resources[kScreenFinalId] = shape.block == MainBlock::kTwoSizes ? TwoSizeMainBlock() : ThreeSizeMainBlock();
    s.halftone_ids = {kScreenIdList, matrix, kScreenFinalId};
  }
  return s;
}

}  // namespace

std::vector<BandScenario> ScreeningBandScenarios() {
  std::vector<BandScenario> out;
  for (const ScenarioShape& shape : kScenarios) out.push_back(Build(shape));
  return out;
}

std::vector<std::vector<uint8_t>> BandInput(const BandScenario& s, bool blank) {
  std::vector<std::vector<uint8_t>> rows(s.lines, std::vector<uint8_t>(size_t{s.width} * s.bytes_per_pixel, 0xFF));
  if (blank) return rows;
  for (uint32_t y = 0; y < s.lines; ++y) {
    uint8_t* p = rows[y].data();
    for (uint32_t x = 0; x < s.width; ++x) {
      const uint32_t ramp = x * 255 / (s.width - 1);
      const uint32_t texture = (x * 7 + y * 13) % 23;
      if (s.bytes_per_pixel == 1) {
        p[x] = static_cast<uint8_t>((ramp + texture) & 0xFF);
        continue;
      }
      uint8_t* px = p + 4 * x;
      if (x % 9 == 4) continue;  // white
      px[0] = static_cast<uint8_t>(255 - ramp);
      px[1] = static_cast<uint8_t>((ramp * 3 + y * 31 + texture) & 0xFF);
      px[2] = static_cast<uint8_t>((x + y * 17) & 0xFF);
      px[3] = x % 5 == 0 ? 0 : 3;
    }
  }
  return rows;
}

ScreeningChain::ScreeningChain(const EngineCalls& calls, const BandScenario& scenario)
    : calls_(calls), scenario_(scenario) {}

ScreeningChain::~ScreeningChain() {
  if (halftone_ != nullptr) calls_.halftone_delete(halftone_);
  if (cm_ != nullptr) calls_.cm_delete(cm_);
}

uint32_t ScreeningChain::Feed(uint32_t (*set)(void*, const uint8_t*, uint32_t*), void* handle, uint32_t id,
                              std::vector<uint32_t>* ids) {
  for (int guard = 0; guard < 32 && id != 0xFFFFFFFF; ++guard) {
    if (ids != nullptr) ids->push_back(id);
    const auto it = scenario_.resources.find(id);
    if (it == scenario_.resources.end()) return 0xFFFFFFFE;
    const uint32_t status = set(handle, it->second.data(), &id);
    if (status != 0) return status;
  }
  return 0;
}

uint32_t ScreeningChain::Open() {
  uint32_t first = 0;
  uint32_t status = calls_.cm_new(&scenario_.params, &scenario_.job, 0, &first, &cm_);
  if (status == 0) status = Feed(calls_.cm_set_resource, cm_, first, nullptr);
  if (status != 0) return status;
  tonvar::CmLutInfo* luts[2] = {calls_.cm_get_lut(cm_), nullptr};
  status = calls_.halftone_new(&scenario_.job, luts, 0, &first, &halftone_);
  if (status != 0) return status;
  return Feed(calls_.halftone_set_resource, halftone_, first, &halftone_ids);
}

uint32_t ScreeningChain::Band(const uint8_t* const* input, uint8_t* const* output, uint32_t line,
                              uint32_t rows, uint32_t x_start, uint32_t count) {
  if (count == UINT32_MAX) count = scenario_.width - x_start;
  return calls_.halftone(halftone_, input, output, scenario_.PlaneBytes(), 0, count, x_start, rows,
                         line, 0, 0);
}

uint64_t RunBand(const EngineCalls& calls, const BandScenario& scenario, bool blank, uint32_t* status,
                 std::vector<std::vector<uint8_t>>* output) {
  ScreeningChain chain(calls, scenario);
  *status = chain.Open();
  if (*status != 0) return 0;
  const std::vector<std::vector<uint8_t>> input = BandInput(scenario, blank);
  std::vector<std::vector<uint8_t>> out(scenario.lines, std::vector<uint8_t>(scenario.RowBytes(), 0));
  for (uint32_t line = 0; line < scenario.lines; line += 2) {
    const uint8_t* in[2] = {input[line].data(), input[line + 1].data()};
    uint8_t* rows[2] = {out[line].data(), out[line + 1].data()};
    *status = chain.Band(in, rows, line, 2);
    if (*status != 0) return 0;
  }
  uint64_t h = 0xCBF29CE484222325ull;
  for (const auto& row : out) h = Fnv1a(row.data(), row.size(), h);
  if (output != nullptr) *output = std::move(out);
  return h;
}

void ExpectGoldenBands(const EngineCalls& calls) {
  for (const BandScenario& s : ScreeningBandScenarios()) {
    SCOPED_TRACE(s.name);
    ScreeningChain chain(calls, s);
    const uint32_t opened = chain.Open();
    EXPECT_EQ(chain.halftone_ids, s.halftone_ids);
    ASSERT_EQ(opened, 0u);
    uint32_t status = 0;
    const uint64_t sum = RunBand(calls, s, false, &status);
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(sum, s.golden) << std::hex << "0x" << sum;
    std::vector<std::vector<uint8_t>> blank;
    RunBand(calls, s, true, &status, &blank);
    ASSERT_EQ(status, 0u);
    for (const auto& row : blank) EXPECT_EQ(row, std::vector<uint8_t>(row.size(), 0));
  }
}

void ExpectTwoHandlesAgree(const EngineCalls& calls, const BandScenario& s) {
  SCOPED_TRACE(s.name);
  ScreeningChain a(calls, s), b(calls, s);
  ASSERT_EQ(a.Open(), 0u);
  ASSERT_EQ(b.Open(), 0u);
  const auto input = BandInput(s, false);
  std::vector<std::vector<uint8_t>> out_a(s.lines, std::vector<uint8_t>(s.RowBytes())), out_b = out_a;
  for (uint32_t line = 0; line < s.lines; line += 2) {  // interleaved calls
    const uint8_t* in[2] = {input[line].data(), input[line + 1].data()};
    uint8_t* ra[2] = {out_a[line].data(), out_a[line + 1].data()};
    uint8_t* rb[2] = {out_b[line].data(), out_b[line + 1].data()};
    ASSERT_EQ(a.Band(in, ra, line, 2), 0u);
    ASSERT_EQ(b.Band(in, rb, line, 2), 0u);
  }
  EXPECT_EQ(out_a, out_b);
}

}  // namespace testkit
