// Test support of the sheets run by a property-sheet component (through the spooler or the
// driver's own entry points): a script that acts on the sheet once it stands, a button pressed
// in a dialog a page opens, and the pages' controls driven by the messages a user's input sends.
// Everything runs on the test's thread inside the modal loops of the sheet and its dialogs.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <utility>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::driver::test {

// Acts on the sheet once it stands: a thread timer (the sheet's modal loop runs it) finds the
// sheet among the thread's windows and hands it to the action once. The action ends the sheet
// (a button pressed or posted).
class SheetTimer {
 public:
  explicit SheetTimer(std::function<void(HWND sheet)> action) {
    Action() = std::move(action);
    Ticks() = 0;
    timer_ = SetTimer(nullptr, 0, 50, &Tick);
  }
  ~SheetTimer() {
    KillTimer(nullptr, timer_);
    Action() = nullptr;
  }
  SheetTimer(const SheetTimer&) = delete;
  SheetTimer& operator=(const SheetTimer&) = delete;

  // The property sheet among the thread's windows, or null.
  static HWND FindSheet() {
    HWND sheet = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &IsSheet, reinterpret_cast<LPARAM>(&sheet));
    return sheet;
  }

 private:
  static std::function<void(HWND)>& Action() {
    static std::function<void(HWND)> action;
    return action;
  }
  static int& Ticks() {
    static int ticks = 0;
    return ticks;
  }
  static BOOL CALLBACK IsSheet(HWND window, LPARAM found) {
    if (SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0) == 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND sheet = FindSheet();
    if (sheet == nullptr) {
      if (++Ticks() > 400) KillTimer(nullptr, timer);  // the sheet never came: give up
      return;
    }
    KillTimer(nullptr, timer);
    if (Action()) {
      auto action = std::move(Action());
      Action() = nullptr;
      action(sheet);
    }
  }
  UINT_PTR timer_ = 0;
};

// Presses a button (WM_COMMAND with its id) in the next modal dialog of the thread that is not
// a property sheet: its caption goes to caption(). Arm it before the click that opens the dialog.
class DialogButtonTimer {
 public:
  explicit DialogButtonTimer(int button) {
    Button() = button;
    Caption().clear();
    timer_ = SetTimer(nullptr, 0, 30, &Tick);
  }
  ~DialogButtonTimer() { KillTimer(nullptr, timer_); }
  DialogButtonTimer(const DialogButtonTimer&) = delete;
  DialogButtonTimer& operator=(const DialogButtonTimer&) = delete;
  // The pressed dialog's caption; empty while none was found.
  static std::string& Caption() {
    static std::string caption;
    return caption;
  }

 private:
  static int& Button() {
    static int button = IDOK;
    return button;
  }
  static BOOL CALLBACK IsDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    if (std::string(name) != "#32770" || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
        SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0) != 0) {
      return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &IsDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    char caption[256] = {};
    GetWindowTextA(dialog, caption, sizeof(caption));
    Caption() = caption;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(Button(), BN_CLICKED), 0);
  }
  UINT_PTR timer_ = 0;
};

// The sheet's page of that position, made the current page.
inline HWND ShowSheetPage(HWND sheet, int index) {
  SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
// The PageParam a document page keeps, and the record its sheet edits.
inline PageParam* ParamOfPage(HWND page) { return reinterpret_cast<PageParam*>(GetWindowLongPtrW(page, DWLP_USER)); }
inline settings::DriverDevMode* RecordOfPage(HWND page) {
  PageParam* param = ParamOfPage(page);
  return param != nullptr && param->context != nullptr ? &param->context->dev_mode : nullptr;
}
// The Apply button of the sheet is enabled: a page announced a change.
inline bool SheetApplyEnabled(HWND sheet) { return IsWindowEnabled(GetDlgItem(sheet, 0x3021)) != FALSE; }
// A click on a button, check box or radio button of the page, as the mouse makes it.
inline void ClickItem(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }
// A combo's item chosen by the user: the selection, then the notification to the page.
inline void ChooseItem(HWND page, int id, int index, int code = CBN_SELCHANGE) {
  HWND combo = GetDlgItem(page, id);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(combo));
}
inline bool ItemVisible(HWND page, int id) { return IsWindowVisible(GetDlgItem(page, id)) != FALSE; }
inline bool ItemEnabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

}  // namespace kalimu::driver::test
