// Small shared services: presets by name, control state, the HTML viewer check, the scale
// notice and the roll fit.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"

namespace kalimu::pages {

uint16_t FindCustomPresetByName(const PageParam& param, const wchar_t* name) {
  JobSettings& settings = *param.settings;
  uint32_t count = 0;
  uint32_t presets = 0;
  settings.GetSettingsCount(&count);
  settings.GetPresetCount(&presets);
  const size_t chars = settings.TestModelHeaderFlags24(0x100000) ? 32 : 16;
  for (uint32_t i = 0; i < count; ++i) {
    wchar_t entry[33] = {};
    settings.GetSettingsName(static_cast<uint16_t>(i), entry, std::size(entry));
    entry[chars] = L'\0';
    if (lstrcmpW(entry, name) == 0) return static_cast<uint16_t>(presets + i);
  }
  return kNoPosition;
}

int IsDlgItemEnabled(HWND window, int control_id) {
  HWND item = GetDlgItem(window, control_id);
  return item != nullptr && IsWindowEnabled(item) ? 1 : 0;
}

void EnableShowDlgItem(HWND window, int control_id, int flag) {
  HWND item = GetDlgItem(window, control_id);
  if (item == nullptr) return;
  EnableWindow(item, flag ? TRUE : FALSE);
  ShowWindow(item, flag ? SW_SHOW : SW_HIDE);
}

int IsHtmlViewerAvailable() {
  char folder[MAX_PATH] = {};
  char name[MAX_PATH] = {};
  const DWORD length = GetTempPathA(sizeof(folder), folder);
  if (length == 0 || length >= sizeof(folder) || GetTempFileNameA(folder, "kvi", 1, name) == 0) return 0;
  // Only the file's own extension changes: a point in a folder name is not one.
  char* file_part = std::strrchr(name, '\\');
  file_part = file_part != nullptr ? file_part + 1 : name;
  if (char* point = std::strrchr(file_part, '.')) *point = '\0';
  if (!platform::AppendStringA(name, sizeof(name), ".htm")) return 0;
  {
    platform::UniqueFileHandle file(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return 0;
  }
  char program[MAX_PATH] = {};
  const auto answer = reinterpret_cast<INT_PTR>(FindExecutableA(name, nullptr, program));
  DeleteFileA(name);
  return answer > 32 ? 1 : 0;
}

int ClampScaleWithNotice(HWND window, const PageParam& param, int /*ignored*/) {
  const int scale = param.settings->ClampScaleToRange();
  if (scale > 0 && window != nullptr) return ShowScaleClampNotice(window, param, scale);
  return 1;
}

int ShowScaleClampNotice(HWND window, const PageParam& param, int32_t scale) {
  if (!param.settings->TestScalingOptionBits(8)) return 1;
  char first[256] = {};
  char last[256] = {};
  char caption[256] = {};
  LoadPageString(param, 8033, first, sizeof(first));
  LoadPageString(param, 8034, last, sizeof(last));
  LoadPageString(param, 8031, caption, sizeof(caption));
  char text[256] = {};
  std::snprintf(text, sizeof(text), "%s\n%d%s", first, scale, last);
  MessageBoxA(window, text, caption, MB_SYSTEMMODAL);
  return 0;
}

void UpdateRollFit(JobSettings& settings) {
  if (!settings.TestPaperOptionBits(4)) {
    settings.SetJobOptionBits(0x200, 0);
    return;
  }
  int32_t width = 0;
  settings.GetLfpValue4(static_cast<uint16_t>(settings.GetLfpIndex()), &width);
  settings.UpdateRollFitFlag((width * 254 + 180) / 360);
}

}  // namespace kalimu::pages
