// Per-pixel correction: identity, dither phases, zone blends, grey and saturation.
#include "kalimu/imaging/correct_row.h"

#include <gtest/gtest.h>

#include <vector>

namespace kalimu::imaging {
namespace {

// Tables with curves held by the fixture; all curves start as 4 i.
struct Tables {
  int32_t storage[kCurveGroups][3][256];
  CorrectionTables tables{};
  CorrectionParameters parameters{};
  RowLayout row{};

  explicit Tables(int32_t pixels) {
    row.bytes_per_row = 3 * pixels;
    tables.red_position = 0;
    tables.green_position = 1;
    tables.blue_position = 2;
    tables.pixel_step = 3;
    tables.mono_weight[0] = 38;
    tables.mono_weight[1] = 76;
    tables.mono_weight[2] = 14;
    for (int g = 0; g < kCurveGroups; ++g) {
      for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 256; ++i) storage[g][c][i] = 4 * i;
        tables.curves[g][c] = storage[g][c];
      }
    }
  }
  void SetCurves(int group, int32_t (*f)(int32_t)) {
    for (int c = 0; c < 3; ++c) {
      for (int i = 0; i < 256; ++i) storage[group][c][i] = f(i);
    }
  }
  std::vector<uint8_t> Correct(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(in.size(), 0xEE);
    CorrectRow(row, parameters, &tables, in.data(), out.data());
    return out;
  }
};

TEST(CorrectRow, IdentityTablesReturnEveryValueAtEveryDitherPhase) {
  Tables t(256);
  std::vector<uint8_t> in(3 * 256);
  for (int i = 0; i < 256; ++i) in[3 * i] = in[3 * i + 1] = in[3 * i + 2] = uint8_t(i);
  for (int i = 0; i < 256; ++i) in[3 * i + 1] = uint8_t(255 - i);  // not grey
  for (int row = 0; row < 2; ++row) EXPECT_EQ(t.Correct(in), in) << row;
  EXPECT_EQ(t.tables.row_counter, 2);
}

TEST(CorrectRow, DitherOffsetsAlternateByRowAndPixel) {
  // With every curve at the constant c the output is (d + c) >> 2: the smallest c that gives 1
  // reveals the offset d = 4 - c.
  const int32_t expected[2][2] = {{3, 1}, {0, 2}};  // first row: even, odd pixel; second row
  int32_t found[2][2] = {{0, 0}, {0, 0}};
  for (int32_t c = 4; c >= 1; --c) {
    Tables t(2);
    for (int32_t& v : t.storage[kBaseCurves][0]) v = c;
    const std::vector<uint8_t> in(6, 100);
    for (int row = 0; row < 2; ++row) {
      const std::vector<uint8_t> out = t.Correct(in);
      for (int px = 0; px < 2; ++px) {
        if (out[3 * px] == 1) found[row][px] = 4 - c;
      }
    }
  }
  for (int row = 0; row < 2; ++row) {
    for (int px = 0; px < 2; ++px) EXPECT_EQ(found[row][px], expected[row][px]) << row << " " << px;
  }
}

TEST(CorrectRow, SkinCurvesByTheWarmDirection) {
  struct Case { uint8_t r, g, b; bool full_skin; } cases[] = {
      {128, 64, 64, true},    // 2r - b - g = 128: the skin curves in full
      {100, 100, 100, false}, // grey: 0
      {255, 0, 0, false},     // 510: beyond 255, no blend
      {192, 64, 64, false},   // 256: no blend
  };
  for (const auto& c : cases) {
    Tables t(1);
    t.tables.zone_flags = kZoneSkin;
    t.SetCurves(kSkinCurves, [](int32_t i) { return 4 * i + 40 > 1020 ? 1020 : 4 * i + 40; });
    t.tables.row_counter = 1;  // second row: dither 0 for the first pixel
    const std::vector<uint8_t> out = t.Correct({c.r, c.g, c.b});
    const int shift = c.full_skin ? 10 : 0;
    EXPECT_EQ(out[0], uint8_t(c.r + shift > 255 ? 255 : c.r + shift)) << int(c.r) << "," << int(c.g);
    EXPECT_EQ(out[1], uint8_t(c.g + shift)) << int(c.r) << "," << int(c.g);
  }
}

TEST(CorrectRow, ZonesBlendByTheirWeights) {
  // Zone curves 4 i + 256 (64 levels up); identity base; second row, first pixel: dither 0.
  struct Case { uint32_t zone; int group; uint8_t r, g, b; int lift; } cases[] = {
      {kZoneGreen, kGreenCurves, 50, 150, 50, 64 * 200 / 256},   // weight 2g - b - r = 200
      {kZoneGreen, kGreenCurves, 10, 250, 10, 64},              // weight capped at 256
      {kZoneGreen, kGreenCurves, 150, 50, 50, 0},                // negative weight
      {kZoneBlue, kBlueCurves, 20, 20, 120, 64 * 200 / 256},
      {kZoneRed, kRedCurves, 150, 50, 50, 64 * 200 / 512},
      {kZoneRed, kRedCurves, 255, 0, 0, 64 * 510 / 512},         // no cap for red
  };
  for (const auto& c : cases) {
    Tables t(1);
    t.tables.zone_flags = c.zone;
    t.SetCurves(c.group, [](int32_t i) { return 4 * i + 256; });
    t.tables.row_counter = 1;
    const std::vector<uint8_t> out = t.Correct({c.r, c.g, c.b});
    auto lifted = [&](uint8_t v) {
      // (w * (X + 256) + (s - w) * X) >> bits = X + the lift in ten-bit units, then >> 2.
      const int ten = 4 * v + c.lift * 4;
      return uint8_t(ten > 1020 ? 255 : ten >> 2);
    };
    EXPECT_EQ(out[0], lifted(c.r)) << c.zone << " " << int(c.r);
    EXPECT_EQ(out[1], lifted(c.g)) << c.zone << " " << int(c.r);
  }
}

TEST(CorrectRow, GreyPixelsNeverTakeAZone) {
  Tables t(256);
  t.tables.zone_flags = kZoneSkin | kZoneGreen | kZoneBlue | kZoneRed;
  for (int g = 1; g < kCurveGroups; ++g) t.SetCurves(g, [](int32_t) { return 1020; });
  std::vector<uint8_t> in(3 * 256);
  for (int i = 0; i < 256; ++i) in[3 * i] = in[3 * i + 1] = in[3 * i + 2] = uint8_t(i);
  EXPECT_EQ(t.Correct(in), in);
}

TEST(CorrectRow, MonochromeWeightsAndTheirLimits) {
  struct Case { int32_t wr, wg, wb; uint8_t r, g, b; uint8_t grey; } cases[] = {
      {38, 76, 14, 200, 100, 50, uint8_t((38 * 200 + 76 * 100 + 14 * 50) / 128)},
      {-19, 78, 66, 255, 0, 0, 0},       // negative sum: black
      {200, 200, 200, 255, 255, 0, 255}, // above 32767: white
      {-19, 78, 66, 128, 128, 128, 125},
  };
  for (const Case& c : cases) {
    Tables t(1);
    t.parameters.flags = kParamMonochrome;
    t.tables.mono_weight[0] = c.wr;
    t.tables.mono_weight[1] = c.wg;
    t.tables.mono_weight[2] = c.wb;
    t.tables.row_counter = 1;
    const std::vector<uint8_t> out = t.Correct({c.r, c.g, c.b});
    EXPECT_EQ(out, (std::vector<uint8_t>{c.grey, c.grey, c.grey})) << int(c.r) << "," << int(c.g);
  }
}

TEST(CorrectRow, SaturationPushesChannelsFromTheirMean) {
  Tables t(1);
  t.tables.saturation_factor[1] = t.tables.saturation_factor[2] = t.tables.saturation_factor[3] = 64;  // +50 %
  t.tables.row_counter = 1;
  // Ten-bit 400, 200, 120: mean 240; 400 + (160 * 64 + 64) >> 7 = 480; 200 - 20; 120 - 60.
  EXPECT_EQ(t.Correct({100, 50, 30}), (std::vector<uint8_t>{120, 45, 15}));
  // Results beyond 1020 are limited before the dither.
  EXPECT_EQ(t.Correct({250, 0, 0})[0], 255);
}

}  // namespace
}  // namespace kalimu::imaging
