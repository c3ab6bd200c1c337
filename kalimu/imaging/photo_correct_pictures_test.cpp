// Whole pictures through the photo-correction engine: every mode against a literal model of
// the per-pixel steps, golden checksums both builds must reproduce, and the filter and
// pattern passes of the other correction classes.
#include <gtest/gtest.h>

#include <vector>

#include "kalimu/imaging/image_memory.h"
#include "kalimu/imaging/photo_correct.h"
#include "kalimu/imaging/photo_correct_context.h"
#include "testkit/imaging/test_pictures.h"

namespace kalimu::imaging {
namespace {

using testkit::imaging::Fnv1a;
using testkit::imaging::MakeFlatPicture;
using testkit::imaging::MakePatternBmp;
using testkit::imaging::MakePhotoPicture;
using testkit::imaging::TestLayoutOf;
using testkit::imaging::TestPicture;
using testkit::imaging::TestPixelLayout;

constexpr uint8_t kPoison = 0x5A;

ImageDescriptor DescriptorOf(const TestPicture& picture) {
  return ImageDescriptor{picture.width, picture.height, 24, picture.format, picture.stride, {}};
}

std::vector<uint8_t> Correct(const TestPicture& picture, const CorrectionSettings& settings,
                             int32_t* status = nullptr, const PatternPicture* patterns = nullptr) {
  std::vector<uint8_t> out(picture.bits.size(), kPoison);
  const ImageDescriptor d = DescriptorOf(picture);
  PhotoCorrectContext* context = nullptr;
  EXPECT_EQ(PhotoCorrectCreate(&d, picture.bits.data(), &context), kImageOk);
  if (patterns != nullptr) AttachPatternPictures(context, patterns[0], patterns[1]);
  const int32_t result = PhotoCorrectProcess(context, &settings, &d, out.data(), nullptr);
  if (status != nullptr) *status = result;
  PhotoCorrectDestroy(context);
  return out;
}

// The tables of a correction, set up as a process call sets them up.
struct ModelTables {
  RowLayout row{};
  CorrectionPlan plan{};
  CorrectionParameters parameters{};
  ImageStatistics statistics = DefaultImageStatistics();
  CorrectionAmounts amounts{};
  CorrectionTables tables{};
  ModelTables(const CorrectionSettings& settings, int32_t width) {
    row.bytes_per_row = 3 * width;
    row.flag = 1;
    row.bits_per_channel = 8;
    MapSettingsToPlan(settings, &plan);
    plan.scene_kind = kSceneSample;
    ApplyScenePreset(&plan, kSceneSample);
    PlanCorrection(&row, &parameters, &plan, &statistics, &amounts);
    EXPECT_EQ(BuildCorrectionTables(&row, &parameters, &amounts, &tables), kInnerOk);
  }
  ~ModelTables() { FreeCorrectionTables(&tables); }
};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int Clip(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The per-pixel steps as the description tells them, pixel by pixel, straight from the
// picture's bytes into the destination's.
std::vector<uint8_t> ModelCorrect(const TestPicture& picture, const CorrectionSettings& settings) {
  ModelTables m(settings, picture.width);
  const CorrectionTables& t = m.tables;
  const bool mono = (m.parameters.flags & kParamMonochrome) != 0;
  const TestPixelLayout layout = TestLayoutOf(picture.format);
  std::vector<uint8_t> out(picture.bits.size(), kPoison);
  auto curve = [&](int group, int channel, int v) { return t.curves[group][channel][v]; };
  for (int y = 0; y < picture.height; ++y) {
    const bool odd_row = (y + 1) % 2 == 1;  // the first row of a pass is row 1
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* in = picture.bits.data() + y * picture.stride + x * layout.bytes;
      int c[3] = {in[layout.red], in[layout.green], in[layout.blue]};
      if (mono) {
        const int v = t.mono_weight[0] * c[0] + t.mono_weight[1] * c[1] + t.mono_weight[2] * c[2];
        const int grey = v < 0 ? 0 : (v > 32767 ? 255 : v / 128);
        c[0] = c[1] = c[2] = grey;
      }
      const int r = c[0], g = c[1], b = c[2];
      int X[3];
      for (int k = 0; k < 3; ++k) X[k] = curve(kBaseCurves, k, c[k]);
      int delta[3] = {0, 0, 0};
      const int w_green = 2 * g - b - r < 256 ? 2 * g - b - r : 256;
      const int w_blue = 2 * b - g - r < 256 ? 2 * b - g - r : 256;
      const int w_warm = 2 * r - b - g;
      for (int k = 0; k < 3; ++k) {
        if ((t.zone_flags & kZoneGreen) && g != 0 && w_green > 0) {
          delta[k] += (w_green * curve(kGreenCurves, k, c[k]) + (256 - w_green) * X[k]) / 256 - X[k];
        }
        if ((t.zone_flags & kZoneBlue) && b != 0 && w_blue >= 1) {
          delta[k] += ((256 - w_blue) * X[k] + w_blue * curve(kBlueCurves, k, c[k])) / 256 - X[k];
        }
        if ((t.zone_flags & kZoneSkin) && w_warm >= 1 && w_warm <= 255) {
          const int u = w_warm > 128 ? w_warm - 128 : 128 - w_warm;
          delta[k] += (X[k] * u + curve(kSkinCurves, k, c[k]) * (128 - u)) / 128 - X[k];
        }
        if ((t.zone_flags & kZoneRed) && r != 0 && w_warm > 0) {
          delta[k] += ((512 - w_warm) * X[k] + w_warm * curve(kRedCurves, k, c[k])) / 512 - X[k];
        }
      }
      for (int k = 0; k < 3; ++k) X[k] += delta[k];
      const int mean = (X[0] + X[1] + X[2]) / 3;
      for (int k = 0; k < 3; ++k) {
        X[k] = Clip(X[k] + FloorDiv((X[k] - mean) * t.saturation_factor[k + 1] + 64, 128), 0, 1020);
      }
      const int dither = odd_row ? (x % 2 == 0 ? 3 : 1) : (x % 2 == 0 ? 0 : 2);
      uint8_t* o = out.data() + y * picture.stride + x * layout.bytes;
      o[layout.red] = uint8_t((dither + X[0]) / 4);
      o[layout.green] = uint8_t((dither + X[1]) / 4);
      o[layout.blue] = uint8_t((dither + X[2]) / 4);
    }
  }
  return out;
}

// The sample picture's correction in every mode and format, as the model computes it.
TEST(PhotoCorrectPictures, EveryModeMatchesTheLiteralModel) {
  for (uint32_t format : {1u, 2u, 4u, 8u}) {
    const TestPicture picture = MakePhotoPicture(97, 61, format, 3);
    for (int32_t cls : {3, 0}) {
      for (int32_t mode = 0; mode <= 9; ++mode) {
        const CorrectionSettings settings{kCorrectionSettingsSize, cls, mode, -1, 0, 0, 0, {}};
        int32_t status = -1;
        const std::vector<uint8_t> engine = Correct(picture, settings, &status);
        EXPECT_EQ(status, kImageOk);
        EXPECT_EQ(Fnv1a(engine), Fnv1a(ModelCorrect(picture, settings)))
            << "format " << format << " class " << cls << " mode " << mode;
      }
    }
  }
}

// Checksums of the 160 x 120 sample picture in format 2, class 3, each mode: the same on
// Windows and on the host, byte for byte.
TEST(PhotoCorrectPictures, GoldenChecksums) {
  struct Case { int32_t mode; uint64_t checksum; } cases[] = {
      {0, 0xe54c3301ad38a414ull}, {3, 0xf78a933700b742c8ull}, {6, 0xe54c3301ad38a414ull},
      {7, 0x1191517e375dfe85ull}, {8, 0x067bdc47a2d04534ull}, {9, 0xeb1bac51d07e511eull},
  };
  const TestPicture picture = MakePhotoPicture(160, 120, 2, 0);
  for (const Case& c : cases) {
    const CorrectionSettings settings{kCorrectionSettingsSize, 3, c.mode, -1, 0, 0, 0, {}};
    const uint64_t checksum = Fnv1a(Correct(picture, settings));
    EXPECT_EQ(checksum, c.checksum) << "mode " << c.mode;
  }
}

uint8_t Stripes(int32_t x, int32_t y) { return uint8_t((x * 37 + y * 11) % 251); }

// The picture a pass starts from: the corrected picture (per the model above) or the source,
// as rows of red, green, blue.
std::vector<int> PassInput(const TestPicture& picture, const CorrectionSettings& settings) {
  const std::vector<uint8_t> bytes = settings.Mode == -1 ? picture.bits : ModelCorrect(picture, settings);
  const TestPixelLayout layout = TestLayoutOf(picture.format);
  std::vector<int> rgb(size_t(3) * picture.width * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = bytes.data() + y * picture.stride + x * layout.bytes;
      int* q = rgb.data() + 3 * (y * picture.width + x);
      q[0] = p[layout.red], q[1] = p[layout.green], q[2] = p[layout.blue];
    }
  }
  return rgb;
}

std::vector<uint8_t> PackModel(const TestPicture& picture, const std::vector<int>& rgb) {
  const TestPixelLayout layout = TestLayoutOf(picture.format);
  std::vector<uint8_t> out(picture.bits.size(), kPoison);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      uint8_t* p = out.data() + y * picture.stride + x * layout.bytes;
      const int* q = rgb.data() + 3 * (y * picture.width + x);
      p[layout.red] = uint8_t(q[0]), p[layout.green] = uint8_t(q[1]), p[layout.blue] = uint8_t(q[2]);
    }
  }
  return out;
}

// Filter pass: the 9 x 9 weighted mean over the picture, edges repeated, taken where it is
// brighter than the pixel.
std::vector<uint8_t> ModelFilter(const TestPicture& picture, const CorrectionSettings& settings) {
  const std::vector<int> in = PassInput(picture, settings);
  const int k = settings.Strength == 0 ? 1 : (settings.Strength == 5 ? 3 : 10);
  int w[9];
  for (int i = 0; i < 9; ++i) w[i] = i == 4 ? 4 / k : (i < 4 ? i : 8 - i) / k + 1;
  int total = 0;
  for (int i = 0; i < 9; ++i) total += w[i];
  std::vector<int> out(in.size());
  const int width = picture.width, height = picture.height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int mean[3] = {0, 0, 0};
      for (int c = 0; c < 3; ++c) {
        long sum = 0;
        for (int i = 0; i < 9; ++i) {
          for (int j = 0; j < 9; ++j) {
            const int yy = Clip(y + i - 4, 0, height - 1), xx = Clip(x + j - 4, 0, width - 1);
            sum += long(w[i]) * w[j] * in[3 * (yy * width + xx) + c];
          }
        }
        mean[c] = int(sum / (total * total));
      }
      const int* own = &in[3 * (y * width + x)];
      const bool brighter = own[0] + own[1] + own[2] < mean[0] + mean[1] + mean[2];
      for (int c = 0; c < 3; ++c) out[3 * (y * width + x) + c] = brighter ? mean[c] : own[c];
    }
  }
  return PackModel(picture, out);
}

// Pattern pass: the tile's contrast-steepened level, less 220, halved, added to each channel.
std::vector<uint8_t> ModelPattern(const TestPicture& picture, const CorrectionSettings& settings) {
  std::vector<int> rgb = PassInput(picture, settings);
  const int tile = settings.Level == 2 ? 128 : 256;
  const long p = settings.Strength == 0 ? 40 : (settings.Strength == 5 ? 60 : 80);
  const long d = 1024 * p / 100, g = 1048576 / (1024 - d);
  const long b = -((d * 187 * 1024 / 1024) * g) / 1024;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const long level = Clip(int((Stripes(x % tile, y % tile) * g + b) / 1024), 0, 255);
      const int shift = int(level - 220) >> 1;
      for (int c = 0; c < 3; ++c) {
        int& v = rgb[3 * (y * picture.width + x) + c];
        v = Clip(v + shift, 0, 255);
      }
    }
  }
  return PackModel(picture, rgb);
}

TEST(PhotoCorrectPictures, FilterAndPatternPassesMatchTheirModels) {
  const std::vector<uint8_t> level2 = MakePatternBmp(128, Stripes);
  const std::vector<uint8_t> level3 = MakePatternBmp(256, Stripes);
  const PatternPicture patterns[2] = {{level2.data(), level2.size()}, {level3.data(), level3.size()}};
  for (uint32_t format : {1u, 8u}) {
    const TestPicture picture = MakePhotoPicture(300, 40, format, 2);
    for (int32_t level : {1, 2, 3}) {
      for (int32_t mode : {-1, 0, 3}) {
        for (int32_t strength : {0, 5, 10}) {
          const CorrectionSettings settings{kCorrectionSettingsSize, 1, mode, level, strength, 0, 0, {}};
          const std::vector<uint8_t> model =
              level == 1 ? ModelFilter(picture, settings) : ModelPattern(picture, settings);
          EXPECT_EQ(Fnv1a(Correct(picture, settings, nullptr, patterns)), Fnv1a(model))
              << "format " << format << " level " << level << " mode " << mode << " strength " << strength;
        }
      }
    }
  }
}

// The other classes' passes over the same picture, with pattern pictures attached: the
// checksums both builds must reproduce.
TEST(PhotoCorrectPictures, GoldenChecksumsOfTheFilterAndPatternPasses) {
  const std::vector<uint8_t> level2 = MakePatternBmp(128, Stripes);
  const std::vector<uint8_t> level3 = MakePatternBmp(256, Stripes);
  const PatternPicture patterns[2] = {{level2.data(), level2.size()}, {level3.data(), level3.size()}};
  struct Case { int32_t mode, level, strength; uint64_t checksum; } cases[] = {
      {-1, 1, 0, 0x3fe30917635d8cceull}, {-1, 1, 5, 0x1b7a47751bf65c56ull},
      {-1, 1, 10, 0x0741f5ae85d1658aull}, {0, 1, 0, 0xa06111e6cffe99d4ull},
      {3, 1, 5, 0xc9302718f38ac4caull},   {-1, 2, 0, 0x48d518ed48903a3dull},
      {-1, 3, 5, 0x642e2f07bf4fbf77ull},  {-1, 2, 10, 0x20d5eb4d5ef1757aull},
      {0, 2, 0, 0x07de3ede388f4d79ull},   {4, 3, 10, 0x0487533194944704ull},
  };
  const TestPicture picture = MakePhotoPicture(160, 120, 2, 0);
  for (const Case& c : cases) {
    const CorrectionSettings settings{kCorrectionSettingsSize, 0, c.mode, c.level, c.strength, 0, 0, {}};
    int32_t status = -1;
    const uint64_t checksum = Fnv1a(Correct(picture, settings, &status, patterns));
    EXPECT_EQ(status, kImageOk);
    EXPECT_EQ(checksum, c.checksum) << "mode " << c.mode << " level " << c.level << " strength " << c.strength;
  }
}

TEST(PhotoCorrectPictures, ToneKindsTintTheGreyPicture) {
  // Mode 3 (sepia): a mid grey comes out warm; mode 7: grey stays grey.
  const TestPicture grey = MakeFlatPicture(8, 4, 1, 128, 128, 128);
  const std::vector<uint8_t> sepia = Correct(grey, {kCorrectionSettingsSize, 3, 3, -1, 0, 0, 0, {}});
  EXPECT_GT(sepia[0], sepia[1]);
  EXPECT_GT(sepia[1], sepia[2]);
  const std::vector<uint8_t> mono = Correct(grey, {kCorrectionSettingsSize, 3, 7, -1, 0, 0, 0, {}});
  EXPECT_EQ(mono[3], mono[4]);
  EXPECT_EQ(mono[4], mono[5]);
}

// ---- The other correction classes: filter pass (level 1) and pattern pass (levels 2, 3).

TEST(FilterPass, BrightensOnlyWhereTheNeighbourhoodIsBrighter) {
  // A bright field with one dark and one bright pixel.
  TestPicture picture = MakeFlatPicture(20, 20, 1, 200, 200, 200, 2);
  auto at = [&](int x, int y) { return picture.bits.data() + y * picture.stride + 3 * x; };
  for (int k = 0; k < 3; ++k) {
    at(5, 5)[k] = 10;
    at(14, 14)[k] = 255;
  }
  for (int32_t strength : {0, 5, 10}) {
    int32_t status = -1;
    const std::vector<uint8_t> out = Correct(picture, {kCorrectionSettingsSize, 0, -1, 1, strength, 0, 0, {}}, &status);
    EXPECT_EQ(status, kImageOk);
    auto out_at = [&](int x, int y) { return out.data() + y * picture.stride + 3 * x; };
    EXPECT_GT(out_at(5, 5)[0], 150) << strength;   // the dark pixel takes its neighbourhood
    EXPECT_EQ(out_at(14, 14)[0], 255) << strength;  // the bright one keeps itself
    EXPECT_EQ(out_at(0, 19)[1], 200) << strength;   // the flat field is its own average
    EXPECT_EQ(out[picture.stride - 1], kPoison);   // padding untouched
  }
}

#ifdef KALIMU_IMAGING_FAULT_SEAMS
TEST(FilterPass, ColumnSumsThatCannotBeHadCopyTheRowsAndGive7) {
  const TestPicture picture = MakePhotoPicture(50, 9, 1);
  for (int nth : {1, 3}) {
    faults::ScopedReset reset;
    faults::FailNthAlloc(nth, 50 * sizeof(int32_t));  // one of the three column-sum arrays
    int32_t status = -1;
    const std::vector<uint8_t> out = Correct(picture, {kCorrectionSettingsSize, 0, 2, 1, 0, 0, 0, {}}, &status);
    EXPECT_EQ(status, kImageNoMemory) << nth;
    EXPECT_EQ(out, picture.bits) << nth;
    EXPECT_EQ(faults::BlocksLive(), 0) << nth;
  }
}
#endif

TEST(FilterPass, UniformPictureUnchangedWithAndWithoutCorrection) {
  const TestPicture flat = MakeFlatPicture(7, 12, 4, 90, 120, 30);
  std::vector<uint8_t> expected = Correct(flat, {kCorrectionSettingsSize, 0, 0, -1, 0, 0, 0, {}});
  // The filter of a corrected flat picture: each pixel's neighbourhood is the pixel itself,
  // up to the dither's one-level ripple, which only ever brightens.
  const std::vector<uint8_t> filtered = Correct(flat, {kCorrectionSettingsSize, 0, 0, 1, 0, 0, 0, {}});
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_LE(expected[i], filtered[i]) << i;
    EXPECT_LE(filtered[i], expected[i] + 1) << i;
  }
  // Without the correction the flat picture's pixels come back as they were.
  const std::vector<uint8_t> plain = Correct(flat, {kCorrectionSettingsSize, 0, -1, 1, 0, 0, 0, {}});
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(plain[i], i % 4 == 0 ? kPoison : flat.bits[i]) << i;
  }
}

TEST(PatternPass, TilesWrapEvery128Or256Pixels) {
  const std::vector<uint8_t> level2 = MakePatternBmp(128, Stripes);
  const std::vector<uint8_t> level3 = MakePatternBmp(256, Stripes);
  const PatternPicture patterns[2] = {{level2.data(), level2.size()}, {level3.data(), level3.size()}};
  const TestPicture flat = MakeFlatPicture(300, 260, 2, 120, 120, 120);
  for (int32_t level : {2, 3}) {
    const int32_t tile = level == 2 ? 128 : 256;
    int32_t status = -1;
    const std::vector<uint8_t> out =
        Correct(flat, {kCorrectionSettingsSize, 0, -1, level, 5, 0, 0, {}}, &status, patterns);
    EXPECT_EQ(status, kImageOk);
    auto px = [&](int x, int y) { return out[size_t(y) * flat.stride + 3 * x]; };
    EXPECT_NE(out, flat.bits) << level;
    for (int y = 0; y + tile < flat.height; y += 7) {
      for (int x = 0; x + tile < flat.width; x += 5) {
        ASSERT_EQ(px(x, y), px(x + tile, y)) << level << " " << x << " " << y;
        ASSERT_EQ(px(x, y), px(x, y + tile)) << level << " " << x << " " << y;
      }
    }
    // The pivot 187 of the pattern is where the offset 220 pulls down by (187 - 220) >> 1 = -17.
    int found = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 128; ++x) {
        if (Stripes(x, y) == 187) {
          EXPECT_EQ(px(x, y), 120 - 17) << level;
          ++found;
        }
      }
    }
    EXPECT_GT(found, 0);
  }
}

TEST(PatternPass, MissingOrDamagedPatternsAddNothing) {
  std::vector<uint8_t> good = MakePatternBmp(128, Stripes);
  std::vector<uint8_t> four_bit = good;
  four_bit[14 + 14] = 4;
  std::vector<uint8_t> wrong_size = MakePatternBmp(64, Stripes);
  std::vector<uint8_t> moved_bits = good;
  moved_bits[10] = 0x40;
  const std::vector<uint8_t> short_file(good.begin(), good.end() - 1);
  const PatternPicture cases[] = {
      {nullptr, 0},
      {four_bit.data(), four_bit.size()},
      {wrong_size.data(), wrong_size.size()},
      {moved_bits.data(), moved_bits.size()},
      {short_file.data(), short_file.size()},
  };
  const TestPicture picture = MakePhotoPicture(40, 30, 1, 1);
  const std::vector<uint8_t> corrected = Correct(picture, {kCorrectionSettingsSize, 0, 5, -1, 0, 0, 0, {}});
  for (const PatternPicture& pattern : cases) {
    const PatternPicture patterns[2] = {pattern, pattern};
    int32_t status = -1;
    std::vector<uint8_t> out = Correct(picture, {kCorrectionSettingsSize, 0, -1, 2, 0, 0, 0, {}}, &status, patterns);
    EXPECT_EQ(status, kImageOk);
    EXPECT_EQ(out.size(), picture.bits.size());
    for (int32_t y = 0; y < picture.height; ++y) {
      for (int32_t i = 0; i < 3 * picture.width; ++i) {
        ASSERT_EQ(out[size_t(y) * picture.stride + i], picture.bits[size_t(y) * picture.stride + i]);
      }
    }
    // With a correction, the corrected rows alone.
    out = Correct(picture, {kCorrectionSettingsSize, 0, 5, 3, 0, 0, 0, {}}, &status, patterns);
    EXPECT_EQ(out, corrected);
  }
}

}  // namespace
}  // namespace kalimu::imaging
