// The printer adjustment dialog's real window on a printer with the status stand-ins: where the
// values come from (a stored reply, the refresh helper answering flag 2, 1 or 0, a helper that
// does not start, no printer talk, a reply of another channel count), the fields the model
// has, the field checks, OK storing the values with the printer's readings kept, Cancel with
// the focus in a field, and the cutter switch in both registry views.
#include "kalimu/dialogs/printer_adjust_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kalimu/dialogs/dialog_test_support.h"
#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/pages/control_test_support.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/utility_page.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/standins/status_switches.h"
#include "testkit/status/status_replies.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/program_recorder.h"

namespace kalimu::dialogs {
namespace {

using test::Enabled;
using test::Shown;
using test::TextOf;
using test::ModalRun;
using test::Step;
using testkit::BinaryReply;
using testkit::Bytes;

// A reply with the channel rows {row 1, row 2} (two bytes per channel), IWF, HT and RT, the
// cutter reading and the inks of the model's default ink set.
Bytes AdjustReply(std::vector<uint8_t> channels, uint8_t cutter = 1) {
  Bytes values{0x0A};
  values.insert(values.end(), channels.begin(), channels.end());
  return BinaryReply()
      .Status(1)
      .Record(11, values)
      .Record(20, {cutter})
      .Record(21, {31, 32})
      .Record(27, {200, 201, 202, 203})
      .Record(29, {17})
      .Inks({{0x0501, 40}, {0x4B01, 50}})
      .Build();
}

std::string Hex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

ULONGLONG g_now = 0;
ULONGLONG WINAPI TestClock() { return g_now; }

class PrinterAdjustDialogTest : public ::testing::Test {
 protected:
  explicit PrinterAdjustDialogTest(const testkit::ModelDescription& model = PrinterAdjustModel()) : printer_(model) {}

  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_TRUE(printer_.model_printer().InstallResourceLibrary());
    ASSERT_NE(library_.module(), nullptr);
    settings_ = NewJobSettings(printer_.model_printer(), &record_);
    ASSERT_TRUE(settings_->IsValid());
    std::memset(&shared_, 0, sizeof(shared_));
    std::memset(&context_, 0, sizeof(context_));
    shared_.resource_module = context_.resource_module = library_.module();
    param_ = {settings_.get(), &shared_, &context_};
    previous_clock_ = SetPrinterAdjustClock(&TestClock);
    g_now = 1000;
  }
  void TearDown() override {
    SetPrinterAdjustClock(previous_clock_);
    pages::RemovePageToolTipHooks();
  }

  // A fresh reply stored as the helper would store it.
  void StoreReply(const Bytes& reply) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int32_t flag = status::kRequestReplyStored;
    printer_.WriteValue("RX_FLAG", REG_BINARY, &flag, sizeof flag);
    printer_.WriteValue("RX_TIME", REG_BINARY, &now, sizeof now);
    printer_.WriteValue("RX_STATUS", REG_BINARY, reply.data(), static_cast<DWORD>(reply.size()));
  }

  INT_PTR Run(std::vector<Step> steps) {
    return ModalRun::RunSteps(library_.module(), nullptr, &PrinterAdjustDlgProc, 2350, &param_, std::move(steps));
  }

  std::optional<uint32_t> CutterIn(REGSAM view) {
    auto bytes = printer_.ReadValue("CUTTERINFO", view);
    if (!bytes || bytes->size() != 4) return std::nullopt;
    uint32_t value;
    std::memcpy(&value, bytes->data(), 4);
    return value;
  }

  testkit::StatusPrinter printer_;
  pages::test::ControlLibrary library_;
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
  pages::PageShared shared_;
  driver::SheetContext context_;
  pages::PageParam param_{};
  AdjustClock previous_clock_ = nullptr;
};

// Waits until OK is enabled: the values have arrived.
Step Answered() {
  return [](HWND dialog) { return Enabled(dialog, kAdjustOk); };
}

TEST_F(PrinterAdjustDialogTest, ValuesComeFromThePrinterOrTheStore) {
  struct Case {
    const char* name;
    const char* helper_flag;  // null: no refresh helper
    bool stored_reply;
    bool no_printer_talk;
    bool wait_out;            // the helper never answers: the clock passes the limit
    std::vector<uint8_t> channels;
    bool from_printer;
  };
  const Case cases[] = {
      {"fresh stored reply", "2", true, false, false, {1, 2, 0xFE, 4, 5, 6}, true},
      {"helper answers flag 2", "2", false, false, false, {1, 2, 0xFE, 4, 5, 6}, true},
      {"helper answers flag 1", "1", false, false, false, {1, 2, 0xFE, 4, 5, 6}, false},
      {"helper keeps flag 0", "0", false, false, true, {1, 2, 0xFE, 4, 5, 6}, false},
      {"no printer talk", "2", true, true, false, {1, 2, 0xFE, 4, 5, 6}, false},
      {"channel count mismatch", "2", true, false, false, {1, 2, 3, 4}, false},
      {"helper not started", nullptr, false, false, false, {1, 2, 0xFE, 4, 5, 6}, false},  // last: the helper goes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    printer_.DeleteValue("RX_FLAG");
    printer_.DeleteValue("RX_STATUS");
    printer_.DeleteValue("RX_HEADID");
    settings::DevModeAccessor(&record_).SetNoBidiFlagBits(4, c.no_printer_talk ? 1 : 0);
    const Bytes reply = AdjustReply(c.channels);
    if (c.stored_reply) StoreReply(reply);
    if (c.helper_flag == nullptr) {
      ASSERT_TRUE(printer_.RemoveFile(printer_.helper_file()));
    }
    printer_.SetSwitch(testkit::kRefreshFlagVar, c.helper_flag);
    printer_.SetSwitch(testkit::kRefreshReplyVar, Hex(reply).c_str());
    g_now = 1000;
    std::string status_text, row1[3], row2[1], iwf, ht, rt;
    bool send = false, ok = false;
    std::vector<Step> steps;
    if (c.wait_out) {
      steps.push_back([](HWND dialog) {
        // Still waiting with only Cancel open, until the clock passes the limit.
        EXPECT_FALSE(Enabled(dialog, kAdjustOk));
        EXPECT_FALSE(Enabled(dialog, kAdjustSend));
        EXPECT_TRUE(Enabled(dialog, kAdjustCancel));
        g_now += kAdjustWaitMilliseconds;
        return true;
      });
    }
    steps.push_back(Answered());
    steps.push_back([&](HWND dialog) {
      status_text = TextOf(dialog, kAdjustStatusText);
      for (int i = 0; i < 3; ++i) row1[i] = TextOf(dialog, kAdjustRow1Fields[i]);
      row2[0] = TextOf(dialog, kAdjustRow2Fields[0]);
      iwf = TextOf(dialog, kAdjustIwfFields[1]);
      ht = TextOf(dialog, kAdjustHtFields[3]);
      rt = TextOf(dialog, kAdjustRtField);
      send = Enabled(dialog, kAdjustSend);
      ok = Enabled(dialog, kAdjustOk);
      return true;
    });
    steps.push_back(test::Press(kAdjustCancel));
    EXPECT_EQ(Run(std::move(steps)), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(send, !c.from_printer);
    if (c.from_printer) {
      EXPECT_EQ(status_text, "The values were read from the printer.");
      EXPECT_EQ(row1[0], "1");
      EXPECT_EQ(row1[2], "-2");  // signed bytes
      EXPECT_EQ(row2[0], "4");
      EXPECT_EQ(iwf, "32");
      EXPECT_EQ(ht, "203");
      EXPECT_EQ(rt, "17");
    } else {
      EXPECT_NE(status_text, "The values were read from the printer.");
      EXPECT_FALSE(status_text.empty());
      // The default record, written at opening.
      EXPECT_EQ(row1[0], "50");
      EXPECT_EQ(row2[0], "50");
      EXPECT_EQ(iwf, "50");
      EXPECT_EQ(ht, "0");
      HeadAdjustRecord stored{};
      EXPECT_EQ(ReadAdjustRecord(*settings_, &stored), 1);
    }
  }
}

TEST_F(PrinterAdjustDialogTest, FieldsFollowTheModel) {
  printer_.SetSwitch(testkit::kRefreshFlagVar, "1");
  std::vector<std::pair<int, bool>> shown;
  Run({Answered(),
       [&](HWND dialog) {
         for (int i = 0; i < 8; ++i) {
           shown.push_back({kAdjustRow1Fields[i], Shown(dialog, kAdjustRow1Fields[i])});
           shown.push_back({kAdjustRow2Fields[i], Shown(dialog, kAdjustRow2Fields[i])});
         }
         for (int i = 0; i < 7; ++i) shown.push_back({kAdjustRow1Separators[i], Shown(dialog, kAdjustRow1Separators[i])});
         for (int i = 0; i < 4; ++i) {
           shown.push_back({kAdjustIwfFields[i], Shown(dialog, kAdjustIwfFields[i])});
           shown.push_back({kAdjustHtFields[i], Shown(dialog, kAdjustHtFields[i])});
         }
         shown.push_back({kAdjustRtField, Shown(dialog, kAdjustRtField)});
         return true;
       },
       test::Press(kAdjustCancel)});
  for (const auto& [control, visible] : shown) {
    const bool expected = control == 2353 || control == 2354 || control == 2355 || control == 2377 ||
                          control == 2378 || control == 2379 || control == 2360 || control == 2361 ||
                          control == 8256 || control == 8257 || (control >= 8264 && control <= 8267) ||
                          control == kAdjustRtField;
    EXPECT_EQ(visible, expected) << control;
  }
}

TEST_F(PrinterAdjustDialogTest, FieldChecksAndOkKeepThePrintersReadings) {
  printer_.SetSwitch(testkit::kRefreshFlagVar, "1");
  HeadAdjustRecord read{};
  read.valid = 1;
  read.ink_count = 3;
  read.cartridge_flag = 0x11;
  read.paper_path_value = 0x22;
  ASSERT_EQ(WriteAdjustRecord(*settings_, read), 1);
  testkit::MessageBoxWatcher boxes;
  auto type = [](int control, const char* text) {
    return [control, text](HWND dialog) {
      SetFocus(GetDlgItem(dialog, control));
      SetDlgItemTextA(dialog, control, text);
      SetFocus(GetDlgItem(dialog, kAdjustCancel));  // the field loses the focus: its check runs
      return true;
    };
  };
  std::vector<std::string> after_typing;
  const INT_PTR result = Run({
      Answered(),
      test::Press(kAdjustSend),
      type(kAdjustRow1Fields[0], "7a"),
      type(kAdjustHtFields[0], "256"),
      type(kAdjustHtFields[1], "255"),
      [&](HWND) {
        for (const auto& box : boxes.shown()) after_typing.push_back(box.text);
        return true;
      },
      // OK refuses the channel field first (99), then the HT field (255), and stays open.
      test::Press(kAdjustOk),
      type(kAdjustRow1Fields[0], "7"),
      test::Press(kAdjustOk),
      type(kAdjustHtFields[0], "0"),
      type(kAdjustRow2Fields[2], "99"),
      test::Press(kAdjustOk),
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(after_typing, (std::vector<std::string>{"Enter a value from 0 to 99.", "Enter a value from 0 to 255."}));
  ASSERT_EQ(boxes.shown().size(), 4u);
  EXPECT_EQ(boxes.shown()[2].text, "Enter a value from 0 to 99.");
  EXPECT_EQ(boxes.shown()[2].caption, "Printer Adjustment");
  EXPECT_EQ(boxes.shown()[3].text, "Enter a value from 0 to 255.");
  HeadAdjustRecord stored{};
  ASSERT_EQ(ReadAdjustRecord(*settings_, &stored), 1);
  EXPECT_EQ(stored.first_block[0], 7u);
  EXPECT_EQ(stored.second_block[2], 99u);
  EXPECT_EQ(stored.cartridge_flag, 0x11u);  // the printer's readings stay
  EXPECT_EQ(stored.paper_path_value, 0x22u);
  uint8_t ht[8] = {};
  ASSERT_EQ(settings_->ReadHtInfo(ht), 1);
  EXPECT_EQ(ht[1], 0);
  EXPECT_EQ(ht[2], 255);
}

TEST_F(PrinterAdjustDialogTest, CancelWithTheFocusInABadFieldShowsNothing) {
  printer_.SetSwitch(testkit::kRefreshFlagVar, "1");
  testkit::MessageBoxWatcher boxes;
  const INT_PTR result = Run({Answered(), test::Press(kAdjustSend),
                              [](HWND dialog) {
                                SetFocus(GetDlgItem(dialog, kAdjustRow1Fields[1]));
                                SetDlgItemTextA(dialog, kAdjustRow1Fields[1], "");
                                return true;
                              },
                              test::Press(IDCANCEL)});
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrinterAdjustDialogTest, CutterFromThePrinterAndFromTheUserInBothViews) {
  // The printer reports a cutter: the check follows it and cannot be changed.
  StoreReply(AdjustReply({1, 2, 3, 4, 5, 6}, 1));
  bool checked = false, enabled = true;
  Run({Answered(),
       [&](HWND dialog) {
         checked = IsDlgButtonChecked(dialog, kAdjustCutter) == BST_CHECKED;
         enabled = Enabled(dialog, kAdjustCutter);
         return true;
       },
       test::Press(kAdjustCancel)});
  EXPECT_TRUE(checked);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(CutterIn(KEY_WOW64_64KEY), 1u);
  EXPECT_EQ(CutterIn(KEY_WOW64_32KEY), 1u);

  // Without printer talk the user's check is stored by OK, the cut options going off with it.
  settings::DevModeAccessor(&record_).SetNoBidiFlagBits(4, 1);
  settings_->SetCutOptionBit1(1);
  bool maintenance_after_uncheck = true;
  const INT_PTR result = Run({Answered(),
                              [&](HWND dialog) {
                                checked = IsDlgButtonChecked(dialog, kAdjustCutter) == BST_CHECKED;
                                enabled = Enabled(dialog, kAdjustCutter);
                                CheckDlgButton(dialog, kAdjustCutter, BST_UNCHECKED);
                                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kAdjustCutter, BN_CLICKED), 0);
                                maintenance_after_uncheck = Enabled(dialog, kAdjustMaintenance1);
                                return true;
                              },
                              test::Press(kAdjustOk)});
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(maintenance_after_uncheck);
  EXPECT_EQ(CutterIn(KEY_WOW64_64KEY), 0u);
  EXPECT_EQ(CutterIn(KEY_WOW64_32KEY), 0u);
  EXPECT_EQ(settings_->TestCutOptionBits(1), 0);
}

// The maintenance buttons start the maintenance utility (the recorder stand-in installed as the
// model's utility program) with their function numbers, 9 and 10, while the cutter check is on;
// a model without them starts nothing, whatever command arrives.
class MaintenanceDialogTest : public PrinterAdjustDialogTest {
 protected:
  explicit MaintenanceDialogTest(const testkit::ModelDescription& model = PrinterAdjustModel())
      : PrinterAdjustDialogTest(model) {}
  void SetUp() override {
    PrinterAdjustDialogTest::SetUp();
    ASSERT_TRUE(recorder_.ok());
    ASSERT_TRUE(printer_.model_printer().WriteDriverFile(stem_ + ".exe", testkit::ProgramRecorder::ProgramBytes()));
    ASSERT_TRUE(printer_.model_printer().SetInfoKey("UtilModuleIEXE", stem_ + ".exe"));
    settings::DevModeAccessor(&record_).SetNoBidiFlagBits(4, 1);  // the user's cutter check
  }
  // Turns the cutter check on and presses both buttons (by command, whatever their state).
  void PressMaintenanceButtons(bool* enabled) {
    Run({Answered(),
         [&](HWND dialog) {
           CheckDlgButton(dialog, kAdjustCutter, BST_CHECKED);
           SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kAdjustCutter, BN_CLICKED), 0);
           *enabled = Enabled(dialog, kAdjustMaintenance1) && Enabled(dialog, kAdjustMaintenance2);
           for (int button : {kAdjustMaintenance1, kAdjustMaintenance2}) {
             SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
           }
           return true;
         },
         test::Press(kAdjustCancel)});
  }
  std::string UtilityNumber(const testkit::ProgramLaunch& launch) const {
    const size_t at = launch.command_line.find(" /U \"");
    return at == std::string::npos ? "" : launch.command_line.substr(at + 5, launch.command_line.find('"', at + 5) - at - 5);
  }

  testkit::ProgramRecorder recorder_;
  const std::string stem_ = "kvm" + std::to_string(GetCurrentProcessId());
};

TEST_F(MaintenanceDialogTest, ButtonsStartTheUtilityWithTheirNumbers) {
  bool enabled = false;
  PressMaintenanceButtons(&enabled);
  EXPECT_TRUE(enabled);
  const auto launches = recorder_.WaitForLaunches(stem_, 2);
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(UtilityNumber(launches[0]), "9");
  EXPECT_EQ(UtilityNumber(launches[1]), "10");
  EXPECT_TRUE(recorder_.WaitForEnds(stem_, 2));
}

class NoMaintenanceDialogTest : public MaintenanceDialogTest {
 protected:
  static testkit::ModelDescription Model() {
    auto model = PrinterAdjustModel();
    model.header.flags28 = 0;
    return model;
  }
  NoMaintenanceDialogTest() : MaintenanceDialogTest(Model()) {}
};

TEST_F(NoMaintenanceDialogTest, ButtonsStartNothing) {
  bool enabled = true;
  PressMaintenanceButtons(&enabled);
  EXPECT_FALSE(enabled);
  // A start made afterwards is the only one recorded once it has ended.
  pages::RunMaintenanceUtility(nullptr, &param_, kAdjustMaintenance2);
  ASSERT_TRUE(recorder_.WaitForEnds(stem_, 1));
  const auto launches = recorder_.Launches(stem_);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(UtilityNumber(launches[0]), "10");
}

// Help goes through the replaceable help entry: the topic of the help button and, for the
// context menu, the dialog's table.
TEST_F(PrinterAdjustDialogTest, HelpGoesThroughTheHelpEntry) {
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("HelpFile", "KVHELP.CHM"));
  ASSERT_TRUE(printer_.model_printer().SetInfoKey("HelpFileS", "KVHELP.CHM"));
  test::HelpCalls help;
  Run({Answered(),
       [&](HWND dialog) {
         test::Click(dialog, kAdjustHelp);
         SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kAdjustCutter)), 0);
         return true;
       },
       test::Press(kAdjustCancel)});
  const auto& calls = test::HelpCalls::calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_NE(calls[0].file.find("KVHELP.CHM"), std::string::npos) << calls[0].file;
  EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_CONTEXT));
  EXPECT_EQ(calls[0].data, kAdjustHelpTopic);
  EXPECT_EQ(calls[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
  EXPECT_EQ(calls[1].data, reinterpret_cast<ULONG_PTR>(kPrinterAdjustHelpTable.data()));
}

TEST_F(PrinterAdjustDialogTest, PlatenChecksAreStoredAndTheWideOneWarns) {
  settings::DevModeAccessor(&record_).SetNoBidiFlagBits(4, 1);
  ASSERT_EQ(settings_->WritePlatenInfo(1), 1);
  testkit::MessageBoxWatcher boxes;
  bool first = false, second = true;
  const INT_PTR result = Run({Answered(),
                              [&](HWND dialog) {
                                first = IsDlgButtonChecked(dialog, kAdjustPlaten1) == BST_CHECKED;
                                second = IsDlgButtonChecked(dialog, kAdjustPlaten2) == BST_CHECKED;
                                CheckDlgButton(dialog, kAdjustPlaten1, BST_UNCHECKED);
                                CheckDlgButton(dialog, kAdjustPlaten2, BST_CHECKED);
                                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kAdjustPlaten2, BN_CLICKED), 0);
                                return true;
                              },
                              test::Press(kAdjustOk)});
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(boxes.shown().size(), 1u);  // settings message 26
  uint32_t platen = 0;
  settings_->ReadPlatenInfo(&platen);
  EXPECT_EQ(platen, 2u);
}

TEST_F(PrinterAdjustDialogTest, InkSetChoiceWithoutPrinterTalkSelectsTheOtherInkSet) {
  settings::DevModeAccessor(&record_).SetNoBidiFlagBits(4, 1);
  testkit::MessageBoxWatcher boxes;
  LRESULT line = -1;
  const INT_PTR result = Run({Answered(),
                              [&](HWND dialog) {
                                line = SendDlgItemMessageA(dialog, kAdjustInkList, LB_GETCURSEL, 0, 0);
                                SendDlgItemMessageA(dialog, kAdjustInkList, LB_SETCURSEL, 1, 0);
                                return true;
                              },
                              test::Press(kAdjustOk)});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(line, 0);  // the stored ink set is the model's default one
  EXPECT_EQ(shared_.ink_set_changed, 1);
  EXPECT_EQ(boxes.shown().size(), 1u);
  model::InkInfoValue stored{};
  settings_->ReadInkInfo(&stored);
  EXPECT_EQ(stored.codes[1], 0x02);  // ink set 0
}

TEST_F(PrinterAdjustDialogTest, InkSetReportedByThePrinterIsStoredAtOk) {
  Bytes reply = BinaryReply()
                    .Status(1)
                    .Record(11, {0x0A, 1, 2, 3, 4, 5, 6})
                    .Inks({{0x0501, 40}, {0x0201, 50}})
                    .Build();
  StoreReply(reply);
  testkit::MessageBoxWatcher boxes;
  LRESULT line = -1;
  bool list_enabled = true;
  const INT_PTR result = Run({Answered(),
                              [&](HWND dialog) {
                                line = SendDlgItemMessageA(dialog, kAdjustInkList, LB_GETCURSEL, 0, 0);
                                list_enabled = Enabled(dialog, kAdjustInkList);
                                return true;
                              },
                              test::Press(kAdjustOk)});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(line, 1);  // not the model's default ink set
  EXPECT_FALSE(list_enabled);
  EXPECT_EQ(shared_.ink_set_changed, 1);
  EXPECT_EQ(boxes.shown().size(), 1u);
  model::InkInfoValue stored{};
  settings_->ReadInkInfo(&stored);
  EXPECT_EQ(stored.codes[1], 0x02);
}

// A model without adjustment values and without RT: OK stores only the choices, whatever the
// value fields hold.
class NoAdjustmentDialogTest : public PrinterAdjustDialogTest {
 protected:
  static testkit::ModelDescription Model() {
    auto model = PrinterAdjustModel();
    model.header.flags24 = 0x80u | 8u;
    return model;
  }
  NoAdjustmentDialogTest() : PrinterAdjustDialogTest(Model()) {}
};

TEST_F(NoAdjustmentDialogTest, OkStoresOnlyTheChoices) {
  settings::DevModeAccessor(&record_).SetNoBidiFlagBits(4, 1);
  testkit::MessageBoxWatcher boxes;
  bool rt_shown = true;
  const INT_PTR result = Run({Answered(),
                              [&](HWND dialog) {
                                rt_shown = Shown(dialog, kAdjustRtField);
                                SetDlgItemTextA(dialog, kAdjustRow1Fields[0], "7a");
                                SetDlgItemTextA(dialog, kAdjustHtFields[0], "999");
                                CheckDlgButton(dialog, kAdjustPlaten1, BST_CHECKED);
                                return true;
                              },
                              test::Press(kAdjustOk)});
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(rt_shown);
  EXPECT_TRUE(boxes.shown().empty());
  uint8_t ht[8] = {};
  EXPECT_EQ(settings_->ReadHtInfo(ht), 0);  // nothing of the values was written
  uint32_t platen = 0;
  settings_->ReadPlatenInfo(&platen);
  EXPECT_EQ(platen, 1u);
}

TEST(PrinterAdjustHelp, TableCoversTheDialogsControls) {
  EXPECT_EQ(kPrinterAdjustHelpTable[0], 2350u);
  EXPECT_EQ(kPrinterAdjustHelpTable[1], 4864u);
  EXPECT_EQ(kPrinterAdjustHelpTable[2 * kPrinterAdjustHelpRows - 2], 0u);
  EXPECT_EQ(kPrinterAdjustHelpTable[2 * kPrinterAdjustHelpRows - 1], 0u);
  auto context = [](DWORD control) {
    for (size_t i = 0; i + 1 < kPrinterAdjustHelpTable.size(); i += 2) {
      if (kPrinterAdjustHelpTable[i] == control) return kPrinterAdjustHelpTable[i + 1];
    }
    return DWORD{0};
  };
  EXPECT_EQ(context(8270), 4869u);
  EXPECT_EQ(context(2369), 4885u);
  EXPECT_EQ(context(8253), 4965u);
  EXPECT_EQ(context(2371), static_cast<DWORD>(-1));
}

}  // namespace
}  // namespace kalimu::dialogs
