// Name lists with the stand-in resource library's names, the output paper's margin record and
// the scale and area computations.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "kalimu/settings/printer_reg_values.h"
#include "testkit/kalimu/user_files_builder.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;

// The stand-in library's source names by name code and media names by string id.
const std::map<int, std::wstring> kSourceNames = {
    {1, L"Sheet Feeder"}, {2, L"Manual Feed"}, {3, L"Roll Paper"}, {4, L"Roll Paper (Auto Cut)"}};
const std::map<int, std::wstring> kMediaNames = {
    {1101, L"Plain Paper"}, {1102, L"Photo Paper"}, {1103, L"Matte Paper"}, {4805, L"Canvas"}};
const std::map<int, std::wstring> kPaperNames = {{1, L"Letter"}, {8, L"A3"}, {9, L"A4"}, {11, L"A5"},
                                                 {256, L"User Defined"}, {300, L"A4 (Borderless)"},
                                                 {301, L"Roll Paper 24 in"}};

class JobSettingsLists : public test::SampleModelTest {};

TEST_P(JobSettingsLists, SourceAndMediaIdsAndNames) {
  JobSettings& s = fixture_.settings();
  const size_t sources = model_.sources.size();
  std::vector<int16_t> ids(sources + 1, -1);
  ASSERT_EQ(s.GetSourceIds(nullptr), sources) << "count only";
  ASSERT_EQ(s.GetSourceIds(ids.data()), sources);
  std::vector<wchar_t[kSourceNameChars]> names(sources);
  ASSERT_EQ(s.GetSourceNames(names.data(), nullptr), sources);
  for (size_t i = 0; i < sources; ++i) {
    EXPECT_EQ(ids[i], model_.sources[i].id);
    EXPECT_EQ(std::wstring(names[i]), kSourceNames.at(model_.sources[i].name_code)) << i;
  }
  EXPECT_EQ(ids[sources], -1) << "nothing past the list";

  const size_t media = model_.media.size();
  std::vector<int32_t> media_ids(media);
  ASSERT_EQ(s.GetMediaIds(nullptr), media);
  ASSERT_EQ(s.GetMediaIds(media_ids.data()), media);
  std::vector<wchar_t[kMediaNameChars]> media_names(media);
  EXPECT_EQ(s.GetMediaNames(nullptr, nullptr), 0u) << "no names asked for: nothing read";
  ASSERT_EQ(s.GetMediaNames(media_names.data(), nullptr), media);
  for (size_t i = 0; i < media; ++i) {
    EXPECT_EQ(media_ids[i], model_.media[i].id);
    EXPECT_EQ(std::wstring(media_names[i]), kMediaNames.at(GetMediaNameStringId(model_.media[i].name_value)));
  }
}

TEST_P(JobSettingsLists, CurrentPaperNameOfModelAndUserPapers) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  wchar_t name[kPaperNameChars];
  for (const auto& paper : model_.papers) {
    r.Public.dmPaperSize = paper.id;
    std::wmemset(name, L'#', kPaperNameChars);
    EXPECT_EQ(s.GetCurrentPaperName(name, nullptr), model_.papers.size());
    EXPECT_EQ(std::wstring(name), kPaperNames.at(paper.id));
  }
  // A user paper gives its own name, and still the model's paper count.
  char ucf[MAX_PATH] = {};
  s.GetUcfFilePath(ucf, sizeof(ucf));
  std::vector<storage::UserPaperEntry> papers = {testkit::UserPaper(0, "Banner 30 cm", 3000, 9000)};
  for (int slot = 1; slot < model_.user_paper_capacity; ++slot) papers.push_back(testkit::FreePaper(slot));
  ASSERT_TRUE(testkit::WriteBytes(
      ucf, testkit::BuildUcfFile(std::vector<storage::UserSettingsEntry>(model_.user_settings_capacity), papers)));
  ASSERT_EQ(s.UserSettingsStore::Reload(), 1);
  r.Public.dmPaperSize = 768;
  EXPECT_EQ(s.GetCurrentPaperName(name, nullptr), model_.papers.size());
  EXPECT_EQ(std::wstring(name), L"Banner 30 cm");
  r.PaperSizeIndex = static_cast<int16_t>(model_.papers.size());
  EXPECT_EQ(s.GetPaperIdByIndex(static_cast<uint16_t>(model_.papers.size())), 768);
}

TEST_P(JobSettingsLists, OutputPaperRecordIsZeroWithoutMargins) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  for (const auto& paper : model_.papers) {
    r.OutputPaperSize = static_cast<uint16_t>(paper.id);
    r.PaperFeedIndex = 0;
    model::CapTable2Record record;
    std::memset(&record, 0xCC, sizeof(record));
    EXPECT_EQ(s.GetOutputPaperRecord(&record, sizeof(record)), 0);
    const int16_t number = paper.margin_index[2];  // word 32: feed index 0
    model::CapTable2Record expected{};
    if (number >= 0 && static_cast<size_t>(number) < model_.margins.size()) expected = model_.margins[number];
    EXPECT_EQ(std::memcmp(&record, &expected, sizeof(record)), 0) << "paper " << paper.id;
  }
  r.OutputPaperSize = 4242;
  model::CapTable2Record record;
  std::memset(&record, 0xCC, sizeof(record));
  s.GetOutputPaperRecord(&record, sizeof(record));
  EXPECT_EQ(record.left | record.top | record.right | record.bottom, 0) << "unknown paper: written as zero";
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobSettingsLists, ::testing::ValuesIn(test::kSampleModels), test::SampleName);

class JobSettingsOutputPaper : public test::RollPrinterTest {};

TEST_F(JobSettingsOutputPaper, FitToPaperScaleGuardsItsDivisions) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  r.ScalePercent = 77;
  r.ScalingOptions = 0;
  EXPECT_EQ(s.GetFitToPaperScale(), 0u) << "only when fitting to the output paper";
  EXPECT_EQ(r.ScalePercent, 77);
  r.ScalingOptions = 2;
  r.DeviceResolution = {720, 720};
  r.PaperDotExtent = {7200, 14400};  // 10 x 20 inches
  r.PaperMargins = {0, 0, 0, 0};
  r.MarginAdditions = {0, 0, 0, 0};
  r.OutputExtent = {7200, 1800};  // first value O1, second O2 (1/360 inch)
  // w = 3600, h = 7200; sx = 3600*100/1800 = 200, sy = 7200*100/7200 = 100.
  EXPECT_EQ(s.GetFitToPaperScale(), 100u);
  EXPECT_EQ(r.ScalePercent, 100);
  struct Case {
    const char* what;
    void (*damage)(DriverDevMode&);
  };
  const Case cases[] = {
      {"no resolution", [](DriverDevMode& d) { d.DeviceResolution = {0, 720}; }},
      {"no vertical resolution", [](DriverDevMode& d) { d.DeviceResolution = {720, 0}; }},
      {"no output width", [](DriverDevMode& d) { d.OutputExtent = {0, 1800}; }},
      {"no output height", [](DriverDevMode& d) { d.OutputExtent = {7200, 0}; }},
  };
  for (const Case& c : cases) {
    DriverDevMode saved = r;
    r.ScalePercent = 55;
    c.damage(r);
    EXPECT_EQ(s.GetFitToPaperScale(), 0u) << c.what;
    EXPECT_EQ(r.ScalePercent, 55) << c.what << ": the scale stays";
    r = saved;
  }
}

TEST_F(JobSettingsOutputPaper, OutputAreaOfModelCustomAndUnknownPapers) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const auto& a4 = fixture_.model().papers[0];
  ExtentPair area{};
  r.PaperOptions = 0;
  ASSERT_EQ(s.ComputeOutputArea(a4.id, &area), 1);
  EXPECT_EQ(area.width, a4.width);
  EXPECT_EQ(area.height, a4.length);
  r.ScalingOptions = 0;
  r.CustomPaperWidth = 2540;  // 0.1 mm
  r.CustomPaperLength = 1270;
  r.CustomPaperUnit = 1;
  ASSERT_EQ(s.ComputeOutputArea(model::kCustomPaperId, &area), 1);
  EXPECT_EQ(area.width, 3600);
  EXPECT_EQ(area.height, 1800);
  r.CustomPaperUnit = 2;  // 1/100 inch
  r.CustomPaperWidth = 1000;
  r.CustomPaperLength = 500;
  ASSERT_EQ(s.ComputeOutputArea(model::kCustomPaperId, &area), 1);
  EXPECT_EQ(area.width, 3600);
  EXPECT_EQ(area.height, 1800);
  area = {77, 77};
  ASSERT_EQ(s.ComputeOutputArea(4242, &area), 1);
  EXPECT_EQ(area.width, 0) << "no table holds the paper";
  EXPECT_EQ(area.height, 0);
}

TEST(JobSettingsOutputPaperMargins, ANegativeMarginIndexGivesZeroMargins) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.papers[1].margin_index[2] = -1;  // word 32 of A3: no margin record
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  fixture.record().OutputPaperSize = static_cast<uint16_t>(model.papers[1].id);
  model::CapTable2Record record;
  std::memset(&record, 0xCC, sizeof(record));
  EXPECT_EQ(fixture.settings().GetOutputPaperRecord(&record, sizeof(record)), 0);
  EXPECT_EQ(record.left | record.top | record.right | record.bottom, 0);
}

// The paper in use as the current source allows it: both bits of the source's pair count.
TEST_F(JobSettingsOutputPaper, PaperOfTheCurrentSource) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  struct Case {
    int16_t paper_id;
    int16_t source_index;
    uint32_t scaling;
    int kind;
    uint16_t index;
  };
  const Case cases[] = {
      {9, 0, 0, kModelPaper, 0},       // A4 in the sheet feeder
      {9, 2, 0, kNoPaper, 0xFFFF},     // A4 is not offered on the roll
      {301, 2, 0, kModelPaper, 4},     // the roll paper on the roll
      {301, 3, 0, kModelPaper, 4},
      {9, 4, 0, kNoPaper, 0xFFFF},     // no such source
      {9, -1, 0, kNoPaper, 0xFFFF},
      {4242, 2, 1, kModelPaper, 4},    // scaled: the output paper (301) counts
  };
  r.OutputPaperSize = 301;
  for (const Case& c : cases) {
    r.Public.dmPaperSize = c.paper_id;
    r.PaperSourceIndex = c.source_index;
    r.ScalingOptions = c.scaling;
    int kind = -1;
    EXPECT_EQ(s.FindPaperForCurrentSource(&kind), c.index) << c.paper_id << " on " << c.source_index;
    EXPECT_EQ(kind, c.kind) << c.paper_id << " on " << c.source_index;
  }
}

TEST_F(JobSettingsOutputPaper, SourceLimitOfRollSourcesComesFromTheRollTable) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags28 |= 256;
  model.sources[3].id = 531;
  model.lfp_records[1].roll_width = 360;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  DriverDevMode& r = fixture.record();
  r.Public.dmDefaultSource = 531;
  r.PaperOptions = 4;
  r.LfpIndex = 1;
  EXPECT_EQ(s.GetSourceLimitValue(0), 254) << "one inch in 0.1 mm";
  r.PaperOptions = 0;
  const auto tenth_mm = [](int32_t v360) { return (v360 * 254 + 180) / 360; };
  EXPECT_EQ(s.GetSourceLimitValue(0), tenth_mm(model.sources[0].max_width)) << "the source's own limit, converted";
  r.PaperOptions = 4;
  r.Public.dmDefaultSource = 7;
  EXPECT_EQ(s.GetSourceLimitValue(2), tenth_mm(model.sources[2].max_width));
}

// A model file's limit converts whole whatever its size: 9,000,000 / 360 inch is 6,350,000 in
// 0.1 mm, though its product with 254 exceeds 32 bits.
TEST(JobSettingsUnits, LargeLengthsConvertWithoutOverflow) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.sources[0].max_width = 9000000;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  DriverDevMode& r = fixture.record();
  r.PaperOptions = 0;
  EXPECT_EQ(s.GetSourceLimitValue(0), 6350000);
}

// The option word of the alternative mode for each variant: word 96 (variant 1), 160 (variant
// 0), 224 (variant 2); bits 1, 2, 4, 8 offer choices 0 to 3, bits 0x20, 0x40, 0x80 the default.
TEST(JobSettingsModeOptions, ChoicesOfferedDefaultAndRequested) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags24 |= 1024;
  for (auto& mode : model.modes) {
    mode.groups[0].value48 = 0x03;  // word 96
    mode.groups[1].value48 = 0xEF;  // word 160
    mode.groups[2].value48 = 0x25;  // word 224
  }
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  DriverDevMode& r = fixture.record();
  r.SettingsRecord.MediaId = static_cast<uint32_t>(model.modes[0].media_id);
  r.SettingsRecord.ModeId = model.modes[0].id;
  struct Case {
    int16_t variant;
    uint32_t request;
    uint32_t offered, choice, flags;
  };
  const Case cases[] = {
      {1, 0x00, 2, 0, 0x03}, {1, 0x40, 2, 0, 0x03}, {1, 0x20, 2, 1, 0x03}, {1, 0x30, 2, 1, 0x03},
      {0, 0x00, 4, 3, 0xEF}, {0, 0x10, 4, 0, 0xEF}, {0, 0x50, 4, 2, 0xEF},
      {2, 0x00, 2, 0, 0x25}, {2, 0x20, 2, 0, 0x25}, {2, 0x40, 2, 2, 0x25},
  };
  for (const Case& c : cases) {
    r.SettingsRecord.ModeVariant = c.variant;
    uint32_t choice = 99;
    uint32_t flags = 99;
    EXPECT_EQ(s.GetModeOptionChoices(c.request, &choice, &flags), c.offered) << c.variant << " " << c.request;
    EXPECT_EQ(choice, c.choice) << c.variant << " " << c.request;
    EXPECT_EQ(flags, c.flags) << c.variant << " " << c.request;
  }
}

TEST(JobSettingsModeOptions, ModelWithoutModeOptionsOffersNone) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.header.flags24 &= ~1024u;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  uint32_t choice = 0;
  EXPECT_EQ(fixture.settings().GetModeOptionChoices(0x10, &choice, nullptr), 0u);
  EXPECT_EQ(choice, 3u);
}

TEST(JobSettingsSources, SourcesMarkedForTheHeadIdentityAreOmittedWithoutIt) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags20 &= ~2u;
  model.sources[1].flags8 |= 0x8000;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  int16_t ids[8] = {};
  ASSERT_EQ(fixture.settings().GetSourceIds(ids), model.sources.size() - 1);
  EXPECT_EQ(ids[0], model.sources[0].id);
  EXPECT_EQ(ids[1], model.sources[2].id);
  wchar_t names[4][kSourceNameChars] = {};
  ASSERT_EQ(fixture.settings().GetSourceNames(names, nullptr), model.sources.size() - 1);
  EXPECT_EQ(std::wstring(names[1]), L"Roll Paper");
}

}  // namespace
}  // namespace kalimu::settings
