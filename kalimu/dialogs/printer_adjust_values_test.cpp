// Stored printer adjustment values on a test printer: the default record, the printer's readings
// kept through a save, the field limits and the order in which a failing save stops.
#include "kalimu/dialogs/printer_adjust_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"
#include "kalimu/dialogs/dialog_test_support.h"
#include "testkit/kalimu/model_printer.h"

namespace kalimu::dialogs {
namespace {

testkit::ModelDescription AdjustModel(bool rt) {
  auto model = testkit::SheetModel();
  model.header.ink_word = 0x4000u | 0x100u | 3u;  // second row, channel check, three channels
  model.header.flags40 = 3;                       // IWF and HT groups
  model.header.byte77 = 2;
  model.header.byte78 = 9;  // more HT fields than the dialog has: four are shown
  model.header.flags24 = rt ? 0x4000u : 0u;
  return model;
}

class PrinterAdjustValuesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings_ = NewJobSettings(printer_, &record_);
    ASSERT_TRUE(settings_->IsValid());
    shape_ = AskAdjustShape(*settings_);
  }

  static AdjustFieldTexts Texts() {
    AdjustFieldTexts texts;
    const char* row1[] = {"1", "22", "7a"};
    const char* row2[] = {"0", "99", "5"};
    for (int i = 0; i < 3; ++i) {
      std::strcpy(texts.row1[i], row1[i]);
      std::strcpy(texts.row2[i], row2[i]);
    }
    std::strcpy(texts.iwf[0], "12");
    std::strcpy(texts.iwf[1], "34");
    for (auto& ht : texts.ht) std::strcpy(ht, "255");
    std::strcpy(texts.rt, "42");
    return texts;
  }

  testkit::ModelPrinter printer_{AdjustModel(GetParam())};
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
  AdjustShape shape_;
};

TEST_P(PrinterAdjustValuesTest, ShapeIsHeldToTheDialogsFields) {
  EXPECT_EQ(shape_.counts.channels, 3u);
  EXPECT_EQ(shape_.counts.iwf, 2u);
  EXPECT_EQ(shape_.counts.ht, 4u);
  EXPECT_TRUE(shape_.second_row && shape_.channel_check && shape_.iwf && shape_.ht);
  EXPECT_EQ(shape_.rt, GetParam());
  EXPECT_FALSE(shape_.no_adjustment);
}

TEST_P(PrinterAdjustValuesTest, MissingRecordIsWrittenAsTheDefault) {
  HeadAdjustRecord record{};
  EXPECT_EQ(ReadAdjustRecord(*settings_, &record), 0);
  LoadAdjustRecord(*settings_, shape_, &record);
  HeadAdjustRecord stored{};
  ASSERT_EQ(ReadAdjustRecord(*settings_, &stored), 1);
  EXPECT_EQ(std::memcmp(&stored, &record, sizeof(record)), 0);
  EXPECT_EQ(stored.valid, 1u);
  EXPECT_EQ(stored.ink_count, 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(stored.first_block[i], 50u);
    EXPECT_EQ(stored.second_block[i], 50u);
  }
  EXPECT_EQ(stored.first_block[3], 0u);
  EXPECT_EQ(stored.cartridge_flag, 0u);
}

TEST_P(PrinterAdjustValuesTest, SaveKeepsThePrintersReadings) {
  HeadAdjustRecord old{};
  old.valid = 1;
  old.ink_count = 3;
  old.first_block[5] = 77;  // beyond the model's channels: kept as read
  old.cartridge_flag = 1;
  old.cartridge_value = 0x1234;
  old.paper_path_flag = 1;
  old.paper_path_value = 0x5678;
  ASSERT_EQ(WriteAdjustRecord(*settings_, old), 1);

  uint32_t limit = 0;
  ASSERT_EQ(SaveAdjustValues(*settings_, shape_, Texts(), &limit), 1);
  HeadAdjustRecord saved{};
  ASSERT_EQ(ReadAdjustRecord(*settings_, &saved), 1);
  EXPECT_EQ(saved.first_block[0], 1u);
  EXPECT_EQ(saved.first_block[1], 22u);
  EXPECT_EQ(saved.first_block[2], 7u);  // read as atoi reads it; the field check refuses it earlier
  EXPECT_EQ(saved.second_block[1], 99u);
  EXPECT_EQ(saved.first_block[5], 77u);
  EXPECT_EQ(saved.cartridge_value, 0x1234u);
  EXPECT_EQ(saved.paper_path_value, 0x5678u);

  uint8_t iwf[8] = {}, ht[8] = {};
  settings_->ReadIwfInfo(iwf);
  settings_->ReadHtInfo(ht);
  EXPECT_EQ(std::memcmp(iwf, "\x02\x0C\x22\0\0\0\0\0", 8), 0);
  EXPECT_EQ(std::memcmp(ht, "\x07\xFF\xFF\xFF\xFF\0\0\0", 8), 0);  // the model's 9 held to 7
  EXPECT_EQ(settings_->ReadRtInfo(), GetParam() ? 42u : 0u);  // no RT capability: not saved
}

TEST_P(PrinterAdjustValuesTest, FailingFieldStopsTheSaveWhereItIs) {
  const struct {
    const char* what;
    void (*damage)(AdjustFieldTexts*);
    uint32_t limit;
    bool record_written;
    bool iwf_written;
  } cases[] = {
      {"channel above 99", [](AdjustFieldTexts* t) { std::strcpy(t->row2[2], "-1"); }, 99, false, false},
      {"IWF negative", [](AdjustFieldTexts* t) { std::strcpy(t->iwf[1], "-5"); }, 99, true, false},
      {"HT 256", [](AdjustFieldTexts* t) { std::strcpy(t->ht[3], "256"); }, 255, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HeadAdjustRecord sentinel{};
    sentinel.valid = 9;
    ASSERT_EQ(WriteAdjustRecord(*settings_, sentinel), 1);
    const uint8_t zeros[8] = {};
    settings_->WriteIwfInfo(zeros);
    AdjustFieldTexts texts = Texts();
    c.damage(&texts);
    uint32_t limit = 0;
    EXPECT_EQ(SaveAdjustValues(*settings_, shape_, texts, &limit), 0);
    EXPECT_EQ(limit, c.limit);
    HeadAdjustRecord saved{};
    ASSERT_EQ(ReadAdjustRecord(*settings_, &saved), 1);
    EXPECT_EQ(saved.valid, c.record_written ? 1u : 9u);
    uint8_t iwf[8] = {};
    settings_->ReadIwfInfo(iwf);
    EXPECT_EQ(iwf[1], c.iwf_written ? 12 : 0);
  }
}

TEST_P(PrinterAdjustValuesTest, CutterSwitchInBothRegistryViews) {
  bool present = true;
  EXPECT_EQ(ReadCutterSetting(*settings_, &present), 0);  // nothing stored yet
  settings_->SetCutOptions(1 | 2 | 8);
  for (bool on : {true, false}) {
    SaveCutterSetting(*settings_, on);
    for (int view : {1, 2}) {
      uint32_t value = 7;
      DWORD size = sizeof(value);
      ASSERT_EQ(settings::ReadPrinterRegValueById(settings_.get(), storage::kValueCutterInfo, &value, &size, view), 1)
          << view;
      EXPECT_EQ(value, on ? 1u : 0u) << view;
    }
    ASSERT_EQ(ReadCutterSetting(*settings_, &present), 1);
    EXPECT_EQ(present, on);
  }
  EXPECT_EQ(static_cast<uint32_t>(settings_->GetCutOptions()), 8u);  // no cutter: cut options 1 and 2 off
}

INSTANTIATE_TEST_SUITE_P(RtCapability, PrinterAdjustValuesTest, ::testing::Bool());

}  // namespace
}  // namespace kalimu::dialogs
