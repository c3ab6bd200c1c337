// The module locator on a printer installed by the fixture, with a generated data file.
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/platform/world_access.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "testkit/kalimu/driver_data_file.h"
#include "testkit/windows/printer_fixture.h"
#include "testkit/windows/world_access_check.h"

namespace kalimu::storage {
namespace {

std::string Directory(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

void SetInfoKey(const std::string& data_file, const char* key, const char* value) {
  WritePrivateProfileStringA(testkit::kDriverInfoSection, key, value, data_file.c_str());
}

class LocatorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    printer_ = new testkit::TestPrinter("Locator", testkit::StandardDriverData().Render());
  }
  static void TearDownTestSuite() {
    if (printer_->ok()) {
      const std::string key = "SOFTWARE\\NORVA\\PRINTER\\" + printer_->driver_name();
      for (int view : {1, 2}) DriverRegistry::DeleteKeyTreeA(HKEY_LOCAL_MACHINE, key.c_str(), view);
    }
    delete printer_;
    printer_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(printer_->ok()) << printer_->error();
    data_file_ = printer_->data_file();
    dir_ = Directory(data_file_);
    ASSERT_EQ(locator_.Init(printer_->printer_name().c_str(), printer_->driver_name().c_str(),
                            printer_->handle()),
              1);
  }

  static testkit::TestPrinter* printer_;
  std::string data_file_;
  std::string dir_;
  DriverModuleLocator locator_;
};
testkit::TestPrinter* LocatorTest::printer_ = nullptr;

TEST_F(LocatorTest, DataFileComesFromTheSpoolerAndIsCached) {
  char out[MAX_PATH];
  ASSERT_EQ(locator_.GetDriverDataFilePath(out, sizeof(out)), 1);
  EXPECT_EQ(std::string(out), data_file_);
  EXPECT_EQ(locator_.GetDriverDataFile(nullptr, out, sizeof(out)), 1) << "answered from the cache";
  EXPECT_EQ(std::string(out), data_file_);
  DriverModuleLocator without_printer;
  EXPECT_EQ(without_printer.GetDriverDataFilePath(out, sizeof(out)), 0);
  EXPECT_EQ(without_printer.GetOutputModulePath(out, sizeof(out)), 0);
  EXPECT_EQ(without_printer.GetRefreshUtilityName(out, sizeof(out)), 0);
  EXPECT_EQ(without_printer.Init(nullptr, "driver", nullptr), 0);
}

// Every numbered key present in the data file reads as its path below the data file's folder.
TEST_F(LocatorTest, EveryNumberedKeyIsJoinedToTheDataFilesDirectory) {
  const testkit::DriverDataTable table = testkit::StandardDriverData();
  int present = 0;
  for (int key = -1; key <= 60; ++key) {
    const char* name = DriverInfoKeyName(key);
    std::string value;
    for (const testkit::IniEntry& e : table.entries()) {
      const char* section = key == kInfoPicPreset ? testkit::kExportApiSection : testkit::kDriverInfoSection;
      if (name != nullptr && e.key == name && e.section == section) value = e.value;
    }
    char out[MAX_PATH];
    const int result = DriverModuleLocator::ReadDriverInfoPath(key, out, sizeof(out), data_file_.c_str(), 1);
    if (value.empty()) {
      EXPECT_EQ(result, 0) << key;
      continue;
    }
    ++present;
    EXPECT_EQ(result, 1) << key;
    EXPECT_EQ(std::string(out), dir_ + value) << key;
    char via_printer[MAX_PATH];
    EXPECT_EQ(locator_.GetDriverInfoPath(key, via_printer, sizeof(via_printer)), 1) << key;
    EXPECT_STREQ(via_printer, out) << key;
  }
  EXPECT_EQ(present, 27);
}

TEST_F(LocatorTest, FixedUseOperations) {
  using Op = int (DriverModuleLocator::*)(char*, size_t);
  struct OpCase {
    Op op;
    const char* expected;  // relative to the data file's folder
  };
  const OpCase cases[] = {
      {&DriverModuleLocator::GetOutputModulePath, "KVOUT64.DLL"},
      {&DriverModuleLocator::GetXcmdOutputModulePath, "KVXCMD64.DLL"},
      {&DriverModuleLocator::GetMwModulePath, "KVMW64.DLL"},
      {&DriverModuleLocator::GetHalftoneEngineModulePath, "Tonvar.dll"},
      {&DriverModuleLocator::GetWatermarkDialogModulePath, "KVWMDLG.DLL"},
      {&DriverModuleLocator::GetInkDisplayModulePath, "KVINK.DLL"},
      {&DriverModuleLocator::GetPrePrintProgramPath, "KVPRE.EXE"},
      {&DriverModuleLocator::GetUtilityModulePath, "KVUTIL.DLL"},
      {&DriverModuleLocator::GetBrsModulePath, "KVBRS.DLL"},
      {&DriverModuleLocator::GetUtilityExePath, "KVUTIL.EXE"},
      {&DriverModuleLocator::GetStatusModulePath, "KVSTM64.DLL"},
  };
  for (const OpCase& c : cases) {
    char out[MAX_PATH] = {};
    EXPECT_EQ((locator_.*c.op)(out, sizeof(out)), 1) << c.expected;
    EXPECT_EQ(std::string(out), dir_ + c.expected);
  }
  char out[MAX_PATH];
  ASSERT_EQ(locator_.GetModelName(out, sizeof(out)), 1);
  EXPECT_STREQ(out, "NORVA KV-4800");
  ASSERT_EQ(locator_.GetUiModulePath(out, sizeof(out), 0), 1);
  EXPECT_STREQ(out, "KVUI64.DLL");
  ASSERT_EQ(locator_.GetUiModulePath(out, sizeof(out), 1), 1);
  EXPECT_EQ(std::string(out), dir_ + "KVUI64.DLL");
  int count = -1;
  ASSERT_EQ(locator_.GetOutputResourceCount(&count), 1);
  EXPECT_EQ(count, 3);
  ASSERT_EQ(locator_.GetCfgFilePath(out, sizeof(out), nullptr), 1);
  EXPECT_EQ(std::string(out), dir_ + "KVMODEL.CFG");
  ASSERT_EQ(locator_.GetDriverDirectory(out, sizeof(out)), 1);
  EXPECT_EQ(std::string(out), dir_) << "the stand-in module sits beside the data file";
  ASSERT_EQ(DriverModuleLocator::GetWindowsDirectoryPath(out, sizeof(out)), 1);
  EXPECT_EQ(out[std::strlen(out) - 1], '\\');
  ASSERT_EQ(DriverModuleLocator::GetSystemDirectoryPath(out, sizeof(out)), 1);
  EXPECT_EQ(out[std::strlen(out) - 1], '\\');
  EXPECT_EQ(DriverModuleLocator::GetSystemDirectoryPath(out, 4), 0) << "does not fit";
  EXPECT_EQ(DriverModuleLocator::GetEmptyPath(out), 1);
  EXPECT_STREQ(out, "");
}

TEST_F(LocatorTest, RefreshHelperFallsBackToItsDefaultName) {
  char out[MAX_PATH];
  ASSERT_EQ(locator_.GetRefreshUtilityName(out, sizeof(out)), 1);
  EXPECT_STREQ(out, "Pellan40.EXE");
  SetInfoKey(data_file_, "PellanI", "Error");  // a literal "Error" reads as missing
  ASSERT_EQ(locator_.GetRefreshUtilityName(out, sizeof(out)), 1);
  EXPECT_STREQ(out, "Pellan30.EXE");
  SetInfoKey(data_file_, "PellanI", "Pellan40.EXE");
}

// Damaged data: missing sections, over-long values and tiny buffers fail without overrun.
TEST_F(LocatorTest, MissingSectionsAndOverlongValuesFailCleanly) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "kv_damaged_" + std::to_string(GetCurrentProcessId()) + ".ini";
  testkit::DriverDataTable damaged;
  damaged.Set("Other", "CfgFileI", "x.cfg")
      .SetInfo("UcfFileI", std::string(300, 'u'))
      .SetInfo("WatFileI", std::string(2000, 'w'))
      .SetInfo("HelpFile", "");
  ASSERT_TRUE(damaged.WriteTo(file));
  char out[MAX_PATH + 8];
  std::memset(out, '#', sizeof(out));
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoPath(kInfoCfgFile, out, MAX_PATH, file.c_str(), 1), 0);
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKey(kInfoCfgFile, out, MAX_PATH, file.c_str()), 0);
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoPath(kInfoUcfFile, out, MAX_PATH, file.c_str(), 0), 0);
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoPath(kInfoWatFile, out, MAX_PATH, file.c_str(), 0), 0);
  EXPECT_EQ(out[MAX_PATH], '#') << "nothing past the buffer";
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKey(kInfoHelpFile, out, MAX_PATH, file.c_str()), 1);
  EXPECT_STREQ(out, "");
  char small[4];
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKey(kInfoModelName, small, sizeof(small), data_file_.c_str()), 0);
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKey(99, out, MAX_PATH, data_file_.c_str()), 0);
  EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKey(kInfoCfgFile, out, MAX_PATH, nullptr), 0);
  DeleteFileA(file.c_str());
}

// The ink-set suffix is tried first, then the plain key.
TEST(LocatorSuffix, SuffixedKeyFallsBackToThePlainKey) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  struct SuffixCase {
    const char* suffixed;  // value of "CfgFileI0A" or null
    const char* plain;     // value of "CfgFileI" or null
    int result;
    const char* expected;
  };
  const SuffixCase cases[] = {
      {"ink0a.cfg", "plain.cfg", 1, "ink0a.cfg"},
      {nullptr, "plain.cfg", 1, "plain.cfg"},
      {"Error", "plain.cfg", 1, "plain.cfg"},
      {nullptr, nullptr, 0, ""},
  };
  int n = 0;
  for (const SuffixCase& c : cases) {
    const std::string file = std::string(temp) + "kv_suffix_" + std::to_string(GetCurrentProcessId()) +
                             "_" + std::to_string(n++) + ".ini";
    testkit::DriverDataTable table;
    table.SetInfo("ModelNameI", "m");
    if (c.suffixed) table.SetInfo("CfgFileI0A", c.suffixed);
    if (c.plain) table.SetInfo("CfgFileI", c.plain);
    ASSERT_TRUE(table.WriteTo(file));
    char out[MAX_PATH] = "junk";
    EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKeyVariant(kInfoCfgFile, out, sizeof(out), file.c_str(), 0, "0A"),
              c.result);
    if (c.result) {
      EXPECT_STREQ(out, c.expected);
      EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKeyVariant(kInfoCfgFile, out, sizeof(out), file.c_str(), 1, "0A"), 1);
      EXPECT_EQ(std::string(out), std::string(temp) + c.expected);
    }
    EXPECT_EQ(DriverModuleLocator::ReadDriverInfoKeyVariant(kInfoWatFile, out, sizeof(out), file.c_str(), 0, "0A"), 0)
        << "only keys 0, 1 and 2 take a suffix";
    DeleteFileA(file.c_str());
  }
}

// The localized module follows the user's language id; the runs under en_US, de_DE and
// ja_JP give three different ids.
TEST_F(LocatorTest, LocalizedModulesFollowTheUsersLanguage) {
  const LANGID user = GetUserDefaultLangID();
  if (const char* lc = std::getenv("LC_ALL")) {
    struct LocaleId {
      const char* prefix;
      LANGID id;
    };
    for (const LocaleId& l : {LocaleId{"ja_JP", 0x411}, LocaleId{"de_DE", 0x407}, LocaleId{"en_US", 0x409}}) {
      if (std::strncmp(lc, l.prefix, 5) == 0) {
        EXPECT_EQ(user, l.id) << lc;
      }
    }
  }
  const unsigned primary = user & 0x3FF;
  const unsigned other_sub = ((user >> 10) + 1) & 0x3F;
  struct LangCase {
    unsigned language;
    int match;
  };
  const LangCase cases[] = {
      {user, 1},                            // full id
      {primary, 1},                         // no sub-language: primary alone decides
      {primary | (other_sub << 10), 0},     // same primary, other sub-language
      {primary == 0x11 ? 0x409u : 0x411u, 0},
  };
  for (const LangCase& c : cases) {
    SetInfoKey(data_file_, "LangIDI", (std::to_string(c.language) + ".LNG").c_str());
    EXPECT_EQ(locator_.IsUserLanguageMatch(printer_->handle()), c.match) << c.language;
    char out[MAX_PATH];
    ASSERT_EQ(locator_.GetUiResourceModulePath(out, sizeof(out)), 1);
    EXPECT_EQ(std::string(out), dir_ + (c.match ? "KVRES64.DLL" : "KVRESE64.DLL")) << c.language;
    ASSERT_EQ(locator_.GetPreviewModulePath(out, sizeof(out)), 1);
    EXPECT_EQ(std::string(out), dir_ + (c.match ? "KVPVW.DLL" : "KVPVWE.DLL"));
    ASSERT_EQ(locator_.GetHelpFilePath(out, sizeof(out)), 1);
    EXPECT_EQ(std::string(out), dir_ + (c.match ? "KVHELP.CHM" : "KVHELPS.CHM"));
  }
  // A missing localized module falls back to the other one.
  SetInfoKey(data_file_, "LangIDI", (std::to_string(user) + ".LNG").c_str());
  SetInfoKey(data_file_, "UIRESModuleI64", nullptr);
  char out[MAX_PATH];
  ASSERT_EQ(locator_.GetUiResourceModulePath(out, sizeof(out)), 1);
  EXPECT_EQ(std::string(out), dir_ + "KVRESE64.DLL");
  SetInfoKey(data_file_, "UIRESModuleI64", "KVRES64.DLL");
  // Without a language key nothing matches.
  SetInfoKey(data_file_, "LangIDI", nullptr);
  EXPECT_EQ(locator_.IsUserLanguageMatch(printer_->handle()), 0);
  SetInfoKey(data_file_, "LangIDI", "1033.LNG");
}

// The shared folder and value 105 are made on first need and remembered afterwards.
TEST_F(LocatorTest, SharedFolderIsCreatedOnceAndRemembered) {
  char program_files[MAX_PATH];
  ASSERT_EQ(DriverModuleLocator::GetProgramFilesPath(program_files, sizeof(program_files)), 1);
  const std::string folder = std::string(program_files) + "\\NORVA\\" + printer_->driver_name();
  const std::string key = "SOFTWARE\\NORVA\\PRINTER\\" + printer_->driver_name();

  char out[MAX_PATH];
  ASSERT_EQ(locator_.GetSharedFolderPath(printer_->driver_name().c_str(), out, sizeof(out)), 1);
  EXPECT_EQ(std::string(out), folder + "\\");
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  // Wine keeps no DACL of files (it maps them to mode bits): the folder's descriptor is
  // checked on its own in SharedFolderDescriptorGrantsTheWorld.
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    char stored[MAX_PATH] = {};
    DWORD size = sizeof(stored);
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &handle), 0);
    EXPECT_EQ(RegQueryValueExA(handle, "KVFilesPath", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(stored), &size),
              0);
    RegCloseKey(handle);
    EXPECT_EQ(std::string(stored), folder + "\\");
  }

  // Afterwards the stored text is the answer, as it stands.
  ASSERT_EQ(locator_.registry().WriteValue(nullptr, nullptr, kValueKvFilesPath, REG_SZ,
                                           "D:\\Moved\\", 11, kViewBoth),
            0);
  ASSERT_EQ(locator_.GetSharedFolderPath(printer_->driver_name().c_str(), out, sizeof(out)), 1);
  EXPECT_STREQ(out, "D:\\Moved\\");
  ASSERT_EQ(locator_.GetUcfFilePath(out, sizeof(out), nullptr), 1);
  EXPECT_STREQ(out, "D:\\Moved\\KVUSER.UCF");
  ASSERT_EQ(locator_.GetWatermarkFilePath(out, sizeof(out)), 1);
  EXPECT_STREQ(out, "D:\\Moved\\KVMARK.WAT");

  RemoveDirectoryA(folder.c_str());
}

TEST(WorldAccess, SharedFolderDescriptorGrantsTheWorld) {
  platform::WorldAccessDescriptor folder = platform::WorldAccessDescriptor::ForSharedFolder();
  ASSERT_TRUE(folder.valid());
  PSECURITY_DESCRIPTOR sd = folder.attributes()->lpSecurityDescriptor;
  EXPECT_TRUE(testkit::GrantsWorld(sd, FILE_ALL_ACCESS, CONTAINER_INHERIT_ACE));
  EXPECT_TRUE(testkit::GrantsWorld(sd, FILE_ALL_ACCESS, OBJECT_INHERIT_ACE));
  EXPECT_FALSE(testkit::GrantsWorld(sd, FILE_ALL_ACCESS, CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE))
      << "two ACEs, one per inheritance";
  platform::WorldAccessDescriptor key = platform::WorldAccessDescriptor::ForSharedKey();
  EXPECT_TRUE(testkit::GrantsWorld(key.attributes()->lpSecurityDescriptor, KEY_ALL_ACCESS,
                                   CONTAINER_INHERIT_ACE));
}

}  // namespace
}  // namespace kalimu::storage
