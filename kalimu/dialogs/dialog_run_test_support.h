// Test support of the settings dialogs: a dialog of the resource library run modally, as the
// pages run it, with steps that work on the real window from inside the dialog's own message
// loop once it is shown, and small helpers that act as the user does.
//
// The steps come from a thread timer, so they also run while a step waits in a nested modal
// loop (a message box, a file dialog, a dialog opened from the dialog): the next step then
// drives that one. A step answers true when it is done, false to be asked again at the next
// tick. The run fails the test when the dialog never comes up, when steps are left at its end,
// when a step never gets done, and when the dialog stays open after the last step (it is then
// ended by force with kLeftOpen, so that a fault shows as a failure and not as a hang).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs::test {

// What a dialog answers when the steps left it open (it is then ended by force).
inline constexpr INT_PTR kLeftOpen = -77;

using Step = std::function<bool(HWND dialog)>;

class ModalRun {
 public:
  using Script = std::function<void(HWND dialog)>;

  // Watches for the next dialog this thread shows (however it is opened) and runs the steps on
  // it; the destructor checks that all of them ran.
  explicit ModalRun(std::vector<Step> steps) : steps_(std::move(steps)) {
    previous_ = current_;
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, kTickMs, &Tick);
  }
  ~ModalRun() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    current_ = previous_;
    EXPECT_NE(dialog_, nullptr) << "the dialog never came up";
    EXPECT_EQ(left(), 0u) << "steps were left when the dialog ended";
  }
  ModalRun(const ModalRun&) = delete;
  ModalRun& operator=(const ModalRun&) = delete;

  size_t left() const { return steps_.size() - (next_ < steps_.size() ? next_ : steps_.size()); }

  // Runs `procedure` on template `template_id` of `module` over `parent` with `param` as the
  // init value; the steps run once the dialog is shown. Answers the dialog's result.
  static INT_PTR RunSteps(HMODULE module, HWND parent, DLGPROC procedure, int template_id, pages::PageParam* param,
                          std::vector<Step> steps) {
    ModalRun run(std::move(steps));
    return DialogBoxParamA(module, MAKEINTRESOURCEA(template_id), parent, procedure, reinterpret_cast<LPARAM>(param));
  }
  // The same with one script that runs once and leaves the dialog ended.
  static INT_PTR Run(HMODULE module, HWND parent, DLGPROC procedure, int template_id, pages::PageParam* param,
                     Script script) {
    return RunSteps(module, parent, procedure, template_id, param, {[script = std::move(script)](HWND dialog) {
                      script(dialog);
                      return true;
                    }});
  }

 private:
  static constexpr UINT kTickMs = 10;
  // Bounds that only turn a hang into a failure: ticks a step may stay undone, and ticks the
  // dialog may stay open after the last step.
  static constexpr int kStepTicks = 3000;
  static constexpr int kEndTicks = 300;

  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    ModalRun* self = current_;
    if (code == HCBT_ACTIVATE && self != nullptr && self->dialog_ == nullptr) {
      HWND window = reinterpret_cast<HWND>(wparam);
      char name[32] = {};
      GetClassNameA(window, name, sizeof(name));
      // A dialog, not a message box (whose text is item 0xFFFF).
      if (std::string(name) == "#32770" && GetDlgItem(window, 0xFFFF) == nullptr) self->dialog_ = window;
    }
    return CallNextHookEx(self != nullptr ? self->hook_ : nullptr, code, wparam, lparam);
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalRun* self = current_;
    if (self == nullptr || self->dialog_ == nullptr || self->ending_ || !IsWindow(self->dialog_)) return;
    // The dialog may take the activation (focus set in WM_INITDIALOG) before the dialog manager
    // shows it: the steps wait until it is on screen.
    if (self->next_ == 0 && !IsWindowVisible(self->dialog_)) return;
    if (self->next_ < self->steps_.size()) {
      const size_t index = self->next_++;
      const bool done = self->steps_[index](self->dialog_);
      // A step that is not done yet is asked again, unless later steps ran meanwhile.
      if (!done && self->next_ == index + 1) {
        self->next_ = index;
        if (++self->waited_ >= kStepTicks) self->EndByForce("a step was never done");
      } else {
        self->waited_ = 0;
      }
      return;
    }
    if (IsWindowVisible(self->dialog_) && ++self->waited_ >= kEndTicks) self->EndByForce("the steps left the dialog open");
  }

  void EndByForce(const char* what) {
    ADD_FAILURE() << what;
    ending_ = true;
    EndDialog(dialog_, kLeftOpen);
  }

  static inline thread_local ModalRun* current_ = nullptr;
  ModalRun* previous_ = nullptr;
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int waited_ = 0;
  bool ending_ = false;
  HWND dialog_ = nullptr;
};

// A shown dialog of this thread that has the control, other than `except`; null when none.
inline HWND FindThreadDialogWith(int control, HWND except = nullptr) {
  struct Search {
    int control;
    HWND except;
    HWND found;
  } search{control, except, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM lparam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lparam);
        if (window != s->except && IsWindowVisible(window) && GetDlgItem(window, s->control) != nullptr) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A step that presses a button of the dialog (posted: the step ends before the press acts).
inline Step Press(int control) {
  return [control](HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
    return true;
  };
}

// A step that waits for a nested dialog holding `marker` and presses `control` on it.
inline Step PressOnNested(int marker, int control) {
  return [marker, control](HWND dialog) {
    HWND nested = FindThreadDialogWith(marker, dialog);
    if (nested == nullptr) return false;
    PostMessageA(nested, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(nested, control)));
    return true;
  };
}

// The help system never runs in a test: while a HelpCalls lives, the help calls of every
// dialog are recorded in its place.
struct HelpCall {
  HWND window;
  std::string file;
  UINT command;
  ULONG_PTR data;
};
class HelpCalls {
 public:
  HelpCalls() : previous_(pages::ReplaceWinHelp(&Record)) { calls().clear(); }
  ~HelpCalls() { pages::ReplaceWinHelp(previous_); }
  HelpCalls(const HelpCalls&) = delete;
  HelpCalls& operator=(const HelpCalls&) = delete;
  static std::vector<HelpCall>& calls() {
    static std::vector<HelpCall> recorded;
    return recorded;
  }

 private:
  static BOOL WINAPI Record(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    calls().push_back({window, file != nullptr ? file : "", command, data});
    return TRUE;
  }
  pages::WinHelpFunction previous_;
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
// The control's own visible style (true also while its dialog is not on screen yet).
inline bool Shown(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
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
