// Tooltips: the thread table, the tooltip windows and their relay hooks, and the answers to
// the tooltips' text requests.
#include "kalimu/pages/tooltips.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <utility>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/module_handle.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::pages {
namespace {

ToolTipThreadTable g_table = {};

// Texts handed to a tooltip must outlive the notification; one pair per thread.
thread_local char t_narrow_text[128];
thread_local wchar_t t_wide_text[256];
constexpr char kEmptyNarrow[] = "";
constexpr wchar_t kEmptyWide[] = L"";

constexpr int kFirstInkMeter = 25000;
constexpr int kInkMeters = 8;
constexpr uint16_t kPageKinds[] = {kMainPageTips, kPaperPageTips, kUtilityPageTips, kLayoutPageTips};

ToolTipSlot* SlotOfThread(DWORD thread) {
  for (ToolTipSlot& slot : g_table.slots) {
    if (slot.thread_id == thread) return &slot;
  }
  return nullptr;
}

ToolTipSlot* CurrentSlot() { return SlotOfThread(GetCurrentThreadId()); }

ToolTipSlot* CurrentOrFreeSlot() {
  if (ToolTipSlot* slot = CurrentSlot()) return slot;
  ToolTipSlot* slot = SlotOfThread(0);
  if (slot != nullptr) {
    *slot = ToolTipSlot{};
    slot->thread_id = GetCurrentThreadId();
  }
  return slot;
}

void Unhook(ToolTipEntry& entry) {
  if (entry.hook != nullptr) UnhookWindowsHookEx(entry.hook);
  entry = ToolTipEntry{};
}

bool IsRelayedMessage(UINT message) {
  return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
         message == WM_RBUTTONDOWN || message == WM_RBUTTONUP;
}

template <uint16_t Kind>
LRESULT CALLBACK RelayHook(int code, WPARAM wparam, LPARAM lparam) {
  ToolTipSlot* slot = CurrentSlot();
  if (slot == nullptr) return 0;
  const ToolTipEntry& entry = slot->entries[Kind];
  const MSG* message = reinterpret_cast<const MSG*>(lparam);
  if (code >= 0 && message != nullptr && entry.dialog != nullptr && IsChild(entry.dialog, message->hwnd) &&
      IsRelayedMessage(message->message) && entry.tooltip != nullptr) {
    MSG copy = {message->hwnd, message->message, message->wParam, message->lParam, 0, {}};
    SendMessageA(entry.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
  }
  return CallNextHookEx(entry.hook, code, wparam, lparam);
}

template <size_t... Kinds>
constexpr std::array<HOOKPROC, sizeof...(Kinds)> MakeRelayHooks(std::index_sequence<Kinds...>) {
  return {&RelayHook<static_cast<uint16_t>(Kinds)>...};
}
constexpr std::array<HOOKPROC, kToolTipKinds> kRelayHooks = MakeRelayHooks(std::make_index_sequence<kToolTipKinds>());

BOOL CALLBACK AddTool(HWND child, LPARAM kind_param) {
  const ToolTipSlot* slot = CurrentSlot();
  if (slot == nullptr) return FALSE;
  char class_name[64] = {};
  GetClassNameA(child, class_name, 63);
  if (lstrcmpiA(class_name, "Static") == 0) return TRUE;
  const ToolTipEntry& entry = slot->entries[kind_param];
  if (entry.tooltip == nullptr) return TRUE;
  TOOLINFOA tool = {};
  static_assert(sizeof(TOOLINFOA) >= 72);
  tool.cbSize = 72;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = entry.dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(entry.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  return TRUE;
}

int CreateKindToolTip(HWND dialog, uint16_t kind, ToolTipSlot& slot) {
  ToolTipEntry& entry = slot.entries[kind];
  // A new dialog of the kind replaces the entry; its old hook would relay to a stale tooltip.
  Unhook(entry);
  entry.dialog = dialog;
  entry.tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, platform::KalimuModule(), nullptr);
  const BOOL enumerated = EnumChildWindows(dialog, &AddTool, kind);
  entry.hook = SetWindowsHookExA(WH_GETMESSAGE, kRelayHooks[kind], platform::KalimuModule(), GetCurrentThreadId());
  return enumerated && entry.tooltip != nullptr && entry.hook != nullptr ? 1 : 0;
}

// Controls whose tooltip never takes its text from the resource library.
bool IsWithoutInstance(int control) {
  return control == 2019 || (control >= 2042 && control <= 2046) || control == 2057;
}

ToolTipText TextAnswer(const char* narrow, bool wide) {
  if (!wide) {
    platform::CopyStringA(t_narrow_text, std::size(t_narrow_text), narrow);
    return {0, t_narrow_text};
  }
  t_wide_text[0] = L'\0';
  if (wchar_t* converted = platform::AllocWideFromAnsi(narrow)) {
    platform::CopyStringW(t_wide_text, std::size(t_wide_text), converted);
    platform::FreeGlobalBlock(converted);
  }
  return {0, t_wide_text};
}

template <class DispInfo>
void AnswerDispInfo(DispInfo* info, const PageParam& param, uint16_t kind, bool wide) {
  const int control = GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom));
  info->hinst = IsWithoutInstance(control) ? nullptr : ResourceModuleOf(param);
  const ToolTipText text = GetToolTipTextId(param, control, kind, wide);
  if (text.string_id != 0) {
    info->lpszText = reinterpret_cast<decltype(info->lpszText)>(static_cast<uintptr_t>(text.string_id));
  } else {
    info->lpszText = static_cast<decltype(info->lpszText)>(const_cast<void*>(text.text));
  }
}

}  // namespace

int InstallToolTips(HWND dialog, uint16_t kind) {
  if (kind >= kToolTipKinds) return 0;
  ToolTipSlot* slot = CurrentOrFreeSlot();
  if (slot == nullptr) return 0;
  return CreateKindToolTip(dialog, kind, *slot);
}

void RemoveToolTipHook(uint16_t kind) {
  ToolTipSlot* slot = CurrentSlot();
  if (slot == nullptr || kind >= kToolTipKinds) return;
  Unhook(slot->entries[kind]);
}

void RemovePageToolTipHooks() {
  ToolTipSlot* slot = CurrentSlot();
  if (slot == nullptr) return;
  slot->thread_id = 0;
  for (uint16_t kind : kPageKinds) Unhook(slot->entries[kind]);
  // Hooks of other kinds could no longer find their entry: they go with the slot.
  for (ToolTipEntry& entry : slot->entries) Unhook(entry);
  *slot = ToolTipSlot{};
}

const ToolTipSlot* FindToolTipSlot() { return CurrentSlot(); }

ToolTipText GetToolTipTextId(const PageParam& param, int control_id, uint16_t kind, bool wide) {
  const ToolTipText empty = {0, wide ? static_cast<const void*>(kEmptyWide) : static_cast<const void*>(kEmptyNarrow)};
  JobSettings* settings = param.settings;
  if (kind == kMainPageTips && control_id >= kFirstInkMeter && control_id < kFirstInkMeter + kInkMeters) {
    char text[128] = {};
    GetInkToolTipText(param, control_id - kFirstInkMeter, text, sizeof(text));
    return TextAnswer(text, wide);
  }
  if (settings != nullptr) {
    if (kind == kMainPageTips && control_id == 2003 && settings->GetPrintModeType() == 2) {
      return {kMainModeTypeTwoText, nullptr};
    }
    if (kind == kPaperPageTips && control_id == kPaperSizeCombo) {
      const uint32_t options = settings->GetPaperOptions();
      if ((options & 1) != 0 && (options & 0x100) != 0) return {kPaperOptionsText, nullptr};
    }
    if (kind == kPageOrderTips && settings->GetPagesPerSheet() == 3 && control_id >= 2452 && control_id <= 2455) {
      return {kFourPagesTexts[control_id - 2452], nullptr};
    }
  }
  if (const auto id = FindToolTipText(kind, control_id)) return {*id, nullptr};
  return empty;
}

int GetInkToolTipText(const PageParam& param, int position, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  buffer[0] = '\0';
  if (param.settings == nullptr || position < 0 || position >= 32) return 0;
  JobSettings& settings = *param.settings;
  char text[256] = {};
  uint32_t mask = 0;
  settings.GetInkCodeMask(&mask);
  if ((mask >> position & 1) != 0) {
    // A position that holds either black ink: both blacks with their texts.
    char photo[64] = {}, photo_info[kInkInfoChars + 1] = {}, matte[64] = {}, matte_info[kInkInfoChars + 1] = {};
    LoadPageString(param, 3025, photo, sizeof(photo));
    GetInkInfoText(7, param, photo_info, sizeof(photo_info));
    LoadPageString(param, 3024, matte, sizeof(matte));
    GetInkInfoText(8, param, matte_info, sizeof(matte_info));
    std::snprintf(text, sizeof(text), "%s : %s / %s : %s", photo, photo_info, matte, matte_info);
  } else {
    char name[64] = {}, info[kInkInfoChars + 1] = {};
    LoadPageString(param, GetInkNameStringId(settings, position), name, sizeof(name));
    GetInkInfoText(GetInkPositionCode(settings, position), param, info, sizeof(info));
    std::snprintf(text, sizeof(text), "%s %s", name, info);
  }
  platform::CopyStringA(buffer, size, text);
  return 1;
}

void HandleToolTipNotify(NMHDR* header, const PageParam& param, uint16_t kind) {
  if (header == nullptr || header->code != TTN_GETDISPINFOW) return;
  AnswerDispInfo(reinterpret_cast<NMTTDISPINFOW*>(header), param, kind, true);
}

void HandleToolTipNotifyA(NMHDR* header, const PageParam& param, uint16_t kind) {
  if (header == nullptr || header->code != TTN_GETDISPINFOA) return;
  AnswerDispInfo(reinterpret_cast<NMTTDISPINFOA*>(header), param, kind, false);
}

}  // namespace kalimu::pages
