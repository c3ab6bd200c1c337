// The page helper routines that work on the settings alone: source conflict codes, adjustment
// values, gamma texts and defaults, ink positions and the ink-set comparison, the HTML viewer.
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/drawing_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "kalimu/pages/page_test_support.h"

namespace kalimu::pages {
namespace {

using test::InkModel;
using test::PageFixture;

TEST(SourceConflict, OnlySingleFeedFlagsHaveCodes) {
  struct Case {
    uint32_t conflict, feed;
    int code;
  };
  const Case cases[] = {
      {0x10, 1, 10},      {0x20, 1, 11},     {0x10, 8, 9},   {0x20, 8, 2},      {0x10, 0x20, 5},
      {0x20, 0x20, 6},    {0x10, 4096, 16},  {0x20, 4096, 17}, {0x10, 0x20000, 14}, {0x20, 0x10000, 15},
      {0x30, 2, 3},  // media is told first
      {0x10, 0x30, 50}, {0x20, 0x30, 51},  {0x10, 0, 50},   {0x04, 1, 0},      {0, 0x30, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SourceConflictCode(c.conflict, c.feed), c.code) << std::hex << c.conflict << " " << c.feed;
  }
}

class PageHelpers : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  PageFixture fixture_{InkModel(12, true)};
  settings::JobSettings& s() { return fixture_.settings(); }
};

TEST_F(PageHelpers, AdjustmentControlsWriteTheirItems) {
  struct Case {
    int control;
    int item;
    int32_t stored;  // of the value 10
  };
  const Case cases[] = {
      {2080, 0, 10}, {2091, 1, 10}, {2082, 2, 10}, {2083, 3, -10}, {2084, 4, -10}, {2095, 5, -10},
      {8510, 0, 10}, {8542, 6, 10}, {8513, 7, 10},  {8544, 8, 10},
  };
  for (const Case& c : cases) {
    for (int item = 0; item < 9; ++item) s().SetAdjustment(item, 77);
    SetColorAdjustValue(&fixture_.param(), c.control, 10);
    EXPECT_EQ(s().GetAdjustment(c.item), c.stored) << c.control;
  }
  for (int item = 0; item < 9; ++item) s().SetAdjustment(item, 77);
  SetColorAdjustValue(&fixture_.param(), 2086, 10);  // not an adjustment control
  for (int item = 0; item < 9; ++item) EXPECT_EQ(s().GetAdjustment(item), 77) << item;
}

TEST_F(PageHelpers, EditStatesGoToTheirSlots) {
  StoreAdjustEditState(2084, fixture_.param(), 5);
  StoreAdjustEditState(8512, fixture_.param(), 6);
  StoreAdjustEditState(8560, fixture_.param(), 7);
  StoreAdjustEditState(2086, fixture_.param(), 9);
  EXPECT_EQ(fixture_.shared().adjust_edit_states[kColorAdjustEdit0 + 4], 5);
  EXPECT_EQ(fixture_.shared().adjust_edit_states[kToningEdit0 + 2], 6);
  EXPECT_EQ(fixture_.shared().adjust_edit_states[kToningYEdit], 7);
  int set = 0;
  for (uint16_t word : fixture_.shared().adjust_edit_states) set += word != 0;
  EXPECT_EQ(set, 3);
}

// Gamma: colour values read as digit, point, digit; the default is 1.8 with model flag 64 of
// header word 20, else 1.5, and the row's length when the row lacks it.
TEST(Gamma, TextsAndDefaults) {
  struct Case {
    const char* name;
    uint32_t flags20, flags24;
    int32_t colour_mode;
    uint16_t default_index;
  };
  const Case cases[] = {
      {"colour, 1.5", 0, 0, 0, 0},
      {"colour, 1.8", 64, 0, 0, 1},
      {"mono photo, 1.8", 64, 0x8000, 7, 1},
      {"mono photo, 1.5 not in the row", 0, 0x8000, 7, 5},
      {"mono model in colour", 0, 0x8000, 0, 0},
  };
  for (const Case& c : cases) {
    testkit::ModelDescription model = InkModel(4, false);
    model.header.flags20 = (model.header.flags20 & ~64u) | c.flags20;
    model.header.flags24 = (model.header.flags24 & ~0x8000u) | c.flags24;
    PageFixture fixture(model);
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    fixture.settings().SetColorMode(c.colour_mode);
    EXPECT_EQ(GetDefaultGammaIndex(fixture.param()), c.default_index) << c.name;
    char text[kGammaTextChars] = {};
    FormatGammaText(220, text, sizeof(text), fixture.param());
    if (c.colour_mode == 7) {
      char expected[kGammaTextChars] = {};
      LoadStringA(fixture.module(), 8603, expected, sizeof(expected));
      EXPECT_STREQ(text, expected) << c.name;
    } else {
      EXPECT_STREQ(text, "2.2") << c.name;
    }
  }
}

TEST_F(PageHelpers, InkPositionsNamesAndCodes) {
  struct Case {
    int position;
    uint8_t index;
    uint16_t name;
  };
  const Case cases[] = {{0, 0, 3017}, {1, 1, 3018}, {7, 7, 3025}, {8, 8, 3024}, {13, 13, 3030},
                        {14, kNoInk, 0}, {15, kNoInk, 0}, {16, kNoInk, 0}, {-1, kNoInk, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetInkPositionCode(s(), c.position), c.index) << c.position;
    EXPECT_EQ(GetInkNameStringId(s(), c.position), c.name) << c.position;
  }
}

// The comparison runs over the record's count, which a reply or a stored value may set to
// anything: never past the 16 codes.
TEST_F(PageHelpers, InkSetComparisonStopsAtSixteenCodes) {
  uint8_t id[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  ASSERT_EQ(s().SetModelId(id, sizeof(id)), 1);
  model::InkInfoValue record = {};
  std::memcpy(record.codes, id, sizeof(id));
  record.reserved[0] = 99;  // lies past the codes
  for (uint32_t count : {0u, 3u, 16u, 17u, 255u, 0xFFFFFFFFu}) {
    record.ink_id_length = count;
    EXPECT_EQ(IsInkSetDifferent(s(), record), 0) << count;
  }
  record.codes[15] = 0;
  record.ink_id_length = 15;
  EXPECT_EQ(IsInkSetDifferent(s(), record), 0);
  record.ink_id_length = 16;
  EXPECT_EQ(IsInkSetDifferent(s(), record), 1);
}

// The temporary name's extension becomes "htm"; a point in the folder's name is no extension.
TEST(HtmlViewer, TemporaryFolderWithAPoint) {
  char base[MAX_PATH] = {};
  ASSERT_GT(GetTempPathA(sizeof(base), base), 0u);
  const std::string folder = std::string(base) + "first.last\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  // Cutting the path at the folder's point would name this folder, which cannot be a file.
  const std::string trap = std::string(base) + "first.htm";
  CreateDirectoryA(trap.c_str(), nullptr);
  char saved_tmp[MAX_PATH] = {}, saved_temp[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", saved_tmp, sizeof(saved_tmp));
  GetEnvironmentVariableA("TEMP", saved_temp, sizeof(saved_temp));
  SetEnvironmentVariableA("TMP", folder.c_str());
  SetEnvironmentVariableA("TEMP", folder.c_str());

  // An application for "htm" files: the test kit's program (the machine's own class comes back
  // at the end).
  const std::string program = testkit::TestProgramDirectory() + "testkit_recorder.exe";
  char saved_class[256] = {};
  LONG saved_size = sizeof(saved_class);
  const bool had_class = RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", saved_class, &saved_size) == ERROR_SUCCESS;
  ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "KalimuTestPage", 14), ERROR_SUCCESS);
  const std::string line = "\"" + program + "\" \"%1\"";
  ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "KalimuTestPage\\shell\\open\\command", REG_SZ, line.c_str(),
                         static_cast<DWORD>(line.size())),
            ERROR_SUCCESS);

  EXPECT_EQ(IsHtmlViewerAvailable(), 1);
  // The probe file is gone again.
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "kvi*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);

  // A temporary folder that does not exist: no file, no viewer.
  SetEnvironmentVariableA("TMP", (folder + "missing.dir\\").c_str());
  SetEnvironmentVariableA("TEMP", (folder + "missing.dir\\").c_str());
  EXPECT_EQ(IsHtmlViewerAvailable(), 0);

  SetEnvironmentVariableA("TMP", saved_tmp[0] != '\0' ? saved_tmp : nullptr);
  SetEnvironmentVariableA("TEMP", saved_temp[0] != '\0' ? saved_temp : nullptr);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "KalimuTestPage");
  if (had_class) {
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, saved_class, static_cast<DWORD>(std::strlen(saved_class)));
  } else {
    RegDeleteKeyValueA(HKEY_CLASSES_ROOT, ".htm", nullptr);
  }
  RemoveDirectoryA(folder.c_str());
  RemoveDirectoryA(trap.c_str());
}

}  // namespace
}  // namespace kalimu::pages
