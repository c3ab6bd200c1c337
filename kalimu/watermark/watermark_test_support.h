// Test support of the watermark editor: a scratch folder of its own, the stand-in resource
// library, and files written and read whole.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kalimu/platform/unique_handle.h"
#include "testkit/kalimu/user_files_builder.h"
#include "testkit/windows/printer_fixture.h"

namespace kalimu::watermark::test {

// A new folder below the temporary folder, emptied and removed at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    path_ = std::string(temp) + name + "\\";
    Clear();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    Clear();
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& file) const { return path_ + file; }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((path_ + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
  }
  void Clear() const {
    for (const std::string& name : Files()) DeleteFileA((path_ + name).c_str());
  }

 private:
  std::string path_;
};

// The stand-in resource library, loaded as a data file once for the test program.
inline HMODULE TestResources() {
  static platform::UniqueModule module(LoadLibraryExA(
      (testkit::TestProgramDirectory() + "testkit_resources_english.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  return module.get();
}

inline std::string ResourceString(UINT id) {
  char text[512] = {};
  LoadStringA(TestResources(), id, text, sizeof(text));
  return text;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a script inside a modal dialog's loop once it is up (a thread timer started when the
// window holding control `marker` is activated), then whatever ends the dialog.
class DialogScript {
 public:
  DialogScript(std::function<void(HWND)> script, int marker) : script_(std::move(script)), marker_(marker) {
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogScript() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  bool ran() const { return ran_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    DialogScript* self = current_;
    if (code == HCBT_ACTIVATE && self != nullptr && self->dialog_ == nullptr) {
      HWND window = reinterpret_cast<HWND>(wparam);
      if (GetDlgItem(window, self->marker_) != nullptr) {
        self->dialog_ = window;
        SetTimer(nullptr, 0, 1, Run);
      }
    }
    return CallNextHookEx(self != nullptr ? self->hook_ : nullptr, code, wparam, lparam);
  }
  static void CALLBACK Run(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    DialogScript* self = current_;
    if (self == nullptr || self->ran_) return;
    self->ran_ = true;
    self->script_(self->dialog_);
    // A script that leaves the dialog open has it cancelled, so that no test hangs.
    if (IsWindow(self->dialog_)) PostMessageA(self->dialog_, WM_COMMAND, IDCANCEL, 0);
  }

  static inline DialogScript* current_ = nullptr;
  std::function<void(HWND)> script_;
  int marker_;
  HHOOK hook_ = nullptr;
  HWND dialog_ = nullptr;
  bool ran_ = false;
};

}  // namespace kalimu::watermark::test
