// Presets, the current mode and media, paper indexes, source masks and the adjustment values,
// as tables over both sample models.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"

namespace kalimu::settings {
namespace {


class JobSettingsPresets : public test::SampleModelTest {
 protected:
  // The model's preset records in table order: groups 0, 1 and 2.
  std::vector<model::PresetRecord> AllPresets() const {
    std::vector<model::PresetRecord> all;
    for (const auto& group : model_.presets) all.insert(all.end(), group.begin(), group.end());
    return all;
  }
};

TEST_P(JobSettingsPresets, AdjustmentsAreNumberedInTheirOwnOrder) {
  JobSettings& s = fixture_.settings();
  const auto* bytes = reinterpret_cast<const uint8_t*>(&fixture_.record());
  const uint32_t offsets[12] = {404, 406, 408, 410, 412, 414, 422, 424, 426, 418, 420, 428};
  for (int n = 0; n < 12; ++n) {
    s.SetAdjustment(n, -100 - n);
    int16_t stored = 0;
    std::memcpy(&stored, bytes + offsets[n], sizeof(stored));
    EXPECT_EQ(stored, -100 - n) << "number " << n;
    EXPECT_EQ(s.GetAdjustment(n), -100 - n) << "number " << n;
  }
  const DriverDevMode before = fixture_.record();
  for (int n : {-1, 12, 99}) {
    s.SetAdjustment(n, 5);
    EXPECT_EQ(s.GetAdjustment(n), 0) << n;
  }
  EXPECT_EQ(std::memcmp(&before, &fixture_.record(), sizeof(before)), 0) << "other numbers store nothing";
  EXPECT_EQ(fixture_.record().SettingsRecord.TonePreset, 0) << "the tone preset between them is not a value";
}

TEST_P(JobSettingsPresets, PresetRecordsAreCopiedAndFoundAgain) {
  JobSettings& s = fixture_.settings();
  const std::vector<model::PresetRecord> all = AllPresets();
  const size_t group0 = model_.presets[0].size();
  const size_t group1 = model_.presets[1].size();
  for (size_t i = 0; i < all.size(); ++i) {
    s.ApplyPresetRecord(static_cast<uint16_t>(i));
    EXPECT_EQ(std::memcmp(&fixture_.record().SettingsRecord, &all[i], 128), 0) << "preset " << i;
    const int group = i < group0 ? 0 : i < group0 + group1 ? 1 : 4;
    uint16_t found = 0xFFFF;
    EXPECT_EQ(s.FindPresetInGroup(group, &found), 1) << "preset " << i;
    EXPECT_EQ(found, i);
    if (group != 4) {
      EXPECT_EQ(s.FindPresetInGroup(6, &found), 1);
      EXPECT_EQ(found, i);
    }
    const int other = group == 4 ? 0 : 4;
    EXPECT_EQ(s.FindPresetInGroup(other, &found), 0) << "preset " << i;
    EXPECT_EQ(found, 0);
  }
  EXPECT_EQ(s.FindPresetInGroup(2, nullptr), 0) << "no such group";
  const DriverDevMode before = fixture_.record();
  s.ApplyPresetRecord(static_cast<uint16_t>(all.size() + 40));
  EXPECT_EQ(std::memcmp(&before, &fixture_.record(), sizeof(before)), 0) << "out of range: nothing copied";
}

TEST_P(JobSettingsPresets, PresetsOfGroupOneMatchIdMediaAndVariant) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const size_t group0 = model_.presets[0].size();
  for (size_t k = 0; k < model_.presets[1].size(); ++k) {
    const auto& preset = model_.presets[1][k];
    const auto index = static_cast<uint16_t>(group0 + k);
    const uint16_t media = s.GetPresetMediaIndex(index);
    EXPECT_EQ(media, s.FindMediaIndexOfMode(s.FindModeIndex(preset.media_id, preset.mode_id)));
    r.SettingsRecord.MediaId = static_cast<uint32_t>(model_.media[media].id);
    r.SettingsRecord.ModeVariant = preset.value12;
    r.SettingsRecord.PresetId = preset.value0;
    EXPECT_EQ(s.FindPresetForCurrent(), index);
    EXPECT_EQ(s.FindPresetById(preset.value0), index);
    r.SettingsRecord.ModeVariant = static_cast<int16_t>(preset.value12 + 1);
    EXPECT_EQ(s.FindPresetForCurrent(), 0) << "another variant";
  }
  EXPECT_EQ(s.FindPresetById(-999), 0);
  r.SelectedPresetWord = 0x8000 | 0x1234;
  EXPECT_EQ(s.GetSelectedPresetId(), 0x1234u);
}

TEST_P(JobSettingsPresets, CurrentModeAndMedia) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  for (size_t i = 0; i < model_.modes.size(); ++i) {
    const auto& mode = model_.modes[i];
    if (mode.flags24 & 0x80) continue;
    r.SettingsRecord.MediaId = static_cast<uint32_t>(mode.media_id);
    r.SettingsRecord.ModeId = mode.id;
    EXPECT_EQ(s.GetCurrentModeIndex(), i);
    EXPECT_EQ(s.GetCurrentModeIndex2(), i);
    EXPECT_EQ(s.GetCurrentModeValue(), mode.value4);
    const uint16_t media = s.GetCurrentMediaIndex();
    EXPECT_EQ(model_.media[media].id, mode.media_id);
    EXPECT_EQ(s.GetCurrentMediaNameId(), model_.media[media].name_value);
    EXPECT_EQ(s.GetMediaNameIdOfMode(static_cast<uint16_t>(i)), model_.media[media].name_value);
  }
  r.SettingsRecord.MediaId = 424242;
  EXPECT_EQ(s.GetCurrentMediaIndex(), 0);
  EXPECT_EQ(s.GetCurrentMediaNameId(), model_.media[0].name_value);
}

TEST_P(JobSettingsPresets, UserPresetNameOnlyForKindTwo) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const std::wstring name = L"ABCDEFGHIJKLMNOPQRST";  // 20 characters
  std::memcpy(r.ColorSettingsBlock.PresetName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  wchar_t out[40] = {};
  char narrow[40] = {};
  r.SettingsRecord.PresetKind = 1;
  EXPECT_EQ(s.GetUserPresetName(out, 40), 0);
  EXPECT_EQ(s.GetUserPresetNameA(narrow, 40), 0);
  r.SettingsRecord.PresetKind = 2;
  ASSERT_EQ(s.GetUserPresetName(out, 40), 1);
  const size_t limit = (model_.header.flags24 & 0x100000) != 0 ? 20 : 16;
  EXPECT_EQ(std::wstring(out), name.substr(0, limit));
  ASSERT_EQ(s.GetUserPresetNameA(narrow, 40), 1);
  EXPECT_EQ(std::string(narrow), "ABCDEFGHIJKLMNOP");
  ASSERT_EQ(s.GetUserPresetName(out, 5), 1);
  EXPECT_EQ(std::wstring(out), L"ABCD") << "bounded by the caller's size";
}

TEST_P(JobSettingsPresets, PaperIndexesAndFeedValues) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const auto count = static_cast<int16_t>(model_.papers.size());
  r.PaperSizeIndex = 2;
  EXPECT_EQ(s.GetUserPaperIndex(), 2);
  r.PaperSizeIndex = static_cast<int16_t>(count + 3);
  EXPECT_EQ(s.GetUserPaperIndex(), 3);
  const bool by_feed = (model_.header.flags20 & 0x8000) != 0;
  for (size_t i = 0; i < model_.papers.size(); ++i) {
    const auto& paper = model_.papers[i];
    EXPECT_EQ(s.GetPaperIdByIndex(static_cast<uint16_t>(i)), paper.id);
    // The feed index is the low four bits of word 24 less one (at most 4), 0 without any.
    r.Public.dmPaperSize = paper.id;
    r.ScalingOptions = 0;
    const uint32_t position = paper.flags24 & 0xF;
    const uint16_t feed = position == 0 ? 0 : static_cast<uint16_t>(position - 1 > 4 ? 4 : position - 1);
    EXPECT_EQ(s.DerivePaperFeedIndex(), feed) << "paper " << i;
    s.StorePaperFeedIndex();
    EXPECT_EQ(r.PaperFeedIndex, feed);
    int32_t value = 0;
    ASSERT_EQ(s.GetPaperFeedValue(&value, static_cast<uint16_t>(i), 1), 1);
    EXPECT_EQ(value, paper.margin_index[2 + (by_feed ? feed : 0)]) << "paper " << i;
  }
  // With scaling to the output paper the output paper decides.
  r.Public.dmPaperSize = 4242;
  r.OutputPaperSize = static_cast<uint16_t>(model_.papers[0].id);
  r.ScalingOptions = 8;
  const uint32_t position = model_.papers[0].flags24 & 0xF;
  EXPECT_EQ(s.DerivePaperFeedIndex(), position == 0 ? 0 : std::min<uint32_t>(position - 1, 4));
  r.ScalingOptions = 0;
  EXPECT_EQ(s.DerivePaperFeedIndex(), 0) << "no paper has the id";
}

TEST_P(JobSettingsPresets, SourceMasksNeverShiftPastTheSources) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const auto count = static_cast<int16_t>(model_.sources.size());
  for (int16_t i = 0; i < count; ++i) {
    r.PaperSourceIndex = i;
    EXPECT_EQ(s.GetSourceMask(), 1u << (2 * i));
    r.ScalingOptions = 0;
    EXPECT_EQ(s.GetSourceMaskByIndex(static_cast<uint16_t>(i)), 1u << (2 * i));
    EXPECT_EQ(s.GetSourceMaskById(model_.sources[i].id), 1u << (2 * i));
    // Scaled to another paper, a source without a second position answers the pair's second bit.
    r.ScalingOptions = 1;
    const bool second = (model_.sources[i].flags8 & 8192) != 0;
    EXPECT_EQ(s.GetSourceMaskByIndex(static_cast<uint16_t>(i)), (1u << (2 * i)) << (second ? 0 : 1));
  }
  r.ScalingOptions = 0;
  for (int16_t index : {count, static_cast<int16_t>(-1), static_cast<int16_t>(16), static_cast<int16_t>(-32768)}) {
    r.PaperSourceIndex = index;
    EXPECT_EQ(s.GetSourceMask(), 0u) << index;
    EXPECT_EQ(s.GetSourceMaskByIndex(static_cast<uint16_t>(index)), 0u) << index;
  }
  EXPECT_EQ(s.GetSourceMaskById(31337), 0u) << "no source has the id";
  int kind = -1;
  EXPECT_EQ(s.FindPaperForCurrentSource(&kind), 0xFFFF);
  EXPECT_EQ(kind, kNoPaper);
}

TEST_P(JobSettingsPresets, OrientationAgainstThePrintableShape) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  struct Case {
    int32_t width, height;
    int16_t orientation;
    int natural;
  };
  const Case cases[] = {{1000, 2000, 1, 1}, {1000, 2000, 2, 0}, {2000, 1000, 2, 1},
                        {2000, 1000, 1, 0}, {1500, 1500, 1, 1}, {1500, 1500, 2, 0}};
  for (const Case& c : cases) {
    r.PaperDotExtent = {c.width + 30, c.height + 70};
    r.PaperMargins = {10, 30, 20, 40};
    r.Public.dmOrientation = c.orientation;
    EXPECT_EQ(s.IsPaperOrientationNatural(), c.natural) << c.width << "x" << c.height << " " << c.orientation;
  }
}

TEST_P(JobSettingsPresets, SourceSizeLimitsOfTheDefaultSource) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const auto& source = model_.sources.back();
  r.Public.dmDefaultSource = source.id;
  ExtentPair limits{};
  ExtentPair maximum{};
  ExtentPair minimum{};
  std::memcpy(&maximum, source.value32, 8);
  std::memcpy(&minimum, source.value40, 8);
  r.Public.dmPaperSize = model_.papers[0].id;
  ASSERT_EQ(s.GetSourceSizeLimits(0, &limits), 1);
  EXPECT_EQ(limits.width, minimum.width);
  ASSERT_EQ(s.GetSourceSizeLimits(1, &limits), 1);
  EXPECT_EQ(limits.height, maximum.height);
  r.Public.dmPaperSize = 4242;  // neither a model nor a user paper
  ASSERT_EQ(s.GetSourceSizeLimits(0, &limits), 1);
  EXPECT_EQ(limits.width, maximum.width);
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobSettingsPresets, ::testing::ValuesIn(test::kSampleModels), test::SampleName);

}  // namespace
}  // namespace kalimu::settings
