// Shared by the tests that drive the dialogs' real windows: a sheet's records over a settings
// object, a modal dialog of the resource library run with a script of steps from its own
// message loop, and the search for a nested dialog of the thread.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs::test {

// One step of a script: answers true when done, false to be asked again at the next tick.
using Step = std::function<bool(HWND dialog)>;

// Runs a dialog template modally with `procedure` over `param`; the steps run one after the
// other from a thread timer, also while a step waits in a nested modal loop (a message box, a
// file dialog, a dialog opened from the dialog): the next step then drives that one. Answers
// DialogBoxParam's answer; steps left when the dialog ended count in `left`.
class ModalScript {
 public:
  ModalScript(HMODULE module, int template_id, DLGPROC procedure) : module_(module), template_(template_id) {
    procedure_ = procedure;
  }

  INT_PTR Run(pages::PageParam* param, std::vector<Step> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    dialog_ = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
    const INT_PTR result =
        DialogBoxParamA(module_, MAKEINTRESOURCEA(template_), nullptr, &Wrapper, reinterpret_cast<LPARAM>(param));
    KillTimer(nullptr, timer);
    left = steps_.size() - std::min(next_, steps_.size());
    steps_.clear();
    return result;
  }

  size_t left = 0;

 private:
  static INT_PTR CALLBACK Wrapper(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) dialog_ = dialog;
    return procedure_(dialog, message, wparam, lparam);
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (dialog_ == nullptr || next_ >= steps_.size()) return;
    const size_t index = next_++;
    const bool done = steps_[index](dialog_);
    // A step that is not done yet is asked again, unless later steps ran meanwhile.
    if (!done && next_ == index + 1) next_ = index;
  }

  HMODULE module_;
  int template_;
  static inline DLGPROC procedure_ = nullptr;
  static inline HWND dialog_ = nullptr;
  static inline std::vector<Step> steps_;
  static inline size_t next_ = 0;
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

// A step that presses a button of the dialog.
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

inline std::string ItemText(HWND dialog, int control) {
  char text[512] = {};
  GetDlgItemTextA(dialog, control, text, sizeof(text));
  return text;
}

inline bool ItemEnabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }
inline bool ItemShown(HWND dialog, int control) {
  return (GetWindowLongA(GetDlgItem(dialog, control), GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace kalimu::dialogs::test
