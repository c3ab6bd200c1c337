// Preset selection: the search windows per selected preset id, the nearest preset a source
// allows, the search keys per change type, user presets and the source mask of a saved preset.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/rule_models.h"
#include "testkit/kalimu/user_files_builder.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;
constexpr uint32_t kSheets = 0x0F;
constexpr uint32_t kRolls = 0xF0;

// Group 0: presets 0-8 of media 101 (mode 1) in variant 1 but preset 8 (variant 0), allowing
// sheets (S) or rolls (R): S S R S(skipped) S S R S(flag 0x80) R; preset 9 of media 102 (mode 4).
// Preset i has id 100 + i and quality position i (preset 8: 0). Group 1: twelve presets of
// media 102, group 2 one. Media 102 is the default media of the sheet sources.
testkit::ModelDescription PresetModel() {
  testkit::ModelDescription m = testkit::RuleModel();
  const uint32_t masks[10] = {kSheets, kSheets, kRolls, kSheets, kSheets, kSheets, kRolls, kSheets, kRolls, kSheets};
  std::vector<model::PresetRecord> group0;
  for (int i = 0; i < 10; ++i) {
    model::PresetRecord p = m.presets[0][0];
    p.value0 = static_cast<int16_t>(100 + i);
    p.value2 = static_cast<int16_t>(i == 8 ? 0 : i);
    p.mode_id = i == 9 ? 4 : 1;
    p.media_id = i == 9 ? 102 : 101;
    p.value12 = static_cast<int16_t>(i == 8 || i == 9 ? 0 : 1);
    p.value96 = masks[i];
    p.value108 = i == 3 ? JobSettings::kPresetSkipped : i == 7 ? 0x80u : 0u;
    group0.push_back(p);
  }
  m.presets[0] = group0;
  model::PresetRecord g1 = m.presets[1][0];
  g1.value108 = 0;
  m.presets[1] = std::vector<model::PresetRecord>(12, g1);
  for (auto& media : m.media) media.flags8 &= ~(0x20000000u | 0x400000u);
  m.media[1].flags8 |= 0x20000000u;
  m.media[2].flags8 |= 0x400000u;
  return m;
}

class PresetSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    Reset();
  }
  // Variant 1 of media 101 in mode 1, preset 0's settings.
  void Reset() {
    s().ApplyPresetRecord(0);
    r().Public.dmColor = DMCOLOR_COLOR;
    r().PaperSourceIndex = 0;
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& r() { return fixture_.record(); }
  SettingsOnPrinter fixture_{PresetModel()};
};

TEST_F(PresetSelection, SearchWindows) {
  const struct {
    uint16_t index;
    uint32_t up, down;
  } cases[] = {{0, 6, 0}, {4, 3, 3}, {8, 0, 7}, {2, 4, 2}};
  for (const auto& c : cases) {
    uint32_t up = 99;
    uint32_t down = 99;
    s().GetPresetSearchWindow(&up, &down, c.index);
    EXPECT_EQ(up, c.up) << c.index;
    EXPECT_EQ(down, c.down) << c.index;
  }
}

TEST_F(PresetSelection, NearestAllowedPresetPerSelectedId) {
  const struct {
    int32_t id;
    uint16_t start;
    int32_t source;
    int found;
    uint16_t index;
  } cases[] = {
      {0, 4, 256, 1, 6},   // window 2 up, 2 down: up first
      {1, 4, 256, 1, 2},   // 1 up, 3 down: the skipped preset 3 is passed over
      {4, 4, 256, 1, 6},   // 4 up, none down
      {4, 6, 7, 1, 7},
      {5, 4, 256, 1, 6},
      {6, 4, 256, 1, 2},   // none up: 4 itself, then down
      {6, 2, 7, 1, 1},
      {6, 1, 256, 0, 1},   // walks past the start of the table
      {2, 4, 256, 0, 4},   // any other id: the start only
      {2, 4, 7, 1, 4},
      {15, 4, 256, 1, 6},  // the window of the preset row
      {15, 6, 7, 1, 7},
      {4, 8, 7, 1, 9},     // preset 9 lies beyond the row but inside the table
      {0, 30, 7, 0, 30},   // past the end of the table
  };
  for (const auto& c : cases) {
    uint16_t index = c.start;
    EXPECT_EQ(s().FindNearestAllowedPreset(c.id, &index, c.source), c.found) << c.id << " from " << c.start;
    EXPECT_EQ(index, c.index) << c.id << " from " << c.start;
  }
}

TEST_F(PresetSelection, SearchKeysPerChangeType) {
  const struct {
    const char* name;
    int16_t variant;  // before the change
    int32_t value;
    int type;
    int16_t preset_id;  // applied afterwards
    int16_t color;
  } cases[] = {
      {"quality position 5", 1, 5, 2, 105, DMCOLOR_COLOR},
      {"unknown quality position: the first of the row", 1, 99, 2, 100, DMCOLOR_COLOR},
      {"variant 0", 1, 0, 1, 108, DMCOLOR_COLOR},
      {"media index 0", 1, 0, 5, 100, DMCOLOR_COLOR},
      {"media index 1, variant 1: any preset of the media", 1, 1, 5, 109, DMCOLOR_MONOCHROME},
      {"current media", 1, 0, 4, 100, DMCOLOR_COLOR},
      {"other types: all keys 0", 1, 0, 99, 108, DMCOLOR_COLOR},
  };
  for (const auto& c : cases) {
    Reset();
    r().SettingsRecord.ModeVariant = c.variant;
    s().SelectPresetForChange(c.value, c.type);
    EXPECT_EQ(r().SettingsRecord.PresetId, c.preset_id) << c.name;
    EXPECT_EQ(r().Public.dmColor, c.color) << c.name;
  }
}

TEST_F(PresetSelection, AVariantWithoutPresetsRestoresTheSavedVariant) {
  for (int type : {1, 21}) {
    Reset();
    s().SaveModeVariant();  // variant 1
    r().SettingsRecord.ModeVariant = 2;
    r().Public.dmColor = DMCOLOR_MONOCHROME;
    s().SelectPresetForChange(2, type);
    EXPECT_EQ(r().SettingsRecord.PresetId, 100) << type;
    EXPECT_EQ(r().SettingsRecord.ModeVariant, 1) << type;
    EXPECT_EQ(r().Public.dmColor, DMCOLOR_COLOR) << type;
  }
  // With type 21 a preset of the variant on any media is taken first.
  Reset();
  r().SettingsRecord.MediaId = 102;
  r().SettingsRecord.ModeId = 4;
  s().SelectPresetForChange(1, 21);
  EXPECT_EQ(r().SettingsRecord.PresetId, 100);
}

TEST_F(PresetSelection, SelectedPlaceholderTakesTheAppliedId) {
  r().SelectedPresetWord = 15;
  EXPECT_EQ(s().ApplyPresetIdFromRecord(6), 1);
  EXPECT_EQ(r().SelectedPresetWord, 106);
  EXPECT_EQ(s().ApplyPresetIdFromRecord(2), 1);  // no longer the placeholder
  EXPECT_EQ(r().SelectedPresetWord, 106);

  // The preset in use follows the selection within what the source allows.
  Reset();
  r().SelectedPresetWord = 0x8000 | 15;
  r().SettingsRecord.PresetKind = 0;
  s().SyncPresetWithSelection(256);
  // No group-1 preset has the id: the walk starts at 0 and the row's first roll preset is 2.
  EXPECT_EQ(r().SettingsRecord.PresetId, 102);
  EXPECT_EQ(r().SelectedPresetWord, 102);  // the placeholder takes the applied id
  r().SelectedPresetWord = 100;
  r().SettingsRecord.PresetId = 7;
  r().SettingsRecord.PresetKind = 5;
  s().SyncPresetForKind(256);
  EXPECT_EQ(r().SettingsRecord.PresetId, 7);  // kind 5 keeps its settings
}

TEST_F(PresetSelection, DefaultsFlagsAndSkips) {
  EXPECT_EQ(s().FindDefaultPresetIndex(), 9);  // the sheet sources' default media is 102
  r().PaperSourceIndex = 2;
  EXPECT_EQ(s().FindDefaultPresetIndex(), 0);
  EXPECT_EQ(s().FindPresetWithFlag128(), 7);
  EXPECT_EQ(s().IsPresetSkipped(3), 1);
  EXPECT_EQ(s().IsPresetSkipped(4), 0);
}

TEST_F(PresetSelection, UserPresetsAreAppliedWholeOrNotAtAll) {
  uint32_t count = 0;
  s().SumPresetGroups012(&count);
  const DriverDevMode before = r();
  s().ApplyPresetByIndex(static_cast<uint16_t>(count));  // no user preset stored yet
  EXPECT_EQ(std::memcmp(&before, &r(), sizeof(before)), 0);

  char ucf[MAX_PATH] = {};
  s().GetUcfFilePath(ucf, sizeof(ucf));
  std::vector<storage::UserSettingsEntry> settings(fixture_.model().user_settings_capacity);
  settings[0] = testkit::UserSettings(L"Banner proofs", 3);
  std::vector<storage::UserPaperEntry> papers;
  for (int slot = 0; slot < fixture_.model().user_paper_capacity; ++slot) papers.push_back(testkit::FreePaper(slot));
  ASSERT_TRUE(testkit::WriteBytes(ucf, testkit::BuildUcfFile(settings, papers)));
  ASSERT_EQ(s().UserSettingsStore::Reload(), 1);
  s().ApplyPresetByIndex(static_cast<uint16_t>(count));
  const auto* entry = reinterpret_cast<const uint8_t*>(&settings[0]);
  EXPECT_EQ(std::memcmp(&r().ColorSettingsBlock, entry, 280), 0);
  EXPECT_EQ(std::memcmp(&r().SettingsRecord, entry + 280, 128), 0);
}

TEST_F(PresetSelection, SourceMaskOfASavedPreset) {
  r().SettingsRecord.MediaId = 103;  // roll media and mode: mask 0xF0, special feed
  r().SettingsRecord.ModeId = 5;
  model::PresetRecord record{};
  EXPECT_EQ(s().FillMediaSourceMaskSimple(&record), 1);
  EXPECT_EQ(record.value96, kRolls);
  record.value108 = 1;
  EXPECT_EQ(s().FillMediaSourceMask(&record), 1);
  EXPECT_EQ(record.value96, kRolls);  // no source of the model has capability 0x400000
  EXPECT_EQ(record.value108, 1u | 0x20000u);
  r().SettingsRecord.MediaId = 101;
  r().SettingsRecord.ModeId = 1;
  EXPECT_EQ(s().FillMediaSourceMask(&record), 1);
  EXPECT_EQ(record.value108, 1u);
}

TEST(PresetSourceMask, TheFirstRollSourceLosesItsSecondBit) {
  SettingsOnPrinter fixture(testkit::SixteenSourceModel());
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  fixture.record().SettingsRecord.MediaId = 101;
  fixture.record().SettingsRecord.ModeId = 1;
  model::PresetRecord record{};
  fixture.settings().FillMediaSourceMask(&record);
  EXPECT_EQ(record.value96, ~(1u << 11));  // source 5 is the first with capability 0x400000
  fixture.record().SettingsRecord.ModeOptions = 1;
  fixture.settings().FillMediaSourceMask(&record);
  EXPECT_EQ(record.value96, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kalimu::settings
