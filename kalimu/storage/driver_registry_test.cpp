// The registry store on the real registry of the test prefix, in both views.
#include "kalimu/storage/driver_registry.h"

#include <gtest/gtest.h>

#include "testkit/windows/machine_turn.h"
#include "testkit/windows/world_access_check.h"

#include <cstring>
#include <string>
#include <vector>

namespace kalimu::storage {
namespace {

constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;

struct RawValue {
  LONG result = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

RawValue RawRead(HKEY root, const std::string& key, const char* name, REGSAM view) {
  RawValue value;
  HKEY handle = nullptr;
  value.result = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &handle);
  if (value.result != ERROR_SUCCESS) return value;
  DWORD size = 0;
  value.result = RegQueryValueExA(handle, name, nullptr, &value.type, nullptr, &size);
  value.bytes.resize(size);
  if (value.result == ERROR_SUCCESS && size > 0) {
    value.result = RegQueryValueExA(handle, name, nullptr, &value.type, value.bytes.data(), &size);
  }
  RegCloseKey(handle);
  return value;
}

void RawWrite(HKEY root, const std::string& key, const char* name, DWORD type, const void* data,
              DWORD size, REGSAM view) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                            &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
}

bool KeyExists(HKEY root, const std::string& key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

class DriverRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string pid = std::to_string(GetCurrentProcessId());
    driver_ = "KV Registry Test " + pid;
    printer_ = "\\\\host\\KV Printer " + pid;
    driver_key_ = "SOFTWARE\\NORVA\\PRINTER\\" + driver_;
    printer_key_ = driver_key_ + "\\,,host,KV Printer " + pid;
    ASSERT_EQ(store_.Init(printer_.c_str(), driver_.c_str()), 1);
  }
  void TearDown() override {
    for (int view : {1, 2}) {
      DriverRegistry::DeleteKeyTreeA(HKEY_LOCAL_MACHINE, driver_key_.c_str(), view);
      DriverRegistry::DeleteKeyTreeA(HKEY_LOCAL_MACHINE, (driver_key_ + " PSOLVER").c_str(), view);
      DriverRegistry::DeleteKeyTreeA(HKEY_LOCAL_MACHINE,
                                     ("SOFTWARE\\NORVA\\PRINTER\\NORVA Yantra\\" + driver_).c_str(),
                                     view);
      DriverRegistry::DeleteKeyTreeA(HKEY_LOCAL_MACHINE,
                                     ("SOFTWARE\\NORVA\\PRINTER\\CCM\\" + driver_).c_str(), view);
    }
    DriverRegistry::DeleteKeyTreeA(HKEY_CURRENT_USER, driver_key_.c_str(), 0);
  }

  std::string driver_;
  std::string printer_;
  std::string driver_key_;
  std::string printer_key_;
  DriverRegistry store_;
};

TEST(DriverRegistryState, UninitialisedOrBadNamesAnswerNotFound) {
  DriverRegistry store;
  DWORD value = 1;
  DWORD size = 4;
  EXPECT_EQ(store.ReadValue(nullptr, nullptr, kValueInkCheck, &value, &size, 0), 2);
  EXPECT_EQ(store.WriteValue(nullptr, nullptr, kValueInkCheck, REG_DWORD, &value, 4, 0), 2);
  EXPECT_EQ(store.DeleteValue(nullptr, nullptr, kValueKvFilesPath, 0), 2);
  EXPECT_EQ(store.OpenKey("SOFTWARE", kValueCaller, 0), nullptr);
  EXPECT_EQ(store.CreateKeyWithWorldAccess("SOFTWARE\\NORVA\\PRINTER\\x", nullptr, 0), 0);
  EXPECT_EQ(store.Init(nullptr, "driver"), 0);
  EXPECT_EQ(store.Init("printer", nullptr), 0);
  const std::string too_long(300, 'd');
  EXPECT_EQ(store.Init("printer", too_long.c_str()), 0);
  EXPECT_FALSE(store.ready());
}

TEST_F(DriverRegistryTest, KeyPathsOfTheKinds) {
  struct PathCase {
    int kind;
    const char* subkey;
    std::string expected;
  };
  const std::string pid = std::to_string(GetCurrentProcessId());
  const PathCase cases[] = {
      {kKeyPrinter, nullptr, printer_key_},
      {kKeyDriver, nullptr, driver_key_},
      {kKeyPrinterRoot, nullptr, "SOFTWARE\\NORVA\\PRINTER\\"},
      {kKeyPrinterDriverData, nullptr,
       "System\\CurrentControlSet\\control\\Print\\Printers\\,,host,KV Printer " + pid +
           "\\PrinterDriverData"},
      {kKeyMonLptEnv, nullptr, "SOFTWARE\\NORVA\\RXPrinter4\\LPT4\\Env"},
      {kKeyProviderLpt, nullptr, "SOFTWARE\\NORVA\\RXProvider3\\LPT"},
      {kKeySaProfile, nullptr, "SOFTWARE\\NORVA\\SA\\Profile"},
      {kKeyColourCalibration, nullptr,
       "SOFTWARE\\NORVA\\PRINTER\\CCM\\" + driver_ + "\\XXXXXXXXXXXXXXXXXX"},
      {kKeyPsolver, "sub", driver_key_ + " PSOLVER\\sub"},
      {kKeyTsUrl, nullptr, driver_key_ + " TS_URL"},
      {kKeyYantra, "cal", "SOFTWARE\\NORVA\\PRINTER\\NORVA Yantra\\" + driver_ + "\\cal"},
      {kKeyDriverSub, "brs", driver_key_ + "\\brs"},
      {kKeyCaller, "Any\\Key", "Any\\Key"},
  };
  for (const PathCase& c : cases) {
    char out[600];
    ASSERT_EQ(store_.GetKeyPath(c.kind, out, sizeof(out), c.subkey), 1) << c.kind;
    EXPECT_EQ(std::string(out), c.expected) << c.kind;
  }
  char out[600];
  EXPECT_EQ(store_.GetKeyPath(kKeyCaller, out, sizeof(out), nullptr), 0);
  EXPECT_EQ(store_.GetKeyPath(kKeyNone, out, sizeof(out), nullptr), 0);
  EXPECT_EQ(store_.GetKeyPath(kKeyPrinter, out, 10, nullptr), 0);
}

// Each value goes to the key of its kind, with the table's type whatever the caller passes.
TEST_F(DriverRegistryTest, WritesAndReadsUnderEachKeyKindWithTheTablesType) {
  struct ValueCase {
    int id;
    const char* subkey;
    DWORD passed_type;
    std::vector<BYTE> data;
    HKEY root;
    std::string key;
    const char* name;
    DWORD stored_type;
  };
  const std::string yantra = "SOFTWARE\\NORVA\\PRINTER\\NORVA Yantra\\" + driver_ + "\\";
  const std::vector<ValueCase> cases = {
      {kValueRxStatus, nullptr, REG_SZ, {'@', 'B', 'D', 'C', ' ', 'S', 'T'}, HKEY_LOCAL_MACHINE,
       printer_key_, "RX_STATUS", REG_BINARY},
      {kValueKvFilesPath, nullptr, REG_BINARY, {'C', ':', '\\', 'x', '\\', 0},
       HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", REG_SZ},
      {kValueInkInf, nullptr, REG_DWORD, std::vector<BYTE>(32, 7), HKEY_LOCAL_MACHINE,
       printer_key_, "INKINF", REG_BINARY},
      {kValueInkCheck, nullptr, REG_BINARY, {1, 2, 3, 4}, HKEY_LOCAL_MACHINE, printer_key_,
       "INKCHECK", REG_DWORD},
      {kValuePmFlag, nullptr, REG_DWORD, {5, 0}, HKEY_LOCAL_MACHINE, driver_key_, "PMFlag",
       REG_BINARY},
      {kValueMesDlgFlag, nullptr, REG_DWORD, {1, 0, 0, 0}, HKEY_CURRENT_USER, driver_key_,
       "MESDLG_FLAG", REG_DWORD},
      {kValueYantraFlag, "cal1", REG_DWORD, {9, 0, 0, 0}, HKEY_LOCAL_MACHINE, yantra + "cal1",
       "Flag", REG_DWORD},
      {kValueCalFn, "cal1", REG_SZ, {'a', '.', 'c', 0}, HKEY_LOCAL_MACHINE, yantra + "cal1",
       "CalFN", REG_SZ},
  };
  for (const ValueCase& c : cases) {
    ASSERT_EQ(store_.WriteValue(c.subkey, nullptr, c.id, c.passed_type, c.data.data(),
                                static_cast<DWORD>(c.data.size()), 1),
              0)
        << c.id;
    const RawValue raw = RawRead(c.root, c.key, c.name, kView64);
    ASSERT_EQ(raw.result, ERROR_SUCCESS) << c.id;
    EXPECT_EQ(raw.type, c.stored_type) << c.id;
    EXPECT_EQ(raw.bytes, c.data) << c.id;

    std::vector<BYTE> back(300, 0xCC);
    DWORD size = static_cast<DWORD>(back.size());
    EXPECT_EQ(store_.ReadValue(c.subkey, nullptr, c.id, back.data(), &size, 1), 0) << c.id;
    EXPECT_EQ(size, c.data.size()) << c.id;
    EXPECT_TRUE(std::equal(c.data.begin(), c.data.end(), back.begin())) << c.id;
  }
  // Through the table lookup as well.
  DWORD flag = 0;
  DWORD size = 4;
  EXPECT_EQ(store_.ReadValueById(kValueInkCheck, &flag, &size, 1), 0);
  EXPECT_EQ(flag, 0x04030201u);
  EXPECT_EQ(store_.WriteValueById(kValueInkCheck, "\x11\0\0\0", 4, 1), 0);
  EXPECT_EQ(store_.ReadValueById(kValueInkCheck, &flag, &size, 1), 0);
  EXPECT_EQ(flag, 0x11u);
}

TEST_F(DriverRegistryTest, UnnamedValuesAndReadOnlyIds) {
  // Ids 0-4 read the unnamed value of their key with the caller's size.
  RawWrite(HKEY_LOCAL_MACHINE, driver_key_, nullptr, REG_SZ, "driver default", 15, kView64);
  char text[32] = {};
  DWORD size = sizeof(text);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kKeyDriver, text, &size, 1), 0);
  EXPECT_STREQ(text, "driver default");
  // 106 lives in the colour-calibration key, is read as 2 bytes, never written, but deleted.
  const std::string ccm = "SOFTWARE\\NORVA\\PRINTER\\CCM\\" + driver_ + "\\XXXXXXXXXXXXXXXXXX";
  RawWrite(HKEY_LOCAL_MACHINE, ccm, "Flag", REG_BINARY, "\x07\x00", 2, kView64);
  WORD flag = 0;
  size = 4;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueCalibrationFlag, &flag, &size, 1), 0);
  EXPECT_EQ(flag, 7);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(store_.WriteValue(nullptr, nullptr, kValueCalibrationFlag, REG_DWORD, &flag, 2, 1), 2);
  EXPECT_EQ(store_.DeleteValue(nullptr, nullptr, kValueCalibrationFlag, 1), 0);
  // A missing key answers the open error and reads nothing.
  DWORD value = 0xABCD;
  size = 4;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueInkCheck, &value, &size, 1), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(value, 0xABCDu);
}

TEST_F(DriverRegistryTest, ValuesOutsideTheWritableSetAreRefused) {
  const BYTE time[16] = {1};
  EXPECT_EQ(store_.WriteValue(nullptr, nullptr, kValueRxTime, REG_BINARY, time, 16, 4), 2);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, printer_key_, kView64));
  EXPECT_EQ(store_.WriteValue(nullptr, nullptr, 999, REG_DWORD, time, 4, 4), 2);
  EXPECT_EQ(store_.WriteValueById(999, time, 4, 4), 2);
  DWORD size = 16;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueInstallPath, nullptr, &size, 0), 2);
  EXPECT_EQ(store_.DeleteValue(nullptr, nullptr, kValueInkCheck, 4), 2);
}

// The stored value never overruns a smaller caller's buffer; it is reported as not fitting.
TEST_F(DriverRegistryTest, ReadUsesTheSmallerOfTableAndCallerSize) {
  std::vector<BYTE> status(200, 'S');
  ASSERT_EQ(store_.WriteValue(nullptr, nullptr, kValueRxStatus, REG_BINARY, status.data(), 200, 1), 0);
  BYTE buffer[64];
  std::memset(buffer, 0xCC, sizeof(buffer));
  DWORD size = 16;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueRxStatus, buffer, &size, 1), ERROR_MORE_DATA);
  EXPECT_EQ(buffer[16], 0xCC) << "nothing past the caller's size";
  // A larger variable than the table's 256 is brought down to the table's size.
  std::vector<BYTE> big(1000, 0xCC);
  size = 1000;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueRxStatus, big.data(), &size, 1), 0);
  EXPECT_EQ(size, 200u) << "the stored length";
}

TEST_F(DriverRegistryTest, WrongTypeOrSizeInTheRegistryIsAClearFailure) {
  RawWrite(HKEY_LOCAL_MACHINE, printer_key_, "INKCHECK", REG_SZ, "12", 3, kView64);
  DWORD value = 0xDEAD;
  DWORD size = 4;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueInkCheck, &value, &size, 1), ERROR_INVALID_DATA);
  RawWrite(HKEY_LOCAL_MACHINE, printer_key_, "INKCHECK", REG_BINARY, "\1\2", 2, kView64);
  size = 4;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueInkCheck, &value, &size, 1), ERROR_INVALID_DATA);
  RawWrite(HKEY_LOCAL_MACHINE, printer_key_, "INKCHECK", REG_DWORD, "\1\2\3\4\5\6\7\10", 8, kView64);
  size = 4;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueInkCheck, &value, &size, 1), ERROR_MORE_DATA);
  // A string stored without terminator that fills the buffer is not handed out unterminated.
  std::string path(260, 'p');
  RawWrite(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", REG_BINARY, path.data(), 260, kView64);
  char text[260];
  size = sizeof(text);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueKvFilesPath, text, &size, 1), ERROR_INVALID_DATA);
  RawWrite(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", REG_SZ, path.data(), 260, kView64);
  size = sizeof(text);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueKvFilesPath, text, &size, 1), ERROR_MORE_DATA);
  RawWrite(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", REG_SZ, path.data(), 10, kView64);
  size = sizeof(text);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueKvFilesPath, text, &size, 1), 0);
  EXPECT_STREQ(text, "pppppppppp");
}

TEST_F(DriverRegistryTest, BothViewsAnswerZeroOnlyWhenBothSucceeded) {
  const char* path = "C:\\shared\\";
  ASSERT_EQ(store_.WriteValue(nullptr, nullptr, kValueKvFilesPath, REG_SZ, path, 11, 4), 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", kView64).result, 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", kView32).result, 0);
  // Deleted from the 32-bit view only: a both-view delete fails in one view and answers 1.
  EXPECT_EQ(store_.DeleteValue(nullptr, nullptr, kValueKvFilesPath, 2), 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", kView64).result, 0);
  EXPECT_EQ(store_.DeleteValue(nullptr, nullptr, kValueKvFilesPath, 4), 1);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, driver_key_, "KVFilesPath", kView64).result,
            ERROR_FILE_NOT_FOUND);

  // One view written: the other stays empty; a view-4 read uses the default view.
  DWORD on = 1;
  ASSERT_EQ(store_.WriteValue(nullptr, nullptr, kValueSilent, REG_DWORD, &on, 4, 2), 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, driver_key_, "Silent", kView64).result, ERROR_FILE_NOT_FOUND);
  DWORD size = 4;
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueSilent, &on, &size, 4), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueSilent, &on, &size, 2), 0);
}

TEST_F(DriverRegistryTest, CallersKeyAndValueName) {
  const std::string key = driver_key_ + "\\Caller";
  const DWORD data = 0x1234;
  EXPECT_EQ(store_.WriteValue(nullptr, "V", kValueCaller, REG_DWORD, &data, 4, 4), 2);
  EXPECT_EQ(store_.WriteValue(key.c_str(), nullptr, kValueCaller, REG_SZ, "unnamed", 8, 4), 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, key, nullptr, kView64).type, static_cast<DWORD>(REG_SZ));
  ASSERT_EQ(store_.WriteValue(key.c_str(), "V", kValueCaller, REG_QWORD, &data, 4, 4), 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, key, "V", kView32).type, static_cast<DWORD>(REG_QWORD));
  DWORD back = 0;
  DWORD size = 4;
  EXPECT_EQ(store_.ReadValue(key.c_str(), "V", kValueCaller, &back, &size, 1), 0);
  EXPECT_EQ(back, data);
  size = 4;
  EXPECT_EQ(store_.QueryValue(key.c_str(), "V", kValueCaller, &back, &size, 2), 0);
  // A size without a buffer is answered with the stored size.
  size = 0;
  EXPECT_EQ(store_.QueryValue(key.c_str(), "V", kValueCaller, nullptr, &size, 2), 0);
  EXPECT_EQ(size, 4u);
  ASSERT_EQ(store_.WriteValueV(key.c_str(), "S", kValueCaller, REG_SZ, "txt", 4, 1), 0);
  EXPECT_EQ(RawRead(HKEY_LOCAL_MACHINE, key, "S", kView64).type, static_cast<DWORD>(REG_SZ));
  HKEY open = store_.OpenKey(key.c_str(), kValueCaller, 1);
  ASSERT_NE(open, nullptr);
  char name[64];
  DWORD name_len = sizeof(name);
  EXPECT_EQ(store_.EnumSubKey(open, 0, name, &name_len, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(store_.CloseKey(open), 1);
  EXPECT_EQ(store_.DeleteValue(key.c_str(), "V", kValueCaller, 4), 0);
  EXPECT_EQ(store_.DeleteValue(key.c_str(), nullptr, kValueCaller, 4), 2);
  // An over-long key is refused before anything is written.
  const std::string long_key = driver_key_ + "\\" + std::string(600, 'k');
  EXPECT_EQ(store_.WriteValue(long_key.c_str(), "V", kValueCaller, REG_DWORD, &data, 4, 1),
            ERROR_INVALID_PARAMETER);
}

TEST_F(DriverRegistryTest, KeysAreDeletedOnlyWhenEmptyOrAsATree) {
  const std::string key = driver_key_ + "\\Tree";
  const DWORD data = 1;
  ASSERT_EQ(store_.WriteValue(key.c_str(), "V", kValueCaller, REG_DWORD, &data, 4, 4), 0);
  EXPECT_EQ(store_.DeleteKey(key.c_str(), kValueCaller, 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(store_.DeleteKey(key.c_str(), kValueCaller, 4), 1);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key, kView64));
  ASSERT_EQ(store_.WriteValue((key + "\\a\\b").c_str(), "V", kValueCaller, REG_DWORD, &data, 4, 4), 0);
  EXPECT_EQ(store_.DeleteKeyTree(key.c_str(), kValueCaller, 4), 0);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key, kView64));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key, kView32));
  DWORD disposition = 0;
  EXPECT_EQ(store_.CreateKey(key.c_str(), kValueCaller, 0, KEY_ALL_ACCESS | kView64, nullptr,
                             &disposition),
            0);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_EQ(store_.DeleteKey(key.c_str(), kValueCaller, 1), 0);
}

// A write to a missing driver key creates it in both views open to everyone.
TEST_F(DriverRegistryTest, CreatedKeysGrantTheWorldFullAccess) {
  const DWORD data = 3;
  ASSERT_EQ(store_.WriteValue(nullptr, nullptr, kValuePaperCheck, REG_DWORD, &data, 4, 4), 0);
  for (REGSAM view : {kView64, kView32}) {
    EXPECT_TRUE(testkit::KeyGrantsWorld(HKEY_LOCAL_MACHINE, driver_key_.c_str(), view,
                                        KEY_ALL_ACCESS, CONTAINER_INHERIT_ACE))
        << "view " << view;
  }
}

TEST_F(DriverRegistryTest, MonitorValuesLiveBelowTheMonitorKeys) {
  testkit::MachineTurn turn("KalimuMonitorValueTestTurn");
  const char* path = "C:\\mon\\lpt";
  ASSERT_EQ(store_.WriteValue(nullptr, nullptr, kValueMonLptPath, REG_DWORD, path, 11, 1), 0);
  const RawValue raw = RawRead(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA\\RXPrinter4\\LPT4", "Path", kView64);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  char back[260];
  DWORD size = sizeof(back);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kValueMonLptPath, back, &size, 1), 0);
  EXPECT_STREQ(back, path);
  EXPECT_EQ(store_.ReadValue(nullptr, nullptr, kKeyNorva, nullptr, nullptr, 0), 0)
      << "opening the key alone";
  EXPECT_EQ(store_.DeleteValue(nullptr, nullptr, kValueMonLptPath, 1), 0);
}

}  // namespace
}  // namespace kalimu::storage
