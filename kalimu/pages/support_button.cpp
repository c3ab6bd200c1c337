// The main page's support button: the maker's problem-solver program or support page.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/printer_reg_values.h"

namespace kalimu::pages {
namespace {

enum SupportKey : int { kNoSupportKey = 0, kProblemSolver = 1, kSupportPage = 2 };

}  // namespace

void FormatErrorNumberText(const char* text, int number, char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  std::string whole;
  for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 'd') {
      whole += std::to_string(number);
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      whole += '%';
      ++p;
    } else {
      whole += *p;
    }
  }
  platform::CutAnsiText(whole.c_str(), out, size, size - 1);
}

int ShowSupportButton(HWND window, const PageParam& param, int control_id) {
  HWND control = GetDlgItem(window, control_id);
  if (control == nullptr) return 0;
  char value[MAX_PATH] = {};
  const int key = param.settings != nullptr ? settings::ReadSupportKeyValue(param.settings, value, sizeof(value)) : 0;
  ShowWindow(control, key == kProblemSolver || key == kSupportPage ? SW_SHOW : SW_HIDE);
  EnableWindow(control, IsHtmlViewerAvailable() == 1);
  return 1;
}

void OpenSupportPage(HWND window, const PageParam& param) {
  char value[MAX_PATH] = {};
  const int key = param.settings != nullptr ? settings::ReadSupportKeyValue(param.settings, value, sizeof(value)) : 0;
  if (key == kSupportPage) {
    char text[260] = {};
    char caption[260] = {};
    LoadPageString(param, 2052, text, sizeof(text));
    LoadPageString(param, 2051, caption, sizeof(caption));
    if (MessageBoxA(window, text, caption, MB_ICONINFORMATION | MB_YESNO) != IDYES) return;
  }
  if (key == kProblemSolver || key == kSupportPage) {
    const auto answer = reinterpret_cast<INT_PTR>(ShellExecuteA(window, nullptr, value, nullptr, nullptr, SW_SHOW));
    if (answer > 32) return;
  }
  // 1: no key; 3: the program did not open; 4: the page did not open.
  const int number = key == kNoSupportKey ? 1 : key + 2;
  char format[260] = {};
  char caption[260] = {};
  LoadPageString(param, 2050, format, sizeof(format));
  LoadPageString(param, 2049, caption, sizeof(caption));
  char text[260] = {};
  FormatErrorNumberText(format, number, text, sizeof(text));
  MessageBoxA(window, text, caption, MB_ICONERROR);
}

}  // namespace kalimu::pages
