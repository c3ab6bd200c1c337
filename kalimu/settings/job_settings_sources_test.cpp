// Paper-source compatibility: masks, source predicates, feed kinds, partner sources, paired media
// codes and the check of a selection, over the sixteen-source and the rule model.
#include <gtest/gtest.h>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/rule_models.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;
constexpr uint32_t kLargeFormat = 0x200;  // model header word 28

// The sixteen-source model with header word 28 as the parameter.
class SixteenSources : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    record().PaperSourceIndex = 0;
    record().Public.dmDefaultSource = 300;
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& record() { return fixture_.record(); }
  bool large_format() const { return (GetParam() & kLargeFormat) != 0; }
  SettingsOnPrinter fixture_{testkit::SixteenSourceModel(GetParam())};
};

TEST_P(SixteenSources, MasksTellSixteenSourcesApart) {
  for (uint16_t i = 0; i < 16; ++i) {
    const uint32_t first = 1u << (2 * i);
    record().ScalingOptions = 0;
    EXPECT_EQ(s().GetSourceMaskByIndex(i), first) << i;
    EXPECT_EQ(s().GetSourceMaskById(300 + i), first) << i;
    // Sources 0 and 14 have the second-feed capability: they keep the first bit.
    const bool second_feed = i == 0 || i == 14;
    EXPECT_EQ(s().GetSourceMaskBit(i), second_feed ? first : first << 1) << i;
    record().ScalingOptions = 1;
    EXPECT_EQ(s().GetSourceMaskByIndex(i), second_feed ? first : first << 1) << i;
  }
  record().PaperSourceIndex = 15;
  EXPECT_EQ(s().GetSourceMask(), 1u << 30);
  // Indexes and ids outside the table give no bit at all.
  EXPECT_EQ(s().GetSourceMaskByIndex(16), 0u);
  EXPECT_EQ(s().GetSourceMaskById(316), 0u);
  EXPECT_EQ(s().GetSourceMaskById(7), 0u);
  record().PaperSourceIndex = 16;
  EXPECT_EQ(s().GetSourceMask(), 0u);
}

TEST_P(SixteenSources, FeedFlags) {
  const uint32_t plain[16] = {0x10, 0x10, 0x1004, 0x1008, 0x4,  0x2, 0x100, 0x80,
                              0x40, 0x800, 0x1,  0x100,  0x20000, 0x10000, 0x1010, 0x8};
  const uint32_t large[16] = {0x10, 0x10, 0x1000, 0x1008, 0x204, 0x2, 0x100, 0x80,
                              0x40, 0x800, 0x1,  0x100,  0x20000, 0x10000, 0x1010, 0x408};
  for (uint16_t i = 0; i < 16; ++i) {
    EXPECT_EQ(s().GetSourceFeedFlags(i), large_format() ? large[i] : plain[i]) << i;
  }
}

TEST_P(SixteenSources, PartnerSourcesOfTheOtherFeedType) {
  const uint16_t plain[16] = {0, 1, 3, 2, 3, 5, 6, 8, 7, 8, 10, 11, 13, 12, 3, 2};
  const uint16_t large[16] = {0, 1, 2, 4, 3, 5, 6, 8, 7, 8, 10, 11, 13, 12, 3, 4};
  for (uint16_t i = 0; i < 16; ++i) {
    EXPECT_EQ(s().GetSourceFeedClass(i), large_format() ? large[i] : plain[i]) << i;
  }
  record().Public.dmDefaultSource = 307;
  EXPECT_EQ(s().GetDefaultSourceFeedClass(), 8);
  EXPECT_EQ(s().GetSourceFeedClass(16), 16);  // no such source: itself
}

TEST_P(SixteenSources, Compatibility) {
  const struct {
    uint16_t a, b;
    int plain, large;
  } cases[] = {
      {12, 13, 1, 1},  // both feed 0x80
      {10, 11, 1, 1},  // both feed 0x40 decides before both 0x10
      {5, 11, 0, 0},   // both 0x10, one with 0x40
      {5, 6, 1, 1},    // both 0x10
      {2, 3, 1, 0},    // both front feed: large format needs the cutter or feed bit 8
      {3, 4, 1, 1},    // feed bit 8 on both
      {4, 15, 1, 1},   // cutter on both
      {0, 1, 1, 1},    // feed bit 1
      {7, 8, 1, 1},    // feed bit 4
      {14, 3, 1, 1},   // feed bit 2, no front feed on one of them
      {0, 2, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s().AreSourcesCompatible(c.a, c.b), large_format() ? c.large : c.plain) << c.a << "," << c.b;
    EXPECT_EQ(s().AreSourcesCompatible(c.b, c.a), large_format() ? c.large : c.plain) << c.b << "," << c.a;
  }
}

TEST_P(SixteenSources, SourcePredicatesById) {
  using Predicate = int (JobSettings::*)(int32_t);
  const struct {
    const char* name;
    Predicate test;
    uint32_t plain;  // bit i: source 300 + i answers 1
    uint32_t large;
  } cases[] = {
      {"special feed", &JobSettings::IsSpecialFeedSourceById, 0x0EE0, 0x0EE0},
      {"feed type", &JobSettings::IsFeedTypeSourceById, 0x14A0, 0x9EE8},
      {"4000 with 40000", &JobSettings::IsSourceFlag4000With40000, 0x8008, 0x8008},
      {"4000 without 40000", &JobSettings::IsSourceFlag4000Without40000, 0x0014, 0x0014},
      {"4000", &JobSettings::IsSourceFlag4000ById, 0x801C, 0x801C},
      {"has 4000", &JobSettings::SourceHasFlag4000ById, 0x801C, 0x801C},
      {"has feed 1", &JobSettings::SourceHasFlag1ById, 0x4003, 0x4003},
      {"feed 1", &JobSettings::SourceIdHasFeedBit1, 0x4003, 0x4003},
      {"feed 2", &JobSettings::SourceIdHasFeedBit2, 0x400C, 0x400C},
      {"feed 4", &JobSettings::SourceIdHasFeedBit4, 0x0380, 0x0380},
      {"feed 8", &JobSettings::SourceIdHasFeedBit8, 0x8018, 0x8018},
      {"feed 16", &JobSettings::SourceIdHasFeedBit16, 0x0860, 0x0860},
      {"feed 64", &JobSettings::SourceIdHasFeedBit64, 0x0C00, 0x0C00},
      {"type 4000", &JobSettings::SourceIdHasTypeBit4000, 0x801C, 0x801C},
      {"type 40000", &JobSettings::SourceIdHasTypeBit40000, 0x8A48, 0x8A48},
      {"type 400000", &JobSettings::SourceIdHasTypeBit400000, 0x14A0, 0x14A0},
  };
  // dmDefaultSource names an id outside the table, so every id is searched.
  record().Public.dmDefaultSource = 999;
  for (const auto& c : cases) {
    const uint32_t expected = large_format() ? c.large : c.plain;
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ((s().*c.test)(300 + i), (expected >> i) & 1) << c.name << " source " << i;
    }
    EXPECT_EQ((s().*c.test)(4), 0) << c.name << ": no such source";
  }
  for (uint16_t i = 0; i < 16; ++i) {
    EXPECT_EQ(s().SourceHasFeedFlags(i), (0x9EE8 >> i) & 1) << i;
  }
}

TEST_P(SixteenSources, TheDefaultSourceIdIsTestedOnTheCurrentIndex) {
  record().Public.dmDefaultSource = 300;  // the id of source 0 ...
  record().PaperSourceIndex = 8;          // ... while source 8 is current
  EXPECT_EQ(s().SourceIdHasFeedBit4(300), 1);
  EXPECT_EQ(s().SourceIdHasFeedBit1(300), 0);
  EXPECT_EQ(s().SourceIdHasFeedBit1(301), 1);  // other ids are searched
  record().PaperSourceIndex = 40;               // a current index outside the table
  EXPECT_EQ(s().SourceIdHasFeedBit4(300), 0);
}

TEST_P(SixteenSources, PairedMediaCodes) {
  const struct {
    int16_t code, plain, large;
  } cases[] = {{-1, -1, -1}, {0, 12, 10}, {1, 1, 41},   {2, 4, 4},    {4, 2, 2},   {10, 10, 0},
               {12, 0, 12},  {33, 33, 34}, {34, 34, 33}, {35, 37, 37}, {36, 38, 38}, {37, 35, 35},
               {38, 36, 36}, {41, 41, 1},  {42, 43, 43}, {43, 42, 42}, {46, 47, 47}, {47, 46, 46},
               {48, 49, 49}, {49, 48, 48}, {3, 3, 3},    {50, 50, 50}, {300, 300, 300}};
  for (const auto& c : cases) {
    EXPECT_EQ(s().MapPairedMediaCode(c.code), large_format() ? c.large : c.plain) << c.code;
  }
}

TEST_P(SixteenSources, DefaultIndexAliasesAndSourceFour) {
  record().Public.dmDefaultSource = 309;
  EXPECT_EQ(s().GetDefaultSourceIndex(), 9);
  EXPECT_EQ(s().GetDefaultSourceIndex2(), 9);
  record().Public.dmDefaultSource = 5;
  EXPECT_EQ(s().GetDefaultSourceIndex(), 0);
  EXPECT_EQ(JobSettings::MapSourceAlias(7), 259);
  EXPECT_EQ(JobSettings::MapSourceAlias(256), 257);
  EXPECT_EQ(JobSettings::MapSourceAlias(258), 258);
  EXPECT_EQ(s().HasSourceId4(), 0);  // no source 4, word 28 lacks 0x80
  record().PaperSourceIndex = 3;
  EXPECT_EQ(s().IsSourceValueMatch(3), 1);
  EXPECT_EQ(s().IsSourceValueMatch(4), 0);
  EXPECT_EQ(s().IsSourceValueMatch(16), 0);
}

INSTANTIATE_TEST_SUITE_P(Word28, SixteenSources, ::testing::Values(0u, kLargeFormat),
                         [](const auto& info) { return std::string(info.param != 0 ? "LargeFormat" : "Plain"); });

// The rule model: sheet feeder (id 7, index 0), manual feed (4), roll (256), roll with an LFP
// record (257); sheets = mask 0x05, rolls = 0x50.
class SourceRules : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    SelectMode(0);
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& record() { return fixture_.record(); }
  // Makes print-mode record `index` current (its media too).
  void SelectMode(size_t index) {
    record().SettingsRecord.MediaId = fixture_.model().modes[index].media_id;
    record().SettingsRecord.ModeId = fixture_.model().modes[index].id;
  }
  SettingsOnPrinter fixture_{testkit::RuleModel(0x80)};
};

TEST_F(SourceRules, RecordsAllowSourcesByTheirMasks) {
  const struct {
    int32_t source;
    int preset1, preset2, media1, media2, mode3, mode4;
  } cases[] = {{7, 1, 0, 1, 0, 1, 0}, {4, 1, 0, 1, 0, 1, 0}, {256, 0, 1, 0, 1, 0, 1}, {257, 0, 1, 0, 1, 0, 1},
               {258, 0, 0, 0, 0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(s().PresetAllowsSource(2, c.source), c.preset1) << c.source;
    EXPECT_EQ(s().PresetAllowsSourceSwapped(c.source, 3), c.preset2) << c.source;
    EXPECT_EQ(s().MediaAllowsSource(1, c.source), c.media1) << c.source;
    EXPECT_EQ(s().MediaAllowsSource(2, c.source), c.media2) << c.source;
    EXPECT_EQ(s().ModeAllowsSource(3, c.source), c.mode3) << c.source;
    EXPECT_EQ(s().ModeAllowsSource(4, c.source), c.mode4) << c.source;
  }
  EXPECT_EQ(s().MediaAllowsSourceIndex(1, 1), 1);
  EXPECT_EQ(s().MediaAllowsSourceIndex(1, 2), 0);
  EXPECT_EQ(s().ModeAllowsSourceIndex(4, 3), 1);
  EXPECT_EQ(s().ModeAllowsSourceIndex(4, 16), 0);
  EXPECT_EQ(s().UserPresetAllowsSource(0, 7), 0);  // no user preset stored
  EXPECT_EQ(s().HasSourceId4(), 1);
}

TEST_F(SourceRules, MediaAndModeChecksAndTheSourceForTheMedia) {
  SelectMode(3);  // sheets media 102, sheets mode 4
  EXPECT_EQ(s().CheckMediaModeForSource(1, 7), 0);
  EXPECT_EQ(s().CheckMediaModeForSource(1, 256), 0x32);
  EXPECT_EQ(s().CheckMediaModeForSource(0, 256), 0x33);  // media 0 takes every source, the mode does not
  EXPECT_EQ(s().FindSourceForMedia(), 0);
  SelectMode(4);  // roll media 103, roll mode 5
  EXPECT_EQ(s().FindSourceForMedia(), 2);
  record().Public.dmDefaultSource = 4;  // no longer offered: the id of the media's source
  record().PaperSourceIndex = 0;
  s().ClampSourceIndex(11);
  EXPECT_EQ(record().PaperSourceIndex, 1);
  record().Public.dmDefaultSource = 99;
  s().ClampSourceIndex(11);
  EXPECT_EQ(record().Public.dmDefaultSource, 256);
  EXPECT_EQ(record().PaperSourceIndex, 1);
  record().PaperSourceIndex = 4;
  s().ClampSourceIndex(15);
  EXPECT_EQ(record().PaperSourceIndex, 2);
  record().PaperSourceIndex = 3;
  s().ClampSourceIndex(15);
  EXPECT_EQ(record().PaperSourceIndex, 3);
  s().ClampSourceIndex(12);
  EXPECT_EQ(record().PaperSourceIndex, 3);
}

TEST_F(SourceRules, PresetAnswerForASource) {
  // The current preset is the group-1 preset of sheets media 102.
  SelectMode(3);
  record().SettingsRecord.PresetId = fixture_.model().presets[1][0].value0;
  record().SettingsRecord.ModeVariant = fixture_.model().presets[1][0].value12;
  const struct {
    int32_t source;
    int answer;
  } cases[] = {{7, 0}, {256, 2}, {257, 2}, {259, 4}, {258, 0}};
  for (const auto& c : cases) EXPECT_EQ(s().CheckPresetForSource(c.source), c.answer) << c.source;
}

TEST_F(SourceRules, SpecialFeedNeedsTheRecordsFlag) {
  record().Public.dmDefaultSource = 256;  // roll, feed 0x10
  EXPECT_EQ(s().IsSpecialFeedSourceById(256), 1);
  EXPECT_EQ(s().ModeAllowsSpecialFeed(0), (fixture_.model().modes[0].flags20 & 0x80000) != 0 ? 1 : 0);
  EXPECT_EQ(s().UserPresetAllowsSpecialFeed(0), 0);
  record().Public.dmDefaultSource = 7;
  EXPECT_EQ(s().ModeAllowsSpecialFeed(0), 0);
}

TEST_F(SourceRules, CustomSizeIsAllowedWhereItsPaperIsAllowed) {
  for (int32_t source : {7, 4, 256, 257}) EXPECT_EQ(s().SourceAllowsCustomSize(source), 1) << source;
  EXPECT_EQ(s().SourceAllowsCustomSize(258), 0);
}

TEST_F(SourceRules, CheckSelection) {
  record().SettingsRecord.PresetKind = 0;
  const struct {
    const char* name;
    uint16_t keep, preset, paper, media, mode, source;
    uint32_t conflicts;
  } cases[] = {
      {"all fit the sheet feeder", 0x75, 0, 0, 1, 3, 0, 0},
      {"sheet settings on a roll", 0x75, 0, 0, 1, 3, 2, 0x34},
      {"roll preset on the feeder", 0x75, 3, 6, 2, 4, 0, 0x35},
      {"roll settings on a roll", 0x75, 3, 6, 2, 4, 3, 0},
      {"an unreadable user preset", 0x77, 0, 0, 1, 3, 0, 2},
  };
  for (const auto& c : cases) {
    SelectionSnapshot snapshot{c.keep, c.preset, 0, c.paper, 0, c.media, c.mode, c.source};
    EXPECT_EQ(s().CheckSelection(&snapshot), c.conflicts) << c.name;
  }
  // Fields without their keep bit come from the current settings.
  SelectMode(4);
  record().PaperSizeIndex = 4;  // the 24 inch roll
  record().PaperSourceIndex = 0;
  record().SettingsRecord.PresetKind = 5;  // no model preset takes part
  SelectionSnapshot snapshot{};
  EXPECT_EQ(s().CheckSelection(&snapshot), 0x34u);
  EXPECT_EQ(snapshot.paper_index, 4);
  EXPECT_EQ(snapshot.media_index, 2);
  EXPECT_EQ(snapshot.mode_index, 4);
  EXPECT_EQ(snapshot.source_index, 0);
  record().PaperSourceIndex = 2;
  EXPECT_EQ(s().CheckSelection(&snapshot), 0u);
}

}  // namespace
}  // namespace kalimu::settings
