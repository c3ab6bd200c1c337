// The binding margin dialog (template 2960), opened from the layout page while duplex printing is
// on: the binding edge (three choices) and the binding margin in 0.1 mm or 1/100 inch, kept inside
// the limits the settings derive from the paper. It works on the sheet's settings and keeps a
// copy of the device mode that Cancel puts back; it ends with 1 for OK and 0 for Cancel.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

enum BindingMarginControl : int {
  kBindingEdge0Radio = 2963,
  kBindingEdge2Radio = 2964,
  kBindingEdge1Radio = 2965,
  kBindingMarginEdit = 2966,
  kBindingMarginArrows = 2967,
  kBindingLimitsLabel = 2968,
  kBindingMetricRadio = 2970,
  kBindingInchRadio = 2971,
  kBindingPicture0 = 2972,  // bitmaps 7804, 7805, 7806
  kBindingHelpButton = 2975,
};
inline constexpr int kBindingMarginTemplate = 2960;
inline constexpr size_t kBindingLimitsChars = 128;

INT_PTR CALLBACK BindingMarginDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The dialog's steps, each what one message does; tests call them too.
void StartBindingMarginDialog(HWND dialog, PageParam* param);
// Limits of the current edge and unit kept in the shared record, the margin raised to the
// minimum, the label "[min ... max]" and the edit and arrows enabled unless the limits meet.
void UpdateBindingMarginLimits(HWND dialog, const PageParam& param);
void OnBindingMarginCommand(HWND dialog, const PageParam& param, int control, int code);
// SB_LINEUP / SB_LINEDOWN of the arrows: one step inside the kept limits.
void OnBindingMarginArrows(HWND dialog, const PageParam& param, int code);
void DrawBindingPicture(const PageParam& param, const DRAWITEMSTRUCT* item);

// "[min ... max]" (at most size - 1 characters).
void FormatBindingLimits(int32_t minimum, int32_t maximum, char* out, size_t size);

}  // namespace kalimu::pages
