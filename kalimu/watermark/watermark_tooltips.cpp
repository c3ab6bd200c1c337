// The watermark dialogs' tooltip table, tools, hooks and texts.
#include "kalimu/watermark/watermark_tooltips.h"

#include <array>
#include <atomic>
#include <cstring>

namespace kalimu::watermark {
namespace {

struct KindFields {
  HWND dialog;
  HWND tooltip;
  HHOOK hook;
};

// A thread's slot: claimed by compare-exchange of its thread id, then touched by that thread
// only (hooks are per thread).
struct ToolTipSlot {
  std::atomic<uint64_t> thread_id;
  KindFields kinds[2];
};

ToolTipSlot table[kWatermarkToolTipSlots];

ToolTipSlot* FindSlot() {
  const uint64_t self = GetCurrentThreadId();
  for (ToolTipSlot& slot : table) {
    if (slot.thread_id.load() == self) return &slot;
  }
  return nullptr;
}

ToolTipSlot* FindOrClaimSlot() {
  if (ToolTipSlot* slot = FindSlot()) return slot;
  const uint64_t self = GetCurrentThreadId();
  for (ToolTipSlot& slot : table) {
    uint64_t free_id = 0;
    if (slot.thread_id.compare_exchange_strong(free_id, self)) {
      std::memset(slot.kinds, 0, sizeof(slot.kinds));
      return &slot;
    }
  }
  return nullptr;
}

bool ValidKind(int kind) { return kind == kEditDialogTips || kind == kListDialogTips; }

struct TextRow {
  int kind;
  int control;
  UINT string_id;
};
constexpr UINT kFollowsRadio = 0xFFFFFFFF;  // 2903: 3717 with text mode (2868 checked), else 3723
constexpr std::array<TextRow, 23> kTextRows = {{
    {0, 2031, 3003}, {0, 2802, 3702}, {0, 2806, 3903}, {0, 2808, 3708}, {0, 2810, 3709}, {0, 2812, 3705},
    {0, 2815, 3710}, {0, 2817, 3706}, {0, 2819, 3713}, {0, 2823, 3707}, {0, 2830, 3712}, {0, 2831, 3711},
    {0, 2835, 3711}, {0, 2873, 3711}, {1, 2868, 3721}, {1, 2869, 3722}, {1, 2901, 3714}, {1, 2902, 3715},
    {1, 2903, kFollowsRadio}, {1, 2904, 3716}, {1, 2908, 3718}, {1, 2909, 3720}, {1, 2910, 3719},
}};

void Relay(const MSG* message, const KindFields& fields) {
  switch (message->message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      if (fields.tooltip == nullptr) return;
      MSG copy{};
      copy.hwnd = message->hwnd;
      copy.message = message->message;
      copy.wParam = message->wParam;
      copy.lParam = message->lParam;
      SendMessageA(fields.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
      return;
    }
    default:
      return;
  }
}

LRESULT HookFor(int kind, int code, WPARAM wparam, LPARAM lparam) {
  ToolTipSlot* slot = FindSlot();
  if (slot == nullptr) return CallNextHookEx(nullptr, code, wparam, lparam);
  const KindFields& fields = slot->kinds[kind];
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code >= 0 && message != nullptr && fields.dialog != nullptr && IsChild(fields.dialog, message->hwnd)) {
    Relay(message, fields);
  }
  return CallNextHookEx(fields.hook, code, wparam, lparam);
}

LRESULT CALLBACK WatermarkEditToolTipHook(int code, WPARAM wparam, LPARAM lparam) {
  return HookFor(kEditDialogTips, code, wparam, lparam);
}
LRESULT CALLBACK WatermarkListToolTipHook(int code, WPARAM wparam, LPARAM lparam) {
  return HookFor(kListDialogTips, code, wparam, lparam);
}

struct EnumContext {
  int kind;
};

BOOL CALLBACK AddWatermarkToolTip(HWND child, LPARAM lparam) {
  const int kind = reinterpret_cast<const EnumContext*>(lparam)->kind;
  ToolTipSlot* slot = FindSlot();
  if (slot == nullptr) return FALSE;
  char class_name[65] = {};
  GetClassNameA(child, class_name, sizeof(class_name));
  if (lstrcmpiA(class_name, "Static") == 0) return TRUE;
  const KindFields& fields = slot->kinds[kind];
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = fields.dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  GetClientRect(child, &tool.rect);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  if (fields.tooltip != nullptr) SendMessageA(fields.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  return TRUE;
}

int CreateWatermarkToolTips(HWND dialog, HMODULE module, int kind, ToolTipSlot* slot) {
  KindFields& fields = slot->kinds[kind];
  fields.dialog = dialog;
  fields.tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, module, nullptr);
  EnumContext context{kind};
  const BOOL enumerated = EnumChildWindows(dialog, AddWatermarkToolTip, reinterpret_cast<LPARAM>(&context));
  fields.hook = SetWindowsHookExA(WH_GETMESSAGE,
                                  kind == kEditDialogTips ? WatermarkEditToolTipHook : WatermarkListToolTipHook,
                                  nullptr, GetCurrentThreadId());
  return enumerated && fields.tooltip != nullptr && fields.hook != nullptr ? 1 : 0;
}

}  // namespace

int InstallWatermarkToolTips(HWND dialog, HMODULE module, int kind) {
  if (!ValidKind(kind)) return 0;
  InitCommonControls();
  ToolTipSlot* slot = FindOrClaimSlot();
  if (slot == nullptr) return 0;
  // A hook left by an earlier dialog of this kind on the thread goes first.
  if (slot->kinds[kind].hook != nullptr) UnhookWindowsHookEx(slot->kinds[kind].hook);
  slot->kinds[kind] = {};
  return CreateWatermarkToolTips(dialog, module, kind, slot);
}

void RemoveWatermarkToolTipHook(int kind) {
  if (!ValidKind(kind)) return;
  ToolTipSlot* slot = FindSlot();
  if (slot == nullptr) return;
  if (slot->kinds[kind].hook != nullptr) UnhookWindowsHookEx(slot->kinds[kind].hook);
  slot->kinds[kind] = {};
  const KindFields& other = slot->kinds[1 - kind];
  if (other.dialog == nullptr && other.tooltip == nullptr && other.hook == nullptr) slot->thread_id.store(0);
}

UINT GetWatermarkToolTipTextId(HWND dialog, int control_id, int kind) {
  for (const TextRow& row : kTextRows) {
    if (row.kind == kind && row.control == control_id) {
      if (row.string_id != kFollowsRadio) return row.string_id;
      return IsDlgButtonChecked(dialog, 2868) == BST_CHECKED ? 3717 : 3723;
    }
  }
  return 0;
}

bool HandleWatermarkToolTipNotify(HWND dialog, NMHDR* header, HMODULE module, int kind) {
  if (header == nullptr || header->code != TTN_GETDISPINFOA) return false;
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
  static char empty[] = "";
  const UINT id = GetWatermarkToolTipTextId(dialog, GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)), kind);
  if (id == 0) {
    info->hinst = nullptr;
    info->lpszText = empty;
  } else {
    info->hinst = module;
    info->lpszText = MAKEINTRESOURCEA(id);
  }
  return true;
}

WatermarkToolTipFields GetWatermarkToolTipFields(int kind) {
  const ToolTipSlot* slot = ValidKind(kind) ? FindSlot() : nullptr;
  if (slot == nullptr) return {};
  return {slot->kinds[kind].dialog, slot->kinds[kind].tooltip, slot->kinds[kind].hook};
}

}  // namespace kalimu::watermark
