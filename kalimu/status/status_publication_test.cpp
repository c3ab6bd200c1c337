// The pre-print publication of a reply into the printer's stored values, on a model whose
// header switches every step on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/status/status_publication.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/status/status_replies.h"
#include "testkit/standins/status_switches.h"

namespace kalimu::status {
namespace {

using testkit::BinaryReply;
using testkit::Bytes;

testkit::ModelDescription PublishingModel() {
  testkit::ModelDescription model = testkit::SheetModel();
  model.header.flags20 |= 0x10000000 | 0x1000;
  model.header.flags24 |= 0x2 | 0x100 | 0x4000 | 0x10000 | 0x20000 | 0x80000 | 0x200000 | 0x4000000;
  model.header.flags28 |= 0x4;
  model.header.flags40 |= 0x3;
  model.sources[0].flags12 = 0;
  model.sources[1].flags12 = 0x2;  // a feeding source
  return model;
}

class StatusPublicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    printer_.model_printer().Attach(model_);
  }

  void ModuleReply(const Bytes& reply) { printer_.SetSwitch(testkit::kModuleReplyVar, testkit::ToHex(reply).c_str()); }
  int Publish(int16_t source = 0) {
    std::memset(&head_, 0, sizeof head_);
    std::memset(&record_, 0xEE, sizeof record_);
    return StoreStatusReadings(PublicationTarget{&model_, source}, &head_, &record_);
  }
  int32_t Number(const char* name) {
    const auto value = printer_.ReadValue(name, KEY_WOW64_32KEY);
    int32_t number = 0x5A5A5A5A;
    if (value && value->size() == 4) std::memcpy(&number, value->data(), 4);
    return number;
  }
  std::vector<uint8_t> Bytes_(const char* name) {
    return printer_.ReadValue(name, KEY_WOW64_64KEY).value_or(std::vector<uint8_t>{});
  }
  void SetNumber(const char* name, int32_t value) { printer_.WriteValue(name, REG_DWORD, &value, sizeof value); }

  testkit::StatusPrinter printer_{PublishingModel()};
  model::ModelCapabilities model_;
  HeadInfoRecord head_;
  PrinterStatusRecord record_;
};

TEST_F(StatusPublicationTest, NoReplyStoresTheEmptyReading) {
  printer_.SetSwitch(testkit::kMonitorAnswerVar, "0");
  SetNumber("HPIInfo", 7);
  EXPECT_EQ(Publish(), 0);
  EXPECT_EQ(Number("INKCHECK"), 0);
  EXPECT_EQ(Number("KV_INKLEVEL"), -1);
  EXPECT_EQ(Number("HPIInfo"), 1);  // bit 1 cleared, bit 0 kept, higher bits cleared
  EXPECT_EQ(Number("CRIInfo"), 0);
  EXPECT_EQ(Number("PaperRemain"), 0);
  EXPECT_EQ(Number("BRSInfo"), 4);
  EXPECT_EQ(Number("RX_STACKER"), 0x5A5A5A5A);  // not fetched: not written
  EXPECT_EQ(record_.mkiwt_status, 0xEEEEEEEEu);
}

TEST_F(StatusPublicationTest, ReplyIsPublished) {
  ModuleReply(BinaryReply()
                  .Status(1)
                  .Inks({{0x0B01, 40}, {0x0C00, 'n'}})
                  .Record(4, {0x11, 0x00})
                  .Record(6, {3, 2})
                  .Record(24, {2})
                  .Record(28, {1})
                  .Record(21, {2, 8, 9})
                  .Record(27, {})
                  .Record(29, {0x21})
                  .Record(31, {'S', 'N', 0x01})
                  .Record(32, {0xAB})
                  .Build());
  SetNumber("BRSInfo", 5);
  EXPECT_EQ(Publish(), 1);
  const std::vector<uint8_t> ink_set = Bytes_("INKINF");
  ASSERT_EQ(ink_set.size(), 32u);
  EXPECT_EQ(std::vector<uint8_t>(ink_set.begin(), ink_set.begin() + 10),
            (std::vector<uint8_t>{1, 0, 0, 0, 2, 0, 0, 0, 0x0B, 0x0C}));
  EXPECT_EQ(Number("INKCHECK"), 0);
  EXPECT_EQ(Number("KV_INKLEVEL"), 0x1);  // warning 0x11 names the ink at position 1
  EXPECT_EQ(Number("KV_BININFO"), 2);
  EXPECT_EQ(Number("RX_STACKER"), 1);
  EXPECT_EQ(Number("RX_PGPOS"), 0);
  EXPECT_EQ(Number("RX_OVTEMP"), 1);
  EXPECT_EQ(Bytes_("KVIWF_INFO"), (std::vector<uint8_t>{3, 2, 8, 9, 0, 0, 0, 0}));
  EXPECT_TRUE(Bytes_("KVHT_INFO").empty());  // a count of 0 is not stored
  EXPECT_EQ(Number("KVRT_INFO"), 0x21);
  EXPECT_EQ(Number("HPIInfo"), 2);
  EXPECT_EQ(Bytes_("HighPrecisionID"), (std::vector<uint8_t>{32, 1, 0xAB}));
  EXPECT_EQ(Number("CRIInfo"), 2);
  EXPECT_EQ(Number("PaperRemain"), 1);
  // The serial text, then its hexadecimal form for the model's BRS flag.
  const std::vector<uint8_t> serial = Bytes_("SerialNo");
  EXPECT_EQ(std::string(serial.begin(), serial.end()), std::string("534E0100000000000000") + '\0');
  EXPECT_EQ(Number("BRSInfo"), 8);
  EXPECT_EQ(Number("PPCK"), 0x5A5A5A5A);  // path 3 on a source that does not feed: no conflict
}

TEST_F(StatusPublicationTest, InkSetChangeAgainstTheStoredOne) {
  struct Case {
    const char* name;
    uint32_t stored_count;
    uint8_t second_code;
    int32_t changed;
  };
  const Case cases[] = {
      {"same first codes", 1, 0x7F, 0},
      {"different code", 2, 0x7F, 1},
      {"count past the record", 0xFFFFFFFF, 0x0C, 0},
  };
  ModuleReply(BinaryReply().Status(1).Inks({{0x0B01, 40}, {0x0C01, 50}, {0x0D01, 60}}).Build());
  for (const Case& c : cases) {
    model::InkInfoValue stored = {1, c.stored_count, {0x0B, c.second_code, 0x0D}, {}};
    printer_.WriteValue("INKINF", REG_BINARY, &stored, sizeof stored);
    EXPECT_EQ(Publish(), 1) << c.name;
    EXPECT_EQ(Number("INKCHECK"), c.changed) << c.name;
    EXPECT_EQ(Bytes_("INKINF")[9], c.second_code) << c.name;  // the stored set is kept
  }
}

TEST_F(StatusPublicationTest, LockedBrsWordStopsTheSerialForm) {
  ModuleReply(BinaryReply().Status(1).Record(31, {'A'}).Build());
  SetNumber("BRSInfo", static_cast<int32_t>(0x80000000));
  EXPECT_EQ(Publish(), 1);
  EXPECT_EQ(Number("BRSInfo"), static_cast<int32_t>(0x80000000));
  const std::vector<uint8_t> serial = Bytes_("SerialNo");
  EXPECT_EQ(std::string(serial.begin(), serial.end()), std::string("A") + '\0');
}

TEST_F(StatusPublicationTest, SourceConflict) {
  struct Case {
    const char* name;
    int16_t source;
    uint8_t path;
    int32_t stored;
  };
  const Case cases[] = {
      {"feeding source, path 1", 1, 1, 0x20000},
      {"feeding source, path 2", 1, 2, 0x5A5A5A5A},
      {"plain source, path 2", 0, 2, 0x10000},
      {"plain source, path 1", 0, 1, 0x5A5A5A5A},
  };
  for (const Case& c : cases) {
    printer_.DeleteValue("PPCK");
    ModuleReply(BinaryReply().Status(1).Record(6, {c.path, 0}).Build());
    EXPECT_EQ(Publish(c.source), 1) << c.name;
    EXPECT_EQ(Number("PPCK"), c.stored) << c.name;
  }
}

}  // namespace
}  // namespace kalimu::status
