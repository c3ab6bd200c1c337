// Tooltips of the two watermark dialogs: one tooltip window per dialog, a tool for every
// control but the labels with its text asked for on demand, and a per-thread message hook that
// relays the mouse to the tooltip. The state lives in a process-wide table of 16 thread slots.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace kalimu::watermark {

enum WatermarkToolTipKind : int {
  kEditDialogTips = 0,  // template 2800
  kListDialogTips = 1,  // template 2900
};
inline constexpr int kWatermarkToolTipSlots = 16;

// Creates the dialog's tooltip window (owned by the dialog, instance `module`, which supplies
// the texts), registers the controls and hooks the thread. 1 on success; 0 when every slot
// belongs to another thread, or the window or hook could not be made.
int InstallWatermarkToolTips(HWND dialog, HMODULE module, int kind);

// Unhooks the dialog kind's hook of the calling thread and clears that kind's fields; a slot
// whose kinds are both clear is free again for any thread.
void RemoveWatermarkToolTipHook(int kind);

// WM_NOTIFY: answers TTN_GETDISPINFOA with the control's string of the resource library (an
// empty text, no tip, for controls without one). True when the notification was answered.
bool HandleWatermarkToolTipNotify(HWND dialog, NMHDR* header, HMODULE module, int kind);

// The string id of a control's tip; 0 for none. List control 2903 follows radio 2868.
UINT GetWatermarkToolTipTextId(HWND dialog, int control_id, int kind);

// For tests: the calling thread's fields of one kind (nulls when it has no slot).
struct WatermarkToolTipFields {
  HWND dialog;
  HWND tooltip;
  HHOOK hook;
};
WatermarkToolTipFields GetWatermarkToolTipFields(int kind);

}  // namespace kalimu::watermark
