// The print-mode rules and the change dispatcher: the best-mode search, the mode-variant change
// and its restore, the render-method preference, the mode defaults and the change types.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"

namespace kalimu::settings::test {
namespace {

namespace km = kalimu::model;

// Print modes for the search, all on media 101 (index 0) unless said, offered to every source:
//   index id  media variants  +4 +6 flags20  alternative for variant 1
//   0     1   102   0         0  0  0        1
//   1     2   102   1         0  0  0        2   (alternative for variant 2: mode 1)
//   2     3   101   1         9  0  0        3
//   3     4   101   1         5  9  0        4
//   4     5   101   1         5  6  0x02     5
//   5     6   101   1         8  6  0x40     6
testkit::ModelDescription SearchModel() {
  testkit::ModelDescription m = testkit::RollPaperModel();
  const struct {
    int16_t id;
    int32_t media;
    uint16_t variants;
    int16_t value4;
    int16_t value6;
    uint32_t flags20;
    int16_t alt2;
  } rows[] = {{1, 102, 1, 0, 0, 0, 1}, {2, 102, 2, 0, 0, 0, 1}, {3, 101, 2, 9, 0, 0, 3},
              {4, 101, 2, 5, 9, 0, 4}, {5, 101, 2, 5, 6, 0x02, 5}, {6, 101, 2, 8, 6, 0x40, 6}};
  const km::PrintModeRecord pattern = m.modes[0];
  m.modes.clear();
  for (const auto& row : rows) {
    km::PrintModeRecord mode = pattern;
    mode.id = row.id;
    mode.media_id = row.media;
    mode.flags16 = 0x15;  // sources 0 to 2
    mode.flags24 = 0;
    mode.flags40 = row.variants;
    mode.value30 = row.id;
    mode.value42 = row.id;
    mode.value44 = row.id;
    mode.value46 = row.alt2;
    mode.value4 = row.value4;
    mode.value6 = row.value6;
    mode.flags20 = row.flags20;
    for (auto& group : mode.groups) group.flags18 = 0;
    m.modes.push_back(mode);
  }
  return m;
}

// A settings object on the model whose current mode is mode 3 (media 101) for variant 1.
DriverDevMode& OnModeThree(SettingsOnPrinter& fixture) {
  DriverDevMode& r = fixture.record();
  r.SettingsRecord.ModeVariant = 1;
  r.SettingsRecord.MediaId = 101;
  r.SettingsRecord.ModeId = 3;
  return r;
}

class JobSettingsModeSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    Reset();
  }
  void Reset() {
    fixture_.record() = DriverDevMode{};
    StampDevModeHeader(fixture_.record());
    fixture_.record().SettingsRecord.ModeVariant = 1;
    fixture_.record().SettingsRecord.MediaId = 101;
    fixture_.record().SettingsRecord.ModeId = 3;
    fixture_.record().Public.dmDefaultSource = 7;  // source index 0
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& r() { return fixture_.record(); }
  SettingsOnPrinter fixture_{SearchModel()};
};

// The six levels: the variant, the media, the two keys and the option groups are climbed in
// turn; the first mode to reach the best level wins unless a later full match ends the search.
TEST_F(JobSettingsModeSearch, LevelsOfTheBestMatch) {
  struct Case {
    const char* what;
    int16_t variant;
    int32_t source;
    uint32_t mask;
    uint32_t criteria;
    int16_t media;
    int16_t value4;
    int16_t value6;
    int level;
    int16_t mode_id;
  };
  const Case cases[] = {
      {"no mode for the source: the fallback", 1, 257, 0xF3, 0, -1, -1, -1, 0, 5},
      {"no mode offers the variant", 2, 7, 0xF3, 0, -1, -1, -1, 1, 1},
      {"no mode of the media", 1, 7, 0xF3, 0, 5, -1, -1, 2, 2},
      {"no mode with the first key", 1, 7, 0xF3, 0, 0, 7, -1, 3, 3},
      {"no mode with the second key", 1, 7, 0xF3, 0, 0, 5, 7, 4, 4},
      {"an option group disagrees", 1, 7, 0xF3, 0x42, 0, 5, 6, 5, 5},
      {"everything matches", 1, 7, 0xF3, 0, 0, 9, -1, 6, 3},
      {"two full matches: the earlier one", 1, 7, 0xF3, 0, 0, 5, -1, 6, 4},
      {"a later full match with option 1 in both records ends the search", 1, 7, 0xF3, 0, -1, -1, -1, 6, 6},
  };
  for (const Case& c : cases) {
    Reset();
    r().SettingsRecord.ModeVariant = c.variant;
    r().Public.dmDefaultSource = c.source;
    EXPECT_EQ(s().FindBestModeMatch(c.mask, c.criteria, c.media, c.value4, c.value6, 4), c.level) << c.what;
    EXPECT_EQ(r().SettingsRecord.ModeId, c.mode_id) << c.what;
  }
}

// A variant change at print-mode type 0 to a variant the alternative mode does not offer puts
// the variant and dmColor back as they were; an unknown variant changes nothing.
TEST_F(JobSettingsModeSearch, VariantChangeRestoresTheSavedVariant) {
  r().SettingsRecord.ModeId = 2;
  r().SettingsRecord.MediaId = 102;
  r().Public.dmColor = DMCOLOR_COLOR;
  r().PrintModeType = 0;
  const DriverDevMode before = r();
  s().ChangeModeVariant(3);
  EXPECT_EQ(std::memcmp(&r(), &before, sizeof(before)), 0);
  s().ChangeModeVariant(2);  // mode 2 names mode 1 for variant 2, which offers variant 0 only
  EXPECT_EQ(r().SettingsRecord.ModeVariant, 1);
  EXPECT_EQ(r().Public.dmColor, DMCOLOR_COLOR);
  EXPECT_EQ(s().GetSavedModeVariant(), 1);
  EXPECT_EQ(r().SettingsRecord.ModeId, 2);
}

// The render method: the current one while the mode allows it, else the first allowed of 3, 1,
// 2, 0; nothing changes without an allowed method or with a method outside 0 to 3.
TEST(JobSettingsModeRules, RenderMethodPreference) {
  struct Case {
    uint16_t allowed;  // bit 8 method 0, bit 2 method 1, bit 4 method 2, bit 1 method 3
    uint16_t current;
    uint16_t chosen;
  };
  const Case cases[] = {{1 | 8, 2, 3}, {1 | 4, 2, 2}, {2 | 4, 0, 1}, {4 | 8, 3, 2}, {8, 3, 0}, {0, 2, 2}, {0xF, 5, 5}};
  for (const Case& c : cases) {
    testkit::ModelDescription model = SearchModel();
    model.modes[2].groups[0].flags18 = c.allowed;
    SettingsOnPrinter fixture(model);
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    DriverDevMode& r = OnModeThree(fixture);
    r.SettingsRecord.RenderMethod = c.current;
    fixture.settings().SelectDefaultRenderMethod();
    EXPECT_EQ(r.SettingsRecord.RenderMethod, c.chosen) << c.allowed << " " << c.current;
  }
}

// The mode option record comes from the alternative mode for the variant; a mode that does not
// offer the variant leaves it empty rather than stale.
TEST_F(JobSettingsModeSearch, ModeOptionRecordIsEmptyWithoutAMatch) {
  ModeOptionRecord record;
  std::memset(&record, 0xAB, sizeof(record));
  r().SettingsRecord.ModeVariant = 2;  // mode 3 does not offer variant 2
  EXPECT_EQ(s().GetModeOptionRecord(&record), 0);
  const ModeOptionRecord empty{};
  EXPECT_EQ(std::memcmp(&record, &empty, sizeof(record)), 0);
  r().SettingsRecord.ModeVariant = 1;
  EXPECT_EQ(s().GetModeOptionRecord(&record), 1);
}

// The defaults of a mode for option bits 1 and 2 in both option words.
TEST(JobSettingsModeRules, ModeDefaultsOfTheOptionBits) {
  struct Case {
    int16_t a;
    int16_t b;
    uint32_t bits;
  };
  const Case cases[] = {{1, 4, 1 | 2}, {1, 5, 1}, {2, 1, 2}, {0, 3, 1}, {3, 2, 0}};
  for (const Case& c : cases) {
    testkit::ModelDescription model = SearchModel();
    model.modes[2].groups[0].value8[1] = c.a;  // +10
    model.modes[2].groups[0].value8[2] = c.b;  // +12
    SettingsOnPrinter fixture(model);
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    DriverDevMode& r = OnModeThree(fixture);
    fixture.settings().ApplyModeDefaults(1);
    EXPECT_EQ(r.SettingsRecord.ModeOptions & 3, c.bits) << c.a << " " << c.b;
    EXPECT_EQ(r.SettingsRecord.ModeOptions2 & 3, c.bits) << c.a << " " << c.b;
  }
}

// The quality level a mode names for each colour mode.
TEST_F(JobSettingsModeSearch, QualityLevelByColourMode) {
  testkit::ModelDescription model = SearchModel();
  const auto& group = model.modes[2].groups[0];
  const struct {
    uint16_t color_mode;
    int32_t level;
  } cases[] = {{0, group.value30[0]}, {2, group.value30[1]}, {1, group.value30[2]}, {3, group.value30[3]},
               {6, group.value30[4]}, {7, group.value30[5]}, {4, 3}, {5, 0}};
  for (const auto& c : cases) {
    r().SettingsRecord.ColorMode = c.color_mode;
    EXPECT_EQ(s().GetModeQualityLevel(), c.level) << c.color_mode;
    s().ApplyModeQualityLevel();
    EXPECT_EQ(r().SettingsRecord.QualityLevel, static_cast<uint16_t>(c.level)) << c.color_mode;
  }
}

// Presets of group 2 for a media change, with group 0 as the fallback; the model's row of the
// colour mode brings its gamma and adjustment values.
TEST_F(RollPrinterTest, PresetsForChangesAndTheModelRow) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const testkit::ModelDescription model = LoadedModel(testkit::RollPaperModel());
  s.SelectPresetInGroup2(2, 5);  // media index 2 (103): the group-2 preset
  EXPECT_EQ(r.SettingsRecord.ModeId, model.presets[2][0].mode_id);
  EXPECT_EQ(r.SettingsRecord.MediaId, 103u);
  r = DriverDevMode{};
  s.SelectPresetInGroup2(0, 5);  // no group-2 preset of media 0: group 0 for variant 1
  EXPECT_EQ(r.SettingsRecord.ModeId, model.presets[0][0].mode_id);
  EXPECT_EQ(r.SettingsRecord.PresetKind, 5);

  r = DriverDevMode{};
  DevModeSettingsRecord row{};
  ASSERT_EQ(s.GetPresetRecord(0, &row, sizeof(row)), 1);
  r.SettingsRecord.MediaId = row.MediaId;
  r.SettingsRecord.ModeVariant = row.ModeVariant;
  r.SettingsRecord.ColorMode = row.ColorMode;
  r.SettingsRecord.TonePreset = 3;
  s.ApplyModelPresetRow();
  EXPECT_EQ(r.SettingsRecord.Gamma, row.Gamma);
  EXPECT_EQ(r.SettingsRecord.AdjustItem0, row.AdjustItem0);
  EXPECT_EQ(r.SettingsRecord.AdjustItem11, row.AdjustItem11);
  EXPECT_EQ(r.SettingsRecord.TonePreset, 3) << "not an adjustment value";
  r.SettingsRecord.ColorMode = static_cast<uint16_t>(row.ColorMode + 1);
  r.SettingsRecord.Gamma = 1;
  s.ApplyModelPresetRow();
  EXPECT_EQ(r.SettingsRecord.Gamma, 1) << "no row of this colour mode";
}

// The change types of the dispatcher on the defaults of each sample model.
class JobSettingsDispatch : public SampleModelTest {};

TEST_P(JobSettingsDispatch, ChangeTypes) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  ASSERT_EQ(s.ResetToDefaults(), 1);
  const DriverDevMode defaults = r;
  struct Case {
    int type;
    int32_t value;
    std::function<void(const DriverDevMode&)> check;
  };
  const auto unchanged = [&defaults](const DriverDevMode& after) {
    EXPECT_EQ(std::memcmp(&after, &defaults, sizeof(after)), 0);
  };
  const Case cases[] = {
      {1, defaults.SettingsRecord.ModeVariant, unchanged},
      {3, 1, unchanged},
      {6, 1, unchanged},
      {11, 3, unchanged},
      {22, 1, unchanged},
      {7, 3,
       [](const DriverDevMode& a) {
         EXPECT_EQ(a.SettingsRecord.ColorMode, 3);
         EXPECT_EQ(a.Public.dmICMMethod, static_cast<DWORD>(DMICMMETHOD_DRIVER));
       }},
      {7, 5, [&defaults](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.ColorMode, defaults.SettingsRecord.ColorMode); }},
      {8, 2, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.RenderMethod, 2); }},
      {9, 6, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.CorrectionMode, 6u); }},
      {10, 4, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.CorrectionLevel, 4u); }},
      {11, 2, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.CorrectionOption, 2u); }},
      {12, 7, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.QualityLevel, 7); }},
      {13, 1, [](const DriverDevMode& a) { EXPECT_TRUE(a.SettingsRecord.Gamma == 180) << a.SettingsRecord.Gamma; }},
      {18, 1, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.ModeOptions & 8, 8u); }},
      {18, 0, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.ModeOptions & 8, 0u); }},
      {19, 1, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.ModeOptions & 0x100, 0x100u); }},
      {20, 1, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.ModeOptions & 0xE00, 0x400u); }},
      {20, 3, [](const DriverDevMode& a) { EXPECT_EQ(a.SettingsRecord.ModeOptions & 0xE00, 0u); }},
  };
  for (const Case& c : cases) {
    r = defaults;
    s.OnSettingChanged(c.type, c.value);
    SCOPED_TRACE(::testing::Message() << "change " << c.type << " value " << c.value);
    c.check(r);
  }

  // The changes that choose a mode leave one of the current media that offers the variant.
  const int types[] = {1, 2, 4, 5, 14, 15, 16, 17, 21};
  for (int type : types) {
    for (int32_t value : {0, 1, 2}) {
      r = defaults;
      r.PrintModeType = 0;
      s.OnSettingChanged(type, value);
      uint32_t count = 0;
      s.GetPrintModeCount(&count);
      const uint16_t mode = s.GetCurrentModeIndex();
      ASSERT_LT(mode, count) << type << " " << value;
      int32_t media = 0;
      s.GetPrintModeMediaId(mode, &media);
      EXPECT_EQ(static_cast<uint32_t>(media), r.SettingsRecord.MediaId) << type << " " << value;
      EXPECT_TRUE(r.SettingsRecord.ModeVariant >= 0 && r.SettingsRecord.ModeVariant <= 2) << type << " " << value;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobSettingsDispatch, ::testing::ValuesIn(kSampleModels), SampleName);

}  // namespace
}  // namespace kalimu::settings::test
