// The document sheet as an application gets it: DrvDocumentPropertySheets run by the stand-in of
// the common property-sheet component (a real comctl32 sheet with OK and Cancel, built in
// testkit/standins as compstui.dll beside the test programs) on a printer of a sample model. A
// test turns the standing sheet to the paper or layout page, drives the page's controls by
// messages, looks at the sheet's settings through the page's PageParam, and ends the sheet with
// OK or Cancel; the record the sheet hands back is then checked.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_records.h"
#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"

namespace kalimu::pages::test {

// Positions of the document pages on the sheet.
enum SheetPosition : int { kMainPosition = 0, kPaperPosition = 1, kLayoutPosition = 2, kUtilityPosition = 3 };

using CommonSheetUi = LONG(WINAPI*)(HWND owner, PFNPROPSHEETUI callback, LPARAM lparam, LPDWORD result);

// The stand-in component's CommonPropertySheetUIW, loaded by its path beside the test program
// (Wine's own component, which never shows the pages, is refused); null with the reason in
// *error.
inline CommonSheetUi StandInSheetComponent(std::string* error) {
  static HMODULE module = nullptr;
  static std::string reason;
  if (module == nullptr && reason.empty()) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    char* slash = std::strrchr(path, '\\');
    if (length == 0 || slash == nullptr) {
      reason = "the test program's folder";
    } else {
      std::strcpy(slash + 1, "compstui.dll");
      module = LoadLibraryA(path);
      char loaded[MAX_PATH] = {};
      if (module == nullptr) {
        reason = std::string("no component at ") + path;
      } else if (GetModuleFileNameA(module, loaded, sizeof(loaded)) == 0 || lstrcmpiA(loaded, path) != 0) {
        reason = std::string("the system's component was loaded (") + loaded + ") in place of " + path;
        module = nullptr;
      }
    }
  }
  if (error != nullptr) *error = reason;
  return module != nullptr ? reinterpret_cast<CommonSheetUi>(GetProcAddress(module, "CommonPropertySheetUIW"))
                           : nullptr;
}

// One page of a standing document sheet.
class SheetPage : public PageControls {
 public:
  explicit SheetPage(HWND sheet) : sheet_(sheet) {
    window_ = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
  }

  HWND sheet() const { return sheet_; }
  // The sheet's records as every page holds them.
  PageParam& param() const { return *PageParamOf(window_); }
  settings::JobSettings& settings() const { return *param().settings; }
  PageShared& shared() const { return *param().shared; }

  // Turns the sheet to the page at `position` (it gets PSN_SETACTIVE); this object drives it then.
  void TurnTo(int position) {
    SendMessageW(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(position), 0);
    window_ = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  // OK or Cancel of the sheet (PSBTN_OK, PSBTN_CANCEL), pressed once the test's action returns.
  void Press(int button) {
    PostMessageW(sheet_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    pressed_ = true;
  }
  bool pressed() const { return pressed_; }

 private:
  HWND sheet_ = nullptr;
  bool pressed_ = false;
};

// A printer of a sample model whose document sheet a test opens.
class DocumentSheet {
 public:
  static constexpr uint8_t kPoison = 0xCD;

  explicit DocumentSheet(const testkit::ModelDescription& model) : printer_(model, testkit::kStandinConfigModule, "Pages") {
    component_ = StandInSheetComponent(&component_error_);
  }
  DocumentSheet(const DocumentSheet&) = delete;
  DocumentSheet& operator=(const DocumentSheet&) = delete;

  bool ok() const { return printer_.ok() && component_ != nullptr; }
  std::string error() const { return printer_.ok() ? component_error_ : printer_.error(); }
  testkit::DriverPrinter& printer() { return printer_; }

  // Opens the sheet over `in` (the printer's own record when null), turns it to the page at
  // `position` once it stands, and runs `action` there once. The action ends the sheet with
  // Press; when it does not (a failed assertion returned early), Cancel is pressed for it.
  // Answers the component's result (CPSUI_OK, CPSUI_CANCEL); out() holds the record handed back.
  LONG_PTR Run(int position, std::function<void(SheetPage&)> action, const DEVMODEW* in = nullptr) {
    out_.assign(settings::kDevModeSize, kPoison);
    ran_ = false;
    std::wstring name = printer_.wide_printer_name();
    std::vector<uint8_t> in_copy;
    if (in != nullptr) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(in);
      in_copy.assign(bytes, bytes + in->dmSize + in->dmDriverExtra);
    }
    DOCUMENTPROPERTYHEADER header = {sizeof(DOCUMENTPROPERTYHEADER),
                                     0,
                                     printer_.handle(),
                                     name.data(),
                                     in_copy.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(in_copy.data()),
                                     reinterpret_cast<DEVMODEW*>(out_.data()),
                                     static_cast<DWORD>(out_.size()),
                                     static_cast<DWORD>(DM_IN_PROMPT | DM_OUT_BUFFER | (in != nullptr ? DM_IN_BUFFER : 0))};
    Pending() = {this, position, std::move(action), 0};
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Tick);
    DWORD result = CPSUI_CANCEL;
    const LONG answer = component_(nullptr, &DrvDocumentPropertySheets, reinterpret_cast<LPARAM>(&header), &result);
    KillTimer(nullptr, timer);
    Pending() = {};
    EXPECT_GE(answer, 0) << "the sheet did not open";
    EXPECT_TRUE(ran_) << "the sheet never stood";
    return static_cast<LONG_PTR>(result);
  }

  // The record the last sheet handed back (all kPoison when it handed none).
  const settings::DriverDevMode& out() const { return *reinterpret_cast<const settings::DriverDevMode*>(out_.data()); }
  bool handed_nothing() const { return out_ == std::vector<uint8_t>(settings::kDevModeSize, kPoison); }

 private:
  struct Request {
    DocumentSheet* sheet = nullptr;
    int position = 0;
    std::function<void(SheetPage&)> action;
    int ticks = 0;
  };
  static Request& Pending() {
    static Request request;
    return request;
  }
  static BOOL CALLBACK FindSheet(HWND window, LPARAM found) {
    if (SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0) == 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    Request& request = Pending();
    if (request.sheet == nullptr || request.sheet->ran_) return;
    HWND sheet = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindSheet, reinterpret_cast<LPARAM>(&sheet));
    if (sheet == nullptr) {
      if (++request.ticks > 500) KillTimer(nullptr, timer);  // the sheet never came
      return;
    }
    KillTimer(nullptr, timer);
    request.sheet->ran_ = true;
    SheetPage page(sheet);
    page.TurnTo(request.position);
    auto action = std::move(request.action);
    if (action) action(page);
    if (!page.pressed()) page.Press(PSBTN_CANCEL);
  }

  testkit::DriverPrinter printer_;
  CommonSheetUi component_ = nullptr;
  std::string component_error_;
  std::vector<uint8_t> out_ = std::vector<uint8_t>(settings::kDevModeSize, kPoison);
  bool ran_ = false;
};

}  // namespace kalimu::pages::test
