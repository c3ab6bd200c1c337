// The ink display: meters set up from the model's ink positions, and the commands a status
// reading sends them, on a model with one meter per ink and on a model with two meters.
#include "kalimu/pages/ink_display.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kalimu/pages/page_test_support.h"
#include "testkit/status/status_replies.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::InkModel;
using test::MeterRecorder;
using test::PageFixture;
using test::RecordedCommand;

// Words of a meter's data block.
constexpr size_t kKindWord = 0, kSlotWord = 66, kProportionWord = 67, kValueAWord = 68, kValueBWord = 69;

std::vector<int> MeterIds(int first, int count) {
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) ids.push_back(first + i);
  return ids;
}

// A status object holding one parsed reply; no printer behind it.
struct Reading {
  explicit Reading(const std::string& body, int32_t inks = 16)
      : status("driver", "printer", model::StatusModelInfo{inks, inks, 1, {}, 0}, nullptr) {
    const testkit::Bytes reply = testkit::TextReply(body);
    status.AdoptReply(reply.data(), reply.size());
    status.ParseReply();
  }
  status::PrinterStatus status;
};

bool HasVisibleStyle(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string Levels(int count, const char* pair = "50") {
  std::string out;
  for (int i = 0; i < count; ++i) out += pair;
  return out;
}

class OneMeterPerInk : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  PageFixture fixture_{InkModel(12, true)};
  MeterRecorder meters_{[] {
    std::vector<int> ids = MeterIds(kFirstInkMeter, 16);
    ids.insert(ids.end(), {kInkArea, kBlackInkTextA, kBlackInkTextB});
    return ids;
  }()};
};

TEST_F(OneMeterPerInk, SetUpGivesEachPositionItsColourAndSlot) {
  InitInkMeters(meters_.window(), fixture_.param());
  ASSERT_EQ(meters_.commands().size(), 12u);
  // Position codes 1..12 are ink indexes 0..11: BK CY MA YE LC LM DY PK MK LK RD BL.
  const int32_t colours[12] = {1, 2, 3, 4, 5, 6, 7, 1, 1, 8, 9, 10};
  for (int i = 0; i < 12; ++i) {
    const RecordedCommand& c = meters_.commands()[i];
    EXPECT_EQ(c.control, kFirstInkMeter + i);
    EXPECT_EQ(c.command, kInkSlotSetUp);
    ASSERT_EQ(c.words.size(), 70u);
    EXPECT_EQ(c.words[kKindWord], colours[i]) << i;
    EXPECT_EQ(c.words[kSlotWord], i + 1);
    EXPECT_EQ(c.words[kProportionWord], 100);
    EXPECT_EQ(c.words[kValueAWord], 0);
    EXPECT_EQ(c.words[kValueBWord], -1);
    HMODULE module = nullptr;
    std::memcpy(&module, &c.words[64], sizeof(module));
    EXPECT_EQ(module, fixture_.module());
  }
}

TEST_F(OneMeterPerInk, ReadingsBecomeMeterCommands) {
  struct Case {
    const char* name;
    std::string reply;
    int meter;          // the meter whose command is checked
    uint32_t command;   // what it gets
    int32_t level;      // its level word (-1: no block)
    int32_t value_a;
  };
  const std::string full = Levels(12);
  const Case cases[] = {
      {"plain level", "ST:04;IQ:" + Levels(11) + "32;", kFirstInkMeter + 11, kInkSlotLevel, 50, 0},
      {"ink 3 empty", "ST:00;ER:05;IQ:505050005050505050505050;", kFirstInkMeter + 3, kInkSlotOut, -1, 0},
      {"ink 2 low", "ST:04;WR:12;IQ:" + full + ";", kFirstInkMeter + 2, kInkSlotLow, 80, 0},
      // Warning state without the cartridge bit: drawn full, with the warning flag.
      {"ink 1 warning state", "ST:04;IQ:50WE50505050505050505050;", kFirstInkMeter + 1, kInkSlotUncertain, 100, 1},
      {"ink 1 cartridge state", "ST:04;IQ:50CI50505050505050505050;", kFirstInkMeter + 1, kInkSlotUncertain, 100, 0},
      // Inks past the tenth: the packed word would call ink 10 empty "ink 0 without level".
      {"ink 10 empty", "ST:00;ER:05;IQ:505050505050505050500050;", kFirstInkMeter + 10, kInkSlotOut, -1, 0},
      {"ink 0 beside ink 10 empty", "ST:00;ER:05;IQ:505050505050505050500050;", kFirstInkMeter, kInkSlotLevel, 80, 0},
      {"ink 11 low", "ST:04;WR:1B;IQ:" + full + ";", kFirstInkMeter + 11, kInkSlotLow, 80, 0},
  };
  for (const Case& c : cases) {
    meters_.clear();
    Reading reading(c.reply);
    EXPECT_EQ(ShowInkStatus(meters_.window(), fixture_.param(), reading.status), 1) << c.name;
    const std::vector<RecordedCommand> got = meters_.Of(c.meter);
    ASSERT_EQ(got.size(), 1u) << c.name;
    EXPECT_EQ(got[0].command, c.command) << c.name;
    if (c.level < 0) {
      EXPECT_TRUE(got[0].words.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(got[0].words.size(), 70u) << c.name;
    EXPECT_EQ(got[0].words[c.meter - kFirstInkMeter + 1], c.level) << c.name;
    EXPECT_EQ(got[0].words[kValueAWord], c.value_a) << c.name;
  }
  EXPECT_TRUE(HasVisibleStyle(GetDlgItem(meters_.window(), kInkArea)));
  EXPECT_FALSE(HasVisibleStyle(GetDlgItem(meters_.window(), kBlackInkTextA)));
  EXPECT_FALSE(HasVisibleStyle(GetDlgItem(meters_.window(), kBlackInkTextB)));
}

// A reply's count byte may claim up to 255 inks: only the twelve levels the block holds (and no
// more than the model's positions) reach the meters.
TEST_F(OneMeterPerInk, LongRepliesStopAtTheBlock) {
  for (int inks : {16, 255}) {
    meters_.clear();
    Reading reading("ST:04;IQ:" + Levels(inks, "40") + ";", inks);
    ASSERT_NE(reading.status.GetInkLevels(), nullptr);
    ASSERT_EQ(reading.status.GetInkLevels()[0], inks);
    EXPECT_EQ(ShowInkStatus(meters_.window(), fixture_.param(), reading.status), 1);
    for (const RecordedCommand& c : meters_.commands()) {
      EXPECT_LT(c.control, kFirstInkMeter + 12) << inks;
      ASSERT_EQ(c.words.size(), 70u);
      for (size_t w = 13; w < 64; ++w) EXPECT_EQ(c.words[w], 0) << inks << " word " << w;
    }
    EXPECT_EQ(meters_.commands().size(), 12u) << inks;
  }
}

TEST_F(OneMeterPerInk, ReplyWithoutStatusRecordShowsTheFixedBoxAndResets) {
  testkit::MessageBoxWatcher watcher;
  Reading reading("ER:01;IQ:5050;");
  EXPECT_EQ(ShowInkStatus(meters_.window(), fixture_.param(), reading.status), 0);
  ASSERT_EQ(watcher.shown().size(), 1u);
  EXPECT_EQ(watcher.shown()[0].caption, "");
  EXPECT_EQ(watcher.shown()[0].text, kNoStatusText);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(meters_.window(), kInkArea)));
  ASSERT_EQ(meters_.commands().size(), 12u);
  for (const RecordedCommand& c : meters_.commands()) {
    EXPECT_EQ(c.command, kInkSlotUncertain);
    EXPECT_EQ(c.words, std::vector<int32_t>(70, 0));
  }
  // A reply without levels shows nothing.
  meters_.clear();
  Reading no_levels("ST:04;");
  EXPECT_EQ(ShowInkStatus(meters_.window(), fixture_.param(), no_levels.status), 0);
  EXPECT_TRUE(meters_.commands().empty());
}

// The printer reports another ink set than the settings' model: the positions that hold either
// black ink are set up again before their levels.
TEST_F(OneMeterPerInk, AnotherInkSetSetsTheBlackPositionsUpAgain) {
  uint8_t id[16] = {1, 0x0A, 0x4B};
  ASSERT_EQ(fixture_.settings().SetModelId(id, sizeof(id)), 1);
  std::unique_ptr<status::PrinterStatus> status(status::CreatePrinterStatus(fixture_.settings()));
  ASSERT_NE(status, nullptr);
  const testkit::Bytes reply = testkit::TextReply("ST:04;IQ:" + Levels(12) + ";");
  ASSERT_TRUE(status->AdoptReply(reply.data(), reply.size()));
  ASSERT_EQ(status->ParseReply(), 0);
  for (const bool differs : {false, true}) {
    uint8_t codes[16] = {1, static_cast<uint8_t>(differs ? 0x0B : 0x0A), 0x4B};
    ASSERT_TRUE(fixture_.printer().StoreInkCodes(codes, 3));
    meters_.clear();
    EXPECT_EQ(ShowInkStatus(meters_.window(), fixture_.param(), *status), 1);
    for (int position = 0; position < 12; ++position) {
      const std::vector<RecordedCommand> got = meters_.Of(kFirstInkMeter + position);
      // Mask 0x7: positions 0 to 2 hold a black ink.
      const bool again = differs && position < 3;
      ASSERT_EQ(got.size(), again ? 3u : 1u) << position;
      if (again) {
        EXPECT_EQ(got[0].command, kInkSlotSetUp);
        EXPECT_EQ(got[0].words[kSlotWord], position + 1);
        EXPECT_EQ(got[1].command, kInkSlotLow);
      }
      EXPECT_EQ(got.back().command, kInkSlotLevel) << position;
    }
  }
  fixture_.printer().ForgetInkSet();
}

class TwoMeters : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  PageFixture fixture_{InkModel(6, false)};
  MeterRecorder meters_{{kInkArea, kBlackFrame, kColourFrame, kBlackMeter, kColourMeter, kBlackLabel, kColourLabel}};
};

TEST_F(TwoMeters, SetUpNamesTheBlackMeterAndTheColourGroup) {
  ASSERT_TRUE(fixture_.SetInkInfo("BK", "T-01"));
  ASSERT_TRUE(fixture_.SetInkInfo("CL", "T-02"));
  InitInkMeters(meters_.window(), fixture_.param());
  const std::vector<RecordedCommand> black = meters_.Of(kBlackMeter);
  const std::vector<RecordedCommand> group = meters_.Of(kColourMeter);
  ASSERT_EQ(black.size(), 1u);
  ASSERT_EQ(group.size(), 1u);
  EXPECT_EQ(black[0].command, kInkBlackSetUp);
  EXPECT_EQ(black[0].words[kKindWord], 1);
  EXPECT_EQ(group[0].command, kInkGroupSetUp);
  EXPECT_EQ(group[0].words[kKindWord], 6);
  HMODULE module = nullptr;
  std::memcpy(&module, &group[0].words[2], sizeof(module));
  EXPECT_EQ(module, fixture_.module());
  char text[64] = {};
  GetDlgItemTextA(meters_.window(), kBlackLabel, text, sizeof(text));
  EXPECT_STREQ(text, "T-01");
  GetDlgItemTextA(meters_.window(), kColourLabel, text, sizeof(text));
  EXPECT_STREQ(text, "T-02");
}

TEST_F(TwoMeters, ReadingsBecomeMeterCommands) {
  struct Case {
    const char* name;
    std::string reply;
    uint32_t black;   // command of meter 2019, or 99 for none
    uint32_t colour;  // command of meter 2020, or 99 for none
  };
  const Case cases[] = {
      {"levels", "ST:04;IQ:" + Levels(6) + ";", kInkBlackLevel, kInkGroupLevels},
      // Low is told before empty.
      {"black low and empty", "ST:00;ER:05;WR:10;IQ:005050505050;", kInkBlackLow, kInkGroupLevels},
      {"black empty", "ST:00;ER:05;IQ:005050505050;", kInkBlackOut, kInkGroupLevels},
      {"ink 2 low, ink 3 empty", "ST:00;ER:05;WR:12;IQ:505050005050;", kInkBlackLevel, kInkGroupLow},
      {"ink 3 empty", "ST:00;ER:05;IQ:505050005050;", kInkBlackLevel, kInkGroupOut},
      {"ink 4 without level", "ST:04;IQ:50505050NA50;", kInkBlackLevel, 99},
  };
  for (const Case& c : cases) {
    meters_.clear();
    Reading reading(c.reply);
    EXPECT_EQ(ShowInkStatusTwoMeters(meters_.window(), fixture_.param(), reading.status.GetWarningBits(), reading.status),
              1)
        << c.name;
    const std::vector<RecordedCommand> black = meters_.Of(kBlackMeter);
    const std::vector<RecordedCommand> colour = meters_.Of(kColourMeter);
    ASSERT_EQ(black.size(), c.black == 99 ? 0u : 1u) << c.name;
    ASSERT_EQ(colour.size(), c.colour == 99 ? 0u : 1u) << c.name;
    if (c.black != 99) {
      EXPECT_EQ(black[0].command, c.black) << c.name;
    }
    if (c.colour != 99) {
      EXPECT_EQ(colour[0].command, c.colour) << c.name;
    }
  }
  // The level block carries every ink's level by ink number.
  meters_.clear();
  Reading reading("ST:04;IQ:0A141E28323C;");
  ShowInkStatusTwoMeters(meters_.window(), fixture_.param(), 0, reading.status);
  const std::vector<RecordedCommand> colour = meters_.Of(kColourMeter);
  ASSERT_EQ(colour.size(), 1u);
  EXPECT_EQ(std::vector<int32_t>(colour[0].words.begin() + 1, colour[0].words.begin() + 8),
            (std::vector<int32_t>{10, 20, 30, 40, 50, 60, 0}));
}

TEST_F(TwoMeters, InksWithoutLevelDisableTheirMeters) {
  HWND w = meters_.window();
  Reading colour_only("ST:04;IQ:50505050NA50;");
  ShowInkStatusTwoMeters(w, fixture_.param(), colour_only.status.GetWarningBits(), colour_only.status);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(w, kBlackMeter)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w, kColourMeter)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w, kColourFrame)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(w, kInkArea)));
  Reading both("ST:04;IQ:NA505050NA50;");
  ShowInkStatusTwoMeters(w, fixture_.param(), both.status.GetWarningBits(), both.status);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w, kBlackMeter)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w, kBlackFrame)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w, kInkArea)));
}

TEST_F(TwoMeters, ReplyWithoutStatusRecordShowsNoBox) {
  testkit::MessageBoxWatcher watcher;
  Reading reading("ER:01;");
  EXPECT_EQ(ShowInkStatusTwoMeters(meters_.window(), fixture_.param(), reading.status.GetWarningBits(), reading.status),
            0);
  EXPECT_TRUE(watcher.shown().empty());
  EXPECT_TRUE(meters_.commands().empty());
}

}  // namespace
}  // namespace kalimu::pages
