// Tooltips of the pages and the settings dialogs: one tooltip window per page or dialog, every
// child control but static texts as a tool whose text is asked for on demand, and a per-thread
// message hook that relays mouse messages to the tooltip (the dialogs' own loops do not).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_access.h"
#include "kalimu/pages/tooltip_texts.h"

namespace kalimu::pages {

inline constexpr size_t kToolTipThreadSlots = 16;

struct ToolTipEntry {
  HWND dialog;
  HWND tooltip;
  HHOOK hook;
};

struct ToolTipSlot {
  DWORD thread_id;  // 0: free
  ToolTipEntry entries[kToolTipKinds];
};

// The process-wide table of thread slots, used without a lock: every operation works on the
// calling thread's slot, and the hooks are the calling thread's own.
struct ToolTipThreadTable {
  ToolTipSlot slots[kToolTipThreadSlots];
};

// Registers the dialog's tooltips under `kind` on the calling thread's slot (claiming a free
// one). 1 when the children were enumerated and both the tooltip window and the hook were
// made; 0, with nothing done, when all slots belong to other threads.
int InstallToolTips(HWND dialog, uint16_t kind);
// Unhooks the calling thread's hook of `kind` and clears its entry. Nothing without a slot.
void RemoveToolTipHook(uint16_t kind);
// Unhooks the calling thread's hooks (the pages' kinds 0, 1, 3 and 2, then any other left) and
// frees and clears its slot. Nothing when the thread has no slot.
void RemovePageToolTipHooks();

// A tooltip's text: a string id of the resource library, or the address of a text.
struct ToolTipText {
  uint16_t string_id;  // 0: see text
  const void* text;    // narrow or wide as asked; an empty text shows nothing
};
// The text of a control under a kind. `wide`: a text answer is wide (the pages), else narrow.
ToolTipText GetToolTipTextId(const PageParam& param, int control_id, uint16_t kind, bool wide);
// The tooltip text of the main page's ink meter at `position`; 1 when a text was written.
int GetInkToolTipText(const PageParam& param, int position, char* buffer, size_t size);

// Answers TTN_GETDISPINFOW (pages); other notifications are left alone.
void HandleToolTipNotify(NMHDR* header, const PageParam& param, uint16_t kind);
// Answers TTN_GETDISPINFOA (dialogs); other notifications are left alone.
void HandleToolTipNotifyA(NMHDR* header, const PageParam& param, uint16_t kind);

// The calling thread's slot, or null (read-only view for diagnostics and tests).
const ToolTipSlot* FindToolTipSlot();

}  // namespace kalimu::pages
