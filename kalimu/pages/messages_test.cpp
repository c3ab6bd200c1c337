// The message boxes: the fixed table, the numbered settings messages with their prefix lines,
// and the support button's errors, shown for real and caught by a message-box watcher.
#include "kalimu/pages/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/settings/printer_reg_values.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::pages {
namespace {

using test::InkModel;
using test::PageFixture;

class Messages : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  std::string Str(UINT id) {
    char text[600] = {};
    LoadStringA(fixture_.module(), id, text, sizeof(text));
    return text;
  }
  PageFixture fixture_{InkModel(8, true)};
};

TEST_F(Messages, FixedTableRows) {
  struct Row {
    UINT caption, text;
    int answer;  // what a box answered with Yes pressed on every box
  };
  constexpr int kOk = IDOK, kYes = IDYES;
  const Row rows[] = {
      {5000, 5010, kOk},  {5000, 5011, kOk},  {5001, 5015, kOk}, {5002, 5018, kOk},  {5000, 5012, kOk},
      {5001, 5016, kOk},  {5002, 5019, kOk},  {5003, 5015, kOk}, {5004, 5022, kOk},  {5002, 5020, kOk},
      {5000, 5013, kYes}, {5003, 5021, kYes}, {5004, 5023, kYes}, {5001, 5017, kOk}, {5000, 5014, kYes},
      {5001, 5024, kOk},  {5037, 5039, kOk},  {5037, 5040, kOk}, {5038, 5039, kOk},  {5038, 5040, kOk},
      {5038, 5041, kOk},  {5038, 5042, kOk},  {5038, 5044, kOk}, {5038, 5043, kOk},  {5038, 5045, kOk},
  };
  for (int row = 0; row < 25; ++row) {
    // A box with OK only answers OK to the Yes button's id too (it has no such button).
    testkit::MessageBoxWatcher watcher(rows[row].answer);
    EXPECT_EQ(ShowTableMessage(nullptr, fixture_.param(), row), rows[row].answer) << row;
    ASSERT_EQ(watcher.shown().size(), 1u) << row;
    EXPECT_EQ(watcher.shown()[0].caption, Str(rows[row].caption)) << row;
    EXPECT_EQ(watcher.shown()[0].text, Str(rows[row].text)) << row;
    EXPECT_FALSE(watcher.shown()[0].text.empty()) << row;
  }
  testkit::MessageBoxWatcher watcher;
  for (int row : {-1, 25, 0x10000 + 25}) EXPECT_EQ(ShowTableMessage(nullptr, fixture_.param(), row), 0) << row;
  EXPECT_TRUE(watcher.shown().empty());
}

TEST_F(Messages, SettingsMessageCases) {
  settings::JobSettings& s = fixture_.settings();
  // Media name of the current media and the mode's media string, as the prefix lines show them.
  const std::string media = Str(static_cast<UINT>(settings::GetMediaNameStringId(s.GetCurrentMediaNameId())));
  int32_t value = 0, table = 0;
  s.GetPrintModeValue4(s.GetCurrentModeIndex(), &value);
  s.GetTable5Value0(static_cast<uint16_t>(value), &table);
  const std::string mode = Str(static_cast<UINT>(1200 + table));
  ASSERT_FALSE(media.empty());
  ASSERT_FALSE(mode.empty());
  const std::string source = Str(GetSourceCaptionId(s));
  const std::string media_line = "<<" + media + ">>\n";
  const std::string mode_line = "<<" + media + "/" + mode + ">>\n";
  int32_t type1 = 0;
  s.GetMediaTypeValue16(1, &type1);

  struct Case {
    int number;
    std::string caption;
    std::string text;
  };
  const Case cases[] = {
      {0, Str(8022), Str(8021)},    {1, Str(8018), Str(8017)},     {2, Str(8020), Str(8019)},
      {3, Str(8025), Str(8024)},    {4, Str(8031), Str(8032)},     {6, Str(8028), Str(8027)},
      {7, Str(8028), Str(8030)},    {8, Str(8028), Str(8029)},     {9, Str(8028), Str(8019)},
      {10, Str(8025), Str(8052)},   {11, Str(8014), Str(8013)},    {12, Str(8025), Str(8038)},
      {13, Str(8036), Str(8053)},   {14, Str(8036), Str(8037)},    {15, Str(8036), Str(8038)},
      {16, Str(8018), Str(8021)},   {17, source, media_line + Str(8093)},
      {19, source, Str(8101) + Str(8095)},                          {20, Str(1504), media_line + Str(8093)},
      {21, Str(8099), Str(8098)},   {23, "", ""},                  {24, Str(2198), Str(2199)},
      {25, s.GetDriverName(), Str(2039)},                          {27, s.GetDriverName(), Str(2037)},
      {28, Str(1502), mode_line + Str(8094)},                      {29, Str(1542), media_line + Str(8093)},
      {30, Str(1542), mode_line + Str(8094)},                      {31, Str(1501), media_line + Str(8093)},
      {32, Str(1501), mode_line + Str(8094)},
      {33, Str(static_cast<UINT>(settings::GetMediaNameStringId(type1))), Str(8104)},
      {34, Str(8105), Str(8106)},   {35, Str(2258), Str(8101) + Str(8095)},
      {36, Str(2515), Str(2516)},   {37, Str(2438), Str(2439)},    {38, Str(1504), media_line + Str(8093)},
      {39, Str(1502), media_line + Str(8093)},                      {40, "", Str(8093)},
      {41, "", Str(8094)},          {42, Str(1500), Str(8093)},    {43, Str(1500), Str(8094)},
      {44, Str(1548), media_line + Str(8093)},                      {45, Str(1549), media_line + Str(8093)},
      {46, Str(1548), mode_line + Str(8094)},                      {47, Str(8136), Str(8095)},
      {48, Str(1544), media_line + Str(8093)},                      {49, Str(1544), mode_line + Str(8094)},
      {50, "", ""},                 {-1, "", ""},
  };
  for (const Case& c : cases) {
    MessageText message;
    BuildSettingsMessage(fixture_.param(), c.number, &message);
    EXPECT_EQ(std::string(message.caption), c.caption) << c.number;
    EXPECT_EQ(std::string(message.text), c.text) << c.number;
  }
}

// Case 18 adds string 8005 when the mode lacks mode flag 0x100 and mode option bit 2 is set.
TEST(SettingsMessage, Case18NamesTheModeOption) {
  testkit::ModelDescription model = InkModel(8, true);
  for (auto& mode : model.modes) mode.flags20 &= ~0x100u;
  PageFixture fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  char option[64] = {};
  LoadStringA(fixture.module(), 8005, option, sizeof(option));
  ASSERT_NE(option[0], '\0');
  for (int on : {0, 1}) {
    fixture.settings().SetModeOptionBits(2, on);
    MessageText message;
    BuildSettingsMessage(fixture.param(), 18, &message);
    const std::string text = message.text;
    const size_t end = text.find(">>\n");
    ASSERT_EQ(text.rfind("<<", 0), 0u) << text;
    ASSERT_NE(end, std::string::npos) << text;
    const std::string prefix = text.substr(2, end - 2);
    const size_t parts = static_cast<size_t>(std::count(prefix.begin(), prefix.end(), '/')) + 1;
    EXPECT_EQ(parts, on ? 3u : 2u) << prefix;
    EXPECT_EQ(prefix.size() >= std::strlen(option) && prefix.substr(prefix.size() - std::strlen(option)) == option,
              on == 1)
        << prefix;
  }
}

// Case 22 compares the stored ink set (value 108) with the model's default: absent compares
// nothing (string 3025); a stored count past 16 codes compares 16.
TEST_F(Messages, Case22InkSetLines) {
  const auto lines = [&] {
    MessageText message;
    BuildSettingsMessage(fixture_.param(), 22, &message);
    return std::string(message.text);
  };
  fixture_.printer().ForgetInkSet();
  EXPECT_EQ(lines(), Str(8150) + "\n" + Str(3025) + "\n" + Str(8155));
  ASSERT_TRUE(fixture_.printer().StoreInkSet(0));
  EXPECT_EQ(lines(), Str(8150) + "\n" + Str(3025) + "\n" + Str(8155));
  ASSERT_TRUE(fixture_.printer().StoreInkSet(1));
  EXPECT_EQ(lines(), Str(8150) + "\n" + Str(3024) + "\n" + Str(8155));
  uint8_t codes[16] = {};
  uint8_t defaults[16] = {};
  fixture_.settings().GetInkSetCodes(0, defaults, sizeof(defaults));
  std::memcpy(codes, defaults, sizeof(codes));
  ASSERT_TRUE(fixture_.printer().StoreInkCodes(codes, 255));
  EXPECT_EQ(lines(), Str(8150) + "\n" + Str(3025) + "\n" + Str(8155));
  fixture_.printer().ForgetInkSet();
}

TEST_F(Messages, ShownWithTheCallersStyleAndTheDriverNameCaption) {
  testkit::MessageBoxWatcher watcher(IDNO);
  EXPECT_EQ(ShowSettingsMessage(nullptr, fixture_.param(), MB_YESNO, 26), IDNO);
  ASSERT_EQ(watcher.shown().size(), 1u);
  EXPECT_EQ(watcher.shown()[0].caption, fixture_.settings().GetDriverName());
  EXPECT_EQ(watcher.shown()[0].text, Str(8254));
}

class SupportButton : public Messages {
 protected:
  void TearDown() override { ClearKeys(); }
  std::string Key(const char* suffix) { return std::string("SOFTWARE\\NORVA\\") + fixture_.record().DriverName + suffix; }
  void Put(const char* suffix, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (Key(suffix) + "\\E").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  void ClearKeys() {
    for (const char* suffix : {" PSOLVER", " TS_URL"}) {
      for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY parent = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NORVA", 0, KEY_ALL_ACCESS | view, &parent) == ERROR_SUCCESS) {
          RegDeleteTreeA(parent, (std::string(fixture_.record().DriverName) + suffix).c_str());
          RegCloseKey(parent);
        }
      }
    }
  }
  std::string ErrorText(int number) {
    const std::string format = Str(2050);
    const size_t at = format.find("%d");
    return at == std::string::npos ? format : format.substr(0, at) + std::to_string(number) + format.substr(at + 2);
  }
};

TEST_F(SupportButton, ErrorNumbersOfTheSupportKey) {
  {
    testkit::MessageBoxWatcher watcher;
    OpenSupportPage(nullptr, fixture_.param());
    ASSERT_EQ(watcher.shown().size(), 1u);
    EXPECT_EQ(watcher.shown()[0].caption, Str(2049));
    EXPECT_EQ(watcher.shown()[0].text, ErrorText(1));
  }
  // A support page that cannot be opened: asked first, then error 4.
  Put(" TS_URL", "TSupportURL", "C:\\no\\such\\folder\\support.htm");
  {
    testkit::MessageBoxWatcher watcher(IDYES);
    OpenSupportPage(nullptr, fixture_.param());
    ASSERT_EQ(watcher.shown().size(), 2u);
    EXPECT_EQ(watcher.shown()[0].caption, Str(2051));
    EXPECT_EQ(watcher.shown()[0].text, Str(2052));
    EXPECT_EQ(watcher.shown()[1].text, ErrorText(4));
  }
  {
    testkit::MessageBoxWatcher watcher(IDNO);
    OpenSupportPage(nullptr, fixture_.param());
    EXPECT_EQ(watcher.shown().size(), 1u) << "No stops after the question";
  }
}

// The problem-solver program opens for real through the shell: the test kit's program records
// its start.
TEST_F(SupportButton, ProblemSolverProgramStarts) {
  testkit::ProgramRecorder recorder;
  ASSERT_TRUE(recorder.ok());
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  const std::string program = std::string(temp) + "KVSOLVE.EXE";
  ASSERT_TRUE(recorder.InstallAs(program));
  Put(" PSOLVER", "KeyFile", program);
  testkit::MessageBoxWatcher watcher;
  OpenSupportPage(nullptr, fixture_.param());
  EXPECT_TRUE(watcher.shown().empty());
  EXPECT_EQ(recorder.WaitForLaunches("KVSOLVE").size(), 1u);
  recorder.WaitForEnds("KVSOLVE");
  DeleteFileA(program.c_str());
}

// The button is shown for a support key and enabled only when an HTML viewer is registered.
TEST_F(SupportButton, ButtonFollowsTheKeyAndTheViewer) {
  HWND host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "Support", WS_CHILD, 0, 0, 50, 20, host,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(2053)), nullptr, nullptr);
  const auto visible = [&] { return (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) != 0; };
  EXPECT_EQ(ShowSupportButton(host, fixture_.param(), 2054), 0);
  EXPECT_EQ(ShowSupportButton(host, fixture_.param(), 2053), 1);
  EXPECT_FALSE(visible());
  Put(" TS_URL", "TSupportURL", "http://support.example/");
  EXPECT_EQ(ShowSupportButton(host, fixture_.param(), 2053), 1);
  EXPECT_TRUE(visible());
  EXPECT_EQ(IsWindowEnabled(button) != FALSE, IsHtmlViewerAvailable() == 1);
  DestroyWindow(host);
}

}  // namespace
}  // namespace kalimu::pages
