// The rendering library's queries on both sample models: the ink set, the output paper's data
// and the pre-print status word, the printer's reply coming from the printer-module stand-in.
#include "kalimu/driver/render_queries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/kalimu/user_files_builder.h"
#include "testkit/standins/status_switches.h"
#include "testkit/status/status_replies.h"

namespace kalimu::driver {
namespace {

using Record = settings::DriverDevMode;

// The printer's own record (stored or default).
Record OwnRecord(HANDLE printer) {
  Record record{};
  settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
  if (settings != nullptr) std::memcpy(&record, settings->GetDevMode(), sizeof record);
  return record;
}

const uint8_t kModelId[16] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                              0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
const uint8_t kStored[16] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
                             0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F};

struct InkCase {
  const char* name;
  bool roll_model;  // RollPaperModel (mask 0x7), else SheetModel (mask 0x3)
  uint32_t length;
  std::vector<uint16_t> expected;  // count, then the entries; the rest of the 64 bytes is 0
};

class InkSetTest : public ::testing::TestWithParam<InkCase> {};

TEST_P(InkSetTest, EntriesFromTheModelIdentificationAndTheStoredValue) {
  const InkCase& c = GetParam();
  testkit::StatusPrinter printer(c.roll_model ? testkit::RollPaperModel() : testkit::SheetModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ASSERT_TRUE(printer.model_printer().StoreInkCodes(kStored, c.length));
  Record record = OwnRecord(printer.handle());
  std::memcpy(record.ModelId, kModelId, sizeof kModelId);
  InkSetInfo info;
  std::memset(&info, 0xCC, sizeof info);
  EXPECT_EQ(DRVUIGetInkSet(&record.Public, &info, printer.printer_name().c_str()), 1u);
  uint16_t expected[32] = {};
  std::copy(c.expected.begin(), c.expected.end(), expected);
  EXPECT_EQ(std::memcmp(&info, expected, sizeof info), 0) << "count " << info.count << " first " << info.codes[0];
}

INSTANTIATE_TEST_SUITE_P(
    Models, InkSetTest,
    ::testing::Values(
        // Mask 0x0003: codes 0 and 1 from the model identification, 2 and 3 stored.
        InkCase{"SheetMask3Length4", false, 4, {4, 0xA0, 0xA1, 0x12, 0x13}},
        InkCase{"RollMask7Length5", true, 5, {5, 0xA0, 0xA1, 0xA2, 0x13, 0x14}},
        InkCase{"Length0", false, 0, {0}},
        // Past 16 entries neither list holds a code: 0.
        InkCase{"Length30",
                true,
                30,
                {30, 0xA0, 0xA1, 0xA2, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F}},
        InkCase{"Length31", false, 31, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InkSetRefusalTest, NothingIsWrittenWithoutPrinterRecordOrValue) {
  testkit::StatusPrinter printer;
  ASSERT_TRUE(printer.ok()) << printer.error();
  Record record = OwnRecord(printer.handle());
  InkSetInfo info;
  const auto untouched = [&] {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&info);
    return std::all_of(bytes, bytes + sizeof info, [](uint8_t b) { return b == 0xCC; });
  };
  std::memset(&info, 0xCC, sizeof info);
  EXPECT_EQ(DRVUIGetInkSet(&record.Public, &info, "No Such Printer 29"), 1u);
  EXPECT_TRUE(untouched());
  EXPECT_EQ(DRVUIGetInkSet(&record.Public, &info, nullptr), 1u);
  EXPECT_TRUE(untouched());
  DEVMODEW foreign = record.Public;
  foreign.dmDriverExtra = 0;  // a public-only record cannot carry the settings
  EXPECT_EQ(DRVUIGetInkSet(&foreign, &info, printer.printer_name().c_str()), 1u);
  EXPECT_TRUE(untouched());
  EXPECT_EQ(DRVUIGetInkSet(nullptr, &info, printer.printer_name().c_str()), 1u);
  EXPECT_TRUE(untouched());
  EXPECT_EQ(DRVUIGetInkSet(&record.Public, nullptr, printer.printer_name().c_str()), 1u);

  // A printer without a stored ink set: count 0, all zero.
  printer.model_printer().ForgetInkSet();
  EXPECT_EQ(DRVUIGetInkSet(&record.Public, &info, printer.printer_name().c_str()), 1u);
  const InkSetInfo zero = {};
  EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);
}

// The output paper's data, worked out from the models' tables.
struct UiCase {
  const char* name;
  bool roll_model;
  int32_t output_paper;
  uint16_t source_index;
  bool roll_option;  // paper option 8
  int32_t feed_auto;
  bool fit;  // scaling option 2
  int32_t custom_unit, custom_width, custom_length;
  int32_t top, bottom, width, length;
};

class UiData2Test : public ::testing::TestWithParam<UiCase> {};

TEST_P(UiData2Test, ExtentAndRollMargins) {
  const UiCase& c = GetParam();
  testkit::StatusPrinter printer(c.roll_model ? testkit::RollPaperModel() : testkit::SheetModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  {
    // One user paper: id 768, 2100 x 2970 tenths of a millimetre.
    const testkit::ModelDescription& model = printer.model_printer().model();
    std::vector<storage::UserSettingsEntry> presets(model.user_settings_capacity);
    std::vector<storage::UserPaperEntry> papers = {testkit::UserPaper(0, "Mine", 2100, 2970)};
    for (int slot = 1; slot < model.user_paper_capacity; ++slot) papers.push_back(testkit::FreePaper(slot));
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer.handle(), nullptr, nullptr));
    ASSERT_NE(settings, nullptr);
    char path[MAX_PATH] = {};
    ASSERT_TRUE(settings->GetUcfFilePath(path, sizeof path));
    ASSERT_TRUE(testkit::WriteBytes(path, testkit::BuildUcfFile(presets, papers)));
  }
  Record record = OwnRecord(printer.handle());
  record.OutputPaperSize = c.output_paper;
  record.PaperSourceIndex = c.source_index;
  record.PaperOptions = c.roll_option ? record.PaperOptions | 8 : record.PaperOptions & ~8u;
  record.PaperFeedAuto = c.feed_auto;
  record.ScalingOptions = c.fit ? 2 : 0;
  record.CustomPaperUnit = c.custom_unit;
  record.CustomPaperWidth = c.custom_width;
  record.CustomPaperLength = c.custom_length;
  const Record before = record;

  uint8_t bytes[sizeof(UiData2Info)];
  std::memset(bytes, 0xCC, sizeof bytes);
  EXPECT_EQ(DRVUIGetUIData2(&record.Public, bytes, nullptr, printer.printer_name().c_str()), 1u);
  const auto word = [&](size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, bytes + offset, 4);
    return value;
  };
  const auto half = [&](size_t offset) {
    uint16_t value = 0;
    std::memcpy(&value, bytes + offset, 2);
    return value;
  };
  EXPECT_EQ(word(0), 0);
  EXPECT_EQ(word(4), c.top);
  EXPECT_EQ(word(8), 0);
  EXPECT_EQ(word(12), c.bottom);
  EXPECT_EQ(half(16), 1);
  EXPECT_EQ(half(18), 0xCCCC);  // a gap, never written
  EXPECT_EQ(word(20), c.width);
  EXPECT_EQ(word(24), c.length);
  EXPECT_EQ(word(28), 0);
  EXPECT_EQ(word(32), 0);
  EXPECT_EQ(word(36), 0);
  EXPECT_EQ(half(40), 0);
  EXPECT_EQ(half(42), 0xCCCC);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Models, UiData2Test,
    ::testing::Values(
        // Roll-paper model: A4 (margin record 1: 108 top, 198 bottom) from the sheet feeder (id 7).
        UiCase{"RollA4Margins", true, 9, 0, true, 0, false, 1, 0, 0, 108, 198, 2976, 4209},
        UiCase{"RollA4AutoFeed", true, 9, 0, true, 1, false, 1, 0, 0, 0, 0, 2976, 4209},
        UiCase{"RollA4AutoFeedFit", true, 9, 0, true, 1, true, 1, 0, 0, 108, 198, 2976, 4209},
        UiCase{"RollA4WithoutOption", true, 9, 0, false, 0, false, 1, 0, 0, 0, 0, 2976, 4209},
        UiCase{"RollA4FromRollSource256", true, 9, 2, true, 0, false, 1, 0, 0, 0, 0, 2976, 4209},
        UiCase{"RollPaper24Inch", true, 301, 1, true, 0, false, 1, 0, 0, 72, 72, 8640, 15840},
        UiCase{"CustomTenthMm", true, 256, 0, true, 0, false, 1, 2100, 2970, 108, 198, 2976, 4209},
        UiCase{"CustomHundredthInch", true, 256, 0, false, 0, false, 2, 827, 1169, 0, 0, 2977, 4208},
        UiCase{"UserPaper", true, 768, 0, false, 0, false, 1, 0, 0, 0, 0, 2976, 4209},
        // No paper of that id: the last record's margins, extent 0.
        UiCase{"NoSuchPaper", true, 999, 0, true, 0, false, 1, 0, 0, 108, 198, 0, 0},
        // Sheet model: A5 (margin record 1: 120) from the manual feed (id 4); borderless A4.
        UiCase{"SheetA5", false, 11, 1, true, 0, false, 1, 0, 0, 120, 120, 2098, 2976},
        UiCase{"SheetA4Borderless", false, 300, 0, true, 0, false, 1, 0, 0, 0, 0, 2976, 4209},
        UiCase{"SheetUserPaper", false, 768, 1, false, 0, false, 1, 0, 0, 0, 0, 2976, 4209}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The pre-print status word ------------------------------------------------------------

// A sample model with the header bits of the status word cleared, then the given ones set.
testkit::ModelDescription StatusModel(bool roll, uint32_t flags20, uint32_t flags24, uint32_t flags28,
                                      uint32_t ink_word_bits, uint32_t flags40) {
  testkit::ModelDescription model = roll ? testkit::RollPaperModel() : testkit::SheetModel();
  model.header.flags20 = (model.header.flags20 & ~0x10001003u) | flags20;
  constexpr uint32_t kStatusBits24 = 0x2 | 0x8 | 0x10 | 0x20 | 0x40 | 0x100 | 0x1000 | 0x2000 | 0x4000 | 0x10000 |
                                    0x20000 | 0x80000 | 0x200000 | 0x1000000 | 0x4000000;
  model.header.flags24 = (model.header.flags24 & ~kStatusBits24) | flags24;
  model.header.flags28 = (model.header.flags28 & ~0x4u) | flags28;
  model.header.ink_word = (model.header.ink_word & ~0x401500u) | ink_word_bits;
  model.header.flags40 = (model.header.flags40 & ~0x400003u) | flags40;
  return model;
}

class PrePrintStatusTest : public ::testing::Test {
 protected:
  void Prepare(testkit::StatusPrinter& printer, const char* monitor_answer) {
    ASSERT_TRUE(printer.ok()) << printer.error();
    printer.SetSwitch(testkit::kMonitorAnswerVar, monitor_answer);
    record_ = OwnRecord(printer.handle());
  }
  uint32_t Word(testkit::StatusPrinter& printer, uint32_t start) {
    record_.PrePrintStatus = start;
    const uint32_t word = DRVUIGetPrePrintStatus(&record_.Public, printer.handle());
    EXPECT_EQ(record_.PrePrintStatus, start);  // the caller's field as it was
    return word;
  }
  static void SetNumber(testkit::StatusPrinter& printer, const char* name, int32_t value) {
    printer.WriteValue(name, REG_DWORD, &value, sizeof value);
  }

  Record record_{};
};

TEST_F(PrePrintStatusTest, WithoutTheModelsFlagsOnlyStaysWhatNoStepClears) {
  for (bool roll : {false, true}) {
    testkit::StatusPrinter printer(StatusModel(roll, 0, 0, 0, 0, 0));
    Prepare(printer, "0");
    SetNumber(printer, "RX_PGPOS", 1);
    SetNumber(printer, "INKCHECK", 1);
    // 0x10 is the ink check's; 0x200 is cleared without the page-position flags.
    EXPECT_EQ(Word(printer, 0xFFFFFFFF), 0xFFFFFFFFu & ~(0xC0u | 0x100 | 0x200 | 0x1000 | 0x2000 | 0x8000)) << roll;
    EXPECT_EQ(Word(printer, 0), 0x10u) << roll;
    SetNumber(printer, "PPCK", 0x30000);
    EXPECT_EQ(Word(printer, 0), 0x30010u) << roll;
  }
}

// Each step on its stored reading, with every switching flag of the model set.
TEST_F(PrePrintStatusTest, StepsFollowTheStoredReadings) {
  struct Case {
    const char* name;
    uint32_t start;
    std::vector<std::pair<const char*, int32_t>> values;
    int16_t default_source;
    uint32_t expected;
  };
  const Case cases[] = {
      // Unreadable readings count as 0 (the ink level too: 0x80 is set), the page position as -1.
      {"nothing stored", 0xFFFFFFFF, {}, 7, 0xFFFFFFFFu & ~(0x08u | 0x10 | 0x4020 | 0x40 | 0x100 | 0xE00 | 0x2000 | 0x1000 | 0x8000)},
      {"ink check", 0, {{"INKCHECK", 1}}, 7, 0x10},
      {"bin 1 from a plain source", 0, {{"KV_BININFO", 1}}, 7, 0x20},
      {"bin 1 from a 0x4000 source", 0, {{"KV_BININFO", 1}}, 4, 0},
      {"bin 2 from a feed-1 source", 0, {{"KV_BININFO", 2}}, 7, 0},
      {"bin 2 from another source", 0, {{"KV_BININFO", 2}}, 4, 0x4000},
      {"ink level low", 0x40, {{"KV_INKLEVEL", 3}}, 7, 0x40},
      {"ink level high word 1", 0xC0, {{"KV_INKLEVEL", 0x10003}}, 7, 0},
      {"ink level out", 0x40, {{"KV_INKLEVEL", 0}}, 7, 0x80},
      {"ink level unknown", 0xC0, {{"KV_INKLEVEL", -1}}, 7, 0},
      {"ink level without 0x40", 0x80, {{"KV_INKLEVEL", 0}}, 7, 0},
      {"stacker", 0, {{"RX_STACKER", 1}}, 7, 0x100},
      {"page position kept", 0xA00, {{"RX_PGPOS", 1}}, 7, 0x200},
      {"page position starts", 0, {{"RX_PGPOS", 0}}, 7, 0x400},
      {"page position 0 after 0x200", 0x200, {{"RX_PGPOS", 0}}, 7, 0},
      {"page position 1 without 0x200", 0, {{"RX_PGPOS", 1}}, 7, 0},
      {"over temperature", 0, {{"RX_OVTEMP", 1}}, 7, 0x1000},
      {"paper remain", 0, {{"PaperRemain", 1}}, 7, 0x8000},
      {"paper check", 0, {{"RXPaperFlag", 1}}, 7, 0x08},
      {"paper check flag only", 0x08, {{"RXPaperFlag", 0}}, 7, 0},
      {"ppck", 0, {{"PPCK", 0x20000}}, 7, 0x20000},
  };
  for (bool roll : {false, true}) {
    testkit::StatusPrinter printer(
        StatusModel(roll, 0x10000000, 0x2 | 0x20 | 0x1000 | 0x80000 | 0x1000000, 0x4, 0x1000, 0));
    Prepare(printer, "0");
    uint8_t status[20] = {};
    status[16] = 1;
    printer.WriteValue("RX_PRNSTATUS", REG_BINARY, status, sizeof status);
    const Record own = record_;
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (roll ? "roll " : "sheet ") << c.name);
      for (const char* name : {"INKCHECK", "KV_BININFO", "KV_INKLEVEL", "RX_STACKER", "RX_PGPOS", "RX_OVTEMP",
                               "PaperRemain", "RXPaperFlag", "PPCK"}) {
        printer.DeleteValue(name);
      }
      for (const auto& [name, value] : c.values) SetNumber(printer, name, value);
      record_ = own;
      record_.Public.dmDefaultSource = c.default_source;
      record_.PaperSourceIndex = c.default_source == 4 ? 1 : 0;  // the default source is the current one
      EXPECT_EQ(Word(printer, c.start), c.expected);
    }
  }
}

// The refresh asks the monitor, reads the reply through the printer-module stand-in, and
// stores the head record, the printer-status record and the paper flag.
TEST_F(PrePrintStatusTest, RefreshPublishesTheReplyAndTheHeadRecord) {
  for (bool roll : {false, true}) {
    SCOPED_TRACE(roll ? "roll" : "sheet");
    // Ink-id length 8, doubled for two head blocks: 16 entries, of which each block holds 10.
    testkit::ModelDescription model = StatusModel(roll, 0x1, 0, 0, 0x100 | 0x1000 | 0x400000, 0x400000);
    model.header.ink_word = (model.header.ink_word & ~0xFF0080FFu) | 0x08008008u;
    testkit::StatusPrinter printer(model);
    Prepare(printer, "3");
    printer.SetSwitch(testkit::kModuleReplyVar, testkit::ToHex(testkit::BinaryReply().Status(1).Record(14, {1}).Build()).c_str());
    SetNumber(printer, "INKCHECK", 7);
    const uint32_t word = Word(printer, 0);
    EXPECT_EQ(word, 0x08u);  // the printer-status record's word is 1 and the paper flag is set

    const auto head = printer.ReadValue("RX_HEADID", KEY_WOW64_64KEY);
    ASSERT_TRUE(head.has_value());
    ASSERT_EQ(head->size(), 112u);
    uint32_t words[28];
    std::memcpy(words, head->data(), sizeof words);
    EXPECT_EQ(words[0], 1u);
    EXPECT_EQ(words[1], 8u);
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(words[2 + i], 50u) << i;
      EXPECT_EQ(words[18 + i], 50u) << i;
    }
    EXPECT_EQ(words[16], 0u);  // bytes 64 to 71 lie between the blocks: never written
    EXPECT_EQ(words[17], 0u);
    const auto state = printer.ReadValue("RX_PRNSTATUS", KEY_WOW64_32KEY);
    ASSERT_TRUE(state.has_value());
    ASSERT_EQ(state->size(), 20u);
    EXPECT_EQ((*state)[16], 1);
    const auto paper = printer.ReadValue("RXPaperFlag", KEY_WOW64_32KEY);
    ASSERT_TRUE(paper.has_value());
    EXPECT_EQ((*paper)[0], 1);
    const auto ink_check = printer.ReadValue("INKCHECK", KEY_WOW64_64KEY);
    ASSERT_TRUE(ink_check.has_value());
    EXPECT_NE((*ink_check)[0], 7);  // the publication stored its own
  }
}

TEST_F(PrePrintStatusTest, NoSettingsNoWord) {
  testkit::StatusPrinter printer;
  Prepare(printer, "0");
  EXPECT_EQ(DRVUIGetPrePrintStatus(nullptr, printer.handle()), 0u);
  record_.PrePrintStatus = 0x10;
  EXPECT_EQ(DRVUIGetPrePrintStatus(&record_.Public, nullptr), 0u);
  DEVMODEW foreign = record_.Public;
  foreign.dmDriverExtra = 0;
  EXPECT_EQ(DRVUIGetPrePrintStatus(&foreign, printer.handle()), 0u);
}

}  // namespace
}  // namespace kalimu::driver
