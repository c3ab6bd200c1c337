// Test support of the custom controls: the resource library loaded as a data file with both
// classes registered on it, and a modal dialog whose steps run inside its own message loop.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/pages/custom_controls.h"
#include "testkit/windows/printer_fixture.h"

namespace kalimu::pages::test {

// The English stand-in resource library, loaded as a data file, with the custom classes
// registered on its instance while the object lives.
class ControlLibrary {
 public:
  ControlLibrary() {
    const std::string path = testkit::TestProgramDirectory() + "testkit_resources_english.dll";
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module_ != nullptr) RegisterCustomControls(module_);
  }
  ~ControlLibrary() {
    if (module_ != nullptr) {
      UnregisterCustomControls(module_);
      FreeLibrary(module_);
    }
  }
  ControlLibrary(const ControlLibrary&) = delete;
  ControlLibrary& operator=(const ControlLibrary&) = delete;
  HMODULE module() const { return module_; }

 private:
  HMODULE module_ = nullptr;
};

// A shown popup window that records the WM_HSCROLL and WM_COMMAND messages its child controls
// send it (one at a time per thread).
class RecordingParent {
 public:
  struct Message {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };
  RecordingParent() {
    window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    if (window_ == nullptr) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    ShowWindow(window_, SW_SHOWNOACTIVATE);  // hidden windows never paint
    messages().clear();
  }
  ~RecordingParent() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  RecordingParent(const RecordingParent&) = delete;
  RecordingParent& operator=(const RecordingParent&) = delete;
  HWND window() const { return window_; }
  static std::vector<Message>& messages() {
    static std::vector<Message> recorded;
    return recorded;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_HSCROLL || message == WM_COMMAND) messages().push_back({message, wparam, lparam});
    return DefWindowProcA(window, message, wparam, lparam);
  }
  HWND window_ = nullptr;
};

// A modal dialog (DialogBoxIndirectParam, so the dialog manager and the thread's message filter
// hooks take part) that runs `steps` one after another from its own message loop: each step runs
// when the dialog receives the posted WM_APP of the previous one, after every message that step
// posted. A step answers the milliseconds to wait before the next one (0: at once). The dialog
// ends after the last step. WM_HSCROLL notifications are recorded.
class ScriptedDialog {
 public:
  using Step = std::function<int(HWND dialog)>;
  struct Scroll {
    WPARAM wparam;
    LPARAM lparam;
  };

  // `setup` creates the dialog's controls in WM_INITDIALOG.
  ScriptedDialog(std::function<void(HWND dialog)> setup, std::vector<Step> steps)
      : setup_(std::move(setup)), steps_(std::move(steps)) {}

  // Runs the dialog; false when it could not be created.
  bool Run();
  const std::vector<Scroll>& scrolls() const { return scrolls_; }
  void ClearScrolls() { scrolls_.clear(); }

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  void Next(HWND dialog);

  std::function<void(HWND)> setup_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  std::vector<Scroll> scrolls_;
};

inline bool ScriptedDialog::Run() {
  // DLGTEMPLATE with no controls, no menu, default class, empty title; word aligned.
  struct alignas(4) {
    DLGTEMPLATE header;
    WORD menu, window_class, title;
  } dialog_template{};
  dialog_template.header.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
  dialog_template.header.cx = 300;
  dialog_template.header.cy = 120;
  const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &dialog_template.header, nullptr, Proc,
                                                 reinterpret_cast<LPARAM>(this));
  return result == IDOK;
}

inline INT_PTR CALLBACK ScriptedDialog::Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<ScriptedDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      self = reinterpret_cast<ScriptedDialog*>(lparam);
      self->setup_(dialog);
      PostMessageA(dialog, WM_APP, 0, 0);
      return FALSE;
    case WM_APP:
      self->Next(dialog);
      return TRUE;
    case WM_TIMER:
      if (wparam == 1) {
        KillTimer(dialog, 1);
        PostMessageA(dialog, WM_APP, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_HSCROLL:
      if (self != nullptr) self->scrolls_.push_back({wparam, lparam});
      return TRUE;
    default:
      return FALSE;
  }
}

inline void ScriptedDialog::Next(HWND dialog) {
  if (next_ >= steps_.size()) {
    EndDialog(dialog, IDOK);
    return;
  }
  const int wait = steps_[next_++](dialog);
  if (wait > 0) {
    SetTimer(dialog, 1, static_cast<UINT>(wait), nullptr);
  } else {
    PostMessageA(dialog, WM_APP, 0, 0);
  }
}

// Puts an up-down control (as a resource library may have one) in place of the spin `id` of
// `dialog`, at the spin's place; answers the new control.
inline HWND ReplaceWithUpDown(HWND dialog, int id) {
  INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  HWND old = GetDlgItem(dialog, id);
  RECT r = {};
  if (old != nullptr) {
    GetWindowRect(old, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    DestroyWindow(old);
  }
  return CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, r.left, r.top, std::max<LONG>(r.right - r.left, 12),
                         std::max<LONG>(r.bottom - r.top, 20), dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

// A press and release of an up-down control's upper or lower arrow.
inline void ClickUpDownArrow(HWND spin, bool up) {
  RECT client = {};
  GetClientRect(spin, &client);
  const LPARAM at = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
  SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(spin, WM_LBUTTONUP, 0, at);
}

}  // namespace kalimu::pages::test
