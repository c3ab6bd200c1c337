// The main page on the document sheet as applications open it: DocumentPropertiesW with
// DM_IN_PROMPT on a printer whose configuration module is Kalimu.dll, run by the property-sheet
// component's stand-in (WINEDLLOVERRIDES="compstui=n,b"). The page is driven by the messages a
// user's input sends; what OK and Cancel hand back and store is read afterwards.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/driver/sheet_run_test_support.h"
#include "kalimu/pages/ink_display.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/main_page_test_support.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/settings/dev_mode_accessor.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/status/status_replies.h"

namespace kalimu::driver {
namespace {

using settings::DevModeAccessor;
using settings::DriverDevMode;
using settings::kDevModeSize;
using namespace kalimu::pages;
using test::ChooseItem;
using test::ClickItem;
using test::ItemVisible;
using test::RecordOfPage;
using test::SheetApplyEnabled;
using test::SheetTimer;

constexpr uint8_t kPoison = 0xCD;
constexpr int kMainPageIndex = 0;
constexpr int kBothViews[] = {1, 2};

// The document sheet of one sample model through the spooler and the stand-in component.
class StandInSheetMainPage : public ::testing::Test {
 protected:
  void Start(const testkit::ModelDescription& model) {
    printer_ = std::make_unique<testkit::DriverPrinter>(model, testkit::kKalimuModule, "Main");
    ASSERT_TRUE(printer_->ok()) << printer_->error();
    name_ = printer_->wide_printer_name();
    values_.reset(settings::CreateJobSettings(nullptr, printer_->handle(), nullptr, nullptr));
    ASSERT_NE(values_, nullptr);
    current_.assign(kDevModeSize, 0);
    ASSERT_EQ(DocumentPropertiesW(nullptr, printer_->handle(), name_.data(), Record(current_), nullptr, DM_OUT_BUFFER),
              IDOK);
  }
  static DEVMODEW* Record(std::vector<uint8_t>& bytes) { return reinterpret_cast<DEVMODEW*>(bytes.data()); }

  // Opens the sheet on `in` with the main page current, runs the script on the page, then
  // presses the button; the sheet's answer, with the handed-back record in *out.
  LONG Run(std::vector<uint8_t> in, int button, const std::function<void(HWND sheet, HWND page)>& script,
           std::vector<uint8_t>* out) {
    out->assign(kDevModeSize, kPoison);
    SheetTimer timer([&script, button](HWND sheet) {
      HWND page = test::ShowSheetPage(sheet, kMainPageIndex);
      script(sheet, page);
      PostMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    });
    return DocumentPropertiesW(nullptr, printer_->handle(), name_.data(), Record(*out), Record(in),
                               DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
  }

  template <typename T>
  void Store(int id, const T& value) {
    ASSERT_EQ(settings::WritePrinterRegValueById(values_.get(), id, &value, sizeof(value), 0), 1) << id;
  }
  void Forget(int id) { settings::DeletePrinterRegValue(values_.get(), nullptr, nullptr, id, 0); }
  template <typename T>
  T Stored(int id, int view) {
    T value{};
    DWORD size = sizeof(value);
    if (settings::ReadPrinterRegValueById(values_.get(), id, &value, &size, view) != 1) return T(0x7777);
    return value;
  }

  std::unique_ptr<testkit::DriverPrinter> printer_;
  std::wstring name_;
  settings::JobSettingsPtr values_;  // the printer's registry values
  std::vector<uint8_t> current_;
};

// A two-meter sample model; `flags24` adds header word 24 bits.
testkit::ModelDescription MainModel(uint32_t flags24 = 0) {
  testkit::ModelDescription model = pages::test::InkModel(6, false);
  model.header.flags24 |= flags24;
  return model;
}

// OK keeps the silent option in value 127 and the job options' bits in value 107 (the other bits
// kept), both views, and hands the record back; a disabled silent box still writes its state,
// which every sheet starts at 0. Cancel stores nothing and hands nothing back.
TEST_F(StandInSheetMainPage, OkAndCancelWithTheSilentAndJobOptionBoxes) {
  ASSERT_NO_FATAL_FAILURE(Start(MainModel()));
  struct Case {
    const char* name;
    int button;
    bool silent_box_disabled;
    LONG answer;
    uint32_t silent;
    uint16_t flags;
  };
  const Case cases[] = {
      {"OK", PSBTN_OK, false, IDOK, 1, 0xFF02},
      {"OK with the silent box disabled", PSBTN_OK, true, IDOK, 0, 0xFF02},
      {"Cancel", PSBTN_CANCEL, false, CPSUI_CANCEL, 7, 0xFF00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store<uint32_t>(storage::kValueSilent, 7);
    Store<uint16_t>(storage::kValuePmFlag, 0xFF00);
    bool silent_enabled = false;
    std::vector<uint8_t> out;
    const LONG answer = Run(current_, c.button,
                            [&](HWND sheet, HWND page) {
                              silent_enabled = test::ItemEnabled(page, kSilentCheck);
                              if (c.silent_box_disabled) {
                                EnableWindow(GetDlgItem(page, kSilentCheck), FALSE);
                              } else {
                                ClickItem(page, kSilentCheck);
                              }
                              ClickItem(page, kJobOption128Check);
                              EXPECT_TRUE(SheetApplyEnabled(sheet));
                            },
                            &out);
    EXPECT_TRUE(silent_enabled) << "the sample media allows the silent option";
    EXPECT_EQ(answer, c.answer);
    for (int view : kBothViews) {
      EXPECT_EQ(Stored<uint32_t>(storage::kValueSilent, view), c.silent) << "view " << view;
      EXPECT_EQ(Stored<uint16_t>(storage::kValuePmFlag, view), c.flags) << "view " << view;
    }
    if (c.button == PSBTN_OK) {
      EXPECT_TRUE(DevModeAccessor(out.data()).TestJobOptionBits(128));
    } else {
      EXPECT_EQ(out, std::vector<uint8_t>(kDevModeSize, kPoison));
    }
  }
}

// Without bidirectional status (no-bidi flag 8) the page shows no meters and never polls; with
// it, a fresh pending request keeps the page polling.
TEST_F(StandInSheetMainPage, NoBidirectionalStatusMeansNoMetersAndNoPolling) {
  ASSERT_NO_FATAL_FAILURE(Start(MainModel()));
  struct Case {
    const char* name;
    bool no_bidi;
    bool meters;
    bool polling;
  };
  for (const Case& c : {Case{"no bidirectional status", true, false, false}, Case{"status", false, true, true}}) {
    SCOPED_TRACE(c.name);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    Store(storage::kValueRxTime, now);
    Store<int32_t>(storage::kValueRxFlag, 0);
    std::vector<uint8_t> in = current_;
    DevModeAccessor(in.data()).SetNoBidiFlagBits(8, c.no_bidi ? 1 : 0);
    bool polling = false;
    std::vector<int> shown;
    std::vector<uint8_t> out;
    Run(in, PSBTN_CANCEL,
        [&](HWND, HWND page) {
          polling = KillTimer(page, kStatusPollTimer) != FALSE;
          for (int id : {kInkArea, kBlackMeter, kColourMeter, kBlackLabel, kColourLabel}) {
            if (ItemVisible(page, id)) shown.push_back(id);
          }
        },
        &out);
    EXPECT_EQ(polling, c.polling);
    // The ink level group stands while the status is awaited; its meters come with the reply.
    EXPECT_EQ(shown, c.meters ? std::vector<int>{kInkArea} : std::vector<int>{});
  }
}

// The request flag at each poll, on the real sheet.
TEST_F(StandInSheetMainPage, RequestFlagAtThePoll) {
  ASSERT_NO_FATAL_FAILURE(Start(MainModel()));
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  Store(storage::kValueRxTime, now);
  Store<int32_t>(storage::kValueRxFlag, 0);  // a refresh is pending: the page polls from its start
  const testkit::Bytes reply = testkit::TextReply("ST:01;");
  ASSERT_EQ(settings::WritePrinterRegValueById(values_.get(), storage::kValueRxStatus, reply.data(),
                                               static_cast<DWORD>(reply.size()), 0),
            1);
  std::vector<uint8_t> out;
  Run(current_, PSBTN_CANCEL,
      [&](HWND, HWND page) {
        for (const pages::test::RequestFlagCase& c : pages::test::kRequestFlagCases) {
          SCOPED_TRACE(c.name);
          KillTimer(page, kStatusPollTimer);
          ShowWindow(GetDlgItem(page, kBlackInkTextB), SW_HIDE);
          if (c.flag < -1) {
            Forget(storage::kValueRxFlag);
          } else {
            Store(storage::kValueRxFlag, c.flag);
          }
          SendMessageW(page, WM_TIMER, kStatusPollTimer, 0);
          EXPECT_EQ(KillTimer(page, kStatusPollTimer) != FALSE, c.polls_again);
          EXPECT_EQ(ItemVisible(page, kBlackInkTextB), c.ink_set_text);
        }
      },
      &out);
}

// Choosing the model preset that is already current changes nothing but announces a change.
TEST_F(StandInSheetMainPage, ChoosingTheCurrentPresetOnlyNotifies) {
  ASSERT_NO_FATAL_FAILURE(Start(MainModel()));
  std::vector<uint8_t> in = current_;
  {
    settings::JobSettingsPtr job(settings::CreateJobSettings(in.data(), printer_->handle(), nullptr, nullptr));
    ASSERT_NE(job, nullptr);
    job->ChangeDefaultSource(7, 0);  // the sheet feeder: the sample's list preset 2 allows it
    job->ChangePrintModeType(0);
    job->ApplyPresetRecord(2);
    // The preset is of the black variant: the public colour field says so too (the sheet takes
    // the variant from it).
    Record(in)->dmColor = DevModeAccessor(in.data()).GetModeVariant() == 0 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
  }
  bool found = false;
  bool changed_before = true;
  bool record_kept = false;
  bool changed_after = false;
  std::string listed;
  std::vector<uint8_t> out;
  EXPECT_EQ(Run(in, PSBTN_CANCEL,
                [&](HWND sheet, HWND page) {
                  HWND list = GetDlgItem(page, kPresetList);
                  DriverDevMode* record = RecordOfPage(page);
                  if (record == nullptr) return;
                  const uint32_t preset = DevModeAccessor(record).GetPresetId();
                  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
                  listed = "preset " + std::to_string(preset) + ", items:";
                  for (LRESULT i = 0; i < count; ++i) {
                    listed += " " + std::to_string(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
                  }
                  for (LRESULT i = 0; i < count && !found; ++i) {
                    if (static_cast<uint32_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) != preset) {
                      continue;
                    }
                    found = true;
                    DevModeAccessor(record).SetPresetKind(1);  // the listed model preset is the chosen one
                    changed_before = SheetApplyEnabled(sheet);
                    std::vector<uint8_t> before(kDevModeSize);
                    std::memcpy(before.data(), record, kDevModeSize);
                    ChooseItem(page, kPresetList, static_cast<int>(i), CBN_SELENDOK);
                    record_kept = std::memcmp(before.data(), record, kDevModeSize) == 0;
                    changed_after = SheetApplyEnabled(sheet);
                  }
                },
                &out),
            CPSUI_CANCEL);
  ASSERT_TRUE(found) << "the current preset is not listed: " << listed;
  EXPECT_FALSE(changed_before);
  EXPECT_TRUE(record_kept);
  EXPECT_TRUE(changed_after);
}

// Mode variant 2 on a media without variant-2 presets: the combo returns to the item before and
// nothing changes. The colour radio while in variant 2 gives variant 1, which OK hands back.
TEST_F(StandInSheetMainPage, ModeVariantAndColourRadio) {
  ASSERT_NO_FATAL_FAILURE(Start(MainModel(0x8000)));
  std::vector<uint8_t> in = current_;
  {
    settings::JobSettingsPtr job(settings::CreateJobSettings(in.data(), printer_->handle(), nullptr, nullptr));
    ASSERT_NE(job, nullptr);
    job->ChangePrintModeType(1);  // the slider presets of the first media have no second variant
  }
  LRESULT item_before = -1;
  LRESULT item_after = -2;
  int32_t variant_before = -1;
  int32_t variant_after = -2;
  bool changed = true;
  int32_t variant_after_radio = -1;
  bool changed_by_radio = false;
  std::vector<uint8_t> out;
  EXPECT_EQ(Run(in, PSBTN_OK,
                [&](HWND sheet, HWND page) {
                  DriverDevMode* record = RecordOfPage(page);
                  if (record == nullptr) return;
                  HWND combo = GetDlgItem(page, kModeVariantCombo);
                  item_before = SendMessageW(combo, CB_GETCURSEL, 0, 0);
                  variant_before = DevModeAccessor(record).GetModeVariant();
                  ChooseItem(page, kModeVariantCombo, 1);  // data 2
                  item_after = SendMessageW(combo, CB_GETCURSEL, 0, 0);
                  variant_after = DevModeAccessor(record).GetModeVariant();
                  changed = SheetApplyEnabled(sheet);

                  DevModeAccessor(record).SetModeVariant(2);
                  ClickItem(page, kColourRadio);
                  variant_after_radio = DevModeAccessor(record).GetModeVariant();
                  changed_by_radio = SheetApplyEnabled(sheet);
                },
                &out),
            IDOK);
  EXPECT_EQ(item_after, item_before);
  EXPECT_EQ(variant_after, variant_before);
  EXPECT_FALSE(changed);
  EXPECT_EQ(variant_after_radio, 1);
  EXPECT_TRUE(changed_by_radio);
  EXPECT_EQ(DevModeAccessor(out.data()).GetModeVariant(), 1);
}

}  // namespace
}  // namespace kalimu::driver
