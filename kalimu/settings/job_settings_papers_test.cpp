// Paper lists per source with user papers, paper lookups, the custom size and its limits in both
// units, and the locale's default paper.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/rule_models.h"
#include "testkit/kalimu/user_files_builder.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;

// The rule model's papers: 0 A4 (id 9), 1 A3 (8), 2 Letter (1), 3 A4 borderless (300), 4 roll
// 24 inch (301), 5 second-bit paper (303), 6 long roll (304), 7 the custom size (256). Sheet
// sources carry mask 0x0F, rolls 0xF0 (both bits of each source); the user papers below carry
// the first bit of each pair only.
class PaperRules : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    // User papers: a metric banner for every source, an inch card for the sheet sources and a
    // metric paper for the rolls only.
    std::vector<storage::UserPaperEntry> papers = {testkit::UserPaper(0, "Metric banner", 3000, 9000),
                                                   testkit::UserPaper(1, "Inch card", 500, 700),
                                                   testkit::UserPaper(2, "Roll only", 4000, 6000)};
    papers[1].paper.value4 = 0;  // extent in 1/100 inch
    papers[1].paper.source_flags = 0x05;  // the first bit of each pair only
    papers[2].paper.source_flags = 0x50;
    for (int slot = 3; slot < fixture_.model().user_paper_capacity; ++slot) papers.push_back(testkit::FreePaper(slot));
    char ucf[MAX_PATH] = {};
    s().GetUcfFilePath(ucf, sizeof(ucf));
    ASSERT_TRUE(testkit::WriteBytes(
        ucf, testkit::BuildUcfFile(std::vector<storage::UserSettingsEntry>(fixture_.model().user_settings_capacity),
                                   papers)));
    ASSERT_EQ(s().UserSettingsStore::Reload(), 1);
    r().CustomPaperWidth = 2000;
    r().CustomPaperLength = 3000;
    r().CustomPaperUnit = 1;
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& r() { return fixture_.record(); }
  void UseSource(int16_t id, int16_t index) {
    r().Public.dmDefaultSource = id;
    r().PaperSourceIndex = index;
  }
  SettingsOnPrinter fixture_{testkit::RuleModel()};
};

TEST_F(PaperRules, ListsPerSourceWithUserPapers) {
  const struct {
    int16_t source;
    int16_t index;
    std::vector<int16_t> ids;
  } cases[] = {
      // The feeder has the second-feed capability: only papers with its first bit.
      {7, 0, {9, 8, 1, 300, 256, 768, 769}},
      // The manual feed takes either bit of its pair.
      {4, 1, {9, 8, 1, 300, 303, 256, 768, 769}},
      {256, 2, {300, 301, 304, 256, 768, 770}},
      // An unknown source lists the first source's model papers and no user papers.
      {258, 0, {9, 8, 1, 300, 256}},
  };
  for (const auto& c : cases) {
    UseSource(c.source, c.index);
    EXPECT_EQ(s().GetPaperIdsForDefaultSource(nullptr), c.ids.size()) << c.source;
    std::vector<int16_t> ids(c.ids.size() + 1, -7);
    EXPECT_EQ(s().GetPaperIdsForDefaultSource(ids.data()), c.ids.size()) << c.source;
    ids.pop_back();
    EXPECT_EQ(ids, c.ids) << c.source;
    EXPECT_EQ(s().GetPaperSizesForDefaultSource(nullptr), c.ids.size()) << c.source;
  }
  UseSource(7, 0);
  EXPECT_EQ(s().GetPaperIdsForSource(nullptr), 5u);  // model papers only
}

TEST_F(PaperRules, SizesInTenthsOfAMillimetreForBothCustomUnits) {
  UseSource(7, 0);
  ExtentPair sizes[7] = {};
  ASSERT_EQ(s().GetPaperSizesForDefaultSource(sizes), 7u);
  const ExtentPair expected[7] = {{2100, 2970}, {2970, 4200}, {2159, 2794}, {2100, 2970},
                                  {2000, 3000}, {3000, 9000}, {1270, 1778}};
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(sizes[k].width, expected[k].width) << k;
    EXPECT_EQ(sizes[k].height, expected[k].height) << k;
  }
  r().CustomPaperWidth = 800;  // 8 by 10 inch
  r().CustomPaperLength = 1000;
  r().CustomPaperUnit = 2;
  ASSERT_EQ(s().GetPaperSizesForDefaultSource(sizes), 7u);
  EXPECT_EQ(sizes[4].width, 2032);
  EXPECT_EQ(sizes[4].height, 2540);
}

TEST_F(PaperRules, NamesFromTheResourceModuleAndTheUserStore) {
  UseSource(256, 2);
  wchar_t names[6][kPaperNameChars];
  std::memset(names, 0x55, sizeof(names));
  ASSERT_EQ(s().GetPaperNamesForDefaultSource(names, nullptr), 6u);
  const wchar_t* expected[6] = {L"A4 (Borderless)", L"Roll Paper 24 in", L"", L"User Defined", L"Metric banner",
                                L"Roll only"};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(std::wstring(names[k]), expected[k]) << k;
}

TEST_F(PaperRules, LookupsById) {
  EXPECT_EQ(s().FindPaperIndexById(304), 6);
  EXPECT_EQ(s().FindPaperIndexById(768), 8);
  EXPECT_EQ(s().FindPaperIndexById(770), 10);
  EXPECT_EQ(s().FindPaperIndexById(999), 0);
  uint16_t index = 99;
  r().PaperSizeIndex = 6;
  EXPECT_EQ(s().GetCurrentPaperIndex(&index), 1);
  EXPECT_EQ(index, 6);
  r().PaperSizeIndex = 9;
  EXPECT_EQ(s().GetCurrentPaperIndex(&index), 0);
  EXPECT_EQ(index, 1);
  r().ScalingOptions = 8;  // the output paper counts
  r().OutputPaperSize = 300;
  EXPECT_EQ(s().GetCurrentPaperIndex(&index), 1);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(s().OutputPaperHasFlags(0x400), 1);
  uint8_t byte = 0;
  EXPECT_EQ(s().GetOutputPaperValue46(&byte), 1);
  EXPECT_EQ(byte, fixture_.model().papers[3].option);
  r().OutputPaperSize = 999;
  EXPECT_EQ(s().OutputPaperHasFlags(0xFFFFFFFF), 0);
  EXPECT_EQ(s().GetOutputPaperValue46(&byte), 0);

  const struct {
    int16_t paper_index;
    uint32_t mask;
  } masks[] = {{5, 0x0A}, {9, 0x05}, {10, 0x50}, {40, 0xFF}};
  for (const auto& c : masks) {
    r().PaperSizeIndex = c.paper_index;
    EXPECT_EQ(s().GetPaperSourceMask(), c.mask) << c.paper_index;
  }
}

TEST_F(PaperRules, PapersForTheCurrentSourceByMaskKind) {
  UseSource(4, 1);  // pair 0x0C
  const struct {
    int kind;
    int model_found;
    int user_found;
  } cases[] = {{1, 1, 0}, {2, 0, 1}, {0, 1, 1}};
  for (const auto& c : cases) {
    uint16_t index = 77;
    EXPECT_EQ(s().FindModelPaperForSource(c.kind, 303, &index), c.model_found) << c.kind;
    EXPECT_EQ(index, c.model_found ? 5 : 0) << c.kind;
    EXPECT_EQ(s().FindUserPaperForSource(c.kind, 769, &index), c.user_found) << c.kind;
    EXPECT_EQ(index, c.user_found ? 1 : 0) << c.kind;
  }
}

TEST_F(PaperRules, CustomSizeLimitsInBothUnits) {
  int32_t limits[4] = {};
  s().GetCustomSizeLimits(&limits[0], &limits[1], &limits[2], &limits[3], 7);
  EXPECT_EQ(std::vector<int32_t>(limits, limits + 4), (std::vector<int32_t>{890, 3290, 1270, 4830}));
  r().CustomPaperUnit = 2;
  s().GetCustomSizeLimits(&limits[0], &limits[1], &limits[2], &limits[3], 7);
  EXPECT_EQ(std::vector<int32_t>(limits, limits + 4), (std::vector<int32_t>{350, 1295, 500, 1902}));
  s().GetCustomSizeLimits(&limits[0], &limits[1], &limits[2], &limits[3], 99);
  EXPECT_EQ(std::vector<int32_t>(limits, limits + 4), (std::vector<int32_t>{0, 0, 0, 0}));
  r().Public.dmDefaultSource = 256;
  r().CustomPaperUnit = 1;
  s().GetCustomSizeLimitsForDefaultSource(&limits[0], &limits[1], &limits[2], &limits[3]);
  EXPECT_EQ(std::vector<int32_t>(limits, limits + 4), (std::vector<int32_t>{2540, 6100, 1270, 150000}));
}

TEST_F(PaperRules, CustomUnitConversion) {
  s().ConvertCustomSize(1);  // already 0.1 mm: nothing
  EXPECT_EQ(r().CustomPaperWidth, 2000);
  s().ChangeCustomPaperUnit(2);
  EXPECT_EQ(r().CustomPaperWidth, 787);
  EXPECT_EQ(r().CustomPaperLength, 1181);
  EXPECT_EQ(r().CustomPaperUnit, 2);
  s().ChangeCustomPaperUnit(1);
  EXPECT_EQ(r().CustomPaperWidth, 1999);
  EXPECT_EQ(r().CustomPaperLength, 3000);
  EXPECT_EQ(r().CustomPaperUnit, 1);

  // The custom size written into the loaded tables in 1/360 inch, for either unit.
  r().Public.dmPaperSize = 256;
  r().CustomPaperWidth = 2540;
  r().CustomPaperLength = 5080;
  s().GetCustomPaperSize360();
  ExtentPair extent{};
  ASSERT_EQ(s().GetPaperSizeExtent(7, &extent, sizeof(extent)), 1);
  EXPECT_EQ(extent.width, 3600);
  EXPECT_EQ(extent.height, 7200);
  r().CustomPaperUnit = 2;
  r().CustomPaperWidth = 500;
  s().GetCustomPaperSize360();
  ASSERT_EQ(s().GetPaperSizeExtent(7, &extent, sizeof(extent)), 1);
  EXPECT_EQ(extent.width, 1800);
}

// Taking a paper for a new source leaves dmFields as it is, but a paper longer than the 16-bit
// public fields never leaves a wrapped length there: both sizes read 0 and are not announced.
TEST_F(PaperRules, TakingAPaperLongerThanThePublicFields) {
  r().Public.dmFields = DM_ORIENTATION | DM_PAPERLENGTH | DM_PAPERWIDTH;
  s().TakeModelPaper(0);
  EXPECT_EQ(r().Public.dmPaperSize, 9);
  EXPECT_EQ(r().Public.dmPaperWidth, 2100);
  EXPECT_EQ(r().Public.dmPaperLength, 2970);
  EXPECT_EQ(r().Public.dmFields, DWORD{DM_ORIENTATION | DM_PAPERLENGTH | DM_PAPERWIDTH});
  s().TakeModelPaper(6);  // about 28 m
  EXPECT_EQ(r().Public.dmPaperSize, testkit::kLongRollPaperId);
  EXPECT_EQ(r().PaperSizeIndex, 6);
  EXPECT_EQ(r().Public.dmPaperWidth, 0);
  EXPECT_EQ(r().Public.dmPaperLength, 0);
  EXPECT_EQ(r().Public.dmFields, DWORD{DM_ORIENTATION});
}

TEST_F(PaperRules, SelectingAPaperLongerThanThePublicFields) {
  r().Public.dmFields = DM_ORIENTATION;
  s().SelectModelPaper(0);
  EXPECT_EQ(r().Public.dmPaperSize, 9);
  EXPECT_EQ(r().OutputPaperSize, 9);
  EXPECT_EQ(r().Public.dmPaperWidth, 2100);
  EXPECT_EQ(r().Public.dmPaperLength, 2970);
  EXPECT_EQ(r().Public.dmFields, DWORD{DM_ORIENTATION | DM_PAPERLENGTH | DM_PAPERWIDTH});
  EXPECT_EQ(r().PaperSizeIndex, 0);
  s().SelectModelPaper(6);  // about 28 m: no 16-bit length
  EXPECT_EQ(r().Public.dmPaperSize, testkit::kLongRollPaperId);
  EXPECT_EQ(r().Public.dmPaperWidth, 0);
  EXPECT_EQ(r().Public.dmPaperLength, 0);
  EXPECT_EQ(r().Public.dmFields, DWORD{DM_ORIENTATION});
  EXPECT_EQ(r().PaperSizeIndex, 6);
  // The poster value never exceeds what the 16-bit fields can hold.
  EXPECT_EQ(s().GetPosterValue(), -3);
  r().PagesPerSheet = -2;
  r().Public.dmPaperLength = 32767;
  r().Public.dmPaperWidth = 32767;
  EXPECT_EQ(s().GetPosterValue(), -3);
}

// Sets the user's measurement system for one test and restores it.
class MeasureSystem {
 public:
  explicit MeasureSystem(const char* value) {
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved_, sizeof(saved_));
    ok_ = SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, value) != 0;
  }
  ~MeasureSystem() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved_); }
  bool ok() const { return ok_; }

 private:
  char saved_[3] = {};
  bool ok_ = false;
};

TEST_F(PaperRules, LocaleDefaultPaperSeedsTheCustomSize) {
  const struct {
    const char* measure;
    int16_t source_index;
    int16_t paper;
    int16_t width, length;  // dmPaperWidth, dmPaperLength
    int32_t custom_width, custom_length;
    uint32_t unit;
  } cases[] = {
      {"0", 0, 9, 2100, 2970, 2100, 2970, 1},
      {"1", 0, 1, 2159, 2794, 850, 1100, 2},
      {"0", 2, 300, 2100, 2970, 2100, 2970, 1},
      {"1", 2, 301, 6096, 11176, 2400, 4400, 2},
  };
  for (const auto& c : cases) {
    MeasureSystem measure(c.measure);
    ASSERT_TRUE(measure.ok());
    r().PaperSourceIndex = c.source_index;
    r().CustomPaperUnit = 1;
    s().SelectLocaleDefaultPaper();
    EXPECT_EQ(r().Public.dmPaperSize, c.paper) << c.measure << " " << c.source_index;
    EXPECT_EQ(r().Public.dmPaperWidth, c.width) << c.measure << " " << c.source_index;
    EXPECT_EQ(r().Public.dmPaperLength, c.length) << c.measure << " " << c.source_index;
    EXPECT_EQ(r().CustomPaperWidth, c.custom_width) << c.measure << " " << c.source_index;
    EXPECT_EQ(r().CustomPaperLength, c.custom_length) << c.measure << " " << c.source_index;
    EXPECT_EQ(r().CustomPaperUnit, c.unit) << c.measure << " " << c.source_index;
  }
  {
    // An unknown measurement system changes nothing.
    MeasureSystem measure("2");
    ASSERT_TRUE(measure.ok());
    r().Public.dmPaperSize = 8;
    s().SelectLocaleDefaultPaper();
    EXPECT_EQ(r().Public.dmPaperSize, 8);
    r().OutputPaperSize = 8;
    s().FindLocalePaperIndex();
    EXPECT_EQ(r().OutputPaperSize, 8);
  }
  MeasureSystem us("1");
  s().FindLocalePaperIndex();
  EXPECT_EQ(r().OutputPaperSize, 1);
}

TEST_F(PaperRules, TheRunsLocaleChoosesItsOwnPaper) {
  // Run under each locale of the settings tests: de_DE is metric, en_US the U.S. system.
  char measure[3] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof(measure)), 0);
  r().PaperSourceIndex = 0;
  s().SelectLocaleDefaultPaper();
  if (std::string(measure) == "1") {
    EXPECT_EQ(r().Public.dmPaperSize, 1);
    EXPECT_EQ(r().CustomPaperUnit, 2u);
  } else {
    EXPECT_EQ(r().Public.dmPaperSize, 9);
    EXPECT_EQ(r().CustomPaperUnit, 1u);
  }
  EXPECT_EQ(s().FindFirstPaperForSourceMask(0x01), std::string(measure) == "1" ? 2 : 0);
  EXPECT_EQ(s().FindFirstPaperForSourceMask(0x40), std::string(measure) == "1" ? 4 : 3);
  EXPECT_EQ(s().FindFirstPaperForSourceMask(0), 0);
}

TEST_F(PaperRules, TheCustomSizeIsKeptWithinTheSourceLimits) {
  MeasureSystem measure("0");
  ASSERT_TRUE(measure.ok());
  UseSource(7, 0);
  r().PaperSizeIndex = 7;  // the custom size, 200 x 300 mm
  s().ClampCustomSizeToSource();
  EXPECT_EQ(r().PaperSizeIndex, 7);
  r().CustomPaperWidth = 4000;  // wider than the feeder's 329 mm
  s().ClampCustomSizeToSource();
  EXPECT_EQ(r().PaperSizeIndex, 0);
  EXPECT_EQ(r().Public.dmPaperSize, 9);
  // A user paper is checked against the same limits: the 300 x 900 mm banner is too long.
  r().PaperSizeIndex = 8;
  s().ClampCustomSizeToSource();
  EXPECT_EQ(r().PaperSizeIndex, 0);
  r().PaperSizeIndex = 3;  // a model paper other than the custom size stays
  r().CustomPaperWidth = 9000;
  s().ClampCustomSizeToSource();
  EXPECT_EQ(r().PaperSizeIndex, 3);
}

TEST_F(PaperRules, ResetUserPapersEmptiesTheStore) {
  ASSERT_EQ(s().ResetUserPapers(), 1);
  ASSERT_EQ(s().UserSettingsStore::Reload(), 1);
  uint32_t count = 99;
  s().GetPaperCount(&count);
  EXPECT_EQ(count, 0u);
  UseSource(7, 0);
  EXPECT_EQ(s().GetPaperIdsForDefaultSource(nullptr), 5u);
}

TEST_F(PaperRules, PaperShapes) {
  const struct {
    int32_t w, h;
    int16_t orientation;
    int square, wider;
  } cases[] = {{100, 150, 1, 1, 0}, {100, 200, 1, 0, 0}, {150, 100, 1, 1, 1},
               {150, 100, 2, 1, 0}, {100, 150, 2, 1, 1}, {100, 100, 1, 0, 0}};
  for (const auto& c : cases) {
    r().PaperDotExtent = {c.w, c.h};
    r().Public.dmOrientation = c.orientation;
    EXPECT_EQ(s().IsNearlySquarePaper(), c.square) << c.w << "x" << c.h;
    EXPECT_EQ(s().IsPaperWiderThanLong(), c.wider) << c.w << "x" << c.h << " " << c.orientation;
  }
  r().Public.dmPaperSize = 9;
  r().Public.dmPaperWidth = 0;
  ExtentPair size{};
  s().GetPaperSize01mm(&size);
  EXPECT_EQ(size.width, 2100);
  EXPECT_EQ(size.height, 2970);
  EXPECT_EQ(s().IsPortraitPaper(), 1);
  r().Public.dmPaperWidth = 3000;
  r().Public.dmPaperLength = 2000;
  EXPECT_EQ(s().IsPortraitPaper(), 0);
}

}  // namespace
}  // namespace kalimu::settings
