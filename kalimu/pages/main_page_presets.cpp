// The main page's preset lists (model, user and group-2 presets) and the preset choice.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "kalimu/pages/main_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_helpers.h"

namespace kalimu::pages {
namespace {

constexpr UINT kFirstPresetString = 1600;
constexpr UINT kCustomPresetString = 1650;
constexpr uint32_t kModelLongNames = 0x100000;  // header word 24: user preset names of 32 characters
constexpr UINT kProfilesMissingText = 2036;
constexpr UINT kProfilesMissingCaption = 2035;
constexpr size_t kUserEntryBytes = 408;
constexpr size_t kUserEntryColourOffset = 280;

HWND PresetCombo(HWND window) { return GetDlgItem(window, kPresetList); }

uint32_t ModelPresetCount(JobSettings& s) {
  uint32_t count = 0;
  s.GetPresetCount(&count);
  return count;
}

// Adds a narrow item with its data unless an item of that text is listed already (or it is empty).
bool AddUniqueItem(HWND combo, const char* text, LPARAM data) {
  if (text[0] == '\0') return false;
  LRESULT at = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (at != CB_ERR) {
    char listed[256] = {};
    if (SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0) < static_cast<LRESULT>(sizeof(listed))) {
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(listed));
      if (lstrcmpA(listed, text) == 0) return false;
    }
  }
  at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), data);
  return true;
}

void AddCustomEntry(HWND window, PageParam& param) {
  HWND combo = PresetCombo(window);
  char text[128] = {};
  LoadPageString(param, kCustomPresetString, text, sizeof(text));
  const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), kCustomPresetItem);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

LPARAM SelectedData(HWND window) {
  HWND combo = PresetCombo(window);
  const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  return at == CB_ERR ? CB_ERR : SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0);
}

std::wstring ItemTextW(HWND combo, LRESULT at) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

size_t UserNameChars(JobSettings& s) { return s.TestModelHeaderFlags24(kModelLongNames) ? 32 : 16; }

void SelectModelPresetItem(HWND window, PageParam& param, int flag) {
  HWND combo = PresetCombo(window);
  char custom[128] = {};
  LoadPageString(param, kCustomPresetString, custom, sizeof(custom));
  char shown[256] = {};
  GetWindowTextA(combo, shown, sizeof(shown));
  if (flag == 1 && lstrcmpA(shown, custom) == 0) {
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    return;
  }
  char wanted[128] = {};
  LoadPageString(param, kFirstPresetString + static_cast<UINT>(param.settings->GetPresetId()), wanted, sizeof(wanted));
  std::vector<LRESULT> seen;
  LRESULT from = -1;
  for (;;) {
    const LRESULT at = SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(wanted));
    if (at == CB_ERR || wanted[0] == '\0' || std::find(seen.begin(), seen.end(), at) != seen.end()) break;
    seen.push_back(at);
    char text[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
    if (lstrcmpA(text, wanted) == 0) {
      SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
      return;
    }
    from = at;
  }
  AddCustomEntry(window, param);
}

// The item whose text is the user preset's name (at most 128 characters), else item 0.
LRESULT FindUserPresetItem(HWND combo, const std::wstring& name) {
  constexpr size_t kCompared = 128;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT at = 0; at < count; ++at) {
    if (ItemTextW(combo, at).substr(0, kCompared) == name.substr(0, kCompared)) return at;
  }
  return 0;
}

// Selects the user preset's item: the search for its name starts after the item that holds it
// exactly and goes on while it only finds names that begin with it; a name that is never found
// exactly within (user count + 1) searches means custom settings.
void SelectUserPresetItem(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  HWND combo = PresetCombo(window);
  wchar_t name[33] = {};
  s.GetUserPresetName(name, 33);
  name[UserNameChars(s)] = L'\0';
  const std::wstring wanted = name;
  uint32_t users = 0;
  s.GetSettingsCount(&users);
  LRESULT at = SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(FindUserPresetItem(combo, wanted)),
                            reinterpret_cast<LPARAM>(name));
  for (uint32_t searches = 0; at != CB_ERR && ItemTextW(combo, at) != wanted; ++searches) {
    if (searches > users) {
      s.SetPresetKind5();
      break;
    }
    at = SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(name));
  }
  if (at != CB_ERR && ItemTextW(combo, at) == wanted) return;
  AddCustomEntry(window, param);
}

}  // namespace

int FillModelPresetList(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  uint32_t group0 = 0;
  uint32_t group1 = 0;
  s.GetPresetGroup0Count(&group0);
  s.GetPresetGroup1Count(&group1);
  const LRESULT media_item = SendDlgItemMessageA(window, kMainMediaCombo, CB_GETCURSEL, 0, 0);
  const LRESULT media = media_item == CB_ERR ? static_cast<LRESULT>(s.GetCurrentMediaIndex())
                                             : SendDlgItemMessageA(window, kMainMediaCombo, CB_GETITEMDATA,
                                                                   static_cast<WPARAM>(media_item), 0);
  const int32_t source = static_cast<int32_t>(s.GetDefaultSource());
  int added = 0;
  for (uint32_t p = group0; p < group0 + group1; ++p) {
    const auto index = static_cast<uint16_t>(p);
    int32_t value12 = -1;
    int32_t value0 = 0;
    s.GetPresetValue12(index, &value12);
    s.GetPresetValue0(index, &value0);
    if (!s.PresetAllowsSource(index, source) || value12 != s.GetModeVariant() || s.GetPresetMediaIndex(index) != media) {
      continue;
    }
    char text[128] = {};
    LoadPageString(param, kFirstPresetString + static_cast<UINT>(value0), text, sizeof(text));
    if (AddUniqueItem(PresetCombo(window), text, value0)) ++added;
  }
  return added;
}

int FillUserPresetList(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  uint32_t users = 0;
  s.GetSettingsCount(&users);
  const uint32_t presets = ModelPresetCount(s);
  HWND combo = PresetCombo(window);
  int added = 0;
  int widest = 0;
  HDC dc = GetDC(combo);
  HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  for (uint32_t u = users; u-- > 0;) {
    const auto index = static_cast<uint16_t>(u);
    int32_t media_id = 0;
    s.GetSettingsValue288(index, &media_id);
    settings::SelectionSnapshot check = {};
    check.keep = settings::kCheckUserPreset | settings::kKeepMedia | settings::kKeepSource;  // 82
    check.user_preset_index = index;
    check.media_index = s.FindMediaIndexById(media_id);
    check.source_index = s.GetDefaultSourceIndex2();
    if ((s.CheckSelection(&check) & (settings::kConflictUserPreset | settings::kConflictMedia)) != 0) continue;
    wchar_t name[33] = {};
    s.GetSettingsName(index, name, 33);
    const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), presets + u);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, name, static_cast<int>(wcslen(name)), &extent);
    widest = std::max<int>(widest, extent.cx);
    ++added;
  }
  SelectObject(dc, old_font);
  ReleaseDC(combo, dc);
  if (s.TestModelHeaderFlags24(kModelLongNames)) {
    RECT client = {};
    GetClientRect(combo, &client);
    SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max<int>(client.right, widest + 8)), 0);
  }
  return added;
}

void RefreshPresetList(HWND window, PageParam& param, int flag) {
  JobSettings& s = *param.settings;
  if (s.GetPrintModeType() == 2) return;
  SendMessageA(PresetCombo(window), CB_RESETCONTENT, 0, 0);
  const int listed = FillModelPresetList(window, param) + FillUserPresetList(window, param);
  if (listed == 0) {
    AddCustomEntry(window, param);
  } else if (s.IsPresetKind5()) {
    if (flag == 1) {
      SendMessageA(PresetCombo(window), CB_SETCURSEL, 0, 0);
    } else {
      AddCustomEntry(window, param);
    }
  } else if (s.IsPresetKind2()) {
    SelectUserPresetItem(window, param);
  } else {
    SelectModelPresetItem(window, param, flag);
  }
}

void FillGroup2PresetList(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  HWND combo = PresetCombo(window);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  uint32_t group0 = 0;
  uint32_t group1 = 0;
  uint32_t group2 = 0;
  s.GetPresetGroup0Count(&group0);
  s.GetPresetGroup1Count(&group1);
  s.GetPresetGroup2Count(&group2);
  const uint16_t media = s.GetCurrentMediaIndex();
  std::vector<int32_t> listed;  // every value the model data can hold is tracked
  for (uint32_t p = group0 + group1; p < group0 + group1 + group2; ++p) {
    const auto index = static_cast<uint16_t>(p);
    int32_t value12 = -1;
    int32_t value0 = 0;
    s.GetPresetValue12(index, &value12);
    s.GetPresetValue0(index, &value0);
    if (s.GetPresetMediaIndex(index) != media || value12 != s.GetModeVariant()) continue;
    if (std::find(listed.begin(), listed.end(), value0) != listed.end()) continue;
    listed.push_back(value0);
    char text[128] = {};
    LoadPageString(param, kFirstPresetString + static_cast<UINT>(value0), text, sizeof(text));
    const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), value0);
  }
  char wanted[128] = {};
  LoadPageString(param, kFirstPresetString + static_cast<UINT>(s.GetPresetId()), wanted, sizeof(wanted));
  SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted));
}

void OnPresetListDropDown(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  const uint32_t type = s.GetPrintModeType();
  if (type != 2) RefreshPresetList(window, param, 1);
  if (s.IsPresetKind5()) return;
  const LPARAM data = SelectedData(window);
  const bool model_preset = data != CB_ERR && data < static_cast<LPARAM>(ModelPresetCount(s));
  if (type != 0 || model_preset) {
    FillMediaTypeCombo(window, param, 2);
    if (type != 2) RefreshPresetList(window, param, 1);
  } else {
    FillMediaTypeCombo(window, param, 3);
  }
}

void OnPresetListCloseUp(HWND window, PageParam& param) {
  if (!param.settings->IsPresetKind5()) return;
  FillMediaTypeCombo(window, param, 3);
  if (param.settings->GetPrintModeType() != 2) RefreshPresetList(window, param, 0);
}

void OnPresetSelected(HWND window, PageParam& param) {
  JobSettings& s = *param.settings;
  HWND combo = PresetCombo(window);
  if (SendMessageA(combo, CB_GETCOUNT, 0, 0) == 1 &&
      SendMessageA(combo, CB_GETITEMDATA, 0, 0) == kCustomPresetItem) {
    return;
  }
  NotifySheetChanged(window, &param);
  const LPARAM a = SelectedData(window);
  if (a == CB_ERR || a == kCustomPresetItem) return;
  const auto m = static_cast<LPARAM>(ModelPresetCount(s));
  const bool user = a >= m;
  if (user && s.CheckPresetProfiles(static_cast<uint16_t>(a - m)) == 1) {
    char caption[MAX_PATH] = {};
    char text[kMessageTextChars] = {};
    LoadPageString(param, kProfilesMissingCaption, caption, MAX_PATH);
    LoadPageString(param, kProfilesMissingText, text, static_cast<int>(kMessageTextChars));
    MessageBoxA(window, text, caption, MB_ICONERROR);
    RefreshPresetList(window, param, 0);
    return;
  }
  const uint32_t type = s.GetPrintModeType();
  if (!user && s.IsPresetKind1Or4() && a == s.GetPresetId()) return;
  const auto user_index = static_cast<uint16_t>(user ? a - m : 0);
  if (type == 0 && user) {
    wchar_t current[17] = {};
    s.GetUserPresetName(current, 17);
    const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    int32_t mode_id = 0;
    s.GetSettingsValue286(user_index, &mode_id);
    if (ItemTextW(combo, at) == current && mode_id == static_cast<int32_t>(s.GetModeId())) return;
  }

  if (type != 0) {
    const int32_t correction = s.GetCorrectionOption();
    s.SelectPresetInGroup2(static_cast<int32_t>(a), 3);
    s.SetCorrectionOption(correction);
  } else {
    const int kept_halftone = s.IsHalftoneOptionChecked();
    if (!user) {
      s.SelectPresetInGroup1(static_cast<int32_t>(a), 3);
    } else {
      s.ApplyPresetByIndex(static_cast<uint16_t>(a));
      SelectModeVariantItem(window, param, kModeVariantCombo);
      int32_t colour = 0;
      s.GetSettingsValue292(user_index, &colour);
      CheckRadioButton(window, kColourRadio, kBlackRadio, colour == 1 ? kColourRadio : kBlackRadio);
      param.shared->colour_picture_id = colour == 1 ? kColourPicture : kBlackPicture;
      EnableWindow(GetDlgItem(window, kModeRadioType2), s.GetModeVariant() != 0);
      uint8_t entry[kUserEntryBytes] = {};
      if (s.GetSettingsEntry(user_index, entry, sizeof(entry))) {
        s.ApplyPresetColor(reinterpret_cast<const settings::DevModeSettingsRecord*>(entry + kUserEntryColourOffset));
      }
      ShowMediaNotice(window, param);
      WarnMediaFlag(window, param);
    }
    s.SetHalftoneOptionChecked(kept_halftone);
    CheckDlgButton(window, kHalftoneCheck, kept_halftone ? BST_CHECKED : BST_UNCHECKED);
  }
  s.RecomputePageGeometry();
  ClampScaleWithNotice(window, param, 0);
  UpdateModePicture(window, param);
  if (type != 0 || !user) {
    FillMediaTypeCombo(window, param, 2);
  } else {
    int32_t mode_id = 0;
    s.GetSettingsValue286(user_index, &mode_id);
    s.SetModeId(mode_id);
    FillMediaTypeCombo(window, param, 3);
  }
  UpdateSilentCheck(window, param);
  ApplyCurrentMediaSourceRule(param);
  RefreshPresetList(window, param, 0);
  s.ApplyColorSettings();
  s.ApplyModeResolution();
  EnableWindow(GetDlgItem(window, kModeRadioType2), s.GetModeVariant() != 0);
  UpdateModeControls(window, param);
  const uint16_t media = s.GetCurrentMediaIndex();
  ExtendMediaOptionBits(window, param, s, media);
  ClearMediaOptionBits(window, param, s, media);
  RedrawLayoutPreview(window);
}

}  // namespace kalimu::pages
