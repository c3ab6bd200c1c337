// DrvDeviceCapabilities for both sample models, with a handle of the spooler, and the public call
// through the spooler.
#include <gtest/gtest.h>

#include <cstring>
#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver {
namespace {

constexpr uint8_t kPoison = 0xCD;

struct SampleModel {
  const char* name;
  testkit::ModelDescription (*make)();
};
const SampleModel kSampleModels[] = {{"Roll", testkit::RollPaperModel}, {"Sheet", testkit::SheetModel}};

// The model data a printer loads: the variant of its default ink set.
testkit::ModelDescription LoadedModel(const testkit::ModelDescription& model) {
  return model.ink_sets.size() < 2 ? model : testkit::VariantFor(model, model.header.default_ink_set);
}

DWORD Capability(HANDLE printer, WORD index, void* out, DEVMODEW* dev_mode = nullptr) {
  return DrvDeviceCapabilities(printer, nullptr, index, out, dev_mode);
}

class CapabilitiesTest : public ::testing::TestWithParam<SampleModel> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings_.reset(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
    ASSERT_NE(settings_, nullptr);
  }
  HANDLE handle() { return printer_.handle(); }
  const model::PaperSourceRecord& CurrentSource() { return model_.sources.at(settings_->GetPaperSourceIndex()); }

  testkit::DriverPrinter printer_{GetParam().make()};
  const testkit::ModelDescription model_ = LoadedModel(GetParam().make());
  settings::JobSettingsPtr settings_;  // the printer's current settings, to compare with
};

std::string SampleName(const ::testing::TestParamInfo<SampleModel>& info) { return info.param.name; }

DWORD PackedExtent(const uint8_t (&pair)[8], bool cut) {
  int32_t first = 0;
  int32_t second = 0;
  std::memcpy(&first, pair, 4);
  std::memcpy(&second, pair + 4, 4);
  if (cut) {
    first = std::min(first, 0x7FFF);
    second = std::min(second, 0x7FFF);
  }
  return static_cast<DWORD>(static_cast<uint16_t>(first)) | static_cast<DWORD>(static_cast<uint16_t>(second)) << 16;
}

TEST_P(CapabilitiesTest, ValuesOfTheSettingsAndTheModel) {
  const DWORD fields = settings_->GetFields();
  const uint32_t source_flags = CurrentSource().flags8;
  struct Case {
    WORD index;
    DWORD expected;
  };
  const Case cases[] = {
      {DC_FIELDS, fields},
      {DC_MINEXTENT, PackedExtent(CurrentSource().value40, false)},
      {DC_MAXEXTENT, PackedExtent(CurrentSource().value32, true)},
      {DC_DUPLEX, (fields & DM_DUPLEX) ? 1u : 0u},
      {DC_SIZE, 220},
      {DC_EXTRA, 828},
      {DC_VERSION, 0x401},
      {DC_DRIVER, 0x500},
      {DC_TRUETYPE, 0},
      {DC_ORIENTATION, 270},
      {DC_COPIES, 9999},
      {DC_BINADJUST, 2},
      {DC_EMF_COMPLIANT, 1},
      {DC_COLLATE, (fields & DM_COLLATE) ? 1u : 0u},
      {DC_STAPLE, 0},
      {DC_COLORDEVICE, 1},
      {DC_NUP, (source_flags & 0x1000) ? 0u : 4u},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> out(64, kPoison);
    EXPECT_EQ(Capability(handle(), c.index, out.data()), c.expected) << c.index;
    EXPECT_EQ(out, std::vector<uint8_t>(64, kPoison)) << c.index;  // nothing is written
  }
}

TEST_P(CapabilitiesTest, ListsCountWhatTheyWrite) {
  struct Case {
    WORD index;
    size_t slot_bytes;
  };
  const Case cases[] = {
      {DC_PAPERS, 2},  {DC_PAPERSIZE, 8},  {DC_BINS, 2},           {DC_BINNAMES, 48},
      {DC_PAPERNAMES, 128}, {DC_MEDIATYPENAMES, 128}, {DC_MEDIATYPES, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    const DWORD count = Capability(handle(), c.index, nullptr);
    ASSERT_GT(count, 0u);
    ASSERT_LT(count, 200u);
    std::vector<uint8_t> out((count + 1) * c.slot_bytes, kPoison);
    EXPECT_EQ(Capability(handle(), c.index, out.data()), count);
    // Every slot written, none after the last.
    for (DWORD k = 0; k < count; ++k) {
      const auto slot = out.begin() + k * c.slot_bytes;
      EXPECT_NE(std::vector<uint8_t>(slot, slot + c.slot_bytes), std::vector<uint8_t>(c.slot_bytes, kPoison)) << k;
    }
    EXPECT_EQ(std::vector<uint8_t>(out.end() - c.slot_bytes, out.end()), std::vector<uint8_t>(c.slot_bytes, kPoison));
  }

  // The lists are the settings' own.
  std::vector<int16_t> papers(settings_->GetPaperIdsForDefaultSource(nullptr));
  settings_->GetPaperIdsForDefaultSource(papers.data());
  std::vector<int16_t> answered(papers.size());
  EXPECT_EQ(Capability(handle(), DC_PAPERS, answered.data()), papers.size());
  EXPECT_EQ(answered, papers);
  std::vector<int16_t> bins(settings_->GetSourceIds(nullptr));
  settings_->GetSourceIds(bins.data());
  std::vector<int16_t> answered_bins(bins.size());
  EXPECT_EQ(Capability(handle(), DC_BINS, answered_bins.data()), bins.size());
  EXPECT_EQ(answered_bins, bins);
  std::vector<int32_t> media(model_.media.size());
  EXPECT_EQ(Capability(handle(), DC_MEDIATYPES, media.data()), model_.media.size());
  for (size_t k = 0; k < media.size(); ++k) EXPECT_EQ(media[k], static_cast<int32_t>(model_.media[k].id)) << k;
}

TEST_P(CapabilitiesTest, TextAnswers) {
  wchar_t personality[32];
  std::memset(personality, kPoison, sizeof(personality));
  EXPECT_EQ(Capability(handle(), DC_PERSONALITY, personality), 1u);
  EXPECT_STREQ(personality, L"XCMDL2");
  EXPECT_EQ(personality[31], L'\0');

  wchar_t paper[64] = {};
  wchar_t expected[64] = {};
  settings_->GetCurrentPaperName(expected, nullptr);
  EXPECT_EQ(Capability(handle(), DC_MEDIAREADY, paper), 1u);
  EXPECT_STREQ(paper, expected);
  EXPECT_NE(paper[0], L'\0');
  EXPECT_EQ(Capability(handle(), DC_MEDIAREADY, nullptr), 1u);

  // An empty list of dependent files, and nothing after its terminator.
  std::vector<uint8_t> files(16, kPoison);
  EXPECT_EQ(Capability(handle(), DC_FILEDEPENDENCIES, files.data()), 0u);
  EXPECT_EQ(files[0], 0);
  EXPECT_EQ(files[1], 0);
  EXPECT_EQ(std::vector<uint8_t>(files.begin() + 2, files.end()), std::vector<uint8_t>(14, kPoison));
  EXPECT_EQ(Capability(handle(), DC_FILEDEPENDENCIES, nullptr), 0u);
}

TEST_P(CapabilitiesTest, UnlistedIndexesAndUnusablePrintersAnswerGdiError) {
  for (WORD index : {WORD{0}, WORD{13}, WORD{21}, WORD{23}, WORD{24}, WORD{26}, WORD{27}, WORD{28}, WORD{31},
                     WORD{36}, WORD{0xFFFF}}) {
    std::vector<uint8_t> out(64, kPoison);
    EXPECT_EQ(Capability(handle(), index, out.data()), DWORD{GDI_ERROR}) << index;
    EXPECT_EQ(out, std::vector<uint8_t>(64, kPoison)) << index;
  }
  EXPECT_EQ(Capability(nullptr, DC_PAPERS, nullptr), DWORD{GDI_ERROR});
}

TEST_P(CapabilitiesTest, CallersRecordIsMergedAndOnlyRead) {
  // A foreign public-only record asking for another paper and two copies, ending at a guard page.
  const DEVMODEW foreign = testkit::ForeignDevMode(2);
  const testkit::GuardedBytes record(sizeof(foreign), &foreign, true);
  EXPECT_EQ(Capability(handle(), DC_SIZE, nullptr, record.as<DEVMODEW>()), 220u);
  EXPECT_EQ(Capability(handle(), DC_FIELDS, nullptr, record.as<DEVMODEW>()) & DM_COPIES, DWORD{DM_COPIES});
  EXPECT_EQ(std::memcmp(record.data(), &foreign, sizeof(foreign)), 0);
}

TEST_P(CapabilitiesTest, PublicCallAgreesOrFailsCleanly) {
  // Wine's spooler hands the driver no printer handle; Windows' hands an open one.
  std::wstring name = printer_.wide_printer_name();
  const int from_spooler = DeviceCapabilitiesW(name.c_str(), nullptr, DC_PAPERS, nullptr, nullptr);
  const DWORD direct = Capability(handle(), DC_PAPERS, nullptr);
  EXPECT_TRUE(from_spooler == static_cast<int>(direct) || from_spooler <= 0) << from_spooler;
}

INSTANTIATE_TEST_SUITE_P(Samples, CapabilitiesTest, ::testing::ValuesIn(kSampleModels), SampleName);

// Source extents above the 16-bit limit, and a model without paper-size records.
TEST(CapabilityEdges, MaxExtentIsCutAndMinExtentIsNot) {
  testkit::ModelDescription model = testkit::SheetModel();
  for (model::PaperSourceRecord& source : model.sources) {
    const int32_t max_pair[2] = {40000, 1200};
    const int32_t min_pair[2] = {0x12345, 70000};
    std::memcpy(source.value32, max_pair, 8);
    std::memcpy(source.value40, min_pair, 8);
  }
  testkit::DriverPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  EXPECT_EQ(Capability(printer.handle(), DC_MAXEXTENT, nullptr), DWORD{0x7FFF} | DWORD{1200} << 16);
  EXPECT_EQ(Capability(printer.handle(), DC_MINEXTENT, nullptr), DWORD{0x2345} | DWORD{70000 & 0xFFFF} << 16);
}

TEST(CapabilityEdges, PaperSizesWithoutPaperRecordsFailOnlyWithAnOutput) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.papers.clear();
  testkit::DriverPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  const DWORD count = Capability(printer.handle(), DC_PAPERS, nullptr);
  ASSERT_NE(count, DWORD{GDI_ERROR});
  EXPECT_EQ(Capability(printer.handle(), DC_PAPERSIZE, nullptr), count);
  std::vector<uint8_t> out(64, kPoison);
  EXPECT_EQ(Capability(printer.handle(), DC_PAPERSIZE, out.data()), DWORD{GDI_ERROR});
  EXPECT_EQ(out, std::vector<uint8_t>(64, kPoison));
}

// The spooler calls from several threads. Two printers of different models asked at once, each
// from its own thread, keep their own answers: what the driver keeps for the process (model and
// data files, resource modules) never hands one printer's capabilities to the other.
TEST(CapabilityThreads, TwoPrintersAskedAtOnceKeepTheirOwnAnswers) {
  testkit::DriverPrinter roll(testkit::RollPaperModel(), testkit::kStandinConfigModule, "Roll");
  testkit::DriverPrinter sheet(testkit::SheetModel(), testkit::kStandinConfigModule, "Sheet");
  ASSERT_TRUE(roll.ok()) << roll.error();
  ASSERT_TRUE(sheet.ok()) << sheet.error();
  using Answers = std::array<DWORD, 4>;
  const auto answers = [](HANDLE printer) {
    return Answers{Capability(printer, DC_PAPERS, nullptr), Capability(printer, DC_BINS, nullptr),
                   Capability(printer, DC_MAXEXTENT, nullptr), Capability(printer, DC_MEDIATYPES, nullptr)};
  };
  const Answers roll_answers = answers(roll.handle());
  const Answers sheet_answers = answers(sheet.handle());
  ASSERT_NE(roll_answers, sheet_answers) << "the models must differ for the test to tell them apart";
  std::atomic<int> wrong{0};
  const auto ask = [&](HANDLE printer, const Answers& expected) {
    for (int i = 0; i < 15; ++i) {
      if (answers(printer) != expected) ++wrong;
    }
  };
  std::thread first(ask, roll.handle(), roll_answers);
  std::thread second(ask, sheet.handle(), sheet_answers);
  first.join();
  second.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace kalimu::driver
