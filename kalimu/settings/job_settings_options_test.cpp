// Stored options with their defaults, the driver data file's settings and paths, the support
// keys and the plain 1/0 functions over the registry store.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "kalimu/settings/printer_reg_values.h"

namespace kalimu::settings {
namespace {

using test::SettingsOnPrinter;

static_assert(GetMediaNameStringId(99) == 1199 && GetMediaNameStringId(100) == 4800);

// The printer's registry key in one view, read raw.
std::vector<uint8_t> RawValue(const std::string& key, const char* name, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return {};
  DWORD size = 0;
  std::vector<uint8_t> data;
  if (RegQueryValueExA(handle, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    RegQueryValueExA(handle, name, nullptr, nullptr, data.data(), &size);
  }
  RegCloseKey(handle);
  return data;
}

class JobSettingsOptions : public test::RollPrinterTest {
 protected:
  std::string PrinterKey() {
    char key[520] = {};
    fixture_.settings().registry().GetKeyPath(storage::kKeyPrinter, key, sizeof(key), nullptr);
    return key;
  }
  std::string DriverKey() {
    char key[520] = {};
    fixture_.settings().registry().GetKeyPath(storage::kKeyDriver, key, sizeof(key), nullptr);
    return key;
  }
  void SetIni(const char* section, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, fixture_.printer().printer().data_file().c_str()));
  }
};

// The halftone option is written with the two bytes it is read with; a four-byte value an
// earlier writer left still reads.
TEST_F(JobSettingsOptions, HalftoneOptionReadsBackAsWritten) {
  JobSettings& s = fixture_.settings();
  EXPECT_EQ(s.IsHalftoneOptionOn(), 0) << "nothing stored";
  ASSERT_EQ(s.SetHalftoneOption(1), 1);
  EXPECT_EQ(s.IsHalftoneOptionOn(), 1);
  EXPECT_EQ(RawValue(PrinterKey(), "RX_HTARVIKOPTION", KEY_WOW64_64KEY).size(), 2u);
  EXPECT_EQ(RawValue(PrinterKey(), "RX_HTARVIKOPTION", KEY_WOW64_32KEY).size(), 2u);
  ASSERT_EQ(s.SetHalftoneOption(0), 1);
  EXPECT_EQ(s.IsHalftoneOptionOn(), 0);
  const uint32_t old_value = 1;
  ASSERT_EQ(s.WriteRegistryValue(nullptr, nullptr, storage::kValueRxHtarvikOption, REG_BINARY, &old_value, 4, 4), 0);
  EXPECT_EQ(s.IsHalftoneOptionOn(), 1);
  const uint32_t two = 2;
  ASSERT_EQ(s.WriteRegistryValue(nullptr, nullptr, storage::kValueRxHtarvikOption, REG_BINARY, &two, 4, 4), 0);
  EXPECT_EQ(s.IsHalftoneOptionOn(), 0);
}

TEST_F(JobSettingsOptions, PmFlagsMirrorJobOptions) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  r.JobOptions = 0x40 | 0x80 | 0x1;
  s.LoadPmFlags();
  EXPECT_EQ(r.JobOptions, 0x40u | 0x80u | 0x1u) << "nothing stored: unchanged";
  EXPECT_EQ(s.IsPmFlagBit1Set(), 0);
  struct Case {
    uint16_t pm_flag;
    uint32_t before, after;
    int bit1;
  };
  const Case cases[] = {
      {4, 0x40, 0x800, 0},        // value 4 is JobOptions 0x800; value 1 clear clears 0x40
      {1 | 4, 0x80, 0x80 | 0x40 | 0x800, 1},  // 0x80 (value 2) is not loaded
      {6, 0x40 | 0x800, 0x800, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(s.WriteRegistryValue(nullptr, nullptr, storage::kValuePmFlag, REG_BINARY, &c.pm_flag, 2, 4), 0);
    r.JobOptions = c.before;
    s.LoadPmFlags();
    EXPECT_EQ(r.JobOptions, c.after) << c.pm_flag;
    EXPECT_EQ(s.IsPmFlagBit1Set(), c.bit1) << c.pm_flag;
  }
}

TEST_F(JobSettingsOptions, NumberedValuesAndTheirDefaults) {
  JobSettings& s = fixture_.settings();
  EXPECT_EQ(s.GetSilentFlag(), 0u);
  const uint32_t silent = 3;
  ASSERT_EQ(s.WriteRegistryValueById(storage::kValueSilent, &silent, 4, 4), 0);
  EXPECT_EQ(s.GetSilentFlag(), 3u);

  uint32_t value = 99;
  EXPECT_NE(s.ReadPlatenInfo(&value), 0);
  EXPECT_EQ(value, 0u);
  ASSERT_EQ(s.WritePlatenInfo(7), 1);
  EXPECT_EQ(s.ReadPlatenInfo(&value), 0);
  EXPECT_EQ(value, 7u);

  value = 99;
  EXPECT_NE(s.ReadMessageDialogFlag(&value), 0);
  EXPECT_EQ(value, 0u);
  ASSERT_EQ(s.WriteMessageDialogFlag(1), 1);
  EXPECT_EQ(s.ReadMessageDialogFlag(&value), 0);
  EXPECT_EQ(value, 1u);

  EXPECT_EQ(s.GetBrsInfo(&value), 0);
  EXPECT_EQ(value, 0u);
  ASSERT_EQ(s.SetBrsInfo(0x80000006), 1);
  EXPECT_EQ(s.GetBrsInfo(&value), 1);
  EXPECT_EQ(value, 0x80000006u);

  const bool rt = (fixture_.model().header.flags24 & 0x4000) != 0;
  EXPECT_EQ(s.WriteRtInfo(5), rt ? 1 : 0);
  EXPECT_EQ(s.ReadRtInfo(), rt ? 5u : 0u);
}

TEST_F(JobSettingsOptions, BrsInfoKeepsBitZeroUnlessBit31) {
  JobSettings& s = fixture_.settings();
  const bool model_has_it = (fixture_.model().header.flags24 & 0x200000) != 0;
  struct Case {
    uint32_t stored, after;
  };
  for (const Case& c : {Case{0x7, 0x1}, Case{0x6, 0x0}, Case{0x80000006, 0x80000006}}) {
    ASSERT_EQ(s.SetBrsInfo(c.stored), 1);
    NormalizeBrsInfo(&s);
    uint32_t value = 0;
    s.GetBrsInfo(&value);
    EXPECT_EQ(value, model_has_it ? c.after : c.stored) << c.stored;
  }
  NormalizeBrsInfo(nullptr);
}

TEST(JobSettingsInfoValues, StoredOrTheModelsDefault) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags40 = 1 | 2;
  model.header.byte77 = 3;
  model.header.byte78 = 9;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  uint8_t out[8];
  std::memset(out, 0xCC, sizeof(out));
  EXPECT_EQ(s.ReadIwfInfo(out), 0);
  const uint8_t iwf_default[8] = {3, 0x32, 0x32, 0x32, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(out, iwf_default, 8), 0);
  EXPECT_EQ(s.ReadHtInfo(out), 0);
  const uint8_t ht_default[8] = {9, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(out, ht_default, 8), 0);
  const uint8_t written[8] = {2, 0x31, 0x33, 0, 0, 0, 0, 0};
  ASSERT_EQ(s.WriteIwfInfo(written), 1);
  ASSERT_EQ(s.WriteHtInfo(written), 1);
  EXPECT_EQ(s.ReadIwfInfo(out), 1);
  EXPECT_EQ(std::memcmp(out, written, 8), 0);
  EXPECT_EQ(s.ReadHtInfo(out), 1);
  EXPECT_EQ(std::memcmp(out, written, 8), 0);
}

// A count byte above 7 never fills past the eight bytes of the value, and the count written
// says 7: a reader trusting it stays within the value.
TEST(JobSettingsInfoValues, TheDefaultCountIsBoundedByTheValue) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.header.flags40 = 1;
  model.header.byte77 = 200;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  struct Guarded {
    uint8_t value[8];
    uint8_t after[8];
  } out;
  std::memset(&out, 0xCC, sizeof(out));
  EXPECT_EQ(fixture.settings().ReadIwfInfo(out.value), 0);
  const uint8_t expected[8] = {7, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32};
  EXPECT_EQ(std::memcmp(out.value, expected, 8), 0);
  for (uint8_t b : out.after) EXPECT_EQ(b, 0xCC);
  // Without the model's group nothing is read, written or filled.
  uint8_t untouched[8];
  std::memset(untouched, 0xAB, sizeof(untouched));
  EXPECT_EQ(fixture.settings().ReadHtInfo(untouched), 0);
  EXPECT_EQ(untouched[0], 0xAB);
  EXPECT_EQ(fixture.settings().WriteHtInfo(untouched), 0);
}

TEST(JobSettingsCutter, StoredValueElseTheModelsStandard) {
  struct Case {
    uint32_t flags28;
    bool stored;
    int result;
    uint32_t value;
  };
  const Case cases[] = {{0, false, 0, 99}, {16, false, 1, 0}, {16 | 32, false, 1, 1}, {0, true, 1, 5}};
  for (const Case& c : cases) {
    testkit::ModelDescription model = testkit::SheetModel();
    model.header.flags28 = (model.header.flags28 & ~48u) | c.flags28;
    SettingsOnPrinter fixture(model);
    ASSERT_TRUE(fixture.ok()) << fixture.error();
    if (c.stored) {
      const uint32_t five = 5;
      ASSERT_EQ(fixture.settings().WriteRegistryValueById(storage::kValueCutterInfo, &five, 4, 4), 0);
    }
    uint32_t value = 99;
    EXPECT_EQ(fixture.settings().GetCutterState(&value), c.result) << c.flags28;
    EXPECT_EQ(value, c.value) << c.flags28;
  }
}

TEST_F(JobSettingsOptions, TempFolderDefaultsToTheWindowsDirectoryAndIsKept) {
  JobSettings& s = fixture_.settings();
  char folder[MAX_PATH] = {};
  ASSERT_EQ(s.GetTempFolder(folder, sizeof(folder)), 1);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_STREQ(folder, windows);
  const std::vector<uint8_t> kept = RawValue(DriverKey(), "TempFilePath", KEY_WOW64_32KEY);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(kept.data())), windows);
  ASSERT_EQ(s.WriteRegistryValue(nullptr, nullptr, storage::kValueTempFilePath2, REG_SZ, "C:\\spool\\", 10, 4), 0);
  ASSERT_EQ(s.GetTempFolder(folder, sizeof(folder)), 1);
  EXPECT_STREQ(folder, "C:\\spool\\");
  // A buffer too small for the stored folder gets the Windows directory; the folder stays stored.
  char small[6] = {};
  EXPECT_EQ(s.GetTempFolder(small, sizeof(small)), 1);
  ASSERT_EQ(s.GetTempFolder(folder, sizeof(folder)), 1);
  EXPECT_STREQ(folder, "C:\\spool\\");
}

TEST_F(JobSettingsOptions, DriverDataSettings) {
  JobSettings& s = fixture_.settings();
  struct Region {
    const char* text;
    int region, a, wjp;
  };
  for (const Region& c : {Region{"A", 1, 1, 0}, Region{"W", 2, 0, 1}, Region{"J", 3, 0, 1}, Region{"P", 4, 0, 1},
                          Region{"w", 0, 0, 0}, Region{"", 0, 0, 0}, Region{"WJ", 0, 0, 0}}) {
    SetIni("Region Setting", "Region", c.text);
    EXPECT_EQ(s.GetRegion(), c.region) << c.text;
    EXPECT_EQ(s.IsRegionA(), c.a) << c.text;
    EXPECT_EQ(s.IsRegionWJP(), c.wjp) << c.text;
  }
  EXPECT_EQ(s.ReadNoBidComm(), 0);
  SetIni("ModelInfo", "NoBidComm", "1");
  EXPECT_EQ(s.ReadNoBidComm(), 1);

  char text[64] = {};
  EXPECT_EQ(s.GetDriverVersionText(text, sizeof(text)), 1);
  EXPECT_STREQ(text, "1.00");
  SetIni("VersionInformation", "DriverVersion", "1");
  EXPECT_EQ(s.GetDriverVersionText(text, sizeof(text)), 0) << "too short";
  SetIni("VersionInformation", "DriverVersion", std::string(31, '9').c_str());
  EXPECT_EQ(s.GetDriverVersionText(text, sizeof(text)), 1);
  EXPECT_EQ(std::string(text), std::string(31, '9'));

  EXPECT_EQ(s.IsLocaleInAvoidClipList("0411", 5), 0) << "no list";
  SetIni("AvoidClip", "Lcid", "04,11,12");
  EXPECT_EQ(s.IsLocaleInAvoidClipList("0411", 5), 1);
  EXPECT_EQ(s.IsLocaleInAvoidClipList("0409", 5), 0);

  char missing[32] = {};
  EXPECT_EQ(s.ReadDriverIniString("No Section", "NoKey", missing, sizeof(missing), nullptr, nullptr), 13);
  EXPECT_STREQ(missing, kIniMissingDefault);
  wchar_t wide[32] = {};
  EXPECT_EQ(s.ReadDriverIniStringW(L"VersionInformation", L"DriverVersion", wide, 32, nullptr, nullptr), 31);
  EXPECT_EQ(s.ReadDriverIniStringW(L"No Section", L"NoKey", wide, 32, nullptr, nullptr), 13);
  EXPECT_STREQ(wide, L"ERROR_DEFAULT");
  EXPECT_EQ(s.ReadDriverIniInt("ModelInfo", "NoBidComm", 7, nullptr), 1);
  EXPECT_EQ(s.ReadDriverIniIntW(L"ModelInfo", L"Missing", 7, nullptr), 7);
}

TEST_F(JobSettingsOptions, ModulePathsComeFromTheDriverDataFile) {
  JobSettings& s = fixture_.settings();
  std::string directory = fixture_.printer().printer().data_file();
  directory.resize(directory.find_last_of('\\') + 1);
  char path[MAX_PATH] = {};
  struct Case {
    int (JobSettings::*get)(char*, size_t);
    const char* file;
  };
  const Case cases[] = {
      {&JobSettings::GetOutputModulePath, "KVOUT64.DLL"},     {&JobSettings::GetXcmdOutputModulePath, "KVXCMD64.DLL"},
      {&JobSettings::GetMwModulePath, "KVMW64.DLL"},          {&JobSettings::GetHalftoneEngineModulePath, "Tonvar.dll"},
      {&JobSettings::GetWatermarkDialogModule, "KVWMDLG.DLL"}, {&JobSettings::GetInkDisplayModule, "KVINK.DLL"},
      {&JobSettings::GetUtilityModulePath, "KVUTIL.DLL"},      {&JobSettings::GetUtilityProgramPath, "KVUTIL.EXE"},
      {&JobSettings::GetBrsModulePath, "KVBRS.DLL"},
  };
  for (const Case& c : cases) {
    std::memset(path, 0, sizeof(path));
    ASSERT_EQ((s.*c.get)(path, sizeof(path)), 1) << c.file;
    EXPECT_EQ(std::string(path), directory + c.file);
  }
  ASSERT_EQ(s.GetDriverDataFilePath(path, sizeof(path)), 1);
  EXPECT_EQ(std::string(path), fixture_.printer().printer().data_file());
  ASSERT_EQ(s.GetUiModulePath(path, sizeof(path), 0), 1);
  EXPECT_STREQ(path, "KVUI64.DLL");
  ASSERT_EQ(s.GetModelName(path, sizeof(path)), 1);
  EXPECT_STREQ(path, "NORVA KV-4800");
  // The output resource of the record's ink set carries the ink set's suffix.
  ASSERT_TRUE(fixture_.printer().SetInfoKey("OutPutResource010B4", "KVOUTB.RES"));
  std::memcpy(fixture_.record().ModelId, fixture_.model().ink_sets[1].codes, 16);
  ASSERT_EQ(s.GetOutputResourcePath(path, sizeof(path)), 1);
  EXPECT_EQ(std::string(path), directory + "KVOUTB.RES");
}

TEST_F(JobSettingsOptions, PlainFunctionsAnswerOneOrZero) {
  JobSettings& s = fixture_.settings();
  const uint32_t value = 0x2A;
  EXPECT_EQ(WritePrinterRegValue(nullptr, nullptr, nullptr, storage::kValueInkCheck, REG_DWORD, &value, 4, 0), 0);
  // View 7 writes both views and reads the default view.
  ASSERT_EQ(WritePrinterRegValue(&s, nullptr, nullptr, storage::kValuePaperCheck, REG_DWORD, &value, 4, 7), 1);
  EXPECT_EQ(RawValue(DriverKey(), "PaperCheck", KEY_WOW64_32KEY).size(), 4u);
  EXPECT_EQ(RawValue(DriverKey(), "PaperCheck", KEY_WOW64_64KEY).size(), 4u);
  uint32_t read = 0;
  DWORD size = sizeof(read);
  ASSERT_EQ(ReadPrinterRegValue(&s, nullptr, nullptr, storage::kValuePaperCheck, &read, &size, 7), 1);
  EXPECT_EQ(read, value);
  EXPECT_EQ(ReadPrinterRegValue(nullptr, nullptr, nullptr, storage::kValuePaperCheck, &read, &size, 0), 0);
  // View 0 deletes in both views.
  ASSERT_EQ(DeletePrinterRegValue(&s, nullptr, nullptr, storage::kValuePaperCheck, 0), 1);
  EXPECT_TRUE(RawValue(DriverKey(), "PaperCheck", KEY_WOW64_32KEY).empty());
  size = sizeof(read);
  EXPECT_EQ(ReadPrinterRegValue(&s, nullptr, nullptr, storage::kValuePaperCheck, &read, &size, 0), 0);
  EXPECT_EQ(DeletePrinterRegValue(nullptr, nullptr, nullptr, storage::kValuePaperCheck, 0), 0);
  EXPECT_EQ(ReadPrinterRegValue(&s, nullptr, nullptr, 9999, &read, &size, 0), 0) << "unknown id";

  ASSERT_EQ(WritePrinterRegValueById(&s, storage::kValuePaperRemain, &value, 4, 2), 1);
  EXPECT_TRUE(RawValue(PrinterKey(), "PaperRemain", KEY_WOW64_64KEY).empty()) << "the 32-bit view only";
  size = sizeof(read);
  read = 0;
  ASSERT_EQ(ReadPrinterRegValueById(&s, storage::kValuePaperRemain, &read, &size, 2), 1);
  EXPECT_EQ(read, value);

  EXPECT_EQ(EnsurePrinterRegRootKey(&s, 0), 1);
  EXPECT_EQ(EnsurePrinterRegRootKey(nullptr, 0), 0);
  EXPECT_EQ(CheckPrinterRegKeyAccess(&s, DriverKey().c_str(), 0), 1);
  EXPECT_EQ(CheckPrinterRegKeyAccess(nullptr, DriverKey().c_str(), 0), 0);
  char name[64] = {};
  MakeRegistryPrinterName("\\\\server\\queue", name, sizeof(name));
  EXPECT_STREQ(name, ",,server,queue");
}

// The support tools are found below "SOFTWARE\NORVA\<driver> PSOLVER" or "... TS_URL": sub
// key "E" first, otherwise the sub key with the lowest first character that holds the value.
TEST_F(JobSettingsOptions, SupportKeysPreferTheSubKeyE) {
  JobSettings& s = fixture_.settings();
  const std::string driver = fixture_.record().DriverName;
  const std::string psolver = "SOFTWARE\\NORVA\\" + driver + " PSOLVER";
  const std::string ts_url = "SOFTWARE\\NORVA\\" + driver + " TS_URL";
  const auto put = [](const std::string& key, const char* name, const char* text, REGSAM view) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(handle);
  };
  char out[MAX_PATH] = {};
  EXPECT_EQ(ReadSupportKeyValue(&s, out, sizeof(out)), 0);

  put(ts_url + "\\B", "TSupportURL", "http://b.example", KEY_WOW64_64KEY);
  EXPECT_EQ(ReadSupportKeyValue(&s, out, sizeof(out)), 2) << "found in the 64-bit view after the 32-bit one";
  EXPECT_STREQ(out, "http://b.example");

  put(psolver + "\\0" + std::string(40, 'x'), "KeyFile", "long.key", KEY_WOW64_32KEY);  // passed over
  put(psolver + "\\B", "KeyFile", "b.key", KEY_WOW64_32KEY);
  put(psolver + "\\A", "KeyFile", "a.key", KEY_WOW64_32KEY);
  put(psolver + "\\C", "Other", "c.key", KEY_WOW64_32KEY);
  char chosen[33] = {};
  EXPECT_EQ(s.ReadKeyValueText(psolver.c_str(), "KeyFile", chosen, sizeof(chosen), 2), 2);
  EXPECT_STREQ(chosen, "A");
  EXPECT_EQ(ReadSupportKeyValue(&s, out, sizeof(out)), 1);
  EXPECT_STREQ(out, "a.key");
  put(psolver + "\\E", "KeyFile", "e.key", KEY_WOW64_32KEY);
  EXPECT_EQ(s.ReadKeyValueText(psolver.c_str(), "KeyFile", chosen, sizeof(chosen), 2), 1);
  EXPECT_STREQ(chosen, "E");
  EXPECT_EQ(s.ReadSupportKey(out, sizeof(out), 2), 1);
  EXPECT_STREQ(out, "e.key");

  put(psolver, "Maker", "NORVA", KEY_WOW64_32KEY);
  EXPECT_EQ(s.ReadMakerKeyValue(" PSOLVER", "Maker", out, sizeof(out), 2), 1);
  EXPECT_STREQ(out, "NORVA");
  EXPECT_EQ(s.ReadMakerKeyValue(" PSOLVER", "Missing", out, sizeof(out), 2), 0);

  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    for (const std::string& key : {psolver, ts_url}) {
      HKEY parent = nullptr;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA", 0, KEY_ALL_ACCESS | view, &parent) == ERROR_SUCCESS) {
        RegDeleteTreeA(parent, key.substr(std::strlen("SOFTWARE\\NORVA\\")).c_str());
        RegCloseKey(parent);
      }
    }
  }
}

}  // namespace
}  // namespace kalimu::settings
