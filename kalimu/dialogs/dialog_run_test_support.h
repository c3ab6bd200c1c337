// Test support of the settings dialogs: a dialog of the resource library run modally, as the
// pages run it, with a script that works on the real window from inside the dialog's own
// message loop once it is shown, and small helpers that act as the user does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs::test {

// What a dialog answers when the script left it open (it is then ended by force).
inline constexpr INT_PTR kLeftOpen = -77;

class ModalRun {
 public:
  using Script = std::function<void(HWND dialog)>;

  // Runs `procedure` on template `template_id` of `module` over `parent` with `param` as the
  // init value; the script runs once the dialog is active. Answers the dialog's result.
  static INT_PTR Run(HMODULE module, HWND parent, DLGPROC procedure, int template_id, pages::PageParam* param,
                     Script script) {
    ModalRun run(std::move(script));
    const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(template_id), parent, procedure,
                                           reinterpret_cast<LPARAM>(param));
    EXPECT_TRUE(run.ran_) << "the dialog never became active";
    return result;
  }

 private:
  explicit ModalRun(Script script) : script_(std::move(script)) {
    previous_ = current_;
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~ModalRun() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    current_ = previous_;
  }

  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    ModalRun* self = current_;
    if (code == HCBT_ACTIVATE && self != nullptr && self->dialog_ == nullptr) {
      HWND window = reinterpret_cast<HWND>(wparam);
      char name[32] = {};
      GetClassNameA(window, name, sizeof(name));
      if (std::string(name) == "#32770" && GetDlgItem(window, 0xFFFF) == nullptr) {
        self->dialog_ = window;
        SetTimer(nullptr, 0, 1, &Tick);
      }
    }
    return CallNextHookEx(self != nullptr ? self->hook_ : nullptr, code, wparam, lparam);
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    ModalRun* self = current_;
    if (self == nullptr || self->ran_) return;
    // The dialog may take the activation (focus set in WM_INITDIALOG) before the dialog manager
    // shows it: the script waits until it is on screen.
    if (IsWindow(self->dialog_) && !IsWindowVisible(self->dialog_)) {
      SetTimer(nullptr, 0, 1, &Tick);
      return;
    }
    self->ran_ = true;
    self->script_(self->dialog_);
    if (IsWindow(self->dialog_) && IsWindowVisible(self->dialog_)) {
      ADD_FAILURE() << "the script left the dialog open";
      EndDialog(self->dialog_, kLeftOpen);
    }
  }

  static inline thread_local ModalRun* current_ = nullptr;
  ModalRun* previous_ = nullptr;
  HHOOK hook_ = nullptr;
  Script script_;
  HWND dialog_ = nullptr;
  bool ran_ = false;
};

// The user's actions on a dialog's controls.
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
// A command as the control sends it, whatever its state.
inline void Command(HWND dialog, int id, int code) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
inline void Type(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }
inline std::string TextOf(HWND dialog, int id) {
  char text[512] = {};
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline bool Shown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
// Picks a list item as the user does (the list tells its parent).
inline void PickListItem(HWND dialog, int id, int position) {
  SendDlgItemMessageA(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
  Command(dialog, id, LBN_SELCHANGE);
}
inline void PickComboItem(HWND dialog, int id, int position) {
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  Command(dialog, id, CBN_SELCHANGE);
}
// Takes the focus away from a control, as leaving it does.
inline void LeaveFocus(HWND dialog, int id) {
  SetFocus(GetDlgItem(dialog, id));
  SetFocus(GetDlgItem(dialog, IDCANCEL) != nullptr ? GetDlgItem(dialog, IDCANCEL) : dialog);
}

}  // namespace kalimu::dialogs::test
