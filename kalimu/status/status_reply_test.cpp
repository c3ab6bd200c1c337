// Status replies in both forms: envelope, every field and record, validation, clean-up and
// damaged replies.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kalimu/status/status_reply.h"
#include "testkit/status/status_replies.h"

namespace kalimu::status {
namespace {

using testkit::AsBytes;
using testkit::BinaryReply;
using testkit::Bytes;
using testkit::TextReply;

constexpr StatusShape kFourInks{4, 1};

int Parse(const Bytes& reply, StatusReading& reading, StatusShape shape = kFourInks) {
  return ParseStatusReply(reply.data(), reply.size(), shape, reading);
}

std::vector<int> List(const ByteList& list) {
  if (!list.present) return {-1};
  return std::vector<int>(list.values(), list.values() + list.count());
}
std::vector<int> List(const NumberList& list) {
  if (!list.present) return {-1};
  return std::vector<int>(list.values(), list.values() + list.count());
}

TEST(StatusReplyEnvelope, FormAndBody) {
  struct Case {
    const char* name;
    Bytes reply;
    int result;
    ReplyForm form;
  };
  const Case cases[] = {
      {"binary", BinaryReply().Status(1).Build(), 0, ReplyForm::kBinary},
      {"text", TextReply("ST:01;"), 0, ReplyForm::kText},
      // The longer header decides first: a binary header over a text body is still binary, and
      // its "length" is then the text's first two bytes.
      {"binary header, text body", AsBytes("@BDC ST2\r\nST:01;"), -1, ReplyForm::kBinary},
      {"lower-case header", AsBytes("@bdc st\r\nST:01;"), -1, ReplyForm::kNone},
      {"no header", AsBytes("@BDC S"), -1, ReplyForm::kNone},
      {"empty", Bytes{}, -1, ReplyForm::kNone},
      {"no carriage return", AsBytes("@BDC ST ST:01;"), -1, ReplyForm::kNone},
      {"carriage return last", AsBytes("@BDC ST\r"), -1, ReplyForm::kNone},
      {"empty text body", AsBytes("@BDC ST\r\n"), -1, ReplyForm::kText},
      {"binary without length", AsBytes("@BDC ST2\r\n\x01"), -1, ReplyForm::kBinary},
  };
  for (const Case& c : cases) {
    StatusReading reading;
    EXPECT_EQ(Parse(c.reply, reading), c.result) << c.name;
    EXPECT_EQ(reading.form, c.form) << c.name;
  }
}

TEST(StatusReplyEnvelope, NoReplyLeavesTheReadingUntouched) {
  StatusReading reading;
  ASSERT_EQ(Parse(TextReply("ST:01;ER:02;"), reading), 0);
  EXPECT_EQ(Parse(AsBytes("junk"), reading), -1);
  EXPECT_EQ(reading.form, ReplyForm::kText);
  EXPECT_EQ(reading.status.value, 1);
  EXPECT_EQ(reading.error.value, 2);
}

struct TextCase {
  const char* body;
  int result;
  std::function<void(const StatusReading&)> check;
};

void RunText(const std::vector<TextCase>& cases) {
  for (const TextCase& c : cases) {
    StatusReading reading;
    EXPECT_EQ(Parse(TextReply(c.body), reading), c.result) << c.body;
    if (c.check) {
      SCOPED_TRACE(c.body);
      c.check(reading);
    }
  }
}

TEST(TextReply, StatusAndErrorDecideAcceptance) {
  RunText({
      {"ST:00;", -1, nullptr},
      {"ST:00;ER:00;", 0, [](const StatusReading& r) { EXPECT_TRUE(r.error.present); }},
      {"ST:00;ER:7f;", 0, [](const StatusReading& r) { EXPECT_EQ(r.error.value, 0x7F); }},
      {"ST:01;", 0, [](const StatusReading& r) { EXPECT_EQ(r.status.value, 1); }},
      {"st:0A;", 0, [](const StatusReading& r) { EXPECT_EQ(r.status.value, 10); }},
      {"ER:05;", -1, nullptr},
      {"ST:01", -1, nullptr},          // the pair must be followed by ';'
      {"ST:01,ER:01;", -1, nullptr},
      {"ST:0", -1, nullptr},
      {"ST:1z;", 0, [](const StatusReading& r) { EXPECT_EQ(r.status.value, 0x10); }},
      // A first character that is no digit keeps the value; the code still counts as present.
      {"ST:zz;", -1, [](const StatusReading& r) { EXPECT_TRUE(r.status.present); }},
  });
}

TEST(TextReply, WalkPassesOverTextAndStopsAtFormFeed) {
  RunText({
      {"xx;;ST:04;yy", 0, [](const StatusReading& r) { EXPECT_EQ(r.status.value, 4); }},
      {"ST:04;\x0C" "ER:02;", 0, [](const StatusReading& r) { EXPECT_FALSE(r.error.present); }},
      {"\x0CST:04;", -1, nullptr},
      {"ST:04;WR:10;\x0C" "WR:;", 0, nullptr},  // the damaged field lies after the end
  });
}

TEST(TextReply, WarningCodes) {
  RunText({
      {"ST:01;WR:1011;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.warnings), (std::vector<int>{0x10, 0x11})); }},
      {"ST:01;WR:10,11;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.warnings), (std::vector<int>{0x10, 0x11})); }},
      {"ST:01;WR:10,11,;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.warnings), (std::vector<int>{0x10, 0x11})); }},
      {"ST:01;WR:1;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.warnings), (std::vector<int>{0x10})); }},
      {"ST:01;WR:;", -1, nullptr},
      {"ST:01;WR:1011", -1, nullptr},
      // Without the field the clean-up leaves the list absent.
      {"ST:01;", 0, [](const StatusReading& r) { EXPECT_FALSE(r.warnings.present); }},
  });
}

TEST(TextReply, InkLevelsAndStates) {
  RunText({
      {"ST:01;IQ:4065NA;", 0,
       [](const StatusReading& r) {
         EXPECT_EQ(List(r.ink_levels), (std::vector<int>{64, 100, 255}));
         EXPECT_EQ(List(r.ink_states), (std::vector<int>{16, 16, 4}));
       }},
      {"ST:01;IQ:rewEcInA00;", 0,
       [](const StatusReading& r) {
         EXPECT_EQ(List(r.ink_levels), (std::vector<int>{255, 255, 255, 255, 0}));
         EXPECT_EQ(List(r.ink_states), (std::vector<int>{1, 2, 8, 4, 16}));
       }},
      {"ST:01;IQ:;", -1, nullptr},
      {"ST:01;IQ:40", -1, nullptr},
  });
}

TEST(TextReply, PaperPath) {
  RunText({
      {"ST:01;PP:0201;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.paper_path_present);
         EXPECT_EQ(r.paper_path[0], 2);
         EXPECT_EQ(r.paper_path[1], 1);
       }},
      {"ST:01;PP:0301;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.paper_path_present);
         EXPECT_EQ(r.paper_path[0], 255);
         EXPECT_EQ(r.paper_path[1], 255);
       }},
      // Absent: the clean-up reads (255, 255) without the present flag.
      {"ST:01;", 0, [](const StatusReading& r) {
         EXPECT_FALSE(r.paper_path_present);
         EXPECT_EQ(r.paper_path[0], 255);
       }},
      {"ST:01;PP:020;", -1, nullptr},
      {"ST:01;PP:02x1;", -1, nullptr},
      {"ST:01;PP:02010;", -1, nullptr},
      {"ST:01;PP:02", -1, nullptr},
  });
}

TEST(TextReply, CartridgeData) {
  RunText({
      {"ST:01;CD:03;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.cartridge.present);
         EXPECT_EQ(r.cartridge.kind, 3);
         EXPECT_EQ(r.cartridge.a + r.cartridge.b + r.cartridge.g, 0);
       }},
      {"ST:01;CD:03NAVL;", 0, [](const StatusReading& r) { EXPECT_EQ(r.cartridge.a, 0); }},
      {"ST:01;CD:0112340506789A0BNA0Dxyz;", 0, [](const StatusReading& r) {
         const CartridgeData& c = r.cartridge;
         EXPECT_EQ(c.kind, 1);
         EXPECT_EQ(c.a, 0x1234);
         EXPECT_EQ(c.b, 5);
         EXPECT_EQ(c.c, 6);
         EXPECT_EQ(c.d, 0x789A);
         EXPECT_EQ(c.e, 0x0B);
         EXPECT_EQ(c.f, 255);
         EXPECT_EQ(c.g, 0x0D);
       }},
      {"ST:01;CD:0x;", -1, nullptr},
      {"ST:01;CD:031", -1, nullptr},
      {"ST:01;CD:0112340506789A0B0C0D", -1, nullptr},
      {"ST:01;", 0, [](const StatusReading& r) {
         EXPECT_FALSE(r.cartridge.present);
         EXPECT_EQ(r.cartridge.kind, 0);
       }},
  });
}

TEST(TextReply, ChannelData) {
  RunText({
      {"ST:01;AI:CW:0A1020NA;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.channels.present);
         EXPECT_EQ(r.channels.cw, 10);
         EXPECT_EQ(List(r.channels.values), (std::vector<int>{0x10, 0x20, 50}));
         EXPECT_FALSE(r.channels.mi.present);
         EXPECT_EQ(r.channels.mi.value, 255);
       }},
      {"ST:01;AI:MI:07,CW:01x1;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.channels.mi.present);
         EXPECT_EQ(r.channels.mi.value, 7);
         EXPECT_EQ(List(r.channels.values), (std::vector<int>{0}));
       }},
      {"ST:01;AI:XX:1,YY:2;", 0, [](const StatusReading& r) { EXPECT_FALSE(r.channels.present); }},
      // The field never rejects, also when it runs to the end of the body.
      {"ST:01;AI:CW:0", 0, [](const StatusReading& r) { EXPECT_TRUE(r.channels.present); }},
      // Channel values end with their own field: a field without values, or whose CW pair is
      // cut short, leaves the fields after it to be read.
      {"AI:CW:01;ST:01;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.channels.present);
         EXPECT_EQ(r.channels.cw, 1);
         EXPECT_EQ(List(r.channels.values), std::vector<int>{});
         EXPECT_EQ(r.status.value, 1);
       }},
      {"AI:CW:;ST:01;ER:02;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.channels.present);
         EXPECT_EQ(List(r.channels.values), std::vector<int>{});
         EXPECT_EQ(r.error.value, 2);
       }},
  });
}

TEST(TextReply, RcInkCodesIgAndSb) {
  RunText({
      {"ST:01;RC:3F;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.rc), (std::vector<int>{0x3F})); }},
      {"ST:01;RC:x;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.rc), (std::vector<int>{0})); }},
      {"ST:01;RC:3F", -1, nullptr},
      {"ST:01;INK:0B01,0C01,;", 0, [](const StatusReading& r) {
         EXPECT_EQ(List(r.ink_codes), (std::vector<int>{0x0B01, 0x0C01}));
       }},
      {"ST:01;INK:;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.ink_codes), std::vector<int>{}); }},
      {"ST:01;INK:0A1x,zz,;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.ink_codes), (std::vector<int>{0xA1})); }},
      {"ST:01;INK:0B01,", -1, nullptr},
      {"ST:01;IG:010203,040506;", 0, [](const StatusReading& r) {
         EXPECT_EQ(List(r.ig_entries), (std::vector<int>{0x030201, 0x060504}));
       }},
      {"ST:01;IG:01;", 0, [](const StatusReading& r) { EXPECT_EQ(List(r.ig_entries), (std::vector<int>{1})); }},
      {"ST:01;IG:;", -1, nullptr},
      {"ST:01;SB:hello world;", 0, [](const StatusReading& r) {
         EXPECT_TRUE(r.sb_present);
         EXPECT_STREQ(r.sb_text, "SB:hello world");
       }},
      {"ST:01;SB:a,b;", -1, nullptr},
      {"ST:01;SB:open", -1, nullptr},
  });
}

TEST(TextReply, FieldsReadBeforeARejectionStay) {
  StatusReading reading;
  EXPECT_EQ(Parse(TextReply("ST:01;WR:10;IQ:;"), reading), -1);
  EXPECT_TRUE(reading.status.present);
  EXPECT_EQ(List(reading.warnings), (std::vector<int>{0x10}));
}

TEST(TextReply, CountedListsAreCappedToTheirCapacity) {
  std::string pairs;
  for (int i = 0; i < 600; ++i) pairs += "42";
  StatusReading reading;
  ASSERT_EQ(Parse(TextReply("ST:01;WR:" + pairs + ";IQ:" + pairs + ";AI:CW:01" + pairs + ";INK:" + pairs + ";IG:" +
                            pairs + ";SB:" + pairs + ";"),
                  reading),
            0);
  EXPECT_EQ(reading.warnings.count(), kListCapacity);
  EXPECT_EQ(reading.ink_levels.count(), kListCapacity);
  EXPECT_EQ(reading.ink_states.count(), kListCapacity);
  EXPECT_EQ(reading.channels.values.count(), kListCapacity);
  EXPECT_EQ(reading.ink_codes.count(), kListCapacity);
  EXPECT_EQ(reading.ig_entries.count(), 200u);
  EXPECT_EQ(std::string(reading.sb_text).size(), kSbTextCapacity - 1);
}

struct BinaryCase {
  const char* name;
  Bytes reply;
  int result;
  std::function<void(const StatusReading&)> check;
  StatusShape shape = kFourInks;
};

void RunBinary(const std::vector<BinaryCase>& cases) {
  for (const BinaryCase& c : cases) {
    StatusReading reading;
    EXPECT_EQ(Parse(c.reply, reading, c.shape), c.result) << c.name;
    if (c.check) {
      SCOPED_TRACE(c.name);
      c.check(reading);
    }
  }
}

TEST(BinaryReply, SingleValueRecords) {
  const Bytes reply = BinaryReply()
                          .Status(0)
                          .Error(5)
                          .Record(6, {2, 1})
                          .Record(20, {1})
                          .Record(24, {5})
                          .Record(28, {1})
                          .Record(29, {0x33})
                          .Record(36, {0})
                          .Build();
  RunBinary({{"values", reply, 0, [](const StatusReading& r) {
                EXPECT_EQ(r.error.value, 5);
                EXPECT_EQ(r.paper_path[0], 2);
                EXPECT_EQ(r.paper_path[1], 1);
                EXPECT_EQ(r.flag20.value, 1);
                EXPECT_EQ(r.record24.value, 5);
                EXPECT_EQ(r.temperature.value, 1);
                EXPECT_EQ(r.rt.value, 0x33);
                EXPECT_TRUE(r.mkiwt.present);
              }}});
}

TEST(BinaryReply, ListsTextsAndBlocks) {
  const Bytes reply = BinaryReply()
                          .Status(3)
                          .Record(4, {0x10, 0x19})
                          .Record(14, {7, 8})
                          .Record(16, {0, 1, 2, 3, 4, 5, 6})
                          .Record(18, {'o', 'k'})
                          .Record(21, {2, 9, 9})
                          .Record(27, {1, 4})
                          .Record(31, {'S', 'N', '1'})
                          .Record(32, {0xAA, 0xBB})
                          .Build();
  RunBinary({{"lists", reply, 0, [](const StatusReading& r) {
                EXPECT_EQ(List(r.warnings), (std::vector<int>{0x10, 0x19}));
                EXPECT_EQ(List(r.rc), (std::vector<int>{7, 8}));
                EXPECT_EQ(List(r.ig_entries), (std::vector<int>{0x030201, 0x060504}));
                EXPECT_STREQ(r.sb_text, "SB:ok");
                EXPECT_EQ(List(r.iwf), (std::vector<int>{2, 9, 9}));
                EXPECT_EQ(List(r.ht), (std::vector<int>{1, 4}));
                EXPECT_STREQ(r.serial_text, "SN1");
                EXPECT_EQ(r.serial_size, 4);
                EXPECT_TRUE(r.hpi_present);
                EXPECT_EQ(std::vector<int>(r.hpi_block, r.hpi_block + 4), (std::vector<int>{32, 2, 0xAA, 0xBB}));
              }}});
}

TEST(BinaryReply, InkRecord) {
  RunBinary({
      {"levels and states", BinaryReply().Status(1).Inks({{0x0B01, 101}, {0x0C01, 'n'}, {0x0D00, 40}, {0x0E01, 'r'}}).Build(), 0,
       [](const StatusReading& r) {
         EXPECT_EQ(List(r.ink_codes), (std::vector<int>{0x0B01, 0x0C01, 0x0D00, 0x0E01}));
         EXPECT_EQ(List(r.ink_levels), (std::vector<int>{100, 255, 40, 255}));
         EXPECT_EQ(List(r.ink_states), (std::vector<int>{16, 4, 16, 1}));
       }},
      {"entry size 4", BinaryReply().Status(1).Record(15, {4, 0, 1, 'w', 0xEE, 0, 2, 'i', 0xEE}).Build(), 0,
       [](const StatusReading& r) {
         EXPECT_EQ(List(r.ink_codes), (std::vector<int>{1, 2}));
         EXPECT_EQ(List(r.ink_states), (std::vector<int>{2, 8}));
       }},
      {"entry size 0", BinaryReply().Status(1).Record(15, {0, 1, 2, 3}).Build(), 0,
       [](const StatusReading& r) { EXPECT_EQ(List(r.ink_codes), std::vector<int>{}); }},
      // Entries too small for a code and a level hold nothing: no read past the record.
      {"entry size 2", BinaryReply().Status(1).Record(15, {2, 1, 2}).Build(), 0,
       [](const StatusReading& r) { EXPECT_EQ(List(r.ink_levels), std::vector<int>{}); }},
      {"no entry size", BinaryReply().Status(1).Record(15, {}).Build(), 0,
       [](const StatusReading& r) { EXPECT_FALSE(r.ink_codes.present); }},
  });
}

TEST(BinaryReply, CartridgeAndChannelRecords) {
  RunBinary({
      {"cartridge kind 3", BinaryReply().Status(1).Record(10, {3, 0x12, 0x34, 5, 6, 0x78, 0x9A, 7, 8, 9}).Build(), 0,
       [](const StatusReading& r) {
         EXPECT_TRUE(r.cartridge.present);
         EXPECT_EQ(r.cartridge.a, 0x1234);
         EXPECT_EQ(r.cartridge.d, 0x789A);
         EXPECT_EQ(r.cartridge.g, 9);
       }},
      {"cartridge kind 2", BinaryReply().Status(1).Record(10, {2, 1, 1, 1, 1, 1, 1, 1, 1, 1}).Build(), 0,
       [](const StatusReading& r) {
         EXPECT_FALSE(r.cartridge.present);
         EXPECT_EQ(r.cartridge.kind, 0);
       }},
      {"cartridge kind 3 cut short", BinaryReply().Status(1).Record(10, {3, 1, 2}).Build(), 0,
       [](const StatusReading& r) { EXPECT_FALSE(r.cartridge.present); }},
      {"channels with MI", BinaryReply().Status(1).Record(11, {9, 1, 2, 3, 4, 0x77}).Build(), 0,
       [](const StatusReading& r) {
         EXPECT_EQ(r.channels.cw, 9);
         EXPECT_EQ(List(r.channels.values), (std::vector<int>{1, 2, 3, 4}));
         EXPECT_EQ(r.channels.mi.value, 0x77);
         EXPECT_TRUE(r.channels.mi.present);
       }},
      {"channels, two bytes per ink", BinaryReply().Status(1).Record(11, {9, 1, 2, 3, 4}).Build(), 0,
       [](const StatusReading& r) {
         EXPECT_EQ(List(r.channels.values), (std::vector<int>{1, 2, 3, 4}));
         EXPECT_FALSE(r.channels.mi.present);
       },
       StatusShape{2, 2}},
      {"channels shorter than the model", BinaryReply().Status(1).Record(11, {9, 1, 2, 3}).Build(), 0,
       [](const StatusReading& r) { EXPECT_FALSE(r.channels.present); }},
      {"channels without data", BinaryReply().Status(1).Record(11, {}).Build(), 0,
       [](const StatusReading& r) { EXPECT_FALSE(r.channels.present); }},
  });
}

TEST(BinaryReply, LengthAndRecordBounds) {
  RunBinary({
      {"length 0", BinaryReply().Status(1).DeclaredLength(0).Build(), -1, nullptr},
      {"unlisted type skipped", BinaryReply().Record(3, {1, 1, 1}).Status(1).Build(), 0, nullptr},
      // Records start below the declared length only.
      {"length stops the walk", BinaryReply().Status(1).Error(2).DeclaredLength(5).Build(), 0,
       [](const StatusReading& r) { EXPECT_FALSE(r.error.present); }},
      {"length beyond the body", BinaryReply().Status(1).DeclaredLength(0xFFFF).Build(), 0, nullptr},
      {"record cut by the body", BinaryReply().Status(1).Raw({4, 9, 0x10}).Build(), 0,
       [](const StatusReading& r) { EXPECT_FALSE(r.warnings.present); }},
      {"lone type byte", BinaryReply().Status(1).Raw({1}).Build(), 0, nullptr},
      {"status cut off", BinaryReply().Raw({1, 1}).Build(), -1, nullptr},
      {"empty status record", BinaryReply().Record(1, {}).Build(), -1, nullptr},
      {"status 0 alone", BinaryReply().Status(0).Build(), -1, nullptr},
      {"IG entry past the record", BinaryReply().Status(1).Record(16, {0, 1, 2}).Build(), 0,
       [](const StatusReading& r) { EXPECT_EQ(List(r.ig_entries), std::vector<int>{}); }},
  });
}

TEST(StatusReading, ParsesAccumulateOnOneReading) {
  StatusReading reading;
  ASSERT_EQ(Parse(BinaryReply().Status(1).Record(4, {0x12}).Record(29, {4}).Build(), reading), 0);
  ASSERT_EQ(Parse(TextReply("ST:02;"), reading), 0);
  EXPECT_EQ(reading.form, ReplyForm::kText);
  EXPECT_EQ(reading.status.value, 2);
  EXPECT_EQ(List(reading.warnings), (std::vector<int>{0x12}));
  EXPECT_EQ(reading.rt.value, 4);
}

}  // namespace
}  // namespace kalimu::status
