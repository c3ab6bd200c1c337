// The layout page's control changes: output paper, percentage and its arrows, scaling, pages per
// sheet and posters, page frame, the dialogs it opens, duplex, and the watermark choice.
#include <cstring>
#include <string>

#include "kalimu/pages/binding_margin_dialog.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/layout_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_internal.h"
#include "kalimu/pages/resource_dialogs.h"

namespace kalimu::pages {

using namespace paper_source;

namespace {

constexpr int kPaperNameChars = 256;
constexpr int kUserPaperNameChars = 32;

int32_t Code(settings::JobSettings& s) { return s.GetPagesPerSheet(); }

void ShowPercentageIfFit(HWND page, const PageParam& param) {
  if (param.settings->TestScalingOptionBits(2)) {
    WriteEditNumber(page, kScaleEdit, static_cast<int32_t>(param.settings->GetScalePercent()));
  }
}

// Selects the item whose text is `name`: prefix search from the top, going on while the found
// item's text differs, stopping at an exact match or at an item found before.
void SelectName(HWND list, const char* name) {
  LRESULT from = -1;
  LRESULT first = CB_ERR;
  for (;;) {
    const LRESULT found =
        SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(name));
    if (found == CB_ERR || found == first) break;
    if (first == CB_ERR) first = found;
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    if (ItemText(list, found) == name) return;
    from = found;
  }
}

// The percentage of an edit value, and whether it had to be corrected.
int32_t CorrectPercentage(int32_t value, bool* corrected) {
  int32_t fixed = value;
  if (value > kMaxScale) fixed = kMaxScale;
  else if (value == 0) fixed = 100;
  else if (value < kMinScale) fixed = kMinScale;
  *corrected = fixed != value;
  return fixed;
}

void OnOutputPaperChange(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const LRESULT data = SelectedData(page, kOutputPaperList);
  if (data < 0) return;
  NotifySheetChanged(page, &param);
  s.ChangeOutputPaperSize(s.GetPaperIdByIndex(static_cast<uint16_t>(data)));
  if (!Checked(page, kScaleRadio)) WriteEditNumber(page, kScaleEdit, static_cast<int32_t>(s.GetScalePercent()));
  if (Code(s) < 0) {
    if (s.IsNearlySquarePaper() == 0) {
      if (Code(s) == -4) s.ChangePagesPerSheet(1);
      Enable(page, kPoster4Radio, false);
    } else {
      Enable(page, kPoster4Radio, true);
    }
  }
  UpdateLayoutState(page, param);
  WarnPaperFlag(page, param);
  UpdatePaperOptionControls(page, param, 1);
  RepaintLayoutPreview(page);
}

void OnNormalSize(HWND page, const PageParam& param) {
  NotifySheetChanged(page, &param);
  param.settings->ChangeScalingMode(-2);
  WriteEditNumber(page, kScaleEdit, 100);
  UpdateLayoutState(page, param);
  if (Code(*param.settings) < 0) ApplyPosterRadioRule(page, param);
  RepaintLayoutPreview(page);
}

void OnScaleMode(HWND page, const PageParam& param, int control) {
  settings::JobSettings& s = *param.settings;
  NotifySheetChanged(page, &param);
  CheckRadioButton(page, kFitToPaperRadio, kScaleRadio, control);
  s.ChangeScalingMode(control == kFitToPaperRadio ? 2 : 8);
  WriteEditNumber(page, kScaleEdit, static_cast<int32_t>(s.GetScalePercent()));
  Enable(page, kScaleEdit, control == kScaleRadio);
  FillOutputPaperList(page, param);
  UpdateLayoutState(page, param);
  if (Code(s) < 0) ApplyPosterRadioRule(page, param);
  RepaintLayoutPreview(page);
}

void OnScaledPrinting(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  NotifySheetChanged(page, &param);
  if (!Checked(page, kScaledPrintingCheck)) {
    uint16_t before = 0;
    s.GetCurrentPaperIndex(&before);
    const int32_t noted = s.GetPaperSizeIndex();
    OnNormalSize(page, param);
    if (static_cast<int32_t>(s.GetPaperSizeIndex()) != noted) UpdatePaperOptionControls(page, param, 1);
    if (Code(s) < 0) {
      if (s.IsNearlySquarePaper() == 0) {
        if (Code(s) == -4) {
          s.ChangePagesPerSheet(1);
          UpdateLayoutState(page, param);
        }
        Enable(page, kPoster4Radio, false);
      } else {
        Enable(page, kPoster4Radio, true);
      }
    }
    RepaintLayoutPreview(page);
  } else {
    OnScaleMode(page, param, kFitToPaperRadio);
    if (s.GetPaperFeedAuto() == 1) s.SetPaperFeedAuto(0);
  }
  WarnPaperFlag(page, param);
}

void OnMultiPage(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!Checked(page, kMultiPageCheck)) {
    ShowSinglePageLayout(page, param);
    return;
  }
  Enable(page, kPagesPerSheetRadio, true);
  Enable(page, kPosterRadio, s.IsDuplexOn() == 0);
  const int32_t p = Code(s);
  if (p < 0) {
    if (p >= -4) {
      CheckRadioButton(page, kPagesPerSheetRadio, kPosterRadio, kPosterRadio);
      ShowPosterMode(page, param);
    } else {
      ShowPosterMode(page, param);
      ApplyPosterRadioRule(page, param);
    }
  } else {
    ShowPagesPerSheetMode(page, param);
  }
  NotifySheetChanged(page, &param);
}

void OnPagesCount(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  NotifySheetChanged(page, &param);
  for (int control : {kFitToPaperRadio, kScaleRadio, kPageFrameCheck, kPageOrderButton}) Enable(page, control, true);
  s.ChangePagesPerSheet(Checked(page, kTwoPagesRadio) ? 2 : 3);
  param.shared->preview_placement = static_cast<uint16_t>(s.GetPlacement() & 0xF);
  UpdateLayoutState(page, param);
  RepaintLayoutPreview(page);
  ShowPercentageIfFit(page, param);
}

void OnPosterKind(HWND page, const PageParam& param, int control) {
  settings::JobSettings& s = *param.settings;
  CheckRadioButton(page, kPagesPerSheetRadio, kPosterRadio, kPosterRadio);
  const int32_t code = -(control - kPoster1Radio + 1);
  if (code == Code(s)) return;
  s.ChangePagesPerSheet(code);
  NotifySheetChanged(page, &param);
  RepaintLayoutPreview(page);
}

void OnDuplexOption(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!Checked(page, kDuplexOptionCheck)) {
    s.ClearDuplexOption1();
    ShowPercentageIfFit(page, param);
    Enable(page, kMultiPageCheck, true);
  } else {
    s.EnableDuplexOption1();
    ShowSinglePageLayout(page, param);
    Enable(page, kMultiPageCheck, false);
  }
  NotifySheetChanged(page, &param);
  UpdateLayoutState(page, param);
  RepaintLayoutPreview(page);
}

void OnDialogButton(HWND page, const PageParam& param, INT_PTR result) {
  if (result != 0) {
    NotifySheetChanged(page, &param);
    RepaintLayoutPreview(page);
  }
}

void RefillWatermarkNames(HWND page, const PageParam& param) {
  HWND list = GetDlgItem(page, kWatermarkNameList);
  if (list == nullptr) return;
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  uint32_t count = 0;
  param.settings->GetEntryCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    char name[kUserPaperNameChars + 1] = {};
    param.settings->GetEntryName(static_cast<uint16_t>(i), name, sizeof(name));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendMessageA(list, LB_SETCURSEL, param.settings->GetWatermarkIndex(), 0);
}

}  // namespace

void FillOutputPaperList(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  HWND list = GetDlgItem(page, kOutputPaperList);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const uint32_t mask = s.GetSourceMask();
  uint32_t n = 0;
  s.GetPaperSizeCount(&n);
  uint32_t users = 0;
  if (!s.GetPaperCount(&users)) users = 0;
  const auto wanted = static_cast<int32_t>(s.GetOutputPaperSize());
  char name[kPaperNameChars] = {};
  bool found = false;
  int32_t first = -1;
  for (uint32_t i = 0; i < n; ++i) {
    if (!s.TestPaperFlags(static_cast<int16_t>(i), mask)) continue;
    int32_t id = 0;
    s.GetPaperSizeId(static_cast<uint16_t>(i), &id);
    char text[kPaperNameChars] = {};
    LoadPageString(param, static_cast<UINT>(static_cast<uint16_t>(id)), text, sizeof(text));
    AddItem(page, kOutputPaperList, text, static_cast<LPARAM>(i));
    if (first < 0) first = static_cast<int32_t>(i);
    if (!found && id == wanted) {
      std::strcpy(name, text);
      found = true;
    }
  }
  for (uint32_t j = 0; j < users; ++j) {
    if (!s.UserPaperAllowsSource(static_cast<uint16_t>(j), mask & 0xFFFF)) continue;
    char text[kUserPaperNameChars + 1] = {};
    s.GetPaperName(static_cast<uint16_t>(j), text, sizeof(text));
    AddItem(page, kOutputPaperList, text, static_cast<LPARAM>(n + j));
    int32_t id = 0;
    if (!found && s.GetPaperId(static_cast<uint16_t>(j), &id) && id == wanted) {
      std::strcpy(name, text);
      found = true;
    }
  }
  if (found) {
    SelectName(list, name);
  } else {
    const uint32_t paper = first >= 0 ? static_cast<uint32_t>(first) : 0;
    int32_t id = 0;
    s.GetPaperSizeId(static_cast<uint16_t>(paper), &id);
    s.ChangeOutputPaperSize(id);
    LoadPageString(param, static_cast<UINT>(static_cast<uint16_t>(id)), name, sizeof(name));
    SelectName(list, name);
    s.RecomputePageGeometry();
    WriteEditNumber(page, kScaleEdit, static_cast<int32_t>(s.GetScalePercent()));
  }
  if (!s.TestScalingOptionBits(1)) {
    SetDlgItemTextA(page, kScaleEdit, "");
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  } else if (!s.TestScalingOptionBits(2) && !s.TestScalingOptionBits(8)) {
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
  }
}

void CheckScalePercent(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  bool corrected = false;
  const int32_t value = CorrectPercentage(ReadEditNumber(page, kScaleEdit), &corrected);
  if (corrected) {
    WriteEditNumber(page, kScaleEdit, value);
    ShowSettingsMessage(page, param, 0, 4);
  }
  if (s.TestScalingOptionBits(2)) WriteEditNumber(page, kScaleEdit, static_cast<int32_t>(s.GetScalePercent()));
  if (value != static_cast<int32_t>(s.GetScalePercent())) {
    s.SetScalePercent(static_cast<uint32_t>(value));
    WriteEditNumber(page, kScaleEdit, value);
    RepaintLayoutPreview(page);
  }
}

void OnScaleArrows(HWND page, const PageParam& param, int code) {
  settings::JobSettings& s = *param.settings;
  const int32_t value = ReadEditNumber(page, kScaleEdit);
  int32_t next = value;
  if (s.GetScalingOptions() != 2) {
    if (code == SB_LINEUP && value >= kMinScale && value <= kMaxScale - 1) next = value + 1;
    else if (code == SB_LINEDOWN && value >= kMinScale + 1 && value <= kMaxScale) next = value - 1;
  }
  if (next == value) {
    if (value > kMaxScale) next = kMaxScale;
    else if (value < kMinScale) next = kMinScale;
  }
  if (next != value) {
    s.SetScalePercent(static_cast<uint32_t>(next));
    WriteEditNumber(page, kScaleEdit, next);
  }
  RepaintLayoutPreview(page);
}

void OnLayoutScroll(HWND page, const PageParam& param, HWND from, int code) {
  NotifySheetChanged(page, &param);
  if (from == GetDlgItem(page, kScaleArrows) && (code == SB_LINEUP || code == SB_LINEDOWN)) {
    OnScaleArrows(page, param, code);
  }
}

void ShowSinglePageLayout(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  for (int control : {kMultiPageCheck, kPagesPerSheetRadio, kPosterRadio}) Check(page, control, false);
  for (int control : {kTwoPagesRadio, kFourPagesRadio, kPoster1Radio, kPoster2Radio, kPoster3Radio, kPoster4Radio, kPageFrameCheck, kPageOrderButton,
                      kPosterPanelButton}) {
    EnableShow(page, control, false);
  }
  NotifySheetChanged(page, &param);
  s.ChangePagesPerSheet(1);
  for (int control : {kPageFrameCheck, kPageOrderButton, kPagesPerSheetRadio, kPosterRadio}) {
    Enable(page, control, false);
  }
  Check(page, kPageFrameCheck, false);
  ShowPercentageIfFit(page, param);
  RepaintLayoutPreview(page);
}

void ShowPagesPerSheetMode(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  CheckRadioButton(page, kPagesPerSheetRadio, kPosterRadio, kPagesPerSheetRadio);
  EnableShow(page, kTwoPagesRadio, true);
  EnableShow(page, kFourPagesRadio, true);
  for (int control : {kPoster1Radio, kPoster2Radio, kPoster3Radio, kPoster4Radio, kPosterPanelButton}) EnableShow(page, control, false);
  EnableShow(page, kPageFrameCheck, true);
  EnableShow(page, kPageOrderButton, true);
  const int32_t p = Code(s);
  if (p == 3) {
    CheckRadioButton(page, kTwoPagesRadio, kFourPagesRadio, kFourPagesRadio);
  } else {
    CheckRadioButton(page, kTwoPagesRadio, kFourPagesRadio, kTwoPagesRadio);
    if (p != 2) s.ChangePagesPerSheet(2);
  }
  NotifySheetChanged(page, &param);
  ShowPercentageIfFit(page, param);
  Enable(page, kPageFrameCheck, true);
  Enable(page, kPageOrderButton, true);
  RepaintLayoutPreview(page);
}

void ShowPosterMode(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  CheckRadioButton(page, kPagesPerSheetRadio, kPosterRadio, kPosterRadio);
  EnableShow(page, kTwoPagesRadio, false);
  EnableShow(page, kFourPagesRadio, false);
  for (int control : {kPoster1Radio, kPoster2Radio, kPoster3Radio}) EnableShow(page, control, true);
  Show(page, kPoster4Radio, true);
  ApplyPosterRadioRule(page, param);
  EnableShow(page, kPageFrameCheck, false);
  EnableShow(page, kPageOrderButton, false);
  EnableShow(page, kPosterPanelButton, true);
  const int32_t p = Code(s);
  for (int radio = kPoster1Radio; radio <= kPoster4Radio; ++radio) Check(page, radio, false);
  if (p <= 0) {
    if (p < 0 && p >= -4) Check(page, kPoster1Radio + (-p - 1), true);
    s.ChangePagesPerSheet(p);
  } else {
    Check(page, kPoster1Radio, true);
    s.ChangePagesPerSheet(-1);
  }
  Check(page, kPageFrameCheck, s.HasLayoutOptionBit64() != 0);
  NotifySheetChanged(page, &param);
  ShowPercentageIfFit(page, param);
  RepaintLayoutPreview(page);
}

void OnDuplexCheck(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!Checked(page, kDuplexCheck)) {
    Enable(page, kDuplexOptionCheck, false);
    Enable(page, kBindingMarginButton, false);
    Enable(page, kMultiPageCheck, true);
    Check(page, kDuplexOptionCheck, false);
    s.ChangeDuplex(1);
    Enable(page, kPosterRadio, Code(s) != 1);
  } else {
    if (s.TestModelHeaderFlags24(0x40000)) ShowSettingsMessage(page, param, 0, 37);
    Enable(page, kBindingMarginButton, true);
    Enable(page, kDuplexOptionCheck, true);
    Enable(page, kPosterRadio, false);
    if (!s.IsDuplexOn()) {
      Check(page, kDuplexOptionCheck, false);
      s.ClearDuplexOption1();
      if (!s.IsDuplexOn()) s.ChangeDuplex(s.GetBindingEdge() == 2 ? DMDUP_VERTICAL : DMDUP_HORIZONTAL);
    }
  }
  ShowPercentageIfFit(page, param);
  NotifySheetChanged(page, &param);
  UpdateLayoutState(page, param);
  RepaintLayoutPreview(page);
}

void RefillWatermarkList(HWND page, const PageParam& param, int32_t i) {
  settings::JobSettings& s = *param.settings;
  if (i < 0) {
    s.SetWatermarkEnabled(0);
  } else {
    s.SetWatermarkIndex(static_cast<uint32_t>(i));
    s.SetWatermarkEnabled(1);
  }
  FillWatermarkCombo(page, const_cast<PageParam*>(&param));
  SendDlgItemMessageA(page, kWatermarkList, CB_SETCURSEL, static_cast<WPARAM>(i + 1), 0);
}

void OnWatermarkChoice(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const LRESULT data = SelectedData(page, kWatermarkList);
  if (data == -1 || data == CB_ERR) {
    Enable(page, kWatermarkEditButton, false);
    s.SetWatermarkEnabled(0);
    s.SetWatermarkIndex(0);
  } else {
    s.SelectWatermark(static_cast<int16_t>(data));
    s.SetWatermarkEnabled(1);
    RefillWatermarkList(page, param, static_cast<int32_t>(data));
    Enable(page, kWatermarkEditButton, true);
    s.GetWatermarkRect();
  }
  UpdateLayoutState(page, param);
  NotifySheetChanged(page, &param);
  RepaintLayoutPreview(page);
}

void OnLayoutPageCommand(HWND page, const PageParam& param, int control, int code) {
  settings::JobSettings& s = *param.settings;
  switch (control) {
    case kOutputPaperList:
      if (code == CBN_SELCHANGE) OnOutputPaperChange(page, param);
      return;
    case kScaleEdit:
      if (code == EN_KILLFOCUS) CheckScalePercent(page, param);
      return;
    case kNormalSizeRadio:
      OnNormalSize(page, param);
      return;
    case kFitToPaperRadio:
    case kScaleRadio:
      OnScaleMode(page, param, control);
      return;
    case kScaledPrintingCheck:
      OnScaledPrinting(page, param);
      return;
    case kMultiPageCheck:
      OnMultiPage(page, param);
      return;
    case kPagesPerSheetRadio:
      ShowPagesPerSheetMode(page, param);
      return;
    case kPosterRadio:
      if (Code(s) < 0 && Code(s) >= -4) {
        CheckRadioButton(page, kPagesPerSheetRadio, kPosterRadio, kPosterRadio);
      } else {
        ShowPosterMode(page, param);
        ApplyPosterRadioRule(page, param);
      }
      return;
    case kTwoPagesRadio:
    case kFourPagesRadio:
      OnPagesCount(page, param);
      return;
    case 2446:
    case 2447:
    case 2448:
    case 2449:
      OnPosterKind(page, param, control);
      return;
    case kPageFrameCheck:
      NotifySheetChanged(page, &param);
      s.SetLayoutOptionBit64(Checked(page, kPageFrameCheck) ? 1 : 0);
      UpdateLayoutState(page, param);
      RepaintLayoutPreview(page);
      return;
    case kPageOrderButton:
      OnDialogButton(page, param, ShowSettingsDialog(page, SettingsDialog::kPageOrder));
      return;
    case kPosterPanelButton:
      OnDialogButton(page, param, ShowSettingsDialog(page, SettingsDialog::kPosterPanel));
      return;
    case kBindingMarginButton:
      OnDialogButton(page, param, ShowResourceDialog(page, &BindingMarginDlgProc, kBindingMarginTemplate));
      return;
    case kDuplexCheck:
      OnDuplexCheck(page, param);
      return;
    case kDuplexOptionCheck:
      OnDuplexOption(page, param);
      return;
    case kSkipBlankCheck:
      s.SetJobOptionBits(0x4000, Checked(page, kSkipBlankCheck) ? 1 : 0);
      return;
    case kWatermarkList:
      if (code == CBN_SELCHANGE) OnWatermarkChoice(page, param);
      return;
    case kWatermarkManageButton: {
      const int32_t index = EditWatermarks(page, param, 1);
      RefillWatermarkList(page, param, s.IsWatermarkOn() ? index : -1);
      Enable(page, kWatermarkEditButton, SelectedData(page, kWatermarkList) >= 0);
      RepaintLayoutPreview(page);
      return;
    }
    case kWatermarkEditButton:
      EditWatermarks(page, param, 0);
      RefillWatermarkNames(page, param);
      ReloadEditedWatermark(page, param);
      RepaintLayoutPreview(page);
      return;
    default:
      return;
  }
}

}  // namespace kalimu::pages
