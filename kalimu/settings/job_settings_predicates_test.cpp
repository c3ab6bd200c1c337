// Predicates, lookups by id and option bits of the settings object, as tables over both sample
// models.
#include <gtest/gtest.h>

#include <cstring>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;

class JobSettingsBits : public test::RollPrinterTest {};

TEST_F(JobSettingsBits, SingleBitSettersSetOnAnyNonZeroAndClearOnZero) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  struct Case {
    const char* name;
    void (JobSettings::*set)(int);
    const uint32_t* word;
    uint32_t bit;
  };
  const Case cases[] = {
      {"cut 1", &JobSettings::SetCutOptionBit1, &r.CutOptions, 1},
      {"cut 2", &JobSettings::SetCutOptionBit2, &r.CutOptions, 2},
      {"cut 8", &JobSettings::SetCutOptionBit8, &r.CutOptions, 8},
      {"paper 2", &JobSettings::SetPaperOptionBit2, &r.PaperOptions, 2},
      {"paper 4", &JobSettings::SetPaperOptionBit4, &r.PaperOptions, 4},
      {"paper 32", &JobSettings::SetPaperOptionBit32, &r.PaperOptions, 32},
      {"paper 64", &JobSettings::SetPaperOptionBit64, &r.PaperOptions, 64},
      {"layout 64", &JobSettings::SetLayoutOptionBit64, &r.LayoutOptions, 64},
      {"duplex 4", &JobSettings::SetDuplexOption4, &r.DuplexOptions, 4},
      {"halftone", &JobSettings::SetHalftoneOptionChecked, &r.SettingsRecord.ModeOptions3, 0x20},
  };
  for (const Case& c : cases) {
    (s.*c.set)(2);
    EXPECT_EQ(*c.word & c.bit, c.bit) << c.name;
    (s.*c.set)(0);
    EXPECT_EQ(*c.word & c.bit, 0u) << c.name;
  }
  s.SetPersistentOptionBit8(2);  // only 1 sets this word's bits
  EXPECT_EQ(r.PersistentOptions & 8, 0u);
  s.SetPersistentOptionBit8(1);
  EXPECT_EQ(r.PersistentOptions & 8, 8u);
}

TEST_F(JobSettingsBits, PaperOption256IsStoredInvertedAndClearsTheFeedBits) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  r.PaperOptions = 32 | 64;
  s.SetPaperOptionBit256Inverted(1);  // 256 already clear: nothing changes
  EXPECT_EQ(r.PaperOptions, 32u | 64u);
  s.SetPaperOptionBit256Inverted(0);
  EXPECT_EQ(r.PaperOptions, 256u);
  r.PaperOptions |= 32;
  s.SetPaperOptionBit256Inverted(0);  // already set: nothing changes
  EXPECT_EQ(r.PaperOptions, 256u | 32u);
  s.SetPaperOptionBit256Inverted(5);
  EXPECT_EQ(r.PaperOptions, 0u);
}

TEST_F(JobSettingsBits, LayoutAndJobPredicates) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const struct {
    uint32_t layout;
    int rotated;
    int reverse;
  } layouts[] = {{0, 0, 0}, {256, 1, 0}, {2048, 1, 0}, {256 | 2048, 0, 0}, {128, 0, 1}};
  for (const auto& c : layouts) {
    r.LayoutOptions = c.layout;
    EXPECT_EQ(s.IsRotated180(), c.rotated) << c.layout;
    EXPECT_EQ(s.IsReverseOrder(), c.reverse) << c.layout;
  }
  r.LayoutOptions = 16 | 64;
  EXPECT_EQ(s.HasLayoutOptionBit16(), 1);
  EXPECT_EQ(s.HasLayoutOptionBit32(), 0);
  EXPECT_EQ(s.HasLayoutOptionBit64(), 1);
  r.JobOptions = 256;
  EXPECT_EQ(s.HasJobOptionBit256(), 1);
  r.WatermarkSettings.WatermarkFlags = 8;
  EXPECT_EQ(s.IsWatermarkOn(), 0);
  r.WatermarkSettings.WatermarkFlags = 9;
  EXPECT_EQ(s.IsWatermarkOn(), 1);
  r.Public.dmCollate = 1;
  EXPECT_EQ(s.IsCollateOn(), 1);
  r.SettingsRecord.CorrectionOption = 2;
  EXPECT_EQ(s.IsCorrectionOptionOn(), 1);
  const struct {
    int16_t pages;
    int poster;
    int32_t code;
    int32_t grid;
  } pages[] = {{1, 0, 0, 0}, {-1, 1, 4, 2}, {-2, 1, 9, 3}, {-3, 1, 16, 4}, {-4, 1, 2, 1}, {-5, 1, 0, 0}};
  for (const auto& c : pages) {
    r.PagesPerSheet = c.pages;
    EXPECT_EQ(s.IsPosterLayout(), c.poster) << c.pages;
    EXPECT_EQ(s.GetPosterCode(), c.code) << c.pages;
    EXPECT_EQ(s.GetPosterGrid(), c.grid) << c.pages;
  }
}

TEST_F(JobSettingsBits, PresetKinds) {
  JobSettings& s = fixture_.settings();
  void (JobSettings::*setters[])() = {&JobSettings::SetPresetKind0, &JobSettings::SetPresetKind1,
                                      &JobSettings::SetPresetKind2, &JobSettings::SetPresetKind3,
                                      &JobSettings::SetPresetKind4, &JobSettings::SetPresetKind5};
  for (int kind = 0; kind < 6; ++kind) {
    (s.*setters[kind])();
    EXPECT_EQ(fixture_.record().SettingsRecord.PresetKind, kind);
    EXPECT_EQ(s.IsPresetKind0(), kind == 0 ? 1 : 0) << kind;
    EXPECT_EQ(s.IsPresetKind1Or4(), kind == 1 || kind == 4 ? 1 : 0) << kind;
    EXPECT_EQ(s.IsPresetKind2(), kind == 2 ? 1 : 0) << kind;
    EXPECT_EQ(s.IsPresetKind5(), kind == 5 ? 1 : 0) << kind;
  }
}

TEST_F(JobSettingsBits, DuplexAndBindingEdges) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  struct Case {
    int16_t duplex;
    uint16_t edge;
    uint32_t options;
    int on, with1, without1, with4, edge0, edge1, edge2;
  };
  const Case cases[] = {
      {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // one-sided: no edge counts
      {2, 2, 1, 1, 1, 0, 0, 0, 0, 1},
      {3, 0, 4, 1, 0, 1, 1, 1, 0, 0},
      {3, 1, 5, 1, 1, 0, 1, 0, 1, 0},
  };
  for (const Case& c : cases) {
    r.Public.dmDuplex = c.duplex;
    r.BindingEdge = c.edge;
    r.DuplexOptions = c.options;
    EXPECT_EQ(s.IsDuplexOn(), c.on);
    EXPECT_EQ(s.IsDuplexWithOption1(), c.with1);
    EXPECT_EQ(s.IsDuplexWithoutOption1(), c.without1);
    EXPECT_EQ(s.IsDuplexWithOption4(), c.with4);
    EXPECT_EQ(s.IsBindingEdge0(), c.edge0);
    EXPECT_EQ(s.IsBindingEdge1(), c.edge1);
    EXPECT_EQ(s.IsBindingEdge2(), c.edge2);
  }
  const struct {
    void (JobSettings::*set)();
    uint16_t edge;
    int16_t duplex;
  } edges[] = {{&JobSettings::SetBindingEdge0, 0, 3}, {&JobSettings::SetBindingEdge1, 1, 3},
               {&JobSettings::SetBindingEdge2, 2, 2}};
  for (const auto& e : edges) {
    r.Public.dmDuplex = 1;
    (s.*e.set)();
    EXPECT_EQ(r.BindingEdge, e.edge);
    EXPECT_EQ(r.Public.dmDuplex, e.duplex);
  }
  r.DuplexOptions = kDuplexOptionBindingMarginMetric;
  EXPECT_EQ(s.IsBindingUnitMetric(), 1);
  EXPECT_EQ(s.IsBindingUnitInch(), 0);
  r.DuplexOptions = 0;
  EXPECT_EQ(s.IsBindingUnitInch(), 1);
}

TEST_F(JobSettingsBits, ColourMethodFrameAndResolutions) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  struct Case {
    int16_t variant;
    uint16_t color_mode, quality;
    DWORD icm;
    uint16_t method;
  };
  const Case cases[] = {
      {0, 2, 0, 0, 3},     {1, 0, 0, 0, 0x106}, {1, 0, 1, 0, 6},     {1, 2, 5, 0, 0x106},
      {1, 2, 5, 2, 6},     {2, 2, 0, 0, 6},     {1, 3, 0, 0, 6},
  };
  for (const Case& c : cases) {
    r.SettingsRecord.ModeVariant = c.variant;
    r.SettingsRecord.ColorMode = c.color_mode;
    r.SettingsRecord.QualityLevel = c.quality;
    r.Public.dmICMMethod = c.icm;
    EXPECT_EQ(s.GetColorAdjustMethod(), c.method) << c.variant << " " << c.color_mode << " " << c.quality;
  }
  r.PaperDotExtent = {4000, 5000};
  r.PaperMargins = {1, 2, 3, 4};
  r.OutputExtent = {300, 400};
  r.OutputMargins = {5, 6, 7, 8};
  ExtentPair size{};
  EdgeValues margins{};
  s.GetPageFrame(&size, &margins, 1);
  EXPECT_EQ(size.width, 4000);
  EXPECT_EQ(margins.bottom, 4);
  s.GetPageFrame(&size, &margins, 0);
  EXPECT_EQ(size.height, 400);
  EXPECT_EQ(margins.left, 5);
  r.DeviceResolution = {0x10168, 720};
  r.RenderResolution = {360, 180};
  uint16_t pair[2] = {};
  s.GetResolutionPair(pair, 1);
  EXPECT_EQ(pair[0], 0x168);
  EXPECT_EQ(pair[1], 720);
  s.GetResolutionPair(pair, 0);
  EXPECT_EQ(pair[0], 360);
  EXPECT_EQ(pair[1], 180);
}

TEST_F(JobSettingsBits, SameRecordComparesThePrinterAndThePublicFieldsThatPrint) {
  JobSettings& s = fixture_.settings();
  DriverDevMode copy = fixture_.record();
  JobSettings other(&copy, fixture_.handle(), nullptr, nullptr);
  ASSERT_EQ(other.IsValid(), 1);
  EXPECT_EQ(s.IsSameDevMode(other, 0), 1);
  copy.PaperSizeIndex = 4;  // private parts are not compared
  EXPECT_EQ(s.IsSameDevMode(other, 0), 1);
  copy.Public.dmMediaType = 77;
  EXPECT_EQ(s.IsSameDevMode(other, 0), 0);
  EXPECT_EQ(s.IsSameDevMode(other, 2), 1);
  copy = fixture_.record();
  other.SetPrinterName("Someone Else");
  EXPECT_EQ(s.IsSameDevMode(other, 0), 0);
}

// The test programs run under a U.S., a German and a Japanese locale: only the first measures
// in inches.
TEST(JobSettingsLocale, MetricUnlessTheUsSystem) {
  const bool us = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_ENGLISH &&
                  SUBLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == SUBLANG_ENGLISH_US;
  EXPECT_EQ(JobSettings::IsMetricLocale(), us ? 0 : 1);
}

TEST_F(JobSettingsBits, UiLanguageComesFromTheResourceLibrary) {
  fixture_.settings().StoreUiLanguage();
  EXPECT_EQ(fixture_.record().UiLanguage, 0x0409);
  EXPECT_EQ(GetModuleLanguageId(nullptr), 1033);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(GetModuleLanguageId((std::string(system) + "\\no such module.dll").c_str()), 1033);
}

TEST_F(JobSettingsBits, WatermarkSwitchAndSelectionByIndex) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  uint32_t entries = 0;
  ASSERT_EQ(s.GetEntryCount(&entries), 1);
  ASSERT_EQ(entries, 3u) << "the stand-in library's built-in watermarks";
  // Built-in watermarks are bitmaps (kind 2): flag 8 joins the switch.
  r.WatermarkSettings.WatermarkIndex = 1;
  s.SetWatermarkEnabled(1);
  EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, 1u | 8u);
  s.SetWatermarkEnabled(0);
  EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, 0u);
  r.WatermarkSettings.WatermarkIndex = 7;  // no such entry: no kind bit
  s.SetWatermarkEnabled(1);
  EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, 1u);
  s.SetWatermarkEnabled(0);
  s.SelectWatermarkByIndex();  // off: nothing happens
  EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, 0u);

  struct Case {
    int16_t index;
    uint32_t flags_after;
    uint32_t color_after;
  };
  const Case cases[] = {
      {2, 9, 0x00FF00FF},   // selected: magenta, switched on
      {3, 1, 0},            // the entry count: left as it is
      {-1, 0, 0},           // off
      {10, 0, 0},           // beyond built-in count plus capacity: off
  };
  for (const Case& c : cases) {
    r.WatermarkSettings = {};
    r.WatermarkSettings.WatermarkIndex = c.index;
    r.WatermarkSettings.WatermarkFlags = 1;
    s.SelectWatermarkByIndex();
    EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, c.flags_after) << c.index;
    EXPECT_EQ(r.WatermarkSettings.WatermarkColor, c.color_after) << c.index;
  }
}

class JobSettingsLookups : public test::SampleModelTest {};

TEST_P(JobSettingsLookups, SourcesAndMediaByIdAnswerTheFirstMatchOrZero) {
  JobSettings& s = fixture_.settings();
  for (size_t i = 0; i < model_.sources.size(); ++i) {
    EXPECT_EQ(s.FindSourceIndexById(model_.sources[i].id), i);
  }
  EXPECT_EQ(s.FindSourceIndexById(9999), 0);
  for (size_t i = 0; i < model_.media.size(); ++i) {
    EXPECT_EQ(s.FindMediaIndexById(model_.media[i].id), i);
    EXPECT_EQ(s.IsKnownMediaId(model_.media[i].id), 1);
  }
  EXPECT_EQ(s.FindMediaIndexById(-5), 0);
  EXPECT_EQ(s.IsKnownMediaId(-5), 0);
  for (size_t i = 0; i < model_.modes.size(); ++i) {
    uint16_t expected = 0;
    for (size_t m = 0; m < model_.media.size(); ++m) {
      if (model_.media[m].id == model_.modes[i].media_id) {
        expected = static_cast<uint16_t>(m);
        break;
      }
    }
    EXPECT_EQ(s.FindMediaIndexOfMode(static_cast<uint16_t>(i)), expected) << "mode " << i;
  }
}

TEST_P(JobSettingsLookups, PaperPredicatesFollowTheirRecords) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  for (size_t i = 0; i < model_.papers.size(); ++i) {
    const auto& paper = model_.papers[i];
    const auto index = static_cast<uint16_t>(i);
    EXPECT_EQ(s.IsPaperIdAt(paper.id, index), 1);
    EXPECT_EQ(s.IsPaperIdAt(paper.id + 1000, index), 0);
    for (uint32_t kinds : {1u, 2u, 3u}) {
      const int expected = ((paper.value4 & 1) && (kinds & 1)) || ((paper.value4 & 2) && (kinds & 2)) ? 1 : 0;
      EXPECT_EQ(s.PaperMatchesFeed(index, kinds), expected) << "paper " << i << " kinds " << kinds;
    }
    // Selector 1..4 read words 34..40, anything else word 32.
    const int16_t* words = paper.margin_index;  // words 28 to 44
    const struct {
      int selector;
      int16_t value;
    } dims[] = {{0, words[2]}, {1, words[3]}, {2, words[4]}, {3, words[5]}, {4, words[6]}, {7, words[2]}};
    for (const auto& d : dims) EXPECT_EQ(s.GetPaperDimension(d.selector, index), d.value) << d.selector;
    EXPECT_EQ(s.TestPaperFlags(static_cast<int16_t>(i), paper.source_flags), paper.source_flags != 0 ? 1 : 0);
  }
  const auto count = static_cast<int16_t>(model_.papers.size());
  r.PaperSizeIndex = static_cast<int16_t>(count - 1);
  EXPECT_EQ(s.IsUserPaperSelected(), 0);
  r.PaperSizeIndex = count;
  EXPECT_EQ(s.IsUserPaperSelected(), 1);
}

TEST_P(JobSettingsLookups, ModeLookupsSkipHiddenModesUnlessAsked) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  for (size_t i = 0; i < model_.modes.size(); ++i) {
    const auto& mode = model_.modes[i];
    const bool hidden = (mode.flags24 & 0x80) != 0;
    s.SetHiddenModes(0);
    EXPECT_EQ(s.FindModeIndex(mode.media_id, mode.id), hidden ? 0 : i) << "mode " << i;
    s.SetHiddenModes(1);
    EXPECT_EQ(s.FindModeIndex(mode.media_id, mode.id), i) << "mode " << i;
    s.SetHiddenModes(0);

    r.SettingsRecord.MediaId = 0;
    r.SettingsRecord.ModeId = 0;
    s.SelectVisibleModeByIndex(static_cast<uint16_t>(i));
    EXPECT_EQ(r.SettingsRecord.MediaId, hidden ? 0u : static_cast<uint32_t>(mode.media_id)) << "mode " << i;
    EXPECT_EQ(r.SettingsRecord.ModeId, hidden ? 0 : mode.id) << "mode " << i;

    // The alternatives a mode names for each variant, found among the current media's modes.
    r.SettingsRecord.MediaId = static_cast<uint32_t>(mode.media_id);
    EXPECT_EQ(s.FindModeIndexForVariant0(static_cast<uint16_t>(i)), s.FindModeIndex(mode.media_id, mode.value44));
    EXPECT_EQ(s.FindModeIndexForVariant1(static_cast<uint16_t>(i)), s.FindModeIndex(mode.media_id, mode.value42));
    EXPECT_EQ(s.FindModeIndexForVariant2(static_cast<uint16_t>(i)), s.FindModeIndex(mode.media_id, mode.value46));
  }
  s.SelectVisibleModeByIndex(static_cast<uint16_t>(model_.modes.size()));  // past the table
  EXPECT_EQ(r.SettingsRecord.ModeId, model_.modes.back().flags24 & 0x80 ? 0 : model_.modes.back().id);
}

TEST_P(JobSettingsLookups, ModeAndPresetValuesOfTheCurrentMedia) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  const auto& first_mode = model_.modes[0];
  r.SettingsRecord.MediaId = static_cast<uint32_t>(first_mode.media_id);
  EXPECT_EQ(s.FindModeForMediaValue(first_mode.id), first_mode.id);
  // An id the media lacks gives the first visible mode id of the media, not an index.
  EXPECT_EQ(s.FindModeForMediaValue(999), first_mode.id);
  r.SettingsRecord.MediaId = 424242;
  EXPECT_EQ(s.FindModeForMediaValue(first_mode.id), 0);

  const auto& group0 = model_.presets[0];
  r.SettingsRecord.MediaId = static_cast<uint32_t>(group0[0].media_id);
  EXPECT_EQ(s.FindPresetForMediaGroup0(group0[0].mode_id), group0[0].mode_id);
  EXPECT_EQ(s.FindPresetForMediaGroup0(999), group0[0].mode_id);
  const auto& group2 = model_.presets[2];
  r.SettingsRecord.MediaId = static_cast<uint32_t>(group2[0].media_id);
  EXPECT_EQ(s.FindPresetForMedia(999), group2[0].mode_id);
  r.SettingsRecord.MediaId = 424242;
  EXPECT_EQ(s.FindPresetForMedia(5), 0);
}

TEST_P(JobSettingsLookups, CapabilityPredicatesReadTheModelHeader) {
  JobSettings& s = fixture_.settings();
  const uint32_t flags24 = model_.header.flags24;
  EXPECT_EQ(s.SupportsAdjustItem8(), (flags24 & 24) != 0 ? 1 : 0);
  EXPECT_EQ(s.SupportsAdjustItem32(), (flags24 & 96) != 0 ? 1 : 0);
  EXPECT_EQ(s.SupportsRtInfo(), (flags24 & 0x4000) != 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobSettingsLookups, ::testing::ValuesIn(test::kSampleModels), test::SampleName);

// The head identity is trusted only from a model that reads it and a value whose two check
// words are 1.
TEST(JobSettingsHeadId, BothCheckWordsMustBeOne) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.header.flags20 |= 2;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  EXPECT_EQ(s.HasHeadIdFlags(), 0) << "no stored value";
  struct Case {
    uint32_t word88, word92;
    int trusted;
  };
  for (const Case& c : {Case{1, 1, 1}, Case{1, 0, 0}, Case{2, 1, 0}}) {
    uint8_t value[112] = {};
    std::memcpy(value + 88, &c.word88, 4);
    std::memcpy(value + 92, &c.word92, 4);
    ASSERT_EQ(s.WriteRegistryValue(nullptr, nullptr, storage::kValueRxHeadId, REG_BINARY, value, sizeof(value), 0), 0);
    EXPECT_EQ(s.HasHeadIdFlags(), c.trusted) << c.word88 << " " << c.word92;
  }
}

}  // namespace
}  // namespace kalimu::settings
