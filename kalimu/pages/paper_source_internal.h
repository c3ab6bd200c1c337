// Small steps the paper page's files share: the current source's bits, control state and list
// helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages::paper_source {

inline int16_t Current(settings::JobSettings& s) { return static_cast<int16_t>(s.GetPaperSourceIndex()); }
inline bool SourceBit(settings::JobSettings& s, uint32_t mask) { return s.TestPaperSourceFlags8(Current(s), mask) != 0; }
inline bool SourceWord12Bit(settings::JobSettings& s, uint32_t mask) {
  return s.TestPaperSourceFlags12(Current(s), mask) != 0;
}
inline bool MediaBit(settings::JobSettings& s, uint32_t mask) {
  return s.TestMediaTypeFlags8(static_cast<int16_t>(s.GetCurrentMediaIndex()), mask) != 0;
}
inline uint32_t SourceCodeWord(settings::JobSettings& s) {
  uint32_t word = 0;
  s.GetPaperSourceValue8(static_cast<uint16_t>(Current(s)), &word);
  return word;
}
inline int32_t SourceId(settings::JobSettings& s) { return s.GetDefaultSource(); }

inline void Enable(HWND page, int control, bool on) { EnableWindow(GetDlgItem(page, control), on ? TRUE : FALSE); }
inline void Check(HWND page, int control, bool on) { CheckDlgButton(page, control, on ? BST_CHECKED : BST_UNCHECKED); }
inline bool Checked(HWND page, int control) { return IsDlgButtonChecked(page, control) == BST_CHECKED; }
inline void Show(HWND page, int control, bool on) { ShowWindow(GetDlgItem(page, control), on ? SW_SHOW : SW_HIDE); }
// Enabled and shown, or disabled and hidden.
inline void EnableShow(HWND page, int control, bool on) {
  Enable(page, control, on);
  Show(page, control, on);
}

// The item data of the list's selection, or -1 without one.
inline LRESULT SelectedData(HWND page, int control) {
  HWND list = GetDlgItem(page, control);
  const LRESULT item = SendMessageA(list, CB_GETCURSEL, 0, 0);
  return item == CB_ERR ? -1 : SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
}
// The text of a combo item, whole.
inline std::string ItemText(HWND list, LRESULT item) {
  const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}
// Appends text with item data; answers the item's position.
inline LRESULT AddItem(HWND page, int control, const char* text, LPARAM data) {
  HWND list = GetDlgItem(page, control);
  const LRESULT at = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (at >= 0) SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(at), data);
  return at;
}
// Selects the first item whose data is `data`; false when none holds it.
inline bool SelectData(HWND page, int control, LPARAM data) {
  HWND list = GetDlgItem(page, control);
  const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) {
      SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return true;
    }
  }
  return false;
}

}  // namespace kalimu::pages::paper_source
