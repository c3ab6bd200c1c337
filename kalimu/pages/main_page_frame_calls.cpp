// The page frame's change notification and driver version line.
#include "kalimu/pages/main_page_frame_calls.h"

#include <prsht.h>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {

uint16_t NotifySheetChanged(HWND page, const PageParam& param) {
  if (param.shared == nullptr || param.shared->sheet_window == nullptr) return 0;
  SendMessageA(param.shared->sheet_window, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
  return 1;
}

void ShowDriverVersionText(HWND control, const PageParam& param) {
  char label[64] = {};
  LoadPageString(param, 8064, label, sizeof(label));
  char version[128] = {};
  if (param.settings != nullptr) param.settings->GetDriverVersionText(version, sizeof(version));
  char line[MAX_PATH] = {};
  platform::CopyStringA(line, sizeof(line), label);
  platform::AppendStringA(line, sizeof(line), " ");
  platform::AppendStringA(line, sizeof(line), version);
  SetWindowTextA(control, line);
}

}  // namespace kalimu::pages
