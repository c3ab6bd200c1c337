// The layout page's watermark pictures on a model printer's settings object: the Windows-folder
// cache of fixed bitmaps, stored thumbnails of user bitmaps and their stamps, the fallback to
// watermark 0, and the display copy's colour and fading (16-colour displays through the seam).
#include "kalimu/watermark/layout_bitmaps.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kalimu/settings/job_settings_test_support.h"
#include "kalimu/watermark/display_caps.h"
#include "kalimu/watermark/dib_loading.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_test_support.h"
#include "testkit/kalimu/rule_models.h"
#include "testkit/watermark/bmp_builder.h"

namespace kalimu::watermark {
namespace {

using testkit::watermark::BmpLayout;
using testkit::watermark::BuildBmp;

std::vector<uint8_t> Picture(int32_t width, int32_t height, uint16_t bits = 24) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  return BuildBmp(layout);
}

void SetTime(const std::string& path, FILETIME time) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

FILETIME TimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

FILETIME HourLater(FILETIME time) {
  const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) + 36000000000ull;
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

DisplayCaps SixteenColours(HDC) { return {4, false}; }

class LayoutBitmaps : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    uint32_t built_in = 0;
    settings().GetBuiltInCount(&built_in);
    ASSERT_EQ(built_in, 3u);
    char cache[MAX_PATH];
    ASSERT_TRUE(WindowsThumbnailPath("KVWM01.BMP", cache, sizeof(cache)));
    cache_ = cache;
    DeleteFileA(cache_.c_str());
  }
  void TearDown() override {
    DeleteFileA(cache_.c_str());
    SetDisplayCapsQuery(nullptr);
  }
  settings::JobSettings& settings() { return fixture_.settings(); }
  LayoutWatermarkContext Context() { return {&settings(), resources_, &bitmaps_, nullptr}; }

  // User entry 3 with a bitmap file in the scratch folder and its stamp stored.
  void AddUserBitmap(const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(testkit::WriteBytes(bitmap_, bytes));
    uint32_t capacity = 0;
    settings().GetUserCapacity(&capacity);
    ASSERT_GE(capacity, 1u);
    const uint32_t users = 1, total = 4;
    ASSERT_EQ(settings().SetUserCount(&users), 1);
    ASSERT_EQ(settings().SetEntryCount(&total), 1);
    storage::WatermarkEntry entry{};
    entry.position = 3;
    entry.kind = 1;
    entry.density_percent = 100;
    std::strcpy(entry.name, "Logo");
    std::strcpy(entry.bitmap_path, bitmap_.c_str());
    FileStamp stamp;
    ASSERT_TRUE(ReadFileStamp(bitmap_.c_str(), &stamp));
    entry.bitmap_size = stamp.length, entry.bitmap_date = stamp.dos_date, entry.bitmap_time = stamp.dos_time;
    // Its thumbnail in the shared folder, as the list dialog writes it.
    platform::GlobalBlock dib;
    uint32_t size = 0;
    ASSERT_EQ(LoadDibFromBytes(bytes, &dib, &size), kDibLoaded);
    ASSERT_GT(MakeWatermarkThumbnail(nullptr, {dib.data(), size}, 8, entry.thumbnail_path, bitmap_.c_str(), true,
                                     folder_.path().c_str()),
              0u);
    ASSERT_EQ(settings().SetEntry(3, &entry, sizeof(entry)), 1);
  }
  storage::WatermarkEntry Entry(uint16_t index) {
    storage::WatermarkEntry entry{};
    settings().GetEntry(index, &entry, sizeof(entry));
    return entry;
  }
  DibInfoHeader Loaded() {
    DibInfoHeader header{};
    if (bitmaps_.loaded.held()) std::memcpy(&header, bitmaps_.loaded.data(), sizeof(header));
    return header;
  }

  settings::test::SettingsOnPrinter fixture_{testkit::RuleModel()};
  HMODULE resources_ = test::TestResources();
  WatermarkBitmaps bitmaps_;
  test::ScratchFolder folder_{"kalimu_layout_bitmaps"};
  std::string bitmap_ = folder_ / "logo.bmp";
  std::string cache_;
};

TEST_F(LayoutBitmaps, FixedBitmapsAreCachedInTheWindowsFolder) {
  ASSERT_EQ(LoadWatermarkBitmap(nullptr, "", Context(), 0), kDibLoaded);
  EXPECT_EQ(Loaded().biWidth, 128);  // the 200 x 100 resource
  EXPECT_EQ(Loaded().biHeight, 64);
  EXPECT_EQ(Loaded().biBitCount, 1);
  EXPECT_EQ(bitmaps_.display.size(), bitmaps_.loaded.size());
  EXPECT_EQ(bitmaps_.size, bitmaps_.loaded.size());
  ASSERT_TRUE(test::Exists(cache_));
  EXPECT_GT(CheckThumbnailImage(testkit::ReadBytes(cache_)), 0u);

  // The next load reads the cached file: one of another shape shows it.
  ASSERT_TRUE(testkit::WriteBytes(cache_, testkit::watermark::BuildThumbnailFile(40, 10, 1, 2000)));
  ASSERT_EQ(LoadWatermarkBitmap(nullptr, "", Context(), 0), kDibLoaded);
  EXPECT_EQ(Loaded().biHeight, 32);
  // A damaged cache: refused with its status, the picture held before stays.
  const uint8_t* held = bitmaps_.loaded.data();
  ASSERT_TRUE(testkit::WriteBytes(cache_, {'B', 'M', 1, 2, 3}));
  EXPECT_EQ(LoadWatermarkBitmap(nullptr, "", Context(), 0), kDibCannotOpen);
  std::vector<uint8_t> damaged = testkit::watermark::BuildThumbnailFile(40, 10, 1, 2000);
  damaged[14 + 14] = 2;  // 2 bits per pixel
  ASSERT_TRUE(testkit::WriteBytes(cache_, damaged));
  EXPECT_EQ(LoadWatermarkBitmap(nullptr, "", Context(), 0), kDibBadFormat);
  EXPECT_EQ(bitmaps_.loaded.data(), held);
  EXPECT_FALSE(bitmaps_.display.held());
}

TEST_F(LayoutBitmaps, CurrentStoredThumbnailsSpareTheBitmap) {
  AddUserBitmap(Picture(300, 100));
  const std::string stored = Entry(3).thumbnail_path;
  // The bitmap is damaged behind the same stamp: it is not read at all.
  const FILETIME time = TimeOf(bitmap_);
  std::vector<uint8_t> damaged = testkit::ReadBytes(bitmap_);
  damaged[14 + 14] = 3;
  ASSERT_TRUE(testkit::WriteBytes(bitmap_, damaged));
  SetTime(bitmap_, time);
  ASSERT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibLoaded);
  EXPECT_EQ(Loaded().biWidth, 128);
  EXPECT_EQ(Loaded().biBitCount, 8);

  // Touched: read again (and refused), the new stamp stored.
  SetTime(bitmap_, HourLater(time));
  EXPECT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibBadFormat);
  FileStamp stamp;
  ASSERT_TRUE(ReadFileStamp(bitmap_.c_str(), &stamp));
  EXPECT_EQ(Entry(3).bitmap_time, stamp.dos_time);

  // A new picture: rebuilt, and the entry's own thumbnail brought up to date with it.
  ASSERT_TRUE(testkit::WriteBytes(bitmap_, Picture(100, 300)));
  SetTime(bitmap_, HourLater(HourLater(time)));
  ASSERT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibLoaded);
  EXPECT_EQ(Loaded().biWidth, 42);
  EXPECT_EQ(Loaded().biHeight, 128);
  ASSERT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibLoaded);  // from the stored one
  EXPECT_EQ(Loaded().biWidth, 42);
  EXPECT_EQ(Entry(3).thumbnail_path, stored);

  char windows_copy[MAX_PATH];
  ASSERT_TRUE(WindowsThumbnailPath(bitmap_.c_str(), windows_copy, sizeof(windows_copy)));
  EXPECT_TRUE(test::Exists(windows_copy));
  DeleteFileA(windows_copy);
}

TEST_F(LayoutBitmaps, StatusesOfUserBitmaps) {
  AddUserBitmap(Picture(30, 10));
  DeleteFileA(bitmap_.c_str());
  EXPECT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibCannotOpen);
  ASSERT_TRUE(testkit::WriteBytes(bitmap_, {'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}));
  EXPECT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibBadFormat);
  std::vector<uint8_t> huge = Picture(30, 10);
  huge.resize(kMaxBitmapFileBytes + 1);
  ASSERT_TRUE(testkit::WriteBytes(bitmap_, huge));
  EXPECT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibTooLarge);
}

TEST_F(LayoutBitmaps, FallbackToWatermarkZero) {
  AddUserBitmap(Picture(30, 10));
  DeleteFileA(bitmap_.c_str());
  fixture_.record().WatermarkSettings.WatermarkIndex = 3;
  fixture_.record().WatermarkSettings.WatermarkSize = 80;
  fixture_.record().WatermarkSettings.WatermarkPosition = 4;
  EXPECT_EQ(LoadCurrentWatermarkBitmap(nullptr, Context()), 1);
  EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkIndex, 0);
  EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkSize, 50);
  EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkPosition, 0);
  EXPECT_TRUE(bitmaps_.display.held());
}

TEST_F(LayoutBitmaps, DisplayCopyColourFadingAndAspect) {
  AddUserBitmap(Picture(300, 7, 1));
  storage::WatermarkEntry entry = Entry(3);
  entry.density_percent = 20;
  entry.color[0] = 0, entry.color[1] = 0, entry.color[2] = 255;  // red
  entry.kind = 0;  // as a text watermark's 1-bit file: a 1-bit thumbnail
  std::memset(entry.thumbnail_path, 0, sizeof(entry.thumbnail_path));
  ASSERT_EQ(settings().SetEntry(3, &entry, sizeof(entry)), 1);
  fixture_.record().WatermarkSettings.WatermarkIndex = 3;
  ASSERT_EQ(LoadWatermarkBitmap(nullptr, bitmap_.c_str(), Context(), 3), kDibLoaded);
  auto dark_entry = [&] {
    const uint8_t* table = bitmaps_.display.data() + 40;
    const bool first = table[0] + table[1] + table[2] <= table[4] + table[5] + table[6];
    const uint8_t* e = first ? table : table + 4;
    return std::vector<int>{e[0], e[1], e[2]};
  };
  struct Case {
    const char* what;
    int32_t variant;
    bool sixteen_colours;
    std::vector<int> dark;
  };
  const Case cases[] = {
      {"black, faded", 0, false, {204, 204, 204}},
      {"the entry's colour with mode variant 1", 1, false, {204, 204, 255}},
      {"no fading on 16 colours", 0, true, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fixture_.record().SettingsRecord.ModeVariant = c.variant;
    SetDisplayCapsQuery(c.sixteen_colours ? SixteenColours : nullptr);
    fixture_.record().WatermarkSettings.WatermarkAspect = 1;
    PrepareWatermarkPreview(nullptr, Context());
    EXPECT_EQ(dark_entry(), c.dark);
    // The aspect of the bitmap itself (4285), not of the 128 x 2 thumbnail (6400).
    EXPECT_EQ(fixture_.record().WatermarkSettings.WatermarkAspect, 4285);
  }
}

}  // namespace
}  // namespace kalimu::watermark
