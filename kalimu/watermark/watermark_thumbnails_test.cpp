// Thumbnail files: sides, depth, names and world access; whether a stored one is current; the
// edit dialog's loader with its messages; palette and 16-colour displays through the seam.
#include "kalimu/watermark/watermark_thumbnails.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kalimu/watermark/dib_loading.h"
#include "kalimu/watermark/display_caps.h"
#include "kalimu/watermark/watermark_test_support.h"
#include "testkit/watermark/bmp_builder.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/world_access_check.h"

namespace kalimu::watermark {
namespace {

using test::ScratchFolder;
using testkit::watermark::BmpLayout;
using testkit::watermark::BuildBmp;

std::vector<uint8_t> Picture(int32_t width, int32_t height, uint16_t bits) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  return BuildBmp(layout);
}

platform::GlobalBlock Packed(const std::vector<uint8_t>& file) {
  platform::GlobalBlock block;
  uint32_t size = 0;
  EXPECT_EQ(LoadDibFromBytes(file, &block, &size), kDibLoaded);
  return block;
}

DibInfoHeader ThumbnailHeader(const std::string& path) {
  const std::vector<uint8_t> bytes = testkit::ReadBytes(path);
  DibInfoHeader header{};
  if (bytes.size() >= 54) std::memcpy(&header, bytes.data() + 14, sizeof(header));
  return header;
}

class Thumbnails : public ::testing::Test {
 protected:
  ScratchFolder folder_{"kalimu_thumbnails"};
};

TEST_F(Thumbnails, SidesDepthAndNames) {
  struct Case {
    int32_t width, height;
    uint16_t source_bits;
    uint32_t bits;
    const char* source;
    const char* name;
    int32_t tw, th;
  };
  const Case cases[] = {
      {1000, 250, 24, 8, "D:\\pictures\\logo.bmp", "logo.MWB", 128, 32},
      {250, 1000, 8, 8, "D:\\pictures\\tall", "tall.MWB", 32, 128},
      {100, 100, 1, 1, "D:\\pic.tures\\square", "square.MWB", 128, 128},
      {2000, 3, 4, 1, "E:/x/thin.v2.wbf", "thin.v2.MWB", 128, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const platform::GlobalBlock dib = Packed(Picture(c.width, c.height, c.source_bits));
    char out[MAX_PATH] = {};
    const uint32_t n = MakeWatermarkThumbnail(nullptr, {dib.data(), dib.size()}, c.bits, out, c.source, false,
                                              folder_.path().c_str());
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::string(out), folder_ / c.name);
    const std::vector<uint8_t> file = testkit::ReadBytes(out);
    EXPECT_EQ(file.size(), n + 14);
    EXPECT_EQ(CheckThumbnailImage(file), n);
    const DibInfoHeader header = ThumbnailHeader(out);
    EXPECT_EQ(header.biWidth, c.tw);
    EXPECT_EQ(header.biHeight, c.th);
    EXPECT_EQ(header.biBitCount, c.bits);
    EXPECT_EQ(ThumbnailNameExists(c.source, folder_.path().c_str()), 1);
  }
  EXPECT_EQ(ThumbnailNameExists("D:\\other.bmp", folder_.path().c_str()), 0);
}

TEST_F(Thumbnails, UniqueNamesNeverOverwrite) {
  const platform::GlobalBlock dib = Packed(Picture(64, 32, 8));
  char first[MAX_PATH] = {};
  ASSERT_GT(MakeWatermarkThumbnail(nullptr, {dib.data(), dib.size()}, 8, first, "D:\\logo.bmp", false,
                                   folder_.path().c_str()), 0u);
  char second[MAX_PATH] = {};
  ASSERT_GT(MakeWatermarkThumbnail(nullptr, {dib.data(), dib.size()}, 8, second, "D:\\logo.bmp", true,
                                   folder_.path().c_str()), 0u);
  EXPECT_STRNE(first, second);
  EXPECT_EQ(std::string(second).rfind(folder_ / "MWB", 0), 0u);
  EXPECT_EQ(std::string(second).substr(std::strlen(second) - 4), ".MWB");
  EXPECT_EQ(folder_.Files().size(), 2u);
}

TEST_F(Thumbnails, BlackTextSurvivesTheShrinking) {
  // A 1-bit picture, black (index 0) on white, with a thin black line: BLACKONWHITE keeps it.
  BmpLayout layout;
  layout.width = 1024;
  layout.height = 64;
  layout.bits = 1;
  layout.pixel_bytes = 0;
  std::vector<uint8_t> file = BuildBmp(layout);
  file[54] = 0, file[55] = 0, file[56] = 0;            // colour 0 black
  file[58] = 255, file[59] = 255, file[60] = 255;      // colour 1 white
  const uint32_t stride = 128;
  std::vector<uint8_t> rows(size_t(stride) * 64, 0xFF);
  for (uint32_t x = 0; x < stride; ++x) rows[size_t(stride) * 32 + x] = 0x00;  // row 32 black
  file.insert(file.end(), rows.begin(), rows.end());
  const platform::GlobalBlock dib = Packed(file);
  char out[MAX_PATH] = {};
  ASSERT_GT(MakeWatermarkThumbnail(nullptr, {dib.data(), dib.size()}, 1, out, "D:\\line.wbf", false,
                                   folder_.path().c_str()), 0u);
  platform::GlobalBlock thumb;
  uint32_t size = 0;
  ASSERT_EQ(LoadDib(out, &thumb, &size, 0, nullptr, 0), kDibLoaded);
  EXPECT_EQ(GetDibHeight(thumb.data()), 8);
  const uint8_t* table = thumb.data() + 40;
  const int black_index = table[0] + table[1] + table[2] < table[4] + table[5] + table[6] ? 0 : 1;
  const uint8_t* bits = thumb.data() + GetDibBitsOffset(thumb.data());
  int black_rows = 0;
  for (int y = 0; y < 8; ++y) {
    const int pixel = (bits[y * 16] >> 7) & 1;
    black_rows += pixel == black_index;
  }
  EXPECT_GE(black_rows, 1);
  EXPECT_LE(black_rows, 2);
}

TEST_F(Thumbnails, CurrentOnlyWhileTheBitmapIsUnchanged) {
  const std::string bitmap = folder_ / "logo.bmp";
  ASSERT_TRUE(testkit::WriteBytes(bitmap, Picture(300, 100, 24)));
  const platform::GlobalBlock dib = Packed(testkit::ReadBytes(bitmap));
  storage::WatermarkEntry entries[2] = {};
  std::strcpy(entries[1].bitmap_path, bitmap.c_str());
  const uint32_t n = MakeWatermarkThumbnail(nullptr, {dib.data(), dib.size()}, 8, entries[1].thumbnail_path,
                                            bitmap.c_str(), false, folder_.path().c_str());
  ASSERT_GT(n, 0u);

  // The entry's stamp is stale: refreshed, and the thumbnail taken as out of date once.
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 1, 2, false), 0u);
  EXPECT_EQ(entries[1].bitmap_size, static_cast<int32_t>(testkit::ReadBytes(bitmap).size()));
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 1, 2, false), n);
  // Another bitmap path than the entry's is not this entry's thumbnail.
  EXPECT_EQ(CheckThumbnailCurrent(entries, entries[1].thumbnail_path, 1, 2, false), 0u);
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 1, 2, true), n);
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 2, 2, true), 0u);

  // Touching the bitmap (a new time) makes it stale again.
  HANDLE file = CreateFileA(bitmap.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) + 36000000000ull;  // an hour on
  const FILETIME later{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SetFileTime(file, nullptr, nullptr, &later);
  CloseHandle(file);
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 1, 2, false), 0u);
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 1, 2, false), n);

  // A thumbnail written with another bfOffBits is refused.
  std::vector<uint8_t> bytes = testkit::ReadBytes(entries[1].thumbnail_path);
  bytes[10] = 54;
  ASSERT_TRUE(testkit::WriteBytes(entries[1].thumbnail_path, bytes));
  EXPECT_EQ(CheckThumbnailCurrent(entries, bitmap.c_str(), 1, 2, false), 0u);
}

class EditBitmapLoading : public Thumbnails {
 protected:
  EditBitmapSource Source(int32_t bitmap_id, int density = 100) {
    return {test::TestResources(), bitmap_id, Bgr{0, 0, 255}, density, folder_.path().c_str()};
  }
  WatermarkBitmaps bitmaps_;
};

TEST_F(EditBitmapLoading, BuildsAMissingThumbnailThenPrefersIt) {
  const std::string bitmap = folder_ / "photo.bmp";
  ASSERT_TRUE(testkit::WriteBytes(bitmap, Picture(400, 200, 24)));
  char thumbnail[MAX_PATH] = {};
  testkit::MessageBoxWatcher watcher;
  ASSERT_EQ(LoadEditBitmap(nullptr, bitmap.c_str(), thumbnail, &bitmaps_, Source(0)), 1);
  EXPECT_TRUE(watcher.shown().empty());
  EXPECT_EQ(std::string(thumbnail).rfind(folder_ / "MWB", 0), 0u);  // user bitmaps: a unique name
  EXPECT_EQ(GetDibWidth(bitmaps_.loaded.data()), 128);
  EXPECT_EQ(GetDibHeight(bitmaps_.loaded.data()), 64);
  EXPECT_EQ(bitmaps_.display.size(), bitmaps_.loaded.size());
  EXPECT_EQ(bitmaps_.size, bitmaps_.loaded.size());

  // The bitmap is gone now: the thumbnail alone is enough.
  DeleteFileA(bitmap.c_str());
  const std::string kept = thumbnail;
  ASSERT_EQ(LoadEditBitmap(nullptr, bitmap.c_str(), thumbnail, &bitmaps_, Source(0)), 1);
  EXPECT_EQ(kept, thumbnail);
}

TEST_F(EditBitmapLoading, FixedBitmapsComeFromTheLibraryAt1Bit) {
  char thumbnail[MAX_PATH] = {};
  testkit::MessageBoxWatcher watcher;
  ASSERT_EQ(LoadEditBitmap(nullptr, "C:\\driver\\KVWM01.BMP", thumbnail, &bitmaps_, Source(16001, 20)), 1);
  EXPECT_EQ(std::string(thumbnail), folder_ / "KVWM01.MWB");
  EXPECT_EQ(reinterpret_cast<const DibInfoHeader*>(bitmaps_.loaded.data())->biBitCount, 1);
  // The display copy: the dark entry in the colour (red), faded to 20 %; white stays.
  const uint8_t* table = bitmaps_.display.data() + 40;
  const bool dark_first = table[2] != 255 || table[1] != 255;
  const uint8_t* dark = dark_first ? table : table + 4;
  EXPECT_EQ(dark[2], 255);
  EXPECT_EQ(dark[1], 204);
  EXPECT_EQ(dark[0], 204);
}

TEST_F(EditBitmapLoading, FailuresShowTheirMessageAndKeepThePicture) {
  const std::string bitmap = folder_ / "photo.bmp";
  ASSERT_TRUE(testkit::WriteBytes(bitmap, Picture(40, 20, 8)));
  char thumbnail[MAX_PATH] = {};
  ASSERT_EQ(LoadEditBitmap(nullptr, bitmap.c_str(), thumbnail, &bitmaps_, Source(0)), 1);
  const uint8_t* held = bitmaps_.loaded.data();

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    UINT text, caption;
  };
  std::vector<uint8_t> huge = Picture(40, 20, 8);
  huge.resize(kMaxBitmapFileBytes + 1);
  std::vector<uint8_t> damaged = Picture(40, 20, 8);
  damaged[14 + 14] = 3;  // 3 bits per pixel
  const Case cases[] = {{"too large", huge, 8052, 8025}, {"damaged", damaged, 8038, 8036}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(testkit::WriteBytes(bitmap, c.bytes));
    char no_thumbnail[MAX_PATH] = {};
    testkit::MessageBoxWatcher watcher;
    EXPECT_EQ(LoadEditBitmap(nullptr, bitmap.c_str(), no_thumbnail, &bitmaps_, Source(0)), 0);
    ASSERT_EQ(watcher.shown().size(), 1u);
    EXPECT_EQ(watcher.shown()[0].text, test::ResourceString(c.text));
    EXPECT_EQ(watcher.shown()[0].caption, test::ResourceString(c.caption));
    EXPECT_EQ(bitmaps_.loaded.data(), held);  // the picture held before stays
  }
}

DisplayCaps SixteenColours(HDC) { return {4, false}; }
DisplayCaps PaletteDisplay(HDC) { return {8, true}; }

class DisplaySeam : public ::testing::Test {
 protected:
  ~DisplaySeam() override { SetDisplayCapsQuery(nullptr); }
};

TEST_F(DisplaySeam, SixteenColourDisplaysAreNotFaded) {
  BmpLayout layout;
  layout.bits = 1;
  WatermarkBitmaps bitmaps;
  uint32_t size = 0;
  ASSERT_EQ(LoadDibFromBytes(BuildBmp(layout), &bitmaps.loaded, &size), kDibLoaded);
  ASSERT_TRUE(bitmaps.display.Allocate(size));
  SetDisplayCapsQuery(SixteenColours);
  HDC screen = GetDC(nullptr);
  const int bits = QueryDisplayCaps(screen).bits_per_pixel;
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(PrepareDisplayCopy(bitmaps, Bgr{0, 0, 0}, 20, bits));
  const uint8_t* table = bitmaps.display.data() + 40;
  EXPECT_EQ(std::min(table[0], table[4]), 0);  // black stays black
}

TEST_F(DisplaySeam, PaletteDisplaysRealiseTheWatermarkPalette) {
  BmpLayout layout;
  layout.bits = 4;
  platform::GlobalBlock dib;
  uint32_t size = 0;
  ASSERT_EQ(LoadDibFromBytes(BuildBmp(layout), &dib, &size), kDibLoaded);
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ before = GetCurrentObject(dc, OBJ_PAL);
  {
    ScopedDibPalette none(dc, dib.data(), size);  // the real 32-bit display: nothing selected
    EXPECT_EQ(none.palette(), nullptr);
  }
  SetDisplayCapsQuery(PaletteDisplay);
  {
    ScopedDibPalette selected(dc, dib.data(), size);
    ASSERT_NE(selected.palette(), nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), selected.palette());
    PALETTEENTRY entries[16] = {};
    ASSERT_EQ(GetPaletteEntries(selected.palette(), 0, 16, entries), 16u);
    EXPECT_EQ(entries[5].peBlue, testkit::watermark::TableByte(5, 0));
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), before);
  // A thumbnail is still made on a palette display.
  ScratchFolder folder("kalimu_palette_thumbnail");
  char out[MAX_PATH] = {};
  EXPECT_GT(MakeWatermarkThumbnail(nullptr, {dib.data(), size}, 8, out, "D:\\p.bmp", false, folder.path().c_str()),
            0u);
  DeleteDC(dc);
}

}  // namespace
}  // namespace kalimu::watermark
