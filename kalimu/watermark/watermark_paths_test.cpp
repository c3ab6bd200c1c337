// Folders, file names and thumbnail names, also with double-byte names.
#include "kalimu/watermark/watermark_paths.h"

#include <gtest/gtest.h>

namespace kalimu::watermark {
namespace {

// Lead bytes of code page 932.
bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(WatermarkPaths, FolderOfPath) {
  EXPECT_EQ(FolderOfPath("C:\\marks\\logo.bmp"), "C:\\marks\\");
  EXPECT_EQ(FolderOfPath("C:/marks/logo.bmp"), "C:/marks/");
  EXPECT_EQ(FolderOfPath("C:logo.bmp"), "C:");
  EXPECT_EQ(FolderOfPath("logo.bmp"), "");
  // "C:\<hyo>\a.bmp" with the character 0x95 0x5C: its trail byte is no separator.
  const std::string dbcs = "C:\\x\x95\\y.bmp";
  EXPECT_EQ(FolderOfPath(dbcs, ShiftJisLead), "C:\\");
  EXPECT_EQ(FolderOfPath("C:\\\x95\\\\a.bmp", ShiftJisLead), "C:\\\x95\\\\");
}

TEST(WatermarkPaths, ThumbnailNames) {
  struct Case {
    const char* what;
    const char* folder;
    const char* source;
    const char* name;
  };
  const Case cases[] = {
      {"logo.bmp", "C:\\wm\\", "D:\\pictures\\logo.bmp", "C:\\wm\\logo.MWB"},
      {"only the last extension", "C:\\wm\\", "D:\\p\\logo.v2.bmp", "C:\\wm\\logo.v2.MWB"},
      {"no dot", "C:\\wm\\", "D:\\pictures\\logo", "C:\\wm\\logo.MWB"},
      {"a dot in the folder only", "C:\\wm\\", "D:\\pic.tures\\logo", "C:\\wm\\logo.MWB"},
      {"a dot in the target folder", "C:\\w.m\\", "D:\\logo", "C:\\w.m\\logo.MWB"},
      {"split at a slash", "C:\\wm\\", "D:/pictures/logo.bmp", "C:\\wm\\logo.MWB"},
      {"a name ending in a dot", "C:\\wm\\", "D:\\logo.", "C:\\wm\\logo.MWB"},
      {"never the source itself", "C:\\wm\\", "c:\\WM\\logo.mwb", "C:\\wm\\logo.MWB.MWB"},
      {"a source without a folder", "C:\\wm\\", "logo.bmp", "C:\\wm\\logo.MWB"},
  };
  for (const Case& c : cases) EXPECT_EQ(ThumbnailNameFor(c.folder, c.source), c.name) << c.what;
  EXPECT_EQ(ThumbnailNameFor("C:\\wm\\", "D:\\\x95\\a\x95\\.bmp", ShiftJisLead), "C:\\wm\\\x95\\a\x95\\.MWB");
}

}  // namespace
}  // namespace kalimu::watermark
