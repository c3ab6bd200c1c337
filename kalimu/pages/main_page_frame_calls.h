// Calls of the page frame that the main and utility pages make: the change notification and
// the driver version line.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

// PSM_CHANGED to the sheet window of PageShared (wParam the page): 1, or 0 without a sheet window.
uint16_t NotifySheetChanged(HWND page, const PageParam& param);
// String 8064 (at most 64 characters), a blank and the driver version text, as the control's text.
void ShowDriverVersionText(HWND control, const PageParam& param);

}  // namespace kalimu::pages
