// The colour-management group of the advanced settings dialog (colour mode 1): the management
// mode, and for up to three profile pairs a source profile, a rendering intent and a printer
// profile, with the description of an automatically chosen printer profile.
#include <windows.h>
#include <icm.h>

#include <algorithm>
#include <vector>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"

namespace kalimu::dialogs::advanced {
namespace {

constexpr uint32_t kListAllProfiles = 4;
constexpr uint32_t kNoPrinterProfiles = 73;  // every pair inactive
constexpr int kModeLabel = 8160;
constexpr int kModeCombo = 8161;
constexpr int kListAllCheck = 8173;
constexpr int kDescriptionLabel = 8190;
constexpr int kDescriptionText = 8191;
constexpr uint32_t kProfileChars = MAX_PATH;

struct ProfilePair {
  int check_label;  // 8165
  int check;
  int source_label;
  int source_combo;
  int intent_label;
  int intent_combo;
  int printer_label;
  int printer_combo;
  uint32_t active_flag;     // profile flag word
  uint32_t automatic_flag;
  uint32_t inactive_state;  // printer-combo state flags
  uint32_t generic_state;
  uint32_t automatic_state;
};
constexpr ProfilePair kPairs[3] = {
    {8165, 8166, 8167, 8168, 8169, 8170, 8171, 8172, 8, 64, 1, 2, 4},
    {8174, 8175, 8176, 8177, 8178, 8179, 8180, 8181, 16, 128, 8, 16, 0},
    {8182, 8183, 8184, 8185, 8186, 8187, 8188, 8189, 32, 256, 64, 128, 0},
};

void GetSource(JobSettings& s, int k, wchar_t* buffer) {
  if (k == 0) s.GetSourceProfile1(buffer, kProfileChars);
  if (k == 1) s.GetSourceProfile2(buffer, kProfileChars);
  if (k == 2) s.GetSourceProfile3(buffer, kProfileChars);
}
void SetSource(JobSettings& s, int k, const wchar_t* name) {
  if (k == 0) s.SetSourceProfile1(name);
  if (k == 1) s.SetSourceProfile2(name);
  if (k == 2) s.SetSourceProfile3(name);
}
void GetPrinter(JobSettings& s, int k, wchar_t* buffer) {
  if (k == 0) s.GetPrinterProfile1(buffer, kProfileChars);
  if (k == 1) s.GetPrinterProfile2(buffer, kProfileChars);
  if (k == 2) s.GetPrinterProfile3(buffer, kProfileChars);
}
void SetPrinter(JobSettings& s, int k, const wchar_t* name) {
  if (k == 0) s.SetPrinterProfile1(name);
  if (k == 1) s.SetPrinterProfile2(name);
  if (k == 2) s.SetPrinterProfile3(name);
}
void ClearShortNames(JobSettings& s, int k) {
  if (k == 0) {
    s.SetSourceProfile1ShortName(L"");
    s.SetPrinterProfile1ShortName(L"");
  } else if (k == 1) {
    s.SetSourceProfile2ShortName(L"");
    s.SetPrinterProfile2ShortName(L"");
  } else {
    s.SetSourceProfile3ShortName(L"");
    s.SetPrinterProfile3ShortName(L"");
  }
}
uint32_t GetIntent(JobSettings& s, int k) {
  return k == 0 ? s.GetIntent1() : k == 1 ? s.GetIntent2() : s.GetIntent3();
}
void SetIntent(JobSettings& s, int k, uint32_t intent) {
  if (k == 0) s.SetRenderingIntent(intent);
  if (k == 1) s.SetRenderingIntent2(intent);
  if (k == 2) s.SetRenderingIntent3(intent);
}

bool PairActive(JobSettings& s, int k) { return s.TestProfileFlagBits(kPairs[k].active_flag) != 0; }

void ShowAndEnable(HWND dialog, int id, bool show, bool enable) {
  ShowItem(dialog, id, show);
  EnableItem(dialog, id, enable);
}

void SelectByData(HWND dialog, int combo, LPARAM data) {
  const LRESULT count = SendDlgItemMessageW(dialog, combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendDlgItemMessageW(dialog, combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) {
      SendDlgItemMessageW(dialog, combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return;
    }
  }
}

void AddItem(HWND dialog, int combo, const wchar_t* text, LPARAM data, bool at_top) {
  const LRESULT at = at_top ? SendDlgItemMessageW(dialog, combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text))
                            : SendDlgItemMessageW(dialog, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (at >= 0) SendDlgItemMessageW(dialog, combo, CB_SETITEMDATA, static_cast<WPARAM>(at), data);
}

// Rows of the three pairs: row 1 always; rows 2 and 3 only in mode 3, each enabled by its pair.
void ShowPairRows(HWND dialog, JobSettings& s, uint32_t mode, int first, int second) {
  for (int k = 0; k < 3; ++k) {
    const bool show = k == 0 || mode == 3;
    const bool enable = mode == 3 ? PairActive(s, k) : k == 0;
    for (int id : {first == 0 ? kPairs[k].source_label : kPairs[k].printer_label,
                   second == 0 ? kPairs[k].source_combo : kPairs[k].printer_combo}) {
      ShowAndEnable(dialog, id, show, enable);
    }
  }
}

void FillModeCombo(HWND dialog, const PageParam& param) {
  SendDlgItemMessageW(dialog, kModeCombo, CB_RESETCONTENT, 0, 0);
  struct Item {
    UINT string_id;
    int32_t data;
  };
  for (const Item& item : {Item{8163, 2}, Item{8164, 3}, Item{8162, 1}}) {
    wchar_t text[128] = {};
    pages::LoadPageStringW(param, item.string_id, text, 128);
    AddItem(dialog, kModeCombo, text, item.data, false);
  }
  SelectByData(dialog, kModeCombo, static_cast<LPARAM>(param.settings->GetColorManagementMode()));
}

void FillSourceCombos(HWND dialog, const PageParam& param, uint32_t mode) {
  JobSettings& s = *param.settings;
  for (const ProfilePair& pair : kPairs) SendDlgItemMessageW(dialog, pair.source_combo, CB_RESETCONTENT, 0, 0);
  if (mode == 1) {
    for (const ProfilePair& pair : kPairs) {
      ShowAndEnable(dialog, pair.source_label, false, false);
      ShowAndEnable(dialog, pair.source_combo, false, false);
    }
    return;
  }
  wchar_t name[kProfileChars] = {};
  if (s.TestProfileFlagBits(kListAllProfiles)) {
    const uint32_t count = s.GetSourceProfileCount(0);
    for (uint32_t i = 0; i < count; ++i) {
      name[0] = L'\0';
      s.GetSourceProfileName(i, name, kProfileChars);
      for (const ProfilePair& pair : kPairs) AddItem(dialog, pair.source_combo, name, i, false);
    }
  } else {
    // Inserted at the top one after another: the list reads sRGB, Adobe RGB, ColorMatch RGB.
    int (JobSettings::*finders[3])(uint32_t*) = {&JobSettings::FindColorMatchRgbProfile,
                                                 &JobSettings::FindAdobeRgbProfile, &JobSettings::FindSrgbProfile};
    for (auto finder : finders) {
      uint32_t index = 0;
      if (!(s.*finder)(&index)) continue;
      name[0] = L'\0';
      s.GetSourceProfileName(index, name, kProfileChars);
      for (const ProfilePair& pair : kPairs) AddItem(dialog, pair.source_combo, name, index, true);
    }
  }
  if (SendDlgItemMessageW(dialog, kPairs[0].source_combo, CB_GETCOUNT, 0, 0) <= 0) {
    for (const ProfilePair& pair : kPairs) {
      ShowAndEnable(dialog, pair.source_label, true, false);
      ShowAndEnable(dialog, pair.source_combo, true, false);
    }
    return;
  }
  ShowPairRows(dialog, s, mode, 0, 0);
  for (int k = 0; k < 3; ++k) {
    if (!PairActive(s, k)) {
      SendDlgItemMessageW(dialog, kPairs[k].source_combo, CB_RESETCONTENT, 0, 0);
      continue;
    }
    wchar_t stored[kProfileChars] = {};
    GetSource(s, k, stored);
    SelectByData(dialog, kPairs[k].source_combo, static_cast<LPARAM>(s.FindSourceProfile(stored)));
  }
}

uint32_t FillPrinterCombos(HWND dialog, const PageParam& param, uint32_t mode) {
  JobSettings& s = *param.settings;
  for (const ProfilePair& pair : kPairs) SendDlgItemMessageW(dialog, pair.printer_combo, CB_RESETCONTENT, 0, 0);
  const bool all = s.TestProfileFlagBits(kListAllProfiles) != 0;
  const uint32_t n = s.GetPrinterProfileCount(1);
  HWND combo = GetDlgItem(dialog, kPairs[0].printer_combo);
  HDC dc = GetDC(dialog);
  HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  bool automatic = false;
  bool listed = false;
  LONG widest = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const bool flag1 = s.PrinterProfileHasFlags(i, 1) != 0;
    if (!all && !flag1) continue;
    if (flag1 && s.PrinterProfileHasFlags(i, 8) != 0 &&
        (s.PrinterProfileHasFlags(i, 16) == 0 || s.PrinterProfileMatchesMedia(i) != 0)) {
      automatic = true;
      if (!all) continue;
    }
    wchar_t name[kProfileChars] = {};
    s.GetPrinterProfileName(i, name, kProfileChars);
    for (const ProfilePair& pair : kPairs) AddItem(dialog, pair.printer_combo, name, i, false);
    SIZE extent{};
    GetTextExtentPoint32W(dc, name, lstrlenW(name), &extent);
    widest = std::max(widest, extent.cx);
    listed = true;
  }
  SelectObject(dc, old_font);
  ReleaseDC(dialog, dc);
  if (!listed && !automatic) {
    // The rows stay where the mode shows them, disabled.
    for (int k = 0; k < 3; ++k) {
      const bool show = k == 0 || mode == 3;
      ShowAndEnable(dialog, kPairs[k].printer_label, show, false);
      ShowAndEnable(dialog, kPairs[k].printer_combo, show, false);
    }
    return kNoPrinterProfiles;
  }
  ShowPairRows(dialog, s, mode, 1, 1);
  if (automatic) {
    wchar_t text[128] = {};
    pages::LoadPageStringW(param, 1774, text, 128);
    for (const ProfilePair& pair : kPairs) AddItem(dialog, pair.printer_combo, text, n, true);
  }
  RECT client{};
  GetClientRect(combo, &client);
  for (const ProfilePair& pair : kPairs) {
    SendDlgItemMessageW(dialog, pair.printer_combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max(widest, client.right)),
                        0);
  }
  uint32_t state = 0;
  for (int k = 0; k < 3; ++k) {
    const ProfilePair& pair = kPairs[k];
    if (!PairActive(s, k)) {
      SendDlgItemMessageW(dialog, pair.printer_combo, CB_RESETCONTENT, 0, 0);
      state |= pair.inactive_state;
      continue;
    }
    wchar_t stored[kProfileChars] = {};
    GetPrinter(s, k, stored);
    if (s.TestProfileFlagBits(pair.automatic_flag)) {
      SelectByData(dialog, pair.printer_combo, n);
      state |= pair.automatic_state;
    } else {
      SelectByData(dialog, pair.printer_combo, static_cast<LPARAM>(s.FindPrinterProfile(stored)));
    }
    if (s.IsGenericPrinterProfile(stored)) state |= pair.generic_state;
  }
  return state;
}

void FillIntentCombos(HWND dialog, const PageParam& param, uint32_t mode, uint32_t state) {
  JobSettings& s = *param.settings;
  for (int k = 0; k < 3; ++k) {
    const ProfilePair& pair = kPairs[k];
    SendDlgItemMessageW(dialog, pair.intent_combo, CB_RESETCONTENT, 0, 0);
    const bool show = k == 0 || mode == 3;
    if ((state & pair.inactive_state) != 0) {
      ShowAndEnable(dialog, pair.intent_label, show, false);
      ShowAndEnable(dialog, pair.intent_combo, show, false);
      continue;
    }
    const bool enable = mode == 3 ? PairActive(s, k) : k == 0;
    ShowAndEnable(dialog, pair.intent_label, show, enable);
    ShowAndEnable(dialog, pair.intent_combo, show, enable);
    wchar_t text[128] = {};
    if ((state & pair.generic_state) != 0) {
      pages::LoadPageStringW(param, 1771, text, 128);
      AddItem(dialog, pair.intent_combo, text, 2, false);
      SendDlgItemMessageW(dialog, pair.intent_combo, CB_SETCURSEL, 0, 0);
      continue;
    }
    for (int i = 0; i < 4; ++i) {
      pages::LoadPageStringW(param, static_cast<UINT>(1770 + i), text, 128);
      AddItem(dialog, pair.intent_combo, text, i + 1, false);
    }
    const uint32_t intent = GetIntent(s, k);
    if (intent >= 1 && intent <= 4) SendDlgItemMessageW(dialog, pair.intent_combo, CB_SETCURSEL, intent - 1, 0);
  }
}

void ShowProfileDescription(HWND dialog, const PageParam& param, uint32_t state) {
  SetDlgItemTextW(dialog, kDescriptionText, L"");
  const bool automatic = (state & kPairs[0].automatic_state) != 0;
  ShowAndEnable(dialog, kDescriptionLabel, true, automatic);
  ShowAndEnable(dialog, kDescriptionText, true, automatic);
  if (!automatic) return;
  wchar_t path[kProfileChars] = {};
  param.settings->GetPrinterProfile1(path, kProfileChars);
  PROFILE profile{PROFILE_FILENAME, path, static_cast<DWORD>((lstrlenW(path) + 1) * sizeof(wchar_t))};
  HPROFILE handle = OpenColorProfileW(&profile, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (handle == nullptr) return;
  const uint32_t length = settings::ReadProfileDescription(handle, nullptr, 0);
  if (length > 0) {
    std::vector<char> text(length + 1, '\0');
    settings::ReadProfileDescription(handle, text.data(), length);
    std::vector<wchar_t> wide(length + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), -1, wide.data(), static_cast<int>(wide.size()));
    SetDlgItemTextW(dialog, kDescriptionText, wide.data());
  }
  CloseColorProfile(handle);
}

// The drop list as wide as its widest item (with a scroll bar), never narrower than the combo.
void WidenComboDropList(HWND combo) {
  HDC dc = GetDC(combo);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  LONG widest = 0;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length <= 0) continue;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    RECT r{};
    DrawTextW(dc, text.data(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    r.right += GetSystemMetrics(SM_CXVSCROLL);
    AdjustWindowRect(&r, WS_DLGFRAME, FALSE);
    widest = std::max(widest, r.right - r.left);
  }
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  RECT client{};
  GetClientRect(combo, &client);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max(widest, client.right)), 0);
}

int PairOf(int id, int ProfilePair::*field) {
  for (int k = 0; k < 3; ++k) {
    if (kPairs[k].*field == id) return k;
  }
  return -1;
}

}  // namespace

void UpdateColorManagementGroup(HWND dialog, const PageParam& param) {
  JobSettings& s = *param.settings;
  if (s.GetColorMode() != 1) {
    for (int id : {kModeLabel, kModeCombo, kDescriptionLabel, kDescriptionText, kListAllCheck}) {
      ShowAndEnable(dialog, id, false, false);
    }
    for (const ProfilePair& pair : kPairs) {
      for (int id = pair.check_label; id <= pair.printer_combo; ++id) ShowAndEnable(dialog, id, false, false);
    }
    return;
  }
  for (int id : {kModeLabel, kModeCombo, kListAllCheck}) ShowItem(dialog, id, true);
  FillModeCombo(dialog, param);
  const uint32_t mode = s.GetColorManagementMode();
  for (int id : {kModeLabel, kModeCombo}) EnableItem(dialog, id, true);
  if (mode == 3) {
    for (const ProfilePair& pair : kPairs) {
      ShowAndEnable(dialog, pair.check_label, true, true);
      ShowAndEnable(dialog, pair.check, true, true);
    }
    ShowAndEnable(dialog, kListAllCheck, true, true);
  } else {
    ShowAndEnable(dialog, kPairs[0].check_label, true, false);
    ShowAndEnable(dialog, kPairs[0].check, true, false);
    for (int k = 1; k < 3; ++k) {
      ShowItem(dialog, kPairs[k].check_label, false);
      ShowItem(dialog, kPairs[k].check, false);
    }
    ShowAndEnable(dialog, kListAllCheck, true, mode != 1);
  }
  for (int k = 0; k < 3; ++k) CheckItem(dialog, kPairs[k].check, PairActive(s, k));
  CheckItem(dialog, kListAllCheck, s.TestProfileFlagBits(kListAllProfiles) != 0);
  FillSourceCombos(dialog, param, mode);
  const uint32_t state = FillPrinterCombos(dialog, param, mode);
  FillIntentCombos(dialog, param, mode, state);
  ShowProfileDescription(dialog, param, state);
}

bool OnColorManagementCommand(HWND dialog, const PageParam& param, int id, int code) {
  JobSettings& s = *param.settings;
  wchar_t path[kProfileChars] = {};
  LPARAM data = 0;
  if (id == kModeCombo) {
    if (code != CBN_SELCHANGE || !SelectedData(dialog, kModeCombo, &data)) return true;
    ClearUserEntry(param);
    if (data == 1) s.SetHostIcmMode(1);
    if (data == 2) s.SetPerObjectIcmMode(1);
    if (data == 3) s.SetDriverIcmMode(1);
    ApplyAdvancedWidthRule(dialog, param);
    UpdateColorManagementGroup(dialog, param);
    return true;
  }
  if (id == kListAllCheck) {
    ClearUserEntry(param);
    s.SetProfileFlagBits(kListAllProfiles, IsChecked(dialog, kListAllCheck) ? 1 : 0);
    s.SelectDefaultSourceProfiles();
    s.SelectPrinterProfilesForMedia(1);
    UpdateColorManagementGroup(dialog, param);
    return true;
  }
  if (int k = PairOf(id, &ProfilePair::check); k >= 0) {
    ClearUserEntry(param);
    const ProfilePair& pair = kPairs[k];
    const bool on = IsChecked(dialog, pair.check);
    s.SetProfileFlagBits(pair.active_flag, on ? 1 : 0);
    if (on) {
      s.GetSelectedSourceProfile(path, kProfileChars);
      SetSource(s, k, path);
      path[0] = L'\0';
      const int automatic = s.GetSelectedPrinterProfile(path, kProfileChars);
      s.SetProfileFlagBits(pair.automatic_flag, automatic != 0 ? 1 : 0);
      SetPrinter(s, k, path);
    } else {
      ClearShortNames(s, k);
      s.SetProfileFlagBits(pair.automatic_flag, 0);
    }
    SetIntent(s, k, s.GetRenderingIntent());
    UpdateColorManagementGroup(dialog, param);
    return true;
  }
  if (int k = PairOf(id, &ProfilePair::source_combo); k >= 0) {
    if (code == CBN_DROPDOWN) {
      WidenComboDropList(GetDlgItem(dialog, id));
    } else if (code == CBN_SELCHANGE && SelectedData(dialog, id, &data)) {
      ClearUserEntry(param);
      if (s.GetSourceProfilePath(static_cast<uint32_t>(data), path, kProfileChars, 0)) SetSource(s, k, path);
    }
    return true;
  }
  if (int k = PairOf(id, &ProfilePair::printer_combo); k >= 0) {
    if (code == CBN_DROPDOWN) {
      WidenComboDropList(GetDlgItem(dialog, id));
      return true;
    }
    // No selection is no choice: the stored profile stays.
    if (code != CBN_SELCHANGE || !SelectedData(dialog, id, &data)) return true;
    ClearUserEntry(param);
    const ProfilePair& pair = kPairs[k];
    if (static_cast<uint32_t>(data) < s.GetPrinterProfileCount(0)) {
      s.GetPrinterProfilePath(static_cast<uint32_t>(data), path, kProfileChars, 0);
      s.SetProfileFlagBits(pair.automatic_flag, 0);
    } else {
      const int found = s.FindPrinterProfileForMedia(path, kProfileChars, 1);
      s.SetProfileFlagBits(pair.automatic_flag, found != 0 ? 1 : 0);
    }
    SetPrinter(s, k, path);
    UpdateColorManagementGroup(dialog, param);
    return true;
  }
  if (int k = PairOf(id, &ProfilePair::intent_combo); k >= 0) {
    if (code != CBN_SELCHANGE || !SelectedData(dialog, id, &data)) return true;
    ClearUserEntry(param);
    SetIntent(s, k, data >= 1 && data <= 4 ? static_cast<uint32_t>(data) : 0);
    return true;
  }
  return false;
}

}  // namespace kalimu::dialogs::advanced
