// The paper page's control changes: paper size, orientation, margins, copies, collation and
// order, the roll options, the dialogs it opens, the paper-page option and the feed mode; and
// the paper-size list that follows a source change.
#include <cstring>
#include <string>

#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_internal.h"
#include "kalimu/pages/paper_source_rules.h"
#include "kalimu/pages/resource_dialogs.h"

namespace kalimu::pages {

using namespace paper_source;

namespace {

constexpr int kPaperNameChars = 256;
constexpr uint16_t kUserPaperListChars = 64;

// The item whose text equals `text` exactly; else the first whose text begins with it (in any
// case). Answers the selected position or CB_ERR.
LRESULT SelectListText(HWND list, const char* text) {
  const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (ItemText(list, i) == text) return SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  }
  return SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

void ModelPaperName(const PageParam& param, uint32_t index, char* out, int size) {
  int32_t id = 0;
  param.settings->GetPaperSizeId(static_cast<uint16_t>(index), &id);
  LoadPageString(param, static_cast<UINT>(static_cast<uint16_t>(id)), out, size);
}

bool IsUsMeasure() {
  char measure[4] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof(measure));
  return std::strcmp(measure, "1") == 0;
}

void SetMarginRadios(HWND page, bool maximum) {
  Check(page, kMarginStandardRadio, !maximum);
  Check(page, kMarginMaximumRadio, maximum);
}

// Paper-size change (2201).
void OnPaperSizeChange(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const LRESULT sel = SelectedData(page, kPaperSizeList);
  if (sel < 0) return;
  uint32_t n = 0;
  s.GetPaperSizeCount(&n);
  if (static_cast<uint32_t>(sel) < n) {
    int32_t id = 0;
    s.GetPaperSizeId(static_cast<uint16_t>(sel), &id);
    if (id == 256) {
      EditUserPaperSize(page, static_cast<int32_t>(sel), param, 0);
    } else if (ChoosePaperSize(page, static_cast<int32_t>(sel), kPaperSizeList, param) == 0) {
      return;
    }
  } else {
    s.ChangePaperSizeIndex(static_cast<int32_t>(sel));
  }
  CheckPaperMarginOption(page, param);
  if (!s.TestScalingOptionBits(2) && !s.TestScalingOptionBits(8)) {
    WarnPaperFlag(page, param);
  } else if (GetCurrentPaperFlags(param) & 0x8000) {
    Check(page, kRotateCheck, s.TestLayoutOptionBits(0x100) != 0);
  }
  UpdateRollFit(s);
  if (s.GetPagesPerSheet() == -4 && s.IsNearlySquarePaper() == 0) s.ChangePagesPerSheet(1);
  NotifySheetChanged(page, &param);
}

void OnOrientation(HWND page, const PageParam& param, int control) {
  settings::JobSettings& s = *param.settings;
  NotifySheetChanged(page, &param);
  s.ChangeOrientation(control == kPortraitRadio ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
  const bool portrait = s.GetOrientation() == DMORIENT_PORTRAIT;
  Check(page, kPortraitRadio, portrait);
  Check(page, kLandscapeRadio, !portrait);
  const int32_t placement = s.GetPlacement();
  if (s.GetPagesPerSheet() == 2) {
    if (s.IsPaperOrientationNatural()) {
      if (placement == 2) param.shared->preview_placement = 0;
    } else if (placement != 2) {
      param.shared->preview_placement = 2;
    }
  }
  RepaintPaperPreview(page);
}

void OnPaperPageOptionChange(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const LRESULT data = SelectedData(page, kPaperPageOptionList);
  if (data < 0) return;
  int32_t v = 0;
  s.GetTable4Value0(static_cast<uint16_t>(data), &v);
  if (v == static_cast<int32_t>(s.GetPaperPageOption())) return;
  if (v == 2 && CheckMediaPaperSize(page, param) == 0) {
    FillPaperPageOptionList(page, param);
    return;
  }
  s.SetPaperPageOption(v);
  NotifySheetChanged(page, &param);
}

void OnCopiesEdit(HWND page, const PageParam& param, int code) {
  settings::JobSettings& s = *param.settings;
  int32_t value = ReadEditNumber(page, kCopiesEdit);
  if (code == EN_CHANGE) {
    if (value != static_cast<int32_t>(s.GetCopies())) NotifySheetChanged(page, &param);
    if (value > kMaxCopies) {
      WriteEditNumber(page, kCopiesEdit, kMaxCopies);
      s.SetCopies(kMaxCopies);
    }
  } else if (code == EN_KILLFOCUS) {
    if (value > kMaxCopies || value < 1) {
      value = value > kMaxCopies ? kMaxCopies : 1;
      WriteEditNumber(page, kCopiesEdit, value);
    }
    s.SetCopies(value);
  }
}

void OnRollKind(HWND page, const PageParam& param, bool sheet) {
  settings::JobSettings& s = *param.settings;
  s.SetPaperOptionBit256Inverted(sheet ? 1 : 0);
  NotifySheetChanged(page, &param);
  Check(page, sheet ? kRollSheetRadio : kRollBannerRadio, true);
  Check(page, sheet ? kRollBannerRadio : kRollSheetRadio, false);
  EnableShow(page, sheet ? kSaveRollCheck : kPageLineCheck, false);
  EnableShow(page, sheet ? kPageLineCheck : kSaveRollCheck, true);
  if (HasCutter(s)) {
    ApplyCutMode(page, param);
    ApplyCutterVisibilityRule(page, param);
  }
  Check(page, sheet ? kSaveRollCheck : kPageLineCheck, false);
}

}  // namespace

void ShowMarginState(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const bool a = s.TestMarginOptionBits(2) != 0;
  SetMarginRadios(page, a && !MediaBit(s, 0x200000));
  Check(page, kMarginCentredCheck, a);
  Check(page, kMarginOptionCheck, s.TestMarginOptionBits(1) != 0);
  UpdatePaperOptionControls(page, param, 0);
}

void CheckPaperMarginOption(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (TestSourceOptionBit17(s) == 1) {
    s.ChangeMarginOption(2);
    return;
  }
  uint16_t k = 0;
  const bool model = s.GetCurrentPaperIndex(&k) != 0;
  const bool flagged = model ? s.TestPaperSizeFlags20(static_cast<int16_t>(k), 0x400) != 0
                             : s.TestPaperFlags20(k, 0x400) != 0;
  if (!flagged) return;
  const int c = UpdatePaperOptionControls(page, param, 1);
  uint32_t option = 0;
  if (model) {
    s.GetPaperSizeValue46(k, &option);
  } else {
    s.GetPaperValue46(k, &option);
  }
  if (option == 0 || option == 3) Check(page, kMarginCentredCheck, c != 0);
}

void FillPaperSizeList(HWND page, const PageParam& param, uint32_t mask) {
  settings::JobSettings& s = *param.settings;
  HWND list = GetDlgItem(page, kPaperSizeList);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  uint32_t n = 0;
  s.GetPaperSizeCount(&n);
  uint32_t users = 0;
  if (!s.GetPaperCount(&users)) users = 0;
  const int32_t wanted = s.GetPaperSize();
  bool matched = false;
  for (uint32_t i = 0; i < n; ++i) {
    if (!s.TestPaperFlags(static_cast<int16_t>(i), mask)) continue;
    int32_t id = 0;
    s.GetPaperSizeId(static_cast<uint16_t>(i), &id);
    if (id == wanted) {
      s.ChangePaperSizeIndex(static_cast<int32_t>(i));
      matched = true;
    }
    char name[kPaperNameChars] = {};
    ModelPaperName(param, i, name, sizeof(name));
    AddItem(page, kPaperSizeList, name, static_cast<LPARAM>(i));
  }
  // Step 2 walks the user papers in use (a model paper's index is no user count).
  for (uint32_t j = 0; j < users && !matched; ++j) {
    int32_t id = 0;
    if (s.UserPaperAllowsSource(static_cast<uint16_t>(j), mask) && s.GetPaperId(static_cast<uint16_t>(j), &id) &&
        id == wanted) {
      s.ChangePaperSizeIndex(static_cast<int32_t>(n + j));
      matched = true;
    }
  }
  if (!matched) {
    const uint32_t kind = IsUsMeasure() ? 2 : 1;
    int32_t first = -1;
    int32_t of_kind = -1;
    for (uint32_t i = 0; i < n && of_kind < 0; ++i) {
      if (!s.TestPaperFlags(static_cast<int16_t>(i), mask)) continue;
      if (first < 0) first = static_cast<int32_t>(i);
      if (s.PaperMatchesFeed(static_cast<uint16_t>(i), kind)) of_kind = static_cast<int32_t>(i);
    }
    if (of_kind >= 0) s.ChangePaperSizeIndex(of_kind);
    else if (first >= 0) s.ChangePaperSizeIndex(first);
  }
  const bool cut_sheet_roll = s.TestLayoutOptionBits(4) && SourceId(s) == kSource259;
  char selection[kPaperNameChars] = {};
  const auto index = static_cast<uint32_t>(s.GetPaperSizeIndex());
  if (cut_sheet_roll) {
    ModelPaperName(param, 0, selection, sizeof(selection));
  } else if (index < n) {
    ModelPaperName(param, index, selection, sizeof(selection));
  } else {
    s.GetPaperName(static_cast<uint16_t>(index - n), selection, sizeof(selection));
  }
  if (!cut_sheet_roll) {
    for (uint32_t j = 0; j < users; ++j) {
      if (!s.UserPaperAllowsSource(static_cast<uint16_t>(j), mask)) continue;
      char name[kUserPaperListChars] = {};
      s.GetPaperName(static_cast<uint16_t>(j), name, sizeof(name));
      AddItem(page, kPaperSizeList, name, static_cast<LPARAM>(n + j));
      int32_t id = 0;
      if (s.GetPaperId(static_cast<uint16_t>(j), &id) && id == wanted) {
        s.ChangePaperSizeIndex(static_cast<int32_t>(n + j));
      }
    }
  }
  const LRESULT found = SelectListText(list, selection);
  if (cut_sheet_roll && (found == CB_ERR || s.IsUserPaperSelected())) {
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(selection));
    s.ChangePaperSize(9);
  }
}

void OnCopiesArrows(HWND page, const PageParam& param, int code) {
  const int32_t value = ReadEditNumber(page, kCopiesEdit);
  int32_t next = value;
  if (code == SB_LINEUP && value >= 1 && value <= kMaxCopies - 1) next = value + 1;
  else if (code == SB_LINEDOWN && value >= 2 && value <= kMaxCopies) next = value - 1;
  if (next == value) return;
  WriteEditNumber(page, kCopiesEdit, next);
  param.settings->SetCopies(next);
}

void OnPaperPageCommand(HWND page, const PageParam& param, int control, int code) {
  settings::JobSettings& s = *param.settings;
  switch (control) {
    case kPaperSizeList:
      if (code != CBN_SELCHANGE) return;
      OnPaperSizeChange(page, param);
      RepaintPaperPreview(page);
      return;
    case kPaperSourceList:
      if (code == CBN_SELCHANGE) ChangePaperSource(page, param, -1, true);
      return;
    case kPairedSourceCheck:
      ChangePaperSource(page, param, s.GetDefaultSourceFeedClass(), false);
      return;
    case kPortraitRadio:
    case kLandscapeRadio:
      OnOrientation(page, param, control);
      return;
    case kRotateCheck:
      NotifySheetChanged(page, &param);
      s.ChangeRotate180(Checked(page, kRotateCheck) ? 1 : 0);
      RepaintPaperPreview(page);
      return;
    case kMarginStandardRadio:
      NotifySheetChanged(page, &param);
      s.ChangeMarginOption(2);
      ShowMarginState(page, param);
      RepaintPaperPreview(page);
      return;
    case kMarginMaximumRadio:
      NotifySheetChanged(page, &param);
      if (code == BN_CLICKED) {
        SetMarginRadios(page, true);
        if (!s.TestMarginOptionBits(2)) ShowSettingsMessage(page, param, 0, 5);
      }
      s.ChangeMarginOption(3);
      ShowMarginState(page, param);
      RepaintPaperPreview(page);
      return;
    case kMarginOptionCheck:
      NotifySheetChanged(page, &param);
      s.ChangeMarginOption(Checked(page, kMarginOptionCheck) ? 1 : 0);
      RepaintPaperPreview(page);
      return;
    case kMarginCentredCheck:
      NotifySheetChanged(page, &param);
      if (Checked(page, kMarginCentredCheck)) {
        s.ChangeMarginOption(3);
        ShowSettingsMessage(page, param, 0, 5);
      } else {
        s.ChangeMarginOption(2);
      }
      RepaintPaperPreview(page);
      return;
    case kCollateCheck:
      NotifySheetChanged(page, &param);
      s.SetCollate(Checked(page, kCollateCheck) ? 1 : 0);
      UpdateOrderPicture(page, param);
      return;
    case kReverseOrderCheck:
      NotifySheetChanged(page, &param);
      s.SetLayoutOptionBits(0x80, Checked(page, kReverseOrderCheck) ? 1 : 0);
      UpdateOrderPicture(page, param);
      return;
    case kCopiesEdit:
      OnCopiesEdit(page, param, code);
      return;
    case kRollBannerRadio:
    case kRollSheetRadio:
      OnRollKind(page, param, control == kRollSheetRadio);
      return;
    case kSaveRollCheck:
      NotifySheetChanged(page, &param);
      s.SetPaperOptionBit32(Checked(page, kSaveRollCheck) ? 1 : 0);
      return;
    case kPageLineCheck:
      NotifySheetChanged(page, &param);
      s.SetPaperOptionBit64(Checked(page, kPageLineCheck) ? 1 : 0);
      return;
    case kFitRollCheck:
      NotifySheetChanged(page, &param);
      s.SetPaperOptionBit4(Checked(page, kFitRollCheck) ? 1 : 0);
      Enable(page, kPaperWidthButton, Checked(page, kFitRollCheck));
      UpdateRollFit(s);
      RepaintPaperPreview(page);
      return;
    case kRollMarginCheck:
      NotifySheetChanged(page, &param);
      s.SetPaperOptionBit2(Checked(page, kRollMarginCheck) ? 1 : 0);
      return;
    case kAutoCutCheck:
      NotifySheetChanged(page, &param);
      s.SetCutOptionBit1(Checked(page, kAutoCutCheck) ? 1 : 0);
      RepaintPaperPreview(page);
      return;
    case kCutModeList:
      if (code == CBN_SELCHANGE) OnCutModeChange(page, param);
      return;
    case kPaperWidthButton:
      if (ShowSettingsDialog(page, SettingsDialog::kPaperWidth) != 0) NotifySheetChanged(page, &param);
      UpdateRollFit(s);
      RepaintPaperPreview(page);
      return;
    case kLevelButton:
    case kPairedLevelButton:
      if (!s.TestModelHeaderFlags20(0x8000)) return;
      if (ShowSettingsDialog(page, SettingsDialog::kLevelSlider) != 0) NotifySheetChanged(page, &param);
      RepaintPaperPreview(page);
      return;
    case kPaperPageOptionList:
      if (code == CBN_SELCHANGE) OnPaperPageOptionChange(page, param);
      RepaintPaperPreview(page);
      return;
    case kFeedModeList:
      if (code != CBN_SELCHANGE) return;
      if (const LRESULT data = SelectedData(page, kFeedModeList); data >= 0) {
        s.SetPaperFeedAuto(static_cast<uint32_t>(data));
        if (data == 1) s.ChangeScalingMode(-2);
      }
      NotifySheetChanged(page, &param);
      RepaintPaperPreview(page);
      return;
    default:
      return;
  }
}

}  // namespace kalimu::pages
