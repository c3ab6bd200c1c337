// The photo-correction engine through its three calls: statuses, dispatch, copy, palette,
// whole pictures against a literal model of the per-pixel steps, and the passes of other
// correction classes.
#include "kalimu/imaging/photo_correct.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kalimu/imaging/image_memory.h"
#include "kalimu/imaging/photo_correct_context.h"
#include "testkit/imaging/test_pictures.h"

namespace kalimu::imaging {
namespace {

using testkit::imaging::Fnv1a;
using testkit::imaging::MakeFlatPicture;
using testkit::imaging::MakePhotoPicture;
using testkit::imaging::TestPicture;

constexpr uint8_t kPoison = 0x5A;

ImageDescriptor DescriptorOf(const TestPicture& picture, uint32_t flags = 0) {
  return ImageDescriptor{picture.width, picture.height, (picture.format & 0xFFFF) < 4 ? 24 : 32,
                         picture.format | flags, picture.stride, {}};
}

CorrectionSettings Settings(int32_t cls, int32_t mode, int32_t level, int32_t strength = 0, int32_t option = 0) {
  return CorrectionSettings{kCorrectionSettingsSize, cls, mode, level, strength, option, 0, {}};
}

// One create, process and destroy into a poisoned destination of the source's size.
struct Outcome {
  int32_t status = -1;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> palette = std::vector<uint8_t>(1024, kPoison);
};

Outcome Correct(const TestPicture& picture, const CorrectionSettings& settings,
            const PatternPicture* patterns = nullptr) {
  Outcome run;
  run.pixels.assign(picture.bits.size(), kPoison);
  const ImageDescriptor descriptor = DescriptorOf(picture, 0x80000);
  PhotoCorrectContext* context = nullptr;
  EXPECT_EQ(PhotoCorrectCreate(&descriptor, picture.bits.data(), &context), kImageOk);
  if (context == nullptr) return run;
  if (patterns != nullptr) AttachPatternPictures(context, patterns[0], patterns[1]);
  run.status = PhotoCorrectProcess(context, &settings, &descriptor, run.pixels.data(), run.palette.data());
  EXPECT_EQ(PhotoCorrectDestroy(context), 0);
  return run;
}

TEST(PhotoCorrectCreate, Statuses) {
  const TestPicture picture = MakePhotoPicture(8, 4, 2);
  struct Case { const char* name; uint32_t format; int32_t width; int32_t stride; int32_t expected; } cases[] = {
      {"format 1", 1, 8, 24, 0},           {"format 2 with flags", 0x80002, 8, 24, 0},
      {"format 4", 4, 6, 24, 0},           {"format 8", 8, 6, 24, 0},
      {"format 0", 0, 8, 24, 4},           {"format 3", 3, 8, 24, 4},
      {"format 16", 16, 8, 24, 4},         {"flags only", 0x80000, 8, 24, 4},
      {"stride short of a row", 2, 8, 23, 4}, {"negative width", 2, -1, 24, 4},
      {"empty picture", 2, 0, 0, 0},
  };
  for (const auto& c : cases) {
    ImageDescriptor d{c.width, 4, 24, c.format, c.stride, {}};
    PhotoCorrectContext* context = reinterpret_cast<PhotoCorrectContext*>(&d);  // must stay as it is
    EXPECT_EQ(PhotoCorrectCreate(&d, picture.bits.data(), &context), c.expected) << c.name;
    if (c.expected == 0) {
      EXPECT_NE(context, nullptr);
      PhotoCorrectDestroy(context);
    } else {
      EXPECT_EQ(context, reinterpret_cast<PhotoCorrectContext*>(&d)) << c.name;
    }
  }
  ImageDescriptor d = DescriptorOf(picture);
  PhotoCorrectContext* context = nullptr;
  EXPECT_EQ(PhotoCorrectCreate(nullptr, picture.bits.data(), &context), kImageNullArgument);
  EXPECT_EQ(PhotoCorrectCreate(&d, nullptr, &context), kImageNullArgument);
  EXPECT_EQ(PhotoCorrectCreate(&d, picture.bits.data(), nullptr), kImageNullArgument);
  EXPECT_EQ(PhotoCorrectDestroy(nullptr), 0);
}

#ifdef KALIMU_IMAGING_FAULT_SEAMS
TEST(PhotoCorrectCreate, AnyFailedBlockGives7AndLeavesNothing) {
  const TestPicture picture = MakePhotoPicture(8, 4, 2);
  const ImageDescriptor d = DescriptorOf(picture);
  // The context, the input row, nine filter rows and the output row.
  for (int nth = 1; nth <= 12; ++nth) {
    faults::ScopedReset reset;
    faults::FailNthAlloc(nth);
    PhotoCorrectContext* context = nullptr;
    EXPECT_EQ(PhotoCorrectCreate(&d, picture.bits.data(), &context), kImageNoMemory) << nth;
    EXPECT_EQ(context, nullptr) << nth;
    EXPECT_EQ(faults::BlocksLive(), 0) << nth;
    EXPECT_EQ(faults::AllocCalls(), nth == 1 ? 1 : 12) << nth;  // every row is attempted
  }
}
#endif

TEST(PhotoCorrectProcess, Statuses) {
  const TestPicture picture = MakePhotoPicture(8, 4, 2, 2);
  const ImageDescriptor source = DescriptorOf(picture);
  PhotoCorrectContext* context = nullptr;
  ASSERT_EQ(PhotoCorrectCreate(&source, picture.bits.data(), &context), kImageOk);
  const CorrectionSettings settings = Settings(3, -1, -1);
  std::vector<uint8_t> out(4096, kPoison);
  struct Case { const char* name; uint32_t format; int32_t width, height, stride; int32_t expected; } cases[] = {
      {"same", 2, 8, 4, 26, 0},
      {"high half differs", 0x40002, 8, 4, 26, 0},
      {"wider and taller", 2, 9, 5, 27, 0},
      {"format 5", 5, 8, 4, 26, 6},
      {"format 1 against 2", 1, 8, 4, 26, 17},
      {"format 8 against 2", 8, 8, 4, 32, 17},
      {"stride short of a row", 2, 8, 4, 23, 6},
      {"narrower", 2, 7, 4, 26, 6},
      {"shorter", 2, 8, 3, 26, 6},
  };
  for (const auto& c : cases) {
    const ImageDescriptor d{c.width, c.height, 24, c.format, c.stride, {}};
    EXPECT_EQ(PhotoCorrectProcess(context, &settings, &d, out.data(), nullptr), c.expected) << c.name;
  }
  EXPECT_EQ(PhotoCorrectProcess(nullptr, &settings, &source, out.data(), nullptr), kImageNoContext);
  EXPECT_EQ(PhotoCorrectProcess(context, nullptr, &source, out.data(), nullptr), kImageNullArgument);
  EXPECT_EQ(PhotoCorrectProcess(context, &settings, nullptr, out.data(), nullptr), kImageNullArgument);
  EXPECT_EQ(PhotoCorrectProcess(context, &settings, &source, nullptr, nullptr), kImageNullArgument);
  PhotoCorrectDestroy(context);
}

TEST(PhotoCorrectProcess, NoCorrectionCopiesByteForByteAndFillsThe332Palette) {
  for (uint32_t format : {1u, 2u, 4u, 8u}) {
    const TestPicture picture = MakePhotoPicture(13, 7, format, 3);
    for (int32_t level : {-1, 0}) {
      const Outcome run = Correct(picture, Settings(3, -1, level));
      EXPECT_EQ(run.status, kImageOk);
      EXPECT_EQ(run.pixels, picture.bits) << format << " " << level;  // padding and fourth bytes too
      for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(run.palette[4 * i], (i / 64) * 64) << i;
        EXPECT_EQ(run.palette[4 * i + 1], ((i / 8) % 8) * 32) << i;
        EXPECT_EQ(run.palette[4 * i + 2], (i % 8) * 32) << i;
        EXPECT_EQ(run.palette[4 * i + 3], kPoison) << i;
      }
    }
  }
}

TEST(PhotoCorrectProcess, SampleClassWritesNothingForLevels1To3) {
  const TestPicture picture = MakePhotoPicture(9, 5, 2);
  for (int32_t level : {1, 2, 3, 4, -2}) {
    for (int32_t mode : {-1, 0, 3}) {
      const Outcome run = Correct(picture, Settings(3, mode, level));
      EXPECT_EQ(run.status, kImageOk);
      EXPECT_EQ(run.pixels, std::vector<uint8_t>(picture.bits.size(), kPoison)) << level << " " << mode;
      EXPECT_EQ(run.palette, std::vector<uint8_t>(1024, kPoison)) << level << " " << mode;
    }
  }
}

TEST(PhotoCorrectProcess, PaletteTintsByClassAndMode) {
  // Entry 255 is the 3-3-2 colour (224, 224, 192) with luma 220; entry 0 is black, luma 0.
  struct Case { int32_t cls, mode; uint8_t bgr255[3]; uint8_t bgr0[3]; } cases[] = {
      {3, 3, {204, 220, 252}, {0, 0, 32}},
      {3, 7, {220, 220, 220}, {0, 0, 0}},
      {3, 8, {252, 220, 220}, {32, 0, 0}},
      {3, 9, {220, 220, 252}, {0, 0, 32}},
      {3, 0, {192, 224, 224}, {0, 0, 0}},
      {0, 3, {204, 220, 252}, {0, 0, 32}},
      {0, 4, {220, 220, 220}, {0, 0, 0}},
      {0, 7, {192, 224, 224}, {0, 0, 0}},
      {1, -1, {192, 224, 224}, {0, 0, 0}},
  };
  const TestPicture picture = MakePhotoPicture(4, 4, 1);
  for (const auto& c : cases) {
    const Outcome run = Correct(picture, Settings(c.cls, c.mode, -1));
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(run.palette[4 * 255 + k], c.bgr255[k]) << c.cls << " " << c.mode << " " << k;
      EXPECT_EQ(run.palette[k], c.bgr0[k]) << c.cls << " " << c.mode << " " << k;
    }
  }
}

TEST(PhotoCorrectProcess, NullPaletteStillCorrects) {
  const TestPicture picture = MakePhotoPicture(16, 8, 2);
  const ImageDescriptor d = DescriptorOf(picture);
  PhotoCorrectContext* context = nullptr;
  ASSERT_EQ(PhotoCorrectCreate(&d, picture.bits.data(), &context), kImageOk);
  const CorrectionSettings settings = Settings(3, 0, -1);
  std::vector<uint8_t> out(picture.bits.size(), kPoison);
  EXPECT_EQ(PhotoCorrectProcess(context, &settings, &d, out.data(), nullptr), kImageOk);
  PhotoCorrectDestroy(context);
  EXPECT_EQ(out, Correct(picture, settings).pixels);
}

TEST(PhotoCorrectProcess, CorrectionKeepsTheDestinationsFourthBytesAndPadding) {
  for (uint32_t format : {4u, 8u}) {
    const TestPicture picture = MakePhotoPicture(11, 6, format, 5);
    const Outcome run = Correct(picture, Settings(3, 0, -1));
    const int32_t bytes = 4;
    for (int32_t y = 0; y < picture.height; ++y) {
      for (int32_t i = 0; i < picture.stride; ++i) {
        const bool pixel_channel = i < picture.width * bytes && i % bytes != (format == 4 ? 0 : 3);
        if (!pixel_channel) {
          EXPECT_EQ(run.pixels[size_t(y) * picture.stride + i], kPoison) << y << " " << i;
        }
      }
    }
  }
}

#ifdef KALIMU_IMAGING_FAULT_SEAMS
TEST(PhotoCorrectProcess, TablesThatCannotBeBuiltCopyTheRowsAndGive7) {
  const TestPicture picture = MakePhotoPicture(12, 6, 8, 2);
  faults::ScopedReset reset;
  faults::FailNthAlloc(3, 256 * sizeof(int32_t));  // the third curve block
  const Outcome run = Correct(picture, Settings(3, 3, -1));
  EXPECT_EQ(run.status, kImageNoMemory);
  EXPECT_EQ(faults::BlocksLive(), 0);
  // Pixels unchanged; fourth bytes and padding untouched as by a correction.
  for (int32_t y = 0; y < picture.height; ++y) {
    for (int32_t x = 0; x < picture.width; ++x) {
      for (int k = 0; k < 3; ++k) {
        const size_t at = size_t(y) * picture.stride + 4 * x + k;
        EXPECT_EQ(run.pixels[at], picture.bits[at]);
      }
      EXPECT_EQ(run.pixels[size_t(y) * picture.stride + 4 * x + 3], kPoison);
    }
  }
  // The palette is still the mode's.
  EXPECT_EQ(run.palette[4 * 255 + 2], 252);
}
#endif

}  // namespace
}  // namespace kalimu::imaging
