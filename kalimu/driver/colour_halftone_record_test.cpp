// The colour and halftone record (CreateStruct type 0) read by offset through Kalimu.dll: mode
// code, method, tone values, the ink-correction lines, the colour-correction key, the
// identification, the calibration file and the tone block.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/driver/render_records_test_support.h"

namespace kalimu::driver::records_test {
namespace {

constexpr DWORD kColour = 0;
constexpr int16_t kModeValues[6] = {11, 1, 2, 3, 5, 8};  // base, A, B, C, D, E of the variant-1 mode
constexpr int32_t kCalibrationModeValue = 42;             // print-mode value 104 of the variant-1 mode

// The roll model with every block of the record enabled.
testkit::ModelDescription ColourModel() {
  testkit::ModelDescription m = RecordModel(testkit::RollPaperModel());
  m.header.ink_word |= 0x100;      // ink count in the lines
  m.header.flags20 = 0x2000;       // two lines
  m.header.flags24 = 0x10000 | 0x20000 | 0x8000;
  m.header.flags40 = 1;
  m.header.byte77 = 3;
  for (int i = 0; i < 6; ++i) m.modes[0].groups[0].value30[i] = kModeValues[i];
  m.modes[0].groups[0].value56 = kCalibrationModeValue;
  return m;
}

class ColourRecordTest : public SharedPrinterTest<ColourModel> {
 protected:
  void SetUp() override {
    SharedPrinterTest::SetUp();
    const auto& mode = printer_->model().modes[0];
    base_.SettingsRecord.ModeId = mode.id;
    base_.SettingsRecord.MediaId = static_cast<uint32_t>(mode.media_id);
    base_.SettingsRecord.ModeVariant = 1;
    base_.Public.dmColor = DMCOLOR_COLOR;
    base_.PaperOptions = 0;
  }
  std::string DriverName() { return printer_->printer().driver_name(); }
};

TEST_F(ColourRecordTest, ModeCodeByColourModeAndQuality) {
  struct Case {
    uint16_t k, s;
    uint32_t paper_options;
    uint32_t option_flags;
    int32_t code;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 10}, {0, 1, 0, 0, 0},   {0, 2, 0, 0, 2},   {0, 3, 0, 0, 4},  {0, 4, 0, 0, 5},
      {0, 5, 0, 0, 11}, {0, 6, 0, 0, 6},   {0, 8, 0, 0, 6},   {0, 10, 0, 0, 6},
      {0, 7, 0, 0, 7},   // the mode's base value 11
      {0, 12, 0, 0, 7},  // above 10: the base value too
      {1, 0, 0, 0, 2},   // B = 2
      {2, 0, 0, 0, 0},   // A = 1
      {2, 0, 1 | 0x100, 0, 7},  // borderless both ways: the base value
      {2, 0, 1, 0, 0},
      {2, 0, 0, 0x100, 7},  // job flag 0x100: the base value
      {3, 0, 0, 0, 4},      // C = 3
      {4, 0, 0, 0, 4},
      {5, 0, 0, 0, 0},      // A
      {6, 0, 0, 0, 11},     // D = 5
      {6, 0, 0, 0x100, 7},
      {7, 0, 0, 0, 6},      // E = 8
      {9, 0, 0, 0, 7},      // above 7: the base value
  };
  for (const Case& c : cases) {
    DriverDevMode r = base_;
    r.SettingsRecord.ColorMode = c.k;
    r.SettingsRecord.QualityLevel = c.s;
    r.PaperOptions = c.paper_options;
    Handle handle(client(), printer_->Open(r, {c.option_flags}));
    ASSERT_TRUE(handle);
    // Without the handle's own flag the profile selection is not asked.
    testkit::RenderClient::SetJobFlags(handle.get(), testkit::RenderClient::JobFlags(handle.get()) & ~1u);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    EXPECT_EQ(record.i32(render::kModeCode), c.code) << c.k << "/" << c.s << " " << c.paper_options;
  }
}

TEST_F(ColourRecordTest, MethodAndToneValues) {
  struct Case {
    const char* name;
    uint16_t method, k, s, gamma;
    int16_t color;
    int32_t method_out, base;
    bool tones, colour_tones;
  };
  const Case cases[] = {
      {"plain", 0, 0, 0, 0, DMCOLOR_COLOR, 0, 180, true, true},
      {"method 1, gamma", 1, 0, 0, 150, DMCOLOR_COLOR, 2, 150, true, true},
      {"method 2, quality 3", 2, 0, 3, 0, DMCOLOR_COLOR, 3, 180, true, false},
      {"method 3, monochrome", 3, 0, 0, 0, DMCOLOR_MONOCHROME, 1, 180, true, false},
      {"quality 8", 0, 0, 8, 200, DMCOLOR_COLOR, 0, 180, false, false},
      {"quality 9", 7, 0, 9, 0, DMCOLOR_COLOR, 1, 180, false, false},
      {"colour mode 3", 0, 3, 0, 0, DMCOLOR_COLOR, 0, 220, false, false},
      {"colour mode 2", 0, 2, 0, 0, DMCOLOR_COLOR, 0, 180, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriverDevMode r = base_;
    auto& s = r.SettingsRecord;
    s.RenderMethod = c.method;
    s.ColorMode = c.k;
    s.QualityLevel = c.s;
    s.Gamma = c.gamma;
    s.AdjustItem0 = -11;
    s.AdjustItem1 = 12;
    s.AdjustItem2 = -13;
    s.AdjustItem3 = 14;
    s.AdjustItem4 = 15;
    s.AdjustItem5 = -16;
    r.Public.dmColor = c.color;
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    EXPECT_EQ(record.at<uint16_t>(render::kChVersion), 3);
    EXPECT_EQ(record.i32(8), 0);
    EXPECT_EQ(record.i32(44), 0);
    EXPECT_EQ(record.i32(render::kMethod), c.method_out);
    EXPECT_EQ(record.i32(render::kBaseValue), c.base);
    EXPECT_EQ(record.i32(render::kTone1), c.tones ? -11 : 0);
    EXPECT_EQ(record.i32(render::kTone2), c.tones ? 12 : 0);
    const std::vector<int32_t> colour = {record.i32(24), record.i32(28), record.i32(32), record.i32(36)};
    const std::vector<int32_t> expected =
        c.colour_tones ? std::vector<int32_t>{-13, 14, 15, -16} : std::vector<int32_t>{0, 0, 0, 0};
    EXPECT_EQ(colour, expected);
  }
}

// Expected ink-correction lines: "CW:", kind, inks, 0xFE per line, then 0xFF and zeros to 32.
std::vector<uint8_t> CwList(uint8_t kind, const std::vector<std::vector<uint8_t>>& lines) {
  std::vector<uint8_t> list;
  for (const auto& inks : lines) {
    list.insert(list.end(), {'C', 'W', ':', kind});
    list.insert(list.end(), inks.begin(), inks.end());
    list.push_back(0xFE);
  }
  list.push_back(0xFF);
  list.resize(32, 0);
  return list;
}

// The stored head identification: valid word, length, 32-bit entries from the bytes given
// at 8 (first array) and 72 (second array).
std::vector<uint8_t> HeadId(uint32_t valid, uint8_t first, uint8_t second) {
  std::vector<uint8_t> value(112, 0);
  value[0] = static_cast<uint8_t>(valid);
  for (int i = 0; i < 10; ++i) {
    value[8 + 4 * i] = static_cast<uint8_t>(first + i);
    value[72 + 4 * i] = static_cast<uint8_t>(second + i);
  }
  return value;
}

TEST(ColourRecordLines, InkCorrectionLines) {
  struct Case {
    const char* name;
    uint32_t ink_word;     // count in bits 0-7; bit 15: id length in bits 24-31
    uint32_t flags20;      // 0x2000: two lines
    bool second_only;      // header word 36 bit 0x4000 and mode flag 0x400000
    std::vector<uint8_t> stored;
    std::vector<uint8_t> list;  // empty: no block
  };
  const std::vector<uint8_t> twos8(8, '2');
  const std::vector<uint8_t> first8 = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  const std::vector<uint8_t> second8 = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
  std::vector<uint8_t> first12(first8);
  first12.insert(first12.end(), {'i', 'j', '2', '2'});
  const Case cases[] = {
      {"8 inks, two lines, nothing stored", 0x03008108, 0x2000, false, {}, CwList(1, {twos8, twos8})},
      {"stored: first array, then second", 0x03008108, 0x2000, false, HeadId(1, 'a', 'A'), CwList(1, {first8, second8})},
      {"mode flag: the second array twice", 0x03008108, 0x2000, true, HeadId(1, 'a', 'A'),
       CwList(1, {second8, second8})},
      {"stored but not valid", 0x03008108, 0x2000, false, HeadId(2, 'a', 'A'), CwList(1, {twos8, twos8})},
      {"one line", 0x03008108, 0, false, HeadId(1, 'a', 'A'), CwList(1, {first8})},
      {"id length 4", 0x04008108, 0, false, {}, CwList(2, {twos8})},
      {"id length 6", 0x06008108, 0, false, {}, CwList(3, {twos8})},
      {"id length 7", 0x07008108, 0, false, {}, CwList(4, {twos8})},
      {"12 inks: entries from 10 on are not stored", 0x0300810C, 0, false, HeadId(1, 'a', 'A'), CwList(1, {first12})},
      {"26 inks, one line: 32 bytes", 0x0300811A, 0, false, {}, CwList(1, {std::vector<uint8_t>(26, '2')})},
      {"27 inks, one line: refused", 0x0300811B, 0, false, {}, {}},
      {"10 inks, two lines: 31 bytes", 0x0300810A, 0x2000, false, {},
       CwList(1, {std::vector<uint8_t>(10, '2'), std::vector<uint8_t>(10, '2')})},
      {"11 inks, two lines: refused", 0x0300810B, 0x2000, false, {}, {}},
      {"no ink count", 0x03008008, 0x2000, false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testkit::ModelDescription model = RecordModel(testkit::RollPaperModel());
    model.header.ink_word = c.ink_word | (c.second_only ? 0x4000 : 0);
    model.header.flags20 = c.flags20;
    if (c.second_only) model.modes[0].flags20 = 0x400000;
    RecordsPrinter printer(model);
    ASSERT_TRUE(printer.ok()) << printer.error();
    if (!c.stored.empty()) {
      ASSERT_TRUE(printer.WritePrinterValue("RX_HEADID", REG_BINARY, c.stored.data(), 112));
    }
    DriverDevMode r = printer.Current();
    r.SettingsRecord.ModeId = model.modes[0].id;
    r.SettingsRecord.MediaId = static_cast<uint32_t>(model.modes[0].media_id);
    Handle handle(printer.client(), printer.Open(r));
    ASSERT_TRUE(handle);
    Record record(printer.client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    const uint8_t* list = record.ptr(render::kCwList);
    if (c.list.empty()) {
      EXPECT_EQ(list, nullptr);
      continue;
    }
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(list, list + 32), c.list);
  }
}

TEST_F(ColourRecordTest, ColourCorrectionKeyPath) {
  const std::string key = "SOFTWARE\\NORVA\\PRINTER\\CCM\\" + DriverName() + "\\XXXXXXXXXXXXXXXXXX";
  struct Case {
    int flag;  // -1: none stored
    bool path;
  };
  for (const Case& c : {Case{-1, false}, Case{0, false}, Case{4, false}, Case{1, true}, Case{2, true}}) {
    if (c.flag >= 0) {
      const uint16_t flag = static_cast<uint16_t>(c.flag);
      ASSERT_TRUE(printer_->WriteRootValue(key, "Flag", REG_BINARY, &flag, sizeof(flag)));
    }
    Handle handle(client(), printer_->Open(base_));
    ASSERT_TRUE(handle);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    if (c.path) {
      EXPECT_EQ(record.text(render::kCcmPath), "SOFTWARE\\NORVA\\PRINTER\\CCM\\NORVA KV-4800\\XXXXXXXXXXXXXXXXXX");
    } else {
      EXPECT_EQ(record.ptr(render::kCcmPath), nullptr) << c.flag;
    }
  }
}

TEST_F(ColourRecordTest, IwfBlockOfTheStoredValue) {
  struct Case {
    std::vector<uint8_t> stored;
    std::vector<uint8_t> block;
  };
  const Case cases[] = {
      {{}, {3, 50, 50, 50, 0, 0, 0, 0}},
      {{3, 9, 8, 7, 6, 5, 4, 3}, {3, 9, 8, 7, 0, 0, 0, 0}},
      {{2, 9, 8, 7, 6, 5, 4, 3}, {3, 50, 50, 50, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    if (c.stored.empty()) printer_->DeletePrinterValue("KVIWF_INFO");
    else ASSERT_TRUE(printer_->WritePrinterValue("KVIWF_INFO", REG_BINARY, c.stored.data(), 8));
    Handle handle(client(), printer_->Open(base_));
    ASSERT_TRUE(handle);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    const uint8_t* iwf = record.ptr(render::kIwf);
    ASSERT_NE(iwf, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(iwf, iwf + 8), c.block);
  }
  printer_->DeletePrinterValue("KVIWF_INFO");
}

TEST(ColourRecordIwf, CountsPastTheBlockAreRefused) {
  for (uint8_t count : {0, 7, 8}) {
    testkit::ModelDescription model = RecordModel(testkit::SheetModel());
    model.header.flags40 = 1;
    model.header.byte77 = count;
    RecordsPrinter printer(model);
    ASSERT_TRUE(printer.ok()) << printer.error();
    Handle handle(printer.client(), printer.Open(printer.Current()));
    ASSERT_TRUE(handle);
    Record record(printer.client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    const uint8_t* iwf = record.ptr(render::kIwf);
    if (count == 7) {
      ASSERT_NE(iwf, nullptr);
      EXPECT_EQ(std::vector<uint8_t>(iwf, iwf + 8), std::vector<uint8_t>({7, 50, 50, 50, 50, 50, 50, 50}));
    } else {
      EXPECT_EQ(iwf, nullptr) << int{count};
    }
  }
}

TEST_F(ColourRecordTest, HighPrecisionIdentification) {
  const std::vector<uint8_t> id = {1, 2, 3, 4, 5};
  ASSERT_TRUE(printer_->WritePrinterValue("HighPrecisionID", REG_BINARY, id.data(), 5));
  for (uint32_t info : {0u, 1u, 2u}) {
    ASSERT_TRUE(printer_->WritePrinterValue("HPIInfo", REG_DWORD, &info, sizeof(info)));
    Handle handle(client(), printer_->Open(base_));
    ASSERT_TRUE(handle);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    const uint8_t* block = record.ptr(render::kHighPrecision);
    if (info == 0) {
      EXPECT_EQ(block, nullptr);
      continue;
    }
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(block, block + 5), id);
  }
  printer_->DeletePrinterValue("HPIInfo");
  printer_->DeletePrinterValue("HighPrecisionID");
}

TEST_F(ColourRecordTest, CalibrationFilePresentAndAbsent) {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof(folder), folder);
  const std::string file = std::string(folder) + "kalimu_records_calibration.cal";
  const std::string sub_key = "SOFTWARE\\NORVA\\PRINTER\\NORVA Yantra\\" + DriverName() + "\\SN-77\\000042";
  const uint32_t one = 1;
  ASSERT_TRUE(printer_->WritePrinterValue("CRIInfo", REG_DWORD, &one, sizeof(one)));
  ASSERT_TRUE(printer_->WritePrinterValue("SerialNo", REG_SZ, "SN-77", 6));
  ASSERT_TRUE(printer_->WriteRootValue(sub_key, "Flag", REG_DWORD, &one, sizeof(one)));
  ASSERT_TRUE(printer_->WriteRootValue(sub_key, "CalFN", REG_SZ, file.c_str(), static_cast<DWORD>(file.size() + 1)));
  struct Case {
    const char* name;
    bool file_present;
    int16_t color;
    bool handle_flag;
    bool expected;
  };
  const Case cases[] = {
      {"present", true, DMCOLOR_COLOR, true, true},
      {"absent", false, DMCOLOR_COLOR, true, false},
      {"monochrome job", true, DMCOLOR_MONOCHROME, true, false},
      {"caller without the handle's flag", true, DMCOLOR_COLOR, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.file_present) {
      FILE* f = std::fopen(file.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      std::fputs("calibration", f);
      std::fclose(f);
    } else {
      std::remove(file.c_str());
    }
    DriverDevMode r = base_;
    r.Public.dmColor = c.color;
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    if (!c.handle_flag) testkit::RenderClient::SetJobFlags(handle.get(), 0);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    if (c.expected) {
      EXPECT_EQ(record.text(render::kCalibration), file);
    } else {
      EXPECT_EQ(record.ptr(render::kCalibration), nullptr);
    }
  }
  std::remove(file.c_str());
  printer_->DeletePrinterValue("CRIInfo");
  printer_->DeletePrinterValue("SerialNo");
}

TEST_F(ColourRecordTest, ToneBlockOfVariant2) {
  DriverDevMode r = base_;
  auto& s = r.SettingsRecord;
  s.AdjustItem9 = 19;
  s.AdjustItem10 = -20;
  s.Gamma = 180;
  s.AdjustItem0 = 1;
  s.AdjustItem1 = -2;
  s.AdjustItem6 = 6;
  s.AdjustItem7 = 7;
  s.AdjustItem8 = -8;
  s.AdjustItem11 = 11;
  for (int16_t variant : {1, 2}) {
    s.ModeVariant = variant;
    Handle handle(client(), printer_->Open(r));
    ASSERT_TRUE(handle);
    Record record(client(), handle.get(), kColour);
    ASSERT_TRUE(record.made());
    const uint8_t* tone = record.ptr(render::kTone);
    if (variant == 1) {
      EXPECT_EQ(tone, nullptr);
      continue;
    }
    ASSERT_NE(tone, nullptr);
    std::vector<int32_t> values;
    for (int i = 0; i < 10; ++i) values.push_back(testkit::Field<int32_t>(tone, 4 * i));
    EXPECT_EQ(values, (std::vector<int32_t>{1, 19, -20, 180, 1, -2, 6, 7, -8, 11}));
  }
}

TEST(ColourRecordVersion, Version2HasNoLaterBlocks) {
  testkit::ModelDescription model = ColourModel();
  model.header.block80[1] = 2;
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  const uint32_t one = 1;
  const std::vector<uint8_t> id = {1, 2, 3};
  ASSERT_TRUE(printer.WritePrinterValue("HPIInfo", REG_DWORD, &one, sizeof(one)));
  ASSERT_TRUE(printer.WritePrinterValue("HighPrecisionID", REG_BINARY, id.data(), 3));
  DriverDevMode r = printer.Current();
  r.SettingsRecord.ModeVariant = 2;
  Handle handle(printer.client(), printer.Open(r));
  ASSERT_TRUE(handle);
  Record record(printer.client(), handle.get(), kColour);
  ASSERT_TRUE(record.made());
  EXPECT_EQ(record.at<uint16_t>(render::kChVersion), 2);
  EXPECT_EQ(record.ptr(render::kHighPrecision), nullptr);
  EXPECT_EQ(record.ptr(render::kCalibration), nullptr);
  EXPECT_EQ(record.ptr(render::kTone), nullptr);
  EXPECT_NE(record.ptr(render::kCwList), nullptr);
}

}  // namespace
}  // namespace kalimu::driver::records_test
