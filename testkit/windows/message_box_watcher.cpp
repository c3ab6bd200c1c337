// Message-box watcher: a WH_CBT hook on the test's thread.
#include "testkit/windows/message_box_watcher.h"

namespace testkit {
namespace {
// The watcher of this thread; watchers nest, the innermost one answers.
thread_local MessageBoxWatcher* t_current = nullptr;
constexpr int kStaticTextId = 0xFFFF;  // the text control of a message box

std::string WindowTextOf(HWND window) {
  char buffer[2048] = {};
  GetWindowTextA(window, buffer, sizeof(buffer));
  return buffer;
}
}  // namespace

MessageBoxWatcher::MessageBoxWatcher(int answer) : answer_(answer) {
  previous_ = t_current;
  t_current = this;
  hook_ = SetWindowsHookExA(WH_CBT, &MessageBoxWatcher::HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxWatcher::~MessageBoxWatcher() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  t_current = previous_;
}

LRESULT CALLBACK MessageBoxWatcher::HookProc(int code, WPARAM wparam, LPARAM lparam) {
  MessageBoxWatcher* self = t_current;
  if (code == HCBT_ACTIVATE && self != nullptr) {
    HWND window = reinterpret_cast<HWND>(wparam);
    char class_name[64] = {};
    GetClassNameA(window, class_name, sizeof(class_name));
    HWND text = GetDlgItem(window, kStaticTextId);
    if (std::string(class_name) == "#32770" && text != nullptr) {
      self->shown_.push_back({WindowTextOf(window), WindowTextOf(text)});
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(self->answer_, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(self != nullptr ? self->hook_ : nullptr, code, wparam, lparam);
}

}  // namespace testkit
