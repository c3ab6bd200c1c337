// What the status object reads out of a parsed reply: warning bits, ink states and codes,
// channel values, device states and the head-information record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/status/printer_status.h"
#include "testkit/status/status_replies.h"

namespace kalimu::status {
namespace {

using testkit::BinaryReply;
using testkit::Bytes;
using testkit::TextReply;

// A status object without a printer: the readings need none.
struct Loaded {
  explicit Loaded(const Bytes& reply, int32_t inks = 4, uint16_t bytes_per_ink = 1)
      : status("driver", "printer", model::StatusModelInfo{inks, inks, bytes_per_ink, {}, 0}, nullptr) {
    EXPECT_TRUE(status.AdoptReply(reply.data(), reply.size()));
    result = status.ParseReply();
  }
  PrinterStatus status;
  int32_t result = 0;
};

TEST(StatusReadings, WarningBits) {
  struct Case {
    const char* name;
    Bytes reply;
    uint32_t bits;
    int any;
  };
  std::string fourteen_out = "ST:01;IQ:";
  for (int i = 0; i < 14; ++i) fourteen_out += "NA";
  fourteen_out += ";";
  const Case cases[] = {
      {"no status code", TextReply("ER:01;"), 0x80000000, 1},
      {"clean", TextReply("ST:04;IQ:4050;"), 0, 0},
      {"ink 2 out", TextReply("ST:04;IQ:40NA;"), 0x200000, 1},
      {"ink 2 empty with error 5", TextReply("ST:00;ER:05;IQ:4000;"), 0x800, 1},
      {"empty without error 5", TextReply("ST:00;ER:04;IQ:4000;"), 0, 0},
      {"warnings 16 to 25", TextReply("ST:04;WR:0F101926;"), 0x201, 1},
      // Inks past the twelfth set no bit; nothing is shifted by 32 or more.
      {"fourteen inks out", TextReply(fourteen_out), 0xFFF00000, 1},
  };
  for (const Case& c : cases) {
    Loaded loaded(c.reply);
    EXPECT_EQ(loaded.status.GetWarningBits(), c.bits) << c.name;
    EXPECT_EQ(PrinterStatus::HasAnyStatusBit(loaded.status.GetWarningBits()), c.any) << c.name;
  }
  EXPECT_EQ(PrinterStatus::HasAnyStatusBit(0x40000000), 0);
  EXPECT_EQ(PrinterStatus::HasAnyStatusBit(0xC0000000), 0);
  EXPECT_EQ(PrinterStatus::HasAnyStatusBit(0x20000000), 1);
}

// The wide form tells every ink apart where the packed word cannot: ink 10 empty would read as
// ink 0 without level there, and inks past 11 have no bits at all.
TEST(StatusReadings, InkWarningsOfEveryInk) {
  struct Case {
    const char* name;
    Bytes reply;
    bool no_status;
    uint32_t low, empty, no_level;
  };
  const Case cases[] = {
      {"no status record", TextReply("ER:01;"), true, 0, 0, 0},
      {"inks 10 and 13 low, 15 beyond the codes", TextReply("ST:04;WR:101A1D2030;"), false, 0x2401, 0, 0},
      {"ink 10 empty, ink 0 has its level",
       TextReply("ST:00;ER:05;IQ:5010101010101010101000101010;"), false, 0, 0x400, 0},
      {"ink 13 without level", TextReply("ST:04;IQ:50" + std::string(24, '1') + "NA;"), false, 0, 0, 0x2000},
  };
  for (const Case& c : cases) {
    Loaded loaded(c.reply, 14);
    const InkWarnings w = loaded.status.GetInkWarnings();
    EXPECT_EQ(w.no_status, c.no_status) << c.name;
    EXPECT_EQ(w.low, c.low) << c.name;
    EXPECT_EQ(w.empty, c.empty) << c.name;
    EXPECT_EQ(w.no_level, c.no_level) << c.name;
  }
  // The packed word of "ink 10 empty" claims ink 0 has no level; its ten-ink reading keeps that.
  Loaded ten_empty(TextReply("ST:00;ER:05;IQ:5010101010101010101000;"), 11);
  EXPECT_EQ(ten_empty.status.GetWarningBits(), 0x100000u);
  EXPECT_TRUE(ten_empty.status.GetInkWarnings().IsEmpty(10));
  EXPECT_FALSE(ten_empty.status.GetInkWarnings().HasNoLevel(0));
  const InkWarnings packed = InkWarningsFromWord(0x00100801 | 0x200);
  EXPECT_EQ(packed.low, 0x201u);
  EXPECT_EQ(packed.empty, 0x2u);
  EXPECT_EQ(packed.no_level, 0x1u);
  EXPECT_TRUE(InkWarningsFromWord(0x80000000).no_status);
}

TEST(StatusReadings, InkStatesAndLevels) {
  Loaded loaded(TextReply("ST:01;IQ:40REwe;"));
  ASSERT_EQ(loaded.result, 0);
  EXPECT_EQ(loaded.status.GetInkState(0), 0u);
  EXPECT_EQ(loaded.status.GetInkState(1), 16u);
  EXPECT_EQ(loaded.status.GetInkState(2), 0x8001u);
  EXPECT_EQ(loaded.status.GetInkState(3), 0x8002u);
  EXPECT_EQ(loaded.status.GetInkState(4), 0u);
  ASSERT_NE(loaded.status.GetInkLevels(), nullptr);
  EXPECT_EQ(loaded.status.GetInkLevels()[0], 3);
}

TEST(StatusReadings, DeviceStates) {
  struct Case {
    const char* name;
    Bytes reply;
    int32_t bin, stacker, position, temperature;
    int flag20;
  };
  const Case cases[] = {
      {"absent", BinaryReply().Status(1).Build(), -1, -1, -1, -1, 0},
      {"on", BinaryReply().Status(1).Record(6, {3, 1}).Record(24, {2}).Record(28, {1}).Record(20, {1}).Build(), 1, 1, 0, 1, 1},
      {"other", BinaryReply().Status(1).Record(6, {3, 2}).Record(24, {5}).Record(28, {2}).Record(20, {2}).Build(), 2, 0, 1, 0, 0},
      {"path 2", BinaryReply().Status(1).Record(6, {2, 1}).Build(), 0, -1, -1, -1, 0},
      // The text field keeps first values 0 to 2 only.
      {"text path", TextReply("ST:01;PP:0301;"), 0, -1, -1, -1, 0},
  };
  for (const Case& c : cases) {
    Loaded loaded(c.reply);
    ASSERT_EQ(loaded.result, 0) << c.name;
    EXPECT_EQ(loaded.status.GetBinInfo(), c.bin) << c.name;
    EXPECT_EQ(loaded.status.GetStackerState(), c.stacker) << c.name;
    EXPECT_EQ(loaded.status.GetPgPosState(), c.position) << c.name;
    EXPECT_EQ(loaded.status.GetOvTempState(), c.temperature) << c.name;
    EXPECT_EQ(loaded.status.GetReplyFlag20(), c.flag20) << c.name;
  }
}

TEST(StatusReadings, BlocksAndTexts) {
  Loaded loaded(BinaryReply()
                    .Status(1)
                    .Record(4, {0x10, 0})
                    .Record(21, {1, 2, 3, 4, 5, 6, 7, 8, 9})
                    .Record(27, {2, 9, 9})
                    .Record(31, {'S', 'N'})
                    .Record(32, {1, 2, 3})
                    .Record(14, {6})
                    .Record(18, {'x'})
                    .Build());
  ASSERT_EQ(loaded.result, 0);
  uint8_t block[8];
  EXPECT_EQ(loaded.status.GetIwfInfo(block), 1);
  EXPECT_EQ(std::vector<int>(block, block + 8), (std::vector<int>{7, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(loaded.status.GetHtInfo(block), 1);
  EXPECT_EQ(std::vector<int>(block, block + 8), (std::vector<int>{3, 2, 9, 9, 0, 0, 0, 0}));
  EXPECT_STREQ(loaded.status.GetSerialText(), "SN");
  EXPECT_EQ(loaded.status.GetHpiBlockSize(), 5u);
  EXPECT_EQ(loaded.status.GetHpiBlock()[0], 32);
  EXPECT_STREQ(loaded.status.GetSbText(), "SB:x");
  EXPECT_EQ(loaded.status.GetRcData()[1], 6);
  EXPECT_EQ(loaded.status.HasWarningCodeZero(), 1);

  Loaded bare(TextReply("ST:01;WR:10;"));
  EXPECT_EQ(bare.status.GetIwfInfo(block), 0);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(bare.status.GetSerialText(), nullptr);
  EXPECT_EQ(bare.status.GetHpiBlockSize(), 0u);
  EXPECT_EQ(bare.status.HasWarningCodeZero(), 0);
}

TEST(StatusReadings, ChannelValuesAreBoundByWhatWasReceived) {
  struct Case {
    const char* name;
    Bytes reply;
    int32_t inks;
    uint16_t bytes_per_ink;
    uint32_t first, second;
  };
  const Case cases[] = {
      {"binary, one byte per ink", BinaryReply().Status(1).Record(11, {0, 1, 2, 3, 4}).Build(), 4, 1, 4, 0},
      {"binary, two bytes per ink", BinaryReply().Status(1).Record(11, {0, 1, 2, 3, 4}).Build(), 2, 2, 2, 2},
      {"text, fewer than the model", TextReply("ST:01;AI:CW:0110;"), 4, 1, 1, 0},
      {"text, more than the model", TextReply("ST:01;AI:CW:0110203040;"), 2, 1, 2, 2},
      {"absent", TextReply("ST:01;"), 4, 1, 0, 0},
  };
  for (const Case& c : cases) {
    Loaded loaded(c.reply, c.inks, c.bytes_per_ink);
    uint32_t first = 99, second = 99;
    const uint8_t* values = loaded.status.GetChannelValues(&first);
    const uint8_t* rest = loaded.status.GetChannelValues2(&second);
    EXPECT_EQ(first, c.first) << c.name;
    EXPECT_EQ(second, c.second) << c.name;
    EXPECT_EQ(values == nullptr, c.first == 0) << c.name;
    EXPECT_EQ(rest == nullptr, c.second == 0) << c.name;
    if (rest != nullptr) {
      EXPECT_EQ(rest - values, c.inks) << c.name;
    }
  }
}

TEST(StatusReadings, InkCodesAsInkSetRecord) {
  // Binary codes give their high byte, text codes their low byte.
  Loaded binary(BinaryReply().Status(1).Inks({{0x0B01, 50}, {0x0C02, 60}}).Build());
  InkCodeRecord record = {};
  binary.status.GetInkCodes(&record);
  EXPECT_EQ(record.valid, 1u);
  EXPECT_EQ(record.count, 2u);
  EXPECT_EQ(record.codes[0], 0x0B);
  EXPECT_EQ(record.codes[1], 0x0C);

  Loaded text(TextReply("ST:01;INK:0B01,0C02,;IQ:4040;"));
  text.status.GetInkCodes(&record);
  EXPECT_EQ(record.codes[0], 0x01);
  EXPECT_EQ(record.codes[1], 0x02);

  // Thirty codes: the record holds 24, and says so.
  std::string codes = "ST:01;IQ:40;INK:";
  for (int i = 0; i < 30; ++i) codes += "0A01,";
  Loaded many(TextReply(codes + ";"));
  many.status.GetInkCodes(&record);
  EXPECT_EQ(record.count, 24u);

  Loaded no_levels(TextReply("ST:01;INK:0B01,;"));
  record.valid = 7;
  record.count = 5;
  no_levels.status.GetInkCodes(&record);
  EXPECT_EQ(record.valid, 0u);
  EXPECT_EQ(record.count, 5u);  // only the valid word is written
}

TEST(StatusReadings, InkWarningSummary) {
  struct Case {
    const char* name;
    Bytes reply;
    uint32_t summary;
  };
  const Case cases[] = {
      {"no warnings", BinaryReply().Status(1).Inks({{0x0100, 50}}).Build(), 0},
      // The first code with a zero low byte is the third: k = 2.
      {"binary k 2", BinaryReply().Status(1).Inks({{0x0101, 5}, {0x0201, 5}, {0x0300, 5}}).Record(4, {0x12, 0x13, 0x20}).Build(), 0x10001},
      {"binary, no zero low byte", BinaryReply().Status(1).Inks({{0x0101, 5}}).Record(4, {0x10}).Build(), 0x1},
      {"text k 0", TextReply("ST:01;INK:0100,;IQ:40;WR:1110;"), 0x10001},
  };
  for (const Case& c : cases) {
    Loaded loaded(c.reply);
    EXPECT_EQ(loaded.status.GetInkWarningSummary(), c.summary) << c.name;
  }
}

TEST(StatusReadings, HeadInformationRecord) {
  Loaded loaded(BinaryReply()
                    .Status(1)
                    .Record(11, {0, 1, 2, 3, 4, 5, 6, 7, 8})
                    .Record(10, {3, 0, 0, 0, 0, 0, 0, 0, 0, 9})
                    .Record(6, {1, 0})
                    .Build(),
                4, 2);
  HeadInfoRecord record;
  std::memset(&record, 0xEE, sizeof record);
  loaded.status.GetInkSetReport(&record);
  EXPECT_EQ(record.valid, 1u);
  EXPECT_EQ(record.ink_count, 4u);
  EXPECT_EQ(record.first_block[0], 1u);
  EXPECT_EQ(record.first_block[3], 4u);
  EXPECT_EQ(record.first_block[4], 0xEEEEEEEEu);
  EXPECT_EQ(record.second_block[0], 5u);
  EXPECT_EQ(record.second_block[3], 8u);
  EXPECT_EQ(record.cartridge_flag, 1u);
  EXPECT_EQ(record.cartridge_value, 9u);
  EXPECT_EQ(record.paper_path_flag, 1u);
  EXPECT_EQ(record.paper_path_value, 1u);

  Loaded bare(TextReply("ST:01;"));
  std::memset(&record, 0xEE, sizeof record);
  bare.status.GetInkSetReport(&record);
  EXPECT_EQ(record.valid, 0u);
  EXPECT_EQ(record.ink_count, 0xEEEEEEEEu);
  EXPECT_EQ(record.cartridge_flag, 0u);
  EXPECT_EQ(record.paper_path_flag, 0xEEEEEEEEu);  // no paper path: left as it was
}

}  // namespace
}  // namespace kalimu::status
