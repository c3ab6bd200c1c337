// The default record under both measurement systems and the merge of incoming records.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/kalimu/stored_dev_mode.h"
#include "testkit/standins/status_switches.h"

namespace kalimu::settings::test {
namespace {

// Sets the user's measurement system ("0" metric, "1" U.S.) and puts the old one back.
class MeasureSystem {
 public:
  explicit MeasureSystem(const char* measure) {
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved_, sizeof(saved_));
    ok_ = SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure) != 0;
  }
  ~MeasureSystem() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved_); }
  MeasureSystem(const MeasureSystem&) = delete;
  MeasureSystem& operator=(const MeasureSystem&) = delete;
  bool ok() const { return ok_; }

 private:
  char saved_[4] = {};
  bool ok_ = false;
};

constexpr int32_t TenthMm(int32_t v360) { return (v360 * 254 + 180) / 360; }
constexpr int32_t HundredthInch(int32_t tenth_mm) { return (tenth_mm * 100 + 127) / 254; }

class JobSettingsDefaults : public SampleModelTest {};

// Under each measurement system: the first paper of its kind, the custom size seeded from it in
// the system's unit, and the binding margin at its lower limit in that unit.
TEST_P(JobSettingsDefaults, FollowTheMeasurementSystem) {
  struct Case {
    const char* measure;
    uint32_t kind;
    uint16_t unit;
    uint16_t binding_margin;
    bool metric_margin;
  };
  const Case cases[] = {{"0", 1, kCustomPaperUnitTenthMm, 76, true}, {"1", 2, kCustomPaperUnitHundredthInch, 12, false}};
  for (const Case& c : cases) {
    MeasureSystem measure(c.measure);
    ASSERT_TRUE(measure.ok());
    JobSettings& s = fixture_.settings();
    ASSERT_EQ(s.ResetToDefaults(), 1) << c.measure;
    const DriverDevMode& r = fixture_.record();

    // The paper: the model's first paper of the system's kind, else the first of the source.
    const model::PaperSizeRecord* expected = nullptr;
    for (const auto& paper : model_.papers) {
      if (paper.value4 & c.kind) {
        expected = &paper;
        break;
      }
    }
    if (expected == nullptr) expected = &model_.papers[s.GetPaperSizeIndex()];
    EXPECT_EQ(r.Public.dmPaperSize, expected->id) << c.measure;
    EXPECT_EQ(r.Public.dmPaperWidth, TenthMm(expected->width)) << c.measure;
    EXPECT_EQ(r.Public.dmPaperLength, TenthMm(expected->length)) << c.measure;
    EXPECT_EQ(r.OutputPaperSize, static_cast<uint16_t>(expected->id));
    EXPECT_EQ(r.CustomPaperUnit, c.unit) << c.measure;
    const int32_t width = TenthMm(expected->width);
    const int32_t length = TenthMm(expected->length);
    EXPECT_EQ(r.CustomPaperWidth, c.metric_margin ? width : HundredthInch(width)) << c.measure;
    EXPECT_EQ(r.CustomPaperLength, c.metric_margin ? length : HundredthInch(length)) << c.measure;
    // 30/100 inch and 12 tenths of a millimetre in the system's unit, within the paper's limits.
    uint16_t limits[2] = {};
    s.GetBindingMarginLimits(limits);
    EXPECT_EQ(r.BindingMargin, std::clamp<uint16_t>(c.binding_margin, limits[0], limits[1])) << c.measure;
    EXPECT_EQ((r.DuplexOptions & kDuplexOptionBindingMarginMetric) != 0, c.metric_margin) << c.measure;

    // What does not depend on the locale.
    EXPECT_EQ(r.Public.dmSpecVersion, kDevModeSpecVersion);
    EXPECT_EQ(r.Public.dmDriverVersion, kDevModeDriverVersion);
    EXPECT_EQ(r.Public.dmSize, kDevModePublicSize);
    EXPECT_EQ(r.Public.dmDriverExtra, kDevModePrivateSize);
    EXPECT_EQ(r.PrivateVersion, kDevModePrivateVersion);
    EXPECT_EQ(r.PrivateTrailer, kDevModePrivateVersion);
    EXPECT_EQ(r.Public.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(r.Public.dmCopies, 1);
    EXPECT_EQ(r.Public.dmScale, 100);
    EXPECT_EQ(r.Public.dmDuplex, DMDUP_SIMPLEX);
    EXPECT_EQ(r.Public.dmDitherType, 5u);
    EXPECT_EQ(r.Public.dmDefaultSource, model_.sources[0].id);
    EXPECT_EQ(r.PaperSourceIndex, 0);
    EXPECT_EQ(r.PagesPerSheet, 1);
    EXPECT_EQ(r.ScalingOptions, 0u);
    EXPECT_EQ(r.PrintModeType, 1);
    EXPECT_EQ(r.WatermarkSettings.WatermarkSize, 50);
    EXPECT_EQ(r.WatermarkSettings.WatermarkDensity, 20);
    EXPECT_EQ(r.WatermarkSettings.WatermarkFlags & 1u, 0u);
    EXPECT_EQ(std::string(r.DllNameTag).rfind("DLLName32=", 0), 0u) << r.DllNameTag;
    EXPECT_EQ(std::memcmp(r.ModelId, model_.ink_sets[model_.header.selected_ink_set].codes, sizeof(r.ModelId)), 0);
    EXPECT_EQ(r.Public.dmColor, r.SettingsRecord.ModeVariant == 0 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR);
    int32_t media_id = 0;
    s.GetMediaTypeId(s.GetCurrentMediaIndex(), &media_id);
    EXPECT_EQ(r.Public.dmMediaType, static_cast<uint32_t>(media_id));
  }
}

// The factory's own record takes the defaults when the printer holds none of this driver's.
TEST_P(JobSettingsDefaults, TheFactoryWritesThemWithoutAStoredRecord) {
  JobSettingsPtr own(CreateJobSettings(nullptr, fixture_.handle(), nullptr, nullptr));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->GetPrivateVersion(), kDevModePrivateVersion);
  EXPECT_STREQ(own->GetDriverName(), fixture_.printer().driver_name().c_str());
  char device[64] = {};
  own->GetDeviceNameA(device, sizeof(device));
  EXPECT_EQ(fixture_.printer().printer_name().rfind(device, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobSettingsDefaults, ::testing::ValuesIn(kSampleModels), SampleName);

// The letter of the resource library's colour string at the watermark index gives the colour
// (bytes blue, green, red); a missing library leaves black.
TEST(JobSettingsWatermarkDefaults, ColourComesFromTheResourceLibrary) {
  struct Case {
    const char* library;
    uint32_t color;
  };
  const Case cases[] = {{"testkit_resources_english.dll", 0x0000FFFFu},  // "ABF": cyan
                        {"testkit_resources_german.dll", 0x00FF0000u},   // "RL": red
                        {nullptr, 0}};
  for (const Case& c : cases) {
    SettingsOnPrinter fixture(testkit::SheetModel());
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    if (c.library != nullptr) {
      ASSERT_TRUE(fixture.printer().InstallResourceLibrary(c.library));
    } else {
      ASSERT_TRUE(fixture.printer().SetInfoKey("UIRESModuleI64", "no such library.dll"));
      ASSERT_TRUE(fixture.printer().SetInfoKey("UIRES2ModuleI64", "no such library.dll"));
    }
    fixture.record().WatermarkSettings.WatermarkColor = 0x123456;
    fixture.settings().SetWatermarkDefaults();
    EXPECT_EQ(fixture.record().WatermarkSettings.WatermarkColor, c.color) << (c.library ? c.library : "missing");
  }
}

// --- The merge ----------------------------------------------------------------------------------

// Both the own record (the defaults) and an incoming record made from it.
class JobSettingsMerge : public RollPrinterTest {
 protected:
  void SetUp() override {
    RollPrinterTest::SetUp();
    ASSERT_EQ(fixture_.settings().ResetToDefaults(), 1);
    own_ = fixture_.record();
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& r() { return fixture_.record(); }
  DriverDevMode own_{};
};

// A foreign record (another driver's name) that announces nothing: no public field changes but
// dmMediaType (kept with the media), the own private part stays but for the model's ink codes.
TEST_F(JobSettingsMerge, NothingAnnouncedAndAForeignPrivatePartChangeNothing) {
  DriverDevMode incoming = own_;
  std::strcpy(incoming.DriverName, "Another Driver");
  incoming.Public.dmFields = 0;
  incoming.Public.dmCopies = 9;
  incoming.Public.dmOrientation = DMORIENT_LANDSCAPE;
  incoming.PagesPerSheet = 2;
  incoming.ScalingOptions = 0x4F;
  std::memset(incoming.ModelId, 0x5A, sizeof(incoming.ModelId));
  std::memset(r().ModelId, 0, sizeof(r().ModelId));
  const DriverDevMode before = incoming;
  ASSERT_EQ(s().MergeDevMode(&incoming, fixture_.handle()), 1);
  EXPECT_EQ(std::memcmp(&incoming, &before, sizeof(incoming)), 0) << "the caller's record is never written";

  DriverDevMode expected = own_;
  expected.Public.dmMediaType = r().Public.dmMediaType;
  expected.PrePrintStatus = r().PrePrintStatus;  // what the status monitor says
  // The halftone option of the registry is off: its bit follows.
  expected.SettingsRecord.ModeOptions3 &= ~0x20u;
  for (const auto& field : kDevModeFields) {
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&r()) + field.offset,
                          reinterpret_cast<const uint8_t*>(&expected) + field.offset, field.size),
              0)
        << field.name;
  }
  EXPECT_EQ(std::memcmp(r().ModelId, own_.ModelId, sizeof(r().ModelId)), 0) << "the model's ink codes again";
}

// Announced fields, each checked against the model before it is taken.
TEST_F(JobSettingsMerge, AnnouncedFieldsAreTakenAsTheModelAllows) {
  struct Case {
    const char* what;
    void (*change)(DriverDevMode&);
    void (*check)(const DriverDevMode& merged, const DriverDevMode& own, JobSettings& s);
  };
  const Case cases[] = {
      {"this driver's private part is taken whole",
       [](DriverDevMode& in) {
         in.Public.dmFields = 0;
         in.WatermarkSettings.WatermarkSize = 77;
         in.SettingsRecord.AdjustItem0 = 5;
       },
       [](const DriverDevMode& m, const DriverDevMode&, JobSettings&) {
         EXPECT_EQ(m.WatermarkSettings.WatermarkSize, 77);
         EXPECT_EQ(m.SettingsRecord.AdjustItem0, 5);
       }},
      {"a foreign record's colour is not taken",
       [](DriverDevMode& in) {
         std::strcpy(in.DriverName, "Another Driver");
         in.Public.dmFields = DM_COLOR;
         in.Public.dmColor = in.Public.dmColor == DMCOLOR_COLOR ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
       },
       [](const DriverDevMode& m, const DriverDevMode& own, JobSettings&) {
         EXPECT_EQ(m.Public.dmColor, own.Public.dmColor);
         EXPECT_EQ(m.SettingsRecord.ModeVariant, own.SettingsRecord.ModeVariant);
       }},
      {"orientation and copies (clamped)",
       [](DriverDevMode& in) {
         in.Public.dmFields = DM_ORIENTATION | DM_COPIES;
         in.Public.dmOrientation = DMORIENT_LANDSCAPE;
         in.Public.dmCopies = 30000;
       },
       [](const DriverDevMode& m, const DriverDevMode&, JobSettings&) {
         EXPECT_EQ(m.Public.dmOrientation, DMORIENT_LANDSCAPE);
         EXPECT_EQ(m.Public.dmCopies, 9999);
       }},
      {"an unknown source gives way to one the media takes",
       [](DriverDevMode& in) {
         in.Public.dmFields = DM_DEFAULTSOURCE;
         in.Public.dmDefaultSource = 999;
       },
       [](const DriverDevMode& m, const DriverDevMode&, JobSettings& s) {
         int32_t id = 0;
         s.GetPaperSourceId(s.FindSourceForMedia(), &id);
         EXPECT_EQ(m.Public.dmDefaultSource, id);
         int32_t indexed = 0;
         s.GetPaperSourceId(static_cast<uint16_t>(m.PaperSourceIndex), &indexed);
         EXPECT_EQ(indexed, m.Public.dmDefaultSource) << "index and id agree";
       }},
      {"source 0 keeps the own source",
       [](DriverDevMode& in) {
         in.Public.dmFields = DM_DEFAULTSOURCE;
         in.Public.dmDefaultSource = 0;
       },
       [](const DriverDevMode& m, const DriverDevMode& own, JobSettings&) {
         EXPECT_EQ(m.Public.dmDefaultSource, own.Public.dmDefaultSource);
       }},
      {"an announced paper the source takes",
       [](DriverDevMode& in) {
         in.Public.dmFields = DM_PAPERSIZE;
         in.Public.dmPaperSize = 8;  // A3
       },
       [](const DriverDevMode& m, const DriverDevMode&, JobSettings& s) {
         EXPECT_EQ(m.Public.dmPaperSize, 8);
         EXPECT_EQ(s.GetPaperIdByIndex(static_cast<uint16_t>(m.PaperSizeIndex)), 8);
       }},
      {"duplex without the status monitor is one-sided",
       [](DriverDevMode& in) {
         in.Public.dmFields = DM_DUPLEX;
         in.Public.dmDuplex = DMDUP_VERTICAL;
       },
       [](const DriverDevMode& m, const DriverDevMode&, JobSettings&) { EXPECT_EQ(m.Public.dmDuplex, DMDUP_SIMPLEX); }},
  };
  for (const Case& c : cases) {
    r() = own_;
    DriverDevMode incoming = own_;
    c.change(incoming);
    const DriverDevMode before = incoming;
    ASSERT_EQ(s().MergeDevMode(&incoming, fixture_.handle()), 1) << c.what;
    EXPECT_EQ(std::memcmp(&incoming, &before, sizeof(incoming)), 0) << c.what;
    SCOPED_TRACE(c.what);
    c.check(r(), own_, s());
  }
  EXPECT_EQ(s().MergeDevMode(nullptr, fixture_.handle()), 0);
}

// An application's plain public record ends at a page nobody may touch: the merge reads what
// the record declares and nothing past it, and writes none of it.
TEST_F(JobSettingsMerge, APublicRecordIsReadWithinItsOwnSize) {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  auto* pages = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old_protection = 0;
  ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &old_protection));
  auto* incoming = reinterpret_cast<DEVMODEW*>(pages + page - sizeof(DEVMODEW));
  static_assert(sizeof(DEVMODEW) == kDevModePublicSize);
  std::memcpy(incoming, &own_.Public, sizeof(DEVMODEW));
  incoming->dmDriverExtra = 0;
  incoming->dmFields = DM_ORIENTATION | DM_COPIES | DM_PAPERSIZE;
  incoming->dmOrientation = DMORIENT_LANDSCAPE;
  incoming->dmCopies = 3;
  incoming->dmPaperSize = 8;  // A3
  std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(incoming), pages + page);

  EXPECT_EQ(s().MergeDevMode(incoming, fixture_.handle()), 1);
  EXPECT_EQ(std::memcmp(incoming, before.data(), before.size()), 0);
  EXPECT_EQ(r().Public.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(r().Public.dmCopies, 3);
  EXPECT_EQ(r().Public.dmPaperSize, 8);
  EXPECT_EQ(r().PrivateVersion, kDevModePrivateVersion) << "the own private part stays";
  EXPECT_STREQ(r().DriverName, own_.DriverName);
  VirtualFree(pages, 0, MEM_RELEASE);
}

// A record of this driver that leaves colour matching to the system while the driver does the
// colour: the printer's stored record is marked for matching by the driver.
TEST_F(JobSettingsMerge, SystemMatchingOfADriverColourRecordIsMovedToTheDriver) {
  DriverDevMode stored = own_;
  stored.Public.dmICMMethod = DMICMMETHOD_SYSTEM;
  ASSERT_TRUE(testkit::StorePrinterDevMode(fixture_.handle(), &stored));
  DriverDevMode incoming = own_;
  incoming.SettingsRecord.ColorMode = 0;
  incoming.Public.dmICMMethod = DMICMMETHOD_SYSTEM;
  incoming.Public.dmFields = DM_ICMMETHOD;
  ASSERT_EQ(s().MergeDevMode(&incoming, fixture_.handle()), 1);
  EXPECT_EQ(r().Public.dmICMMethod, static_cast<DWORD>(DMICMMETHOD_DRIVER));
  const std::vector<uint8_t> after = testkit::ReadStoredDevMode(fixture_.handle());
  ASSERT_GE(after.size(), sizeof(DEVMODEW));
  EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(after.data())->dmICMMethod, static_cast<DWORD>(DMICMMETHOD_DRIVER));
  EXPECT_EQ(JobSettings::StoreDriverIcmOnPrinter(nullptr), 0);
  EXPECT_EQ(JobSettings::StoreDriverIcmOnPrinter(fixture_.handle()), 1) << "already marked";
}

// Duplex survives the merge only when the status monitor says the printer reports in its
// second mode (answer 4).
TEST(JobSettingsMergeDuplex, KeptOnlyWhenTheStatusMonitorAllows) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.header.flags28 &= ~128u;
  for (auto& source : model.sources) source.flags8 = (source.flags8 | 0x100000u) & ~0x2000u;
  for (auto& paper : model.papers) paper.flags20 &= ~0x10000u;
  struct Case {
    const char* mode;
    const char* answer;
    uint32_t duplex;
  };
  const Case cases[] = {{"2", nullptr, DMDUP_VERTICAL}, {"1", nullptr, DMDUP_SIMPLEX}, {"2", "-1", DMDUP_SIMPLEX}};
  for (const Case& c : cases) {
    testkit::StatusPrinter printer(model);
    ASSERT_TRUE(printer.ok()) << printer.error();
    ASSERT_TRUE(printer.model_printer().InstallResourceLibrary());
    printer.SetSwitch(testkit::kMonitorModeVar, c.mode);
    printer.SetSwitch(testkit::kMonitorAnswerVar, c.answer);
    DriverDevMode record{};
    JobSettings s(&record, printer.handle(), nullptr, nullptr);
    ASSERT_TRUE(s.IsValid());
    ASSERT_EQ(s.ResetToDefaults(), 1);
    DriverDevMode incoming = record;
    incoming.Public.dmFields = DM_DUPLEX;
    incoming.Public.dmDuplex = DMDUP_VERTICAL;
    ASSERT_EQ(s.MergeDevMode(&incoming, printer.handle()), 1);
    EXPECT_EQ(record.Public.dmDuplex, c.duplex) << "mode " << c.mode << " answer " << (c.answer ? c.answer : "-");
  }
}

}  // namespace
}  // namespace kalimu::settings::test
