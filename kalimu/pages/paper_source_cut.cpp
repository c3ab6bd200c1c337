// The cutter controls, the cut-mode list and the feed-mode list of the paper page.
#include <cstring>

#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_internal.h"
#include "kalimu/pages/paper_source_rules.h"

namespace kalimu::pages {

using namespace paper_source;

namespace {

constexpr uint32_t kSourceSingleCut = 0x2000000;  // source word 8
constexpr uint32_t kMediaNoMode1 = 0x2000000;      // with paper options bit 8
constexpr uint32_t kMediaMode0Only = 4;
constexpr UINT kCutModeText0 = 8087;
constexpr UINT kCutModeNarrowLast = 8102;
constexpr UINT kCutModeLast = 8103;
constexpr UINT kFeedModeText0 = 2255;

struct CutterState {
  bool readable;
  bool on;
};

CutterState ReadCutter(settings::JobSettings& s) {
  uint32_t state = 0;
  const bool readable = s.GetCutterState(&state) != 0;
  return {readable, readable && state == 1};
}

void ShowCutControls(HWND page, bool shown, bool enabled) {
  for (int control : {kCutLabel, kCutModeList}) {
    Show(page, control, shown);
    Enable(page, control, enabled);
  }
}

void ClearCutBits(settings::JobSettings& s) {
  s.SetCutOptionBit1(0);
  s.SetCutOptionBit2(0);
  s.SetCutOptionBit8(0);
}

}  // namespace

UINT CutModeStringId(settings::JobSettings& s, int mode) {
  if (IsWideRollSource(s)) return mode == 3 ? kCutModeLast : kCutModeText0 + static_cast<UINT>(mode);
  if (mode == 0) return kCutModeText0;
  return IsNarrowRollSource(s) ? kCutModeNarrowLast : kCutModeLast;
}

int IsCutModeRefused(settings::JobSettings& s, int mode) {
  if (mode == 1 && s.TestPaperOptionBits(8) && MediaBit(s, kMediaNoMode1)) return 1;
  if (mode != 0 && MediaBit(s, kMediaMode0Only)) return 1;
  return 0;
}

int GetCutModeFromSettings(settings::JobSettings& s) {
  const uint32_t cut = s.GetCutOptions();
  const bool wide = IsWideRollSource(s);
  if ((cut & 1) == 0) return 1;
  if (cut & 2) return wide ? 3 : 1;
  if (cut & 8) return wide ? 4 : 2;
  return 2;
}

void FillCutModeList(HWND page, const PageParam& param, int count) {
  settings::JobSettings& s = *param.settings;
  HWND list = GetDlgItem(page, kCutModeList);
  const CutterState cutter = ReadCutter(s);
  LRESULT position = 0;
  if (cutter.on && !SourceBit(s, kSourceSingleCut)) {
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
      position = GetCutModeFromSettings(s) - 1;
    } else if (selected == 3 && !s.TestPaperOptionBits(8)) {
      position = 1;
    } else {
      position = SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    }
  }
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (int mode = 0; mode < count; ++mode) {
    char text[64] = {};
    LoadPageString(param, CutModeStringId(s, mode), text, sizeof(text));
    AddItem(page, kCutModeList, text, mode);
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void FillCutModeListForMedia(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const bool wide = IsWideRollSource(s);
  const int count = wide ? 4 : 2;
  SendDlgItemMessageA(page, kCutModeList, CB_RESETCONTENT, 0, 0);
  for (int mode = 0; mode < count; ++mode) {
    char text[64] = {};
    LoadPageString(param, CutModeStringId(s, mode), text, sizeof(text));
    AddItem(page, kCutModeList, text, mode);
  }
  const int mode = MediaBit(s, kMediaMode0Only) ? 0 : wide ? 3 : 1;
  SelectData(page, kCutModeList, mode);
}

void UpdateCutterControls(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!IsRollCutSource(s)) {
    s.SetCutOptionBit1(0);
    ShowCutControls(page, true, false);
    return;
  }
  const CutterState cutter = ReadCutter(s);
  if (!cutter.readable) {
    s.SetCutOptionBit1(0);
    ShowCutControls(page, false, false);
  } else if (cutter.on) {
    if (SourceBit(s, kSourceSingleCut)) {
      FillCutModeList(page, param, 1);
      s.SetCutOptionBit1(0);
    } else {
      FillCutModeList(page, param, IsWideRollSource(s) ? 4 : 2);
    }
    ShowCutControls(page, true, true);
  } else {
    FillCutModeList(page, param, 1);
    s.SetCutOptionBit1(0);
    ShowCutControls(page, true, false);
  }
}

void ApplyCutterVisibilityRule(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const CutterState cutter = ReadCutter(s);
  if (!cutter.readable) return;
  const bool shown = cutter.on && !SourceBit(s, kSourceSingleCut) && !Checked(page, kPageLineCheck);
  ShowCutControls(page, shown, shown);
}

void ApplyCutMode(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const int32_t id = SourceId(s);
  LRESULT a = SelectedData(page, kCutModeList);
  if (a < 0) a = 0;
  EnableShow(page, id == kSourceRoll530 || id == kSourceRoll531 ? kPageLineCheck : kSaveRollCheck, true);
  const CutterState cutter = ReadCutter(s);
  ClearCutBits(s);
  if (cutter.on) {
    if (SourceBit(s, kSourceSingleCut)) {
      Check(page, kPageLineCheck, false);
    } else {
      if (a != 0) {
        s.SetCutOptionBit1(1);
        if (IsWideRollSource(s)) {
          if (a == 2) s.SetCutOptionBit2(1);
          if (a == 3) s.SetCutOptionBit8(1);
        } else {
          s.SetCutOptionBit8(1);
        }
      }
      if (a != 0 && id != kSourceRoll256) {
        s.SetPaperOptionBit32(0);
        s.SetPaperOptionBit64(0);
        Check(page, kSaveRollCheck, false);
        Check(page, kPageLineCheck, false);
      }
    }
  }
  if (IsRollCutSource(s)) {
    if (id == kSourceRoll256) {
      Enable(page, kSaveRollCheck, true);
    } else if (id == kSourceRoll257 || id == kSourceRoll530 || id == kSourceRoll531) {
      s.SetPaperOptionBit32(0);
      Check(page, kSaveRollCheck, false);
      Enable(page, kSaveRollCheck, false);
    }
  }
}

void SelectCutModeItem(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const uint32_t v = s.GetCutOptions();
  int m = 0;
  if (!s.TestPaperOptionBits(8)) {
    m = v == 9 ? 1 : 0;
  } else {
    m = v == 9 ? 3 : v == 3 ? 2 : v == 1 ? 1 : 0;
  }
  char text[64] = {};
  LoadPageString(param, CutModeStringId(s, m), text, sizeof(text));
  SendDlgItemMessageA(page, kCutModeList, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

void OnCutModeChange(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const LRESULT m = SelectedData(page, kCutModeList);
  if (m < 0) return;
  if (IsCutModeRefused(s, static_cast<int>(m))) {
    SelectCutModeItem(page, param);
    return;
  }
  UpdateCutterControls(page, param);
  ApplyCutMode(page, param);
  if (!s.TestModelHeaderFlags28(0x40) && GetCutModeFromSettings(s) == 3) ShowSettingsMessage(page, param, 0, 21);
  NotifySheetChanged(page, &param);
  RepaintPaperPreview(page);
}

void FillFeedModeList(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  HWND list = GetDlgItem(page, kFeedModeList);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const bool one = (IsWideRollSource(s) || IsSpecialFeedSource(s)) && s.TestScalingOptionBits(1);
  const bool only_mode1 = SourceId(s) == kSourceRoll257;
  for (int mode = 0; mode < (one ? 1 : 2); ++mode) {
    const int shown = only_mode1 ? 1 : mode;
    if (only_mode1 && mode > 0) break;
    char text[64] = {};
    LoadPageString(param, kFeedModeText0 + static_cast<UINT>(shown), text, sizeof(text));
    AddItem(page, kFeedModeList, text, shown);
  }
  char stored[64] = {};
  LoadPageString(param, kFeedModeText0 + s.GetPaperFeedAuto(), stored, sizeof(stored));
  const LRESULT found = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(stored));
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

void UpdateFeedModeList(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (IsWideRollSource(s) || IsSpecialFeedSource(s)) {
    Enable(page, kFeedModeList, true);
    FillFeedModeList(page, param);
  } else {
    SendDlgItemMessageA(page, kFeedModeList, CB_RESETCONTENT, 0, 0);
    Enable(page, kFeedModeList, false);
  }
}

}  // namespace kalimu::pages
