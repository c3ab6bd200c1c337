// Watches the message boxes a test provokes on its own thread: records caption and text and
// answers each box at once, so that modal boxes never block a headless run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

struct ShownMessageBox {
  std::string caption;
  std::string text;
};

class MessageBoxWatcher {
 public:
  // `answer` is the button id pressed on every box (IDOK, IDYES, IDNO, IDCANCEL ...).
  explicit MessageBoxWatcher(int answer = IDOK);
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  const std::vector<ShownMessageBox>& shown() const { return shown_; }
  void set_answer(int answer) { answer_ = answer; }
  void clear() { shown_.clear(); }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam);

  HHOOK hook_ = nullptr;
  int answer_;
  std::vector<ShownMessageBox> shown_;
  MessageBoxWatcher* previous_ = nullptr;
};

}  // namespace testkit
