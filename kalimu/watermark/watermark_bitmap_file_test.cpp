// World-access files and unique names, fitted fonts, the font lists and the ".WBF" files of
// text and stamp watermarks.
#include "kalimu/watermark/watermark_bitmap_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "kalimu/platform/world_access.h"
#include "kalimu/watermark/dib_format.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_file_layout.h"
#include "kalimu/watermark/watermark_fonts.h"
#include "kalimu/watermark/watermark_test_support.h"
#include "testkit/windows/world_access_check.h"

namespace kalimu::watermark {
namespace {

using test::ScratchFolder;

// Wine keeps no DACL given to CreateFile (it answers one made from the Unix mode bits), so
// the descriptor the files are created with is checked itself.
TEST(SharedFiles, CreatedWithWorldAccessAndLeftAloneWhenThere) {
  platform::WorldAccessDescriptor world = platform::WorldAccessDescriptor::ForSharedFile();
  ASSERT_TRUE(world.valid());
  EXPECT_TRUE(testkit::GrantsWorld(world.attributes()->lpSecurityDescriptor, FILE_ALL_ACCESS, 0));
  ScratchFolder folder("kalimu_shared_files");
  const std::string path = folder / "a.WBF";
  ASSERT_EQ(CreateSharedFile(path.c_str()), 1);
  EXPECT_TRUE(test::Exists(path));
  ASSERT_TRUE(testkit::WriteBytes(path, {1, 2, 3}));
  EXPECT_EQ(CreateSharedFile(path.c_str()), 1);
  EXPECT_EQ(testkit::ReadBytes(path).size(), 3u);
}

TEST(SharedFiles, UniqueNamesLeaveNoTemporaryFile) {
  ScratchFolder folder("kalimu_unique_names");
  char first[MAX_PATH] = {}, second[MAX_PATH] = {};
  ASSERT_EQ(MakeUniqueFileName(first, "WAT", ".WBF", folder.path().c_str()), 1);
  ASSERT_EQ(MakeUniqueFileName(second, "WAT", ".WBF", folder.path().c_str()), 1);
  EXPECT_STRNE(first, second);
  for (const char* name : {first, second}) {
    EXPECT_EQ(std::string(name).rfind(folder.path() + "WAT", 0), 0u) << name;
    EXPECT_EQ(std::string(name).substr(std::strlen(name) - 4), ".WBF");
  }
  EXPECT_EQ(folder.Files().size(), 2u);  // the two new files, no .tmp
  // A name that is taken is never handed out: occupy the next few numbers' .WBF names.
  for (int i = 0; i < 8; ++i) {
    char name[MAX_PATH];
    ASSERT_EQ(MakeUniqueFileName(name, "WAT", ".WBF", folder.path().c_str()), 1);
  }
  EXPECT_EQ(folder.Files().size(), 10u);

  char none[MAX_PATH] = "untouched";
  EXPECT_EQ(MakeUniqueFileName(none, "WAT", ".WBF", (folder / "missing\\").c_str()), 0);
  EXPECT_STREQ(none, "");
}

TEST(SharedFiles, FolderOfAPath) {
  char folder[MAX_PATH];
  ASSERT_EQ(GetFolderOfPath("C:\\marks\\logo.bmp", folder, sizeof(folder)), 1);
  EXPECT_STREQ(folder, "C:\\marks\\");
  ASSERT_EQ(GetFolderOfPath(nullptr, folder, sizeof(folder)), 1);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof(windows));
  EXPECT_EQ(std::string(folder), std::string(windows) + "\\");
  char tiny[4];
  EXPECT_EQ(GetFolderOfPath("C:\\marks\\logo.bmp", tiny, sizeof(tiny)), 0);
}

class FontFit : public ::testing::Test {
 protected:
  FontFit() : dc_(CreateCompatibleDC(nullptr)) { font_ = MakeDefaultWatermarkFont(false); }
  ~FontFit() override { DeleteDC(dc_); }
  HDC dc_;
  LOGFONTA font_;
};

TEST_F(FontFit, EmptyTextFitsNothing) {
  double w = 1, h = 1, tw = 1, th = 1;
  EXPECT_EQ(FitTextFontHeight(dc_, &font_, 0, 1500, &w, &h, &tw, &th, ""), 0);
  EXPECT_EQ(w + h + tw + th, 0);
  EXPECT_EQ(font_.lfHeight, -200);
}

TEST_F(FontFit, QuarterTurnSwapsTheBox) {
  double w0, h0, tw0, th0, w9, h9, tw9, th9;
  font_.lfEscapement = 0;
  const int flat = FitTextFontHeight(dc_, &font_, 0, 1500, &w0, &h0, &tw0, &th0, "CONFIDENTIAL");
  font_.lfEscapement = 900;
  const int turned = FitTextFontHeight(dc_, &font_, 0, 1500, &w9, &h9, &tw9, &th9, "CONFIDENTIAL");
  ASSERT_GT(flat, 0);
  ASSERT_GT(turned, 0);
  EXPECT_GT(w0, h0);
  EXPECT_GT(h9, w9);
  EXPECT_NEAR(w9, th9, 1.0);  // the width output is the text height
  EXPECT_NEAR(h9, tw9, 1.0);
  EXPECT_NEAR(std::sqrt(tw0 * tw0 + th0 * th0), 1500, 60);
  EXPECT_EQ(font_.lfHeight, -200);  // given back
}

TEST(WatermarkFonts, CollectionsKeepToTheirCapacity) {
  LOGFONTA faces[2] = {};
  FontCollection collection{faces, 2, 0, 0};
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesA(screen, nullptr, reinterpret_cast<FONTENUMPROCA>(CollectScalableFontProc),
                    reinterpret_cast<LPARAM>(&collection));
  FontCounts counts{};
  EnumFontFamiliesA(screen, nullptr, reinterpret_cast<FONTENUMPROCA>(CountFontsProc), reinterpret_cast<LPARAM>(&counts));
  ReleaseDC(nullptr, screen);
  ASSERT_GT(counts.true_type, 2);
  EXPECT_EQ(collection.count, 2);
  EXPECT_EQ(collection.missed, counts.true_type + counts.other - 2);
}

TEST(WatermarkFonts, DefaultFonts) {
  const LOGFONTA text = MakeDefaultWatermarkFont(false);
  EXPECT_EQ(text.lfHeight, -200);
  EXPECT_EQ(text.lfEscapement, 300);
  EXPECT_EQ(text.lfOrientation, 300);
  EXPECT_EQ(text.lfWeight, 400);
  EXPECT_EQ(text.lfOutPrecision, 4);
  EXPECT_EQ(text.lfQuality, 2);
  const LOGFONTA bitmap = MakeDefaultWatermarkFont(true);
  EXPECT_EQ(bitmap.lfHeight, 0);
  EXPECT_EQ(bitmap.lfWeight, 0);
  EXPECT_EQ(bitmap.lfQuality, 1);
  EXPECT_EQ(bitmap.lfCharSet, text.lfCharSet);
  EXPECT_STREQ(bitmap.lfFaceName, text.lfFaceName);
}

struct WbfFile {
  DibFileHeader file;
  DibInfoHeader info;
  std::vector<uint8_t> bytes;
};

WbfFile ReadWbf(const std::string& path) {
  WbfFile wbf{};
  wbf.bytes = testkit::ReadBytes(path);
  if (wbf.bytes.size() >= 54) {
    std::memcpy(&wbf.file, wbf.bytes.data(), 14);
    std::memcpy(&wbf.info, wbf.bytes.data() + 14, 40);
  }
  return wbf;
}

// Whether pixel (x, y) (y from the top) of a 1-bit bottom-up file is black (index 0).
bool Black(const WbfFile& wbf, int x, int y) {
  const uint32_t stride = ((wbf.info.biWidth + 31) / 32) * 4;
  const uint8_t byte = wbf.bytes[62 + size_t(wbf.info.biHeight - 1 - y) * stride + x / 8];
  return (byte & (0x80 >> (x % 8))) == 0;
}

class WbfRendering : public ::testing::Test {
 protected:
  WatermarkTextStyle Style(const char* text, LONG escapement) {
    WatermarkTextStyle style{};
    style.font = MakeDefaultWatermarkFont(false);
    style.font.lfEscapement = style.font.lfOrientation = escapement;
    std::strcpy(style.text, text);
    style.angle = -escapement * 3.141592653589793 / 1800;
    return style;
  }
  ScratchFolder folder_{"kalimu_wbf"};
};

TEST_F(WbfRendering, FilesMatchTheirLayout) {
  struct Case {
    const char* what;
    LONG escapement;
    int32_t stamp;
    int32_t frame;
  };
  const Case cases[] = {{"flat", 0, 0, 0}, {"escapement 900", 900, 0, 0}, {"framed at 300", 300, 0, 1}, {"stamp", 0, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WatermarkTextStyle style = Style("DRAFT", c.escapement);
    style.stamp = c.stamp;
    style.frame = c.frame;
    char path[MAX_PATH] = {};
    ASSERT_EQ(RenderWatermarkBitmapFile(style, path, folder_.path().c_str()), 1);
    EXPECT_EQ(std::string(path).rfind(folder_.path() + "WAT", 0), 0u);
    const WbfFile wbf = ReadWbf(path);
    const auto layout = WbfLayoutFor(wbf.info.biWidth, wbf.info.biHeight);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(wbf.bytes.size(), layout->file_bytes);
    EXPECT_EQ(wbf.file.bfSize, layout->file_bytes);
    EXPECT_EQ(wbf.file.bfOffBits, 62u);
    EXPECT_EQ(wbf.info.biBitCount, 1);
    EXPECT_EQ(wbf.info.biSizeImage, 0u);
    // The bytes behind the last row are zero.
    const size_t rows_end = 62 + size_t(layout->row_stride) * wbf.info.biHeight;
    for (size_t i = rows_end; i < wbf.bytes.size(); ++i) ASSERT_EQ(wbf.bytes[i], 0) << i;
    // The loader reads what the writer wrote.
    DibPlan plan;
    EXPECT_EQ(PlanBmpFile(wbf.bytes, &plan), kDibLoaded);
    int black = 0;
    for (int y = 0; y < wbf.info.biHeight; y += 3) {
      for (int x = 0; x < wbf.info.biWidth; x += 3) black += Black(wbf, x, y);
    }
    EXPECT_GT(black, 10);
    if (c.escapement == 0 && !c.stamp) {
      EXPECT_GT(wbf.info.biWidth, wbf.info.biHeight);
    }
    if (c.escapement == 900) {
      EXPECT_GT(wbf.info.biHeight, wbf.info.biWidth);
    }
    if (c.stamp) {
      EXPECT_EQ(wbf.info.biWidth, 1500);
      EXPECT_EQ(wbf.info.biHeight, 1500);
      // The circle touches the inset border: black at the middle of the left edge, just inside.
      bool ring = false;
      for (int x = 0; x < 60 && !ring; ++x) ring = Black(wbf, x, 750);
      EXPECT_TRUE(ring);
      EXPECT_FALSE(Black(wbf, 0, 0));
    }
  }
}

TEST_F(WbfRendering, RewritesCutTheOldFileAndRecreateAMissingOne) {
  const std::string path_text = folder_ / "old.WBF";
  ASSERT_TRUE(testkit::WriteBytes(path_text, std::vector<uint8_t>(2000000, 0xEE)));
  char path[MAX_PATH];
  std::strcpy(path, path_text.c_str());
  ASSERT_EQ(RenderWatermarkBitmapFile(Style("X", 0), path, folder_.path().c_str()), 1);
  EXPECT_STREQ(path, path_text.c_str());
  const WbfFile wbf = ReadWbf(path);
  EXPECT_EQ(wbf.bytes.size(), wbf.file.bfSize);

  DeleteFileA(path);
  ASSERT_EQ(RenderWatermarkBitmapFile(Style("X", 0), path, folder_.path().c_str()), 1);
  EXPECT_TRUE(test::Exists(path));
}

TEST_F(WbfRendering, NothingToFitWritesNothing) {
  char path[MAX_PATH] = {};
  EXPECT_EQ(RenderWatermarkBitmapFile(Style("", 0), path, folder_.path().c_str()), 0);
  EXPECT_STREQ(path, "");
  EXPECT_TRUE(folder_.Files().empty());
}

TEST_F(WbfRendering, StoredEntriesRenderInTheirOwnFolder) {
  storage::WatermarkEntry entry{};
  SetEntryFont(entry, MakeDefaultWatermarkFont(false));
  std::strcpy(entry.text, "ENTWURF");
  entry.angle = -0.5235987755982988;
  char path[MAX_PATH];
  std::strcpy(path, (folder_ / "entry.WBF").c_str());
  ASSERT_EQ(RenderEntryBitmapFile(entry, path), 1);
  const WbfFile wbf = ReadWbf(path);
  EXPECT_EQ(wbf.bytes.size(), wbf.file.bfSize);
  char empty[MAX_PATH] = {};
  EXPECT_EQ(RenderEntryBitmapFile(entry, empty), 0);
}

}  // namespace
}  // namespace kalimu::watermark
