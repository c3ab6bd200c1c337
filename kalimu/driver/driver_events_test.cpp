// Driver install and removal through DrvDriverEvent with the spooler's DRIVER_INFO_3 of a
// sample-model driver: the status monitor's keys in both registry views, the installer
// library and program recorded by the stand-ins.
#include "kalimu/driver/driver_events.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/printer_fixture.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::driver {
namespace {

constexpr char kNorva[] = "SOFTWARE\\NORVA\\";

// A value of a key below HKEY_LOCAL_MACHINE in one view: its bytes, or none.
std::optional<std::vector<uint8_t>> ViewValue(const std::string& key, const char* name, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD size = 0;
  std::optional<std::vector<uint8_t>> value;
  if (RegQueryValueExA(handle, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<uint8_t> bytes(size);
    if (RegQueryValueExA(handle, name, nullptr, nullptr, bytes.data(), &size) == ERROR_SUCCESS) value = bytes;
  }
  RegCloseKey(handle);
  return value;
}

bool KeyExists(const std::string& key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::optional<std::string> Text(const std::string& key, const char* name, REGSAM view) {
  const auto bytes = ViewValue(key, name, view);
  if (!bytes || bytes->empty()) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(bytes->data()));
}

std::optional<uint32_t> Number(const std::string& key, const char* name, REGSAM view) {
  const auto bytes = ViewValue(key, name, view);
  if (!bytes || bytes->size() != 4) return std::nullopt;
  return static_cast<uint32_t>((*bytes)[0] | (*bytes)[1] << 8 | (*bytes)[2] << 16 | (*bytes)[3] << 24);
}

void RemoveMonitorKeys() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    for (const char* key : {"SOFTWARE\\NORVA\\RXPrinter4", "SOFTWARE\\NORVA\\RXProvider3", "SOFTWARE\\NORVA\\SA"}) {
      HKEY handle = nullptr;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS | view, &handle) != ERROR_SUCCESS) continue;
      RegDeleteTreeA(handle, nullptr);
      RegCloseKey(handle);
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, view, 0);
    }
  }
}

constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

class DriverEventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveMonitorKeys();
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_TRUE(recorder_.ok());
    testkit::ModelPrinter& model = printer_.model_printer();
    ASSERT_TRUE(model.WriteDriverFile(program_ + ".exe", testkit::ProgramRecorder::ProgramBytes()));
    ASSERT_TRUE(model.WriteDriverFile(library_ + ".dll", testkit::ProgramRecorder::InstallerLibraryBytes()));
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"SADatI", "KVSA.DAT"},
                                                          {"RXAPII", "KVRXAPI.DLL"},
                                                          {"RXPLPTI", "KVLPTSA.DLL"},
                                                          {"RXPShareI", "KVSHARE.DLL"},
                                                          {"RXPSAgentI", "KVAGENT.EXE"},
                                                          {"RXPrflI", "KVPROFILE.PRF"},
                                                          {"StatusNCT", "15"},
                                                          {"RXRcvCTO", "30"}}) {
      ASSERT_TRUE(model.SetInfoKey(key, value));
    }
  }
  void TearDown() override { RemoveMonitorKeys(); }

  void UseLibrary() {
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("RXAPIX", "3"));
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("SAInstI", library_ + ".dll"));
  }
  void UseProgram() {
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("RXAPIX", "4"));
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("SAInstI", program_ + ".exe"));
  }
  BOOL Event(DWORD event, DWORD level = 3) {
    std::wstring name(printer_.driver_name().begin(), printer_.driver_name().end());
    const std::string& data = printer_.model_printer().printer().data_file();
    std::wstring data_file(data.begin(), data.end());
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = name.data();
    info.pDataFile = data_file.data();
    return DrvDriverEvent(event, level, reinterpret_cast<BYTE*>(&info), 0);
  }
  std::string Dir() { return printer_.model_printer().DriverDirectory(); }

  testkit::DriverPrinter printer_{testkit::RollPaperModel()};
  testkit::ProgramRecorder recorder_;
  const std::string pid_ = std::to_string(GetCurrentProcessId());
  const std::string program_ = "kvinst" + pid_;
  const std::string library_ = "kvsainst" + pid_;
  const std::string rx_ = std::string(kNorva) + "RXPrinter4";
};

TEST_F(DriverEventTest, ProgramFormInstallsAndRemoves) {
  UseProgram();
  ASSERT_TRUE(Event(DRIVER_EVENT_INITIALIZE));
  // The installer ran and had ended when the event answered.
  const auto launches = recorder_.Launches(program_);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, Dir() + program_ + ".exe /IS:\"" + Dir() + "KVSA.DAT \"");
  EXPECT_EQ(launches[0].show, SW_HIDE);
  EXPECT_EQ(recorder_.Ends(program_), 1u);
  for (REGSAM view : kViews) {
    SCOPED_TRACE(view);
    EXPECT_TRUE(KeyExists(rx_ + "\\RXAPI4", view));
    EXPECT_TRUE(KeyExists(rx_ + "\\OldRXAPIPorts", view));
    EXPECT_EQ(Text(rx_ + "\\SHARE4", "Path", view), Dir() + "KVSHARE.DLL");
    EXPECT_EQ(Text(rx_ + "\\SAgent4", "Path", view), Dir() + "KVAGENT.EXE");
    EXPECT_EQ(Number(rx_ + "\\SAgent4", "AllowMonitoring", view), 0u);
    EXPECT_EQ(Number(rx_ + "\\SHARE4\\Env", "StatusNoChkTime", view), 15u);
    EXPECT_EQ(Number(rx_ + "\\SAgent4\\Env", "SS_RXRcvCmdTimeOut", view), 30u);
  }
  EXPECT_TRUE(recorder_.LibraryCalls(library_).empty());

  // A stored monitoring permission stays.
  const DWORD allowed = 1;
  for (REGSAM view : kViews) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (rx_ + "\\SAgent4").c_str(), 0, KEY_SET_VALUE | view, &key), 0);
    RegSetValueExA(key, "AllowMonitoring", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&allowed), 4);
    RegCloseKey(key);
  }
  ASSERT_TRUE(Event(DRIVER_EVENT_INITIALIZE));
  EXPECT_EQ(Number(rx_ + "\\SAgent4", "AllowMonitoring", KEY_WOW64_64KEY), 1u);

  // Removal: the installer's removal line, then the monitor's keys once its profile key goes.
  ASSERT_TRUE(testkit::WriteMachineValue(rx_ + "\\Profile", "NORVA KV-4800", REG_SZ, "x", 2));
  ASSERT_TRUE(Event(DRIVER_EVENT_DELETE));
  const auto all = recorder_.Launches(program_);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[2].command_line, Dir() + program_ + ".exe /RS:\"" + printer_.driver_name() + "\"");
  EXPECT_EQ(recorder_.Ends(program_), 3u);
  for (REGSAM view : kViews) {
    SCOPED_TRACE(view);
    EXPECT_FALSE(KeyExists(rx_ + "\\Profile", view));
    EXPECT_FALSE(KeyExists(rx_ + "\\RXAPI4", view));
    EXPECT_FALSE(KeyExists(rx_ + "\\OldRXAPIPorts", view));
    EXPECT_FALSE(ViewValue(rx_ + "\\SHARE4", "Path", view).has_value());
    EXPECT_FALSE(ViewValue(rx_ + "\\SAgent4", "AllowMonitoring", view).has_value());
    EXPECT_FALSE(KeyExists(printer_.DriverKey(), view));
  }
}

TEST_F(DriverEventTest, LibraryFormInstallsAndRemoves) {
  UseLibrary();
  ASSERT_TRUE(Event(DRIVER_EVENT_INITIALIZE));
  EXPECT_EQ(recorder_.LibraryCalls(library_),
            std::vector<std::string>{"PrInstallOstrel\t" + Dir() + "KVSA.DAT"});
  const std::string lpt = std::string(kNorva) + "RXProvider3\\LPT";
  const std::string profile = std::string(kNorva) + "SA\\Profile";
  for (REGSAM view : kViews) {
    SCOPED_TRACE(view);
    EXPECT_EQ(Text(lpt, "LPTSA", view), Dir() + "KVLPTSA.DLL");
    EXPECT_EQ(Text(profile, "NORVA KV-4800", view), Dir() + "KVPROFILE.PRF");
    EXPECT_FALSE(KeyExists(rx_, view));
  }
  EXPECT_TRUE(recorder_.Launches(program_).empty());

  ASSERT_TRUE(Event(DRIVER_EVENT_DELETE));
  EXPECT_EQ(recorder_.LibraryCalls(library_),
            (std::vector<std::string>{"PrInstallOstrel\t" + Dir() + "KVSA.DAT",
                                      "PrUnInstallOstrel\t" + printer_.driver_name()}));
  for (REGSAM view : kViews) {
    SCOPED_TRACE(view);
    EXPECT_FALSE(KeyExists(profile, view));
    EXPECT_FALSE(KeyExists(std::string(kNorva) + "SA", view));
    EXPECT_FALSE(KeyExists(lpt, view));
    EXPECT_FALSE(KeyExists(std::string(kNorva) + "RXProvider3", view));
    EXPECT_FALSE(KeyExists(printer_.DriverKey(), view));
  }
}

TEST_F(DriverEventTest, OtherEventsLevelsAndDriversWithoutInstaller) {
  UseLibrary();
  EXPECT_FALSE(Event(DRIVER_EVENT_INITIALIZE, 2));
  EXPECT_FALSE(Event(3));
  EXPECT_FALSE(DrvDriverEvent(DRIVER_EVENT_INITIALIZE, 3, nullptr, 0));
  EXPECT_TRUE(recorder_.LibraryCalls(library_).empty());

  // A driver whose data file names no installer (the test kit's printers): nothing happens.
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("SAInstI", "Error"));
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("RXAPIX", "Error"));
  EXPECT_TRUE(Event(DRIVER_EVENT_INITIALIZE));
  for (REGSAM view : kViews) {
    EXPECT_FALSE(KeyExists(rx_, view));
    EXPECT_FALSE(KeyExists(std::string(kNorva) + "RXProvider3", view));
  }
  EXPECT_TRUE(recorder_.LibraryCalls(library_).empty());
}

// The spooler itself: adding a driver whose configuration module is Kalimu.dll (named by its
// file name, as an installer names it) runs the install path, and the installer library that
// the driver data names is called.
TEST(DriverEventSpoolerTest, AddingTheDriverRunsTheInstaller) {
  RemoveMonitorKeys();
  testkit::ProgramRecorder recorder;
  ASSERT_TRUE(recorder.ok());
  wchar_t directory[MAX_PATH] = {};
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory,
                                         &needed));
  std::string base;
  for (const wchar_t* c = directory; *c != L'\0'; ++c) base += static_cast<char>(*c);
  base += "\\";
  const std::string stem = "kvspool" + std::to_string(GetCurrentProcessId());
  const std::string driver = "NORVA Spool Driver " + std::to_string(GetCurrentProcessId());
  const std::string data = testkit::StandardDriverData()
                               .SetInfo("SAInstI", stem + "_inst.dll")
                               .SetInfo("RXAPIX", "3")
                               .SetInfo("SADatI", "KVSA.DAT")
                               .Render();
  const std::vector<uint8_t> installer = testkit::ProgramRecorder::InstallerLibraryBytes();
  CreateDirectoryA((base + "3").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((testkit::TestProgramDirectory() + testkit::kKalimuModule).c_str(),
                        (base + stem + "_ui.dll").c_str(), FALSE));
  ASSERT_TRUE(testkit::WriteFileText(base + stem + ".ini", data));
  ASSERT_TRUE(testkit::WriteFileText(base + "3\\" + stem + "_inst.dll", std::string(installer.begin(), installer.end())));

  std::wstring name(driver.begin(), driver.end());
  std::wstring module(stem.begin(), stem.end());
  module += L"_ui.dll";
  std::wstring data_file(stem.begin(), stem.end());
  data_file += L".ini";
  DRIVER_INFO_3W info = {};
  info.cVersion = 3;
  info.pName = name.data();
  info.pDriverPath = module.data();
  info.pDataFile = data_file.data();
  info.pConfigFile = module.data();
  ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info))) << GetLastError();
  const auto calls = recorder.LibraryCalls(stem + "_inst");
  DeletePrinterDriverW(nullptr, nullptr, name.data());
  for (const std::string& file : {stem + "_ui.dll", stem + ".ini", "3\\" + stem + "_ui.dll", "3\\" + stem + ".ini",
                                  "3\\" + stem + "_inst.dll"}) {
    DeleteFileA((base + file).c_str());
  }
  RemoveMonitorKeys();
  EXPECT_EQ(calls, std::vector<std::string>{"PrInstallOstrel\t" + base + "3\\KVSA.DAT"});
}

TEST(MonitorRegistryWrappersTest, NullRegistryFails) {
  DWORD size = 4;
  uint32_t value = 0;
  EXPECT_EQ(CreateRegKeyBothViews(nullptr, 6, 0, KEY_ALL_ACCESS), 0);
  EXPECT_EQ(SetRegValueBothViews(nullptr, nullptr, 137, REG_SZ, "x", 2), 0);
  EXPECT_EQ(QueryRegValue(nullptr, nullptr, 139, &value, &size), 0);
  EXPECT_EQ(DeleteRegValueBothViews(nullptr, nullptr, 137), 0);
  EXPECT_EQ(DeleteRegKeyBothViews(nullptr, 6), 0);
  EXPECT_EQ(DeleteRegTreeBothViews(nullptr, 6), 0);
}

}  // namespace
}  // namespace kalimu::driver
