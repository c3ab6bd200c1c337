// The source list, the source change, the controls of the source's class, the source codes and
// the rotate and margin locks of the paper page.
#include "kalimu/pages/paper_source_rules.h"

#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_internal.h"

namespace kalimu::pages {

using namespace paper_source;

namespace {

constexpr uint32_t kSourceHiddenWithoutHead = 0x8000;  // source word 8
constexpr uint32_t kSourceLevelButtonShown = 0x400000;
constexpr uint32_t kSourceMarginLocked = 0x20000;
constexpr uint32_t kSourceNoRotate = 0x800000;
constexpr uint32_t kSourceRotateKept = 0x4000;
constexpr uint32_t kSourceSingleCut = 0x2000000;
constexpr uint32_t kSourceNormalSizeOnly = 0x2000;
constexpr uint32_t kSourceNoWatermark = 0x10000;
constexpr uint32_t kSourceWord12Duplex = 4;
constexpr uint32_t kMediaMarginStandard = 0x200000;

// The settings message of each source conflict code; 0 shows nothing.
int ConflictMessage(settings::JobSettings& s, int code, int32_t k) {
  switch (code) {
    case 1: return s.TestPaperSourceFlags8(static_cast<int16_t>(k), 0x40000) ? 20 : 39;
    case 2: return 28;
    case 3: return 17;
    case 4: return 18;
    case 5: return 29;
    case 6: return 30;
    case 7: return 31;
    case 8: return 32;
    case 9: return 38;
    case 10: return 42;
    case 11: return 43;
    case 13: return 44;
    case 14: return 45;
    case 15: return 46;
    case 50: return 40;
    case 51: return 41;
    default: return 0;
  }
}

void LevelButtonOff(HWND page, settings::JobSettings& s) {
  Check(page, kPairedSourceCheck, false);
  Enable(page, kPairedLevelButton, false);
  if (!SourceBit(s, kSourceLevelButtonShown)) Show(page, kPairedLevelButton, false);
}

// Selects the listed source of the same group as source s (the list leaves some sources out, so
// a position counted over all sources does not fit it); the item of s itself when no group
// matches.
void SelectSourceItem(HWND page, const PageParam& param, uint16_t s) {
  settings::JobSettings& settings = *param.settings;
  HWND list = GetDlgItem(page, kPaperSourceList);
  const uint16_t group = FindSourceGroupPosition(settings, s);
  if (group != kNoPosition) {
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      const auto data = static_cast<uint16_t>(SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
      if (FindSourceGroupPosition(settings, data) == group) {
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        return;
      }
    }
  }
  if (!SelectData(page, kPaperSourceList, s)) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void RedrawOrderPicture(HWND page, const PageParam& param) { UpdateOrderPicture(page, param); }

// The roll controls of a wide source (all cleared and disabled) or of a narrow one (roll margin
// enabled; fit to roll width for 530, save roll paper for 256).
void SetWideRollControls(HWND page) {
  for (int control : {kFitRollCheck, kSaveRollCheck, kRollMarginCheck}) Check(page, control, false);
  for (int control : {kRollGroup, kFitRollCheck, kRollMarginCheck, kSaveRollCheck}) Enable(page, control, false);
}
void SetNarrowRollControls(HWND page, int32_t id) {
  Enable(page, kRollMarginCheck, true);
  if (id == kSourceRoll530) {
    Enable(page, kFitRollCheck, true);
    Enable(page, kSaveRollCheck, false);
  } else if (id == kSourceRoll256) {
    Enable(page, kFitRollCheck, false);
    Enable(page, kSaveRollCheck, true);
  }
}
// 530 offers the width dialog with fit to roll width; other roll sources neither.
void SetRollWidthControls(HWND page, int32_t id) {
  if (id == kSourceRoll530) {
    Enable(page, kPaperWidthButton, Checked(page, kFitRollCheck));
  } else {
    Check(page, kFitRollCheck, false);
    Enable(page, kFitRollCheck, false);
    Enable(page, kPaperWidthButton, false);
  }
}

}  // namespace

bool IsRollCutSource(settings::JobSettings& s) { return s.IsSourceFlag4000ById(SourceId(s)) != 0; }
bool IsWideRollSource(settings::JobSettings& s) { return s.IsSourceFlag4000With40000(SourceId(s)) != 0; }
bool IsNarrowRollSource(settings::JobSettings& s) { return s.IsSourceFlag4000Without40000(SourceId(s)) != 0; }
bool IsSpecialFeedSource(settings::JobSettings& s) { return s.IsSpecialFeedSourceById(SourceId(s)) != 0; }
bool HasCutter(settings::JobSettings& s) { return s.TestModelHeaderFlags28(0x10) != 0; }

void FillPaperSourceList(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  uint32_t n = 0;
  s.GetPaperSourceCount(&n);
  if (n == 1) {
    EnableShow(page, kPaperSourceList, false);
    EnableShow(page, kPaperSourceLabel, false);
    return;
  }
  SendDlgItemMessageA(page, kPaperSourceList, CB_RESETCONTENT, 0, 0);
  const bool head = s.HasHeadIdFlags() != 0;
  for (uint32_t i = 0; i < n; ++i) {
    const auto index = static_cast<uint16_t>(i);
    if (s.SourceHasFeedFlags(index)) continue;
    if (!head && s.TestPaperSourceFlags8(static_cast<int16_t>(i), kSourceHiddenWithoutHead)) continue;
    int32_t code = 0;
    s.GetPaperSourceValue2(index, &code);
    char name[64] = {};
    LoadPageString(param, static_cast<UINT>(1500 + code), name, sizeof(name));
    AddItem(page, kPaperSourceList, name, static_cast<LPARAM>(i));
  }
  if (!head && SourceBit(s, kSourceHiddenWithoutHead)) {
    int32_t first = 0;
    s.GetPaperSourceId(0, &first);
    s.ChangeDefaultSource(first, 0);
    s.ChangePaperSourceIndex(0, 0);
    LevelButtonOff(page, s);
  }
  const uint16_t current = s.GetDefaultSourceIndex2();
  if (!s.SourceHasFeedFlags(current)) {
    LevelButtonOff(page, s);
  } else {
    Check(page, kPairedSourceCheck, true);
    if (s.TestLayoutOptionBits(4)) {
      Enable(page, kPairedLevelButton, true);
    } else {
      Enable(page, kPairedLevelButton, false);
      if (!SourceBit(s, kSourceLevelButtonShown)) Show(page, kPairedLevelButton, false);
    }
  }
  ShowSourceFeedText(page, param, current);
  UpdatePairedSourceControls(page, param, current);
  SelectSourceItem(page, param, current);
}

void UpdatePairedSourceControls(HWND page, const PageParam& param, uint16_t k) {
  settings::JobSettings& s = *param.settings;
  int32_t c = 0;
  s.GetPaperSourceValue2(k, &c);
  if (s.MapPairedMediaCode(static_cast<int16_t>(c)) == c) {
    EnableShow(page, kPairedSourceCheck, false);
    EnableShow(page, kPairedLevelButton, false);
    Check(page, kPairedSourceCheck, false);
    EnableShow(page, kFeedModeList, false);
    return;
  }
  EnableShow(page, kPairedSourceCheck, true);
  if (s.TestModelHeaderFlags20(0x8000)) {
    Show(page, kPairedLevelButton, true);
    Enable(page, kPairedLevelButton, Checked(page, kPairedSourceCheck));
  }
  EnableShow(page, kFeedModeList, true);
}

void UpdateSourceOptionControls(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const bool roll = IsRollCutSource(s);
  for (int control : {kRollGroup, kFitRollCheck, kPaperWidthButton, kSaveRollCheck, kRollMarginCheck}) {
    EnableShow(page, control, roll);
  }
  for (int control : {kMarginGroup, kMarginStandardRadio, kMarginMaximumRadio, kMarginOptionCheck,
                      kMarginCentredCheck}) {
    EnableShow(page, control, !roll);
  }
  const int32_t id = SourceId(s);
  if (roll) {
    if (IsWideRollSource(s)) {
      SetWideRollControls(page);
    } else if (IsNarrowRollSource(s)) {
      SetNarrowRollControls(page, id);
    }
    SetRollWidthControls(page, id);
    return;
  }
  if (!IsSpecialFeedSource(s)) {
    for (int control : {kMarginStandardRadio, kMarginMaximumRadio, kMarginOptionCheck}) Enable(page, control, true);
  } else {
    if (!SourceBit(s, kSourceMarginLocked)) {
      const bool standard = MediaBit(s, kMediaMarginStandard);
      Check(page, kMarginStandardRadio, standard);
      Check(page, kMarginMaximumRadio, !standard);
      s.ChangeMarginOption(3);
    }
    for (int control : {kMarginGroup, kMarginStandardRadio, kMarginMaximumRadio, kMarginOptionCheck}) {
      Enable(page, control, false);
    }
  }
  if (ApplyCurrentMediaSourceRule(param) == 1) {
    Check(page, kMarginStandardRadio, true);
    Check(page, kMarginMaximumRadio, false);
    Enable(page, kMarginStandardRadio, false);
    Enable(page, kMarginMaximumRadio, false);
  }
}

namespace {

// Codes 1 to 4 of a check box: 1/2 with force check or clear it, 3/4 check or clear and disable.
void ApplyBoxCode(HWND page, const PageParam& param, int control, uint32_t code, int force) {
  switch (code) {
    case 1:
    case 2:
      if (force) {
        Check(page, control, code == 1);
        RedrawOrderPicture(page, param);
      }
      Enable(page, control, true);
      return;
    case 3:
    case 4:
      Check(page, control, code == 3);
      Enable(page, control, false);
      RedrawOrderPicture(page, param);
      return;
    default:
      return;
  }
}

}  // namespace

void ApplyCollationCode(HWND page, const PageParam& param, int force) {
  const uint32_t code = SourceCodeWord(*param.settings) & 0xF;
  if (code >= 1 && code <= 4) {
    ApplyBoxCode(page, param, kCollateCheck, code, force);
  } else {
    Enable(page, kCollateCheck, true);
  }
}

void ApplyOrderCode(HWND page, const PageParam& param, int force, bool reduced) {
  const uint32_t code = (SourceCodeWord(*param.settings) >> 4) & 0xF;
  if (code == 0 || (reduced && code <= 2)) {
    Enable(page, kReverseOrderCheck, true);
  } else if (code <= 4) {
    ApplyBoxCode(page, param, kReverseOrderCheck, code, force);
  }
}

void ApplyMarginCode(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const uint32_t code = (SourceCodeWord(s) >> 8) & 0xF;
  const bool locked = code == 3 || code == 4;
  if (code >= 1 && code <= 4) ShowMarginState(page, param);
  Enable(page, kMarginGroup, !locked);
  Enable(page, kMarginOptionCheck, !locked);
  if (locked || !(code == 1 || code == 2) || !SourceBit(s, kSourceMarginLocked)) {
    Enable(page, kMarginStandardRadio, !locked);
    Enable(page, kMarginMaximumRadio, !locked);
  }
  if (code >= 1 && code <= 4) RepaintPaperPreview(page);
}

void ApplyRotateRule(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (SourceBit(s, kSourceNoRotate)) {
    Check(page, kRotateCheck, false);
    Check(page, kReverseOrderCheck, false);
    Enable(page, kRotateCheck, false);
    Enable(page, kReverseOrderCheck, false);
    s.ChangeRotate180(0);
  } else if (!(s.IsDuplexOn() && !SourceWord12Bit(s, kSourceWord12Duplex))) {
    Enable(page, kRotateCheck, true);
  }
  RedrawOrderPicture(page, param);
}

void ApplyRotateAvailabilityRule(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (SourceBit(s, kSourceNoRotate)) {
    Check(page, kRotateCheck, false);
    Check(page, kReverseOrderCheck, false);
    Enable(page, kRotateCheck, false);
    Enable(page, kReverseOrderCheck, false);
    s.ChangeRotate180(0);
    return;
  }
  if (SourceBit(s, kSourceRotateKept)) return;
  if (s.IsDuplexOn() && !SourceWord12Bit(s, kSourceWord12Duplex)) return;
  Enable(page, kRotateCheck, true);
}

void ApplySourceCodes(HWND page, const PageParam& param, int force) {
  ApplyCollationCode(page, param, force);
  ApplyOrderCode(page, param, force, force == 0);
  ApplyMarginCode(page, param);
  ApplyRotateRule(page, param);
  ApplyRotateAvailabilityRule(page, param);
}

void ApplyMarginLock(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!SourceBit(s, kSourceMarginLocked)) return;
  s.ChangeMarginOption(2);
  Check(page, kMarginStandardRadio, true);
  Check(page, kMarginMaximumRadio, false);
  Enable(page, kMarginStandardRadio, false);
  Enable(page, kMarginMaximumRadio, false);
  if (s.TestPaperOptionBits(1)) {
    for (int control : {kMarginStandardRadio, kMarginMaximumRadio, kMarginCentredCheck}) Show(page, control, false);
  }
}

void ChangePaperSource(HWND page, const PageParam& param, int32_t k, bool from_list) {
  settings::JobSettings& s = *param.settings;
  NotifySheetChanged(page, &param);
  if (from_list) {
    const LRESULT data = SelectedData(page, kPaperSourceList);
    if (data < 0) return;
    k = static_cast<int32_t>(data);
    Check(page, kPairedSourceCheck, false);
    Enable(page, kPairedLevelButton, false);
  }
  uint32_t sources = 0;
  s.GetPaperSourceCount(&sources);
  if (k < 0 || static_cast<uint32_t>(k) >= sources) return;
  if (k == static_cast<int32_t>(s.GetPaperSourceIndex())) return;

  // 2-3: a source the selection or the media refuses is not taken.
  int32_t id = 0;
  s.GetPaperSourceId(static_cast<uint16_t>(k), &id);
  const int conflict = GetSourceConflictMessage(param, static_cast<uint16_t>(k));
  if (conflict != 0) {
    if (const int message = ConflictMessage(s, conflict, k); message != 0) {
      ShowSettingsMessage(page, param, 0, message);
    }
    SelectSourceItem(page, param, s.GetDefaultSourceIndex2());
    Check(page, kPairedSourceCheck, false);
    Enable(page, kPairedLevelButton, false);
    FillPaperSourceList(page, param);
    return;
  }
  if (IsMediaAllowedForSource(page, param, static_cast<int32_t>(s.GetPaperFeedAuto()), id) == 0) {
    ShowTableMessage(page, param, 5);
    SelectSourceItem(page, param, s.GetDefaultSourceIndex2());
    return;
  }

  // 4-6.
  s.ChangeDefaultSource(id, 1);
  s.ChangePaperSourceIndex(k, 1);
  if (SourceBit(s, kSourceLevelButtonShown)) {
    if (SourceWord12Bit(s, 0x10) || SourceWord12Bit(s, 0x40)) {
      ShowSettingsMessage(page, param, 0, 19);
    } else if (SourceWord12Bit(s, 4)) {
      ShowSettingsMessage(page, param, 0, 35);
    } else if (SourceWord12Bit(s, 0x80)) {
      ShowSettingsMessage(page, param, 0, 47);
    }
  }
  if (s.TestModelHeaderFlags20(0x8000) && !SourceBit(s, kSourceLevelButtonShown)) {
    s.SetPaperFeedIndex(s.DerivePaperFeedIndex());
  }

  // 7: the cut list of the new source.
  if (HasCutter(s)) {
    uint32_t state = 0;
    const bool readable = s.GetCutterState(&state) != 0;
    const auto show_cut = [page](bool shown, bool enabled) {
      for (int control : {kCutLabel, kCutModeList}) {
        Show(page, control, shown);
        Enable(page, control, enabled);
      }
    };
    if (readable && state == 1) {
      if (SourceBit(s, kSourceSingleCut)) {
        FillCutModeList(page, param, 1);
        show_cut(true, true);
      } else if (IsRollCutSource(s)) {
        FillCutModeListForMedia(page, param);
        show_cut(true, true);
      } else {
        FillCutModeList(page, param, 0);
        show_cut(true, false);
      }
    } else if (readable) {
      FillCutModeList(page, param, s.TestPaperOptionBits(1) && !SourceWord12Bit(s, 1) ? 1 : 0);
      show_cut(true, false);
    } else {
      show_cut(false, false);
    }
    ApplyCutMode(page, param);
    if (id == kSourceRoll530 || id == kSourceRoll531) s.SetPaperOptionBit256Inverted(1);
    if (id == kSourceRoll256 || id == kSourceRoll257) s.SetPaperOptionBit256Inverted(0);
    if (id != kSourceRoll530) s.SetPaperOptionBit4(0);
    if (!IsRollCutSource(s)) {
      s.SetCutOptionBit1(0);
      s.SetCutOptionBit2(0);
      s.SetCutOptionBit8(0);
      s.SetPaperOptionBit64(0);
      s.SetPaperOptionBit32(0);
    }
  }

  // 8-9.
  if (SourceBit(s, kSourceNormalSizeOnly)) {
    s.ChangeScalingMode(-2);
    s.ChangeDuplex(1);
  }
  ShowSourceFeedText(page, param, static_cast<uint16_t>(k));
  UpdatePairedSourceControls(page, param, static_cast<uint16_t>(k));
  UpdateSourceOptionControls(page, param);
  if (!s.IsDuplexOn() || SourceWord12Bit(s, kSourceWord12Duplex)) ApplySourceCodes(page, param, 1);
  ApplyMarginLock(page, param);
  ShowPaperPageOptions(page, param);
  FillPaperSizeList(page, param, s.GetSourceMaskBit(static_cast<uint16_t>(k)));
  ResetSourceOptions(page, param);

  // 10-14.
  if (SourceBit(s, kSourceNoWatermark)) s.SetWatermarkEnabled(0);
  s.CheckSourceBorderless();
  s.SetPaperFeedIndex(s.DerivePaperFeedIndex());
  s.SetPaperFeedAuto(0);
  if (Checked(page, kPairedSourceCheck)) {
    if (id == kSourceRoll257) s.SetPaperFeedAuto(1);
    if (id == kSource258 || id == kSource264 || id == kSourceRoll531) s.SetPaperFeedAuto(0);
  }
  UpdateFeedModeList(page, param);
  if (s.TestScalingOptionBits(8) && IsSpecialFeedSource(s) && s.SourceHasFlag4000ById(id)) {
    s.ChangeScalingMode(-2);
    s.ChangeDuplex(1);
  }
  s.ApplySourceMargins();
  if (s.TestModelHeaderFlags20(0x800000)) ShowMarginState(page, param);
  CheckPaperMarginOption(page, param);
  RepaintPaperPreview(page);
}

void ResetSourceOptions(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const int32_t id = SourceId(s);
  if (!IsRollCutSource(s)) {
    Check(page, kFitRollCheck, false);
    if (!IsSpecialFeedSource(s)) {
      s.ChangeMarginOption(2);
      Check(page, kMarginStandardRadio, true);
      Check(page, kMarginMaximumRadio, false);
    }
  } else {
    if (IsWideRollSource(s)) {
      s.SetPaperOptionBit2(0);
      s.SetPaperOptionBit32(0);
      SetWideRollControls(page);
      Check(page, kReverseOrderCheck, false);
      Enable(page, kReverseOrderCheck, false);
      s.SetLayoutOptionBits(0x80, 0);
    } else {
      s.SetPaperOptionBit32(0);
      s.SetPaperOptionBit2(0);
      Check(page, kRollMarginCheck, false);
      Check(page, kSaveRollCheck, false);
      SetNarrowRollControls(page, id);
    }
    SetRollWidthControls(page, id);
    if (id == kSourceRoll530) Enable(page, kReverseOrderCheck, false);
  }
  Check(page, kRotateCheck, false);
  s.ChangeRotate180(0);
  if (id != kSourceRoll256 && s.IsDuplexOn()) s.ChangeDuplex(1);
}

}  // namespace kalimu::pages
