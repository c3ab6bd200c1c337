// The paper page's dialog procedure, start-up, refresh, drawing, paint and Apply.
#include "kalimu/pages/paper_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_internal.h"
#include "kalimu/pages/paper_source_rules.h"
#include "kalimu/pages/spin_steps.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {

using namespace paper_source;

namespace {

// Start-up step 2 and refresh: a cut list of the source's class on a cutter model.
void FillStartCutList(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!HasCutter(s)) return;
  UpdateCutterControls(page, param);
  FillCutModeList(page, param, IsWideRollSource(s) ? 4 : IsRollCutSource(s) ? 2 : 0);
}

// Start-up step 4 and refresh step 5: the source codes in their reduced form.
void ApplyStartSourceCodes(HWND page, const PageParam& param) { ApplySourceCodes(page, param, 0); }

}  // namespace

int16_t OrderPictureId(settings::JobSettings& s) {
  const bool collated = s.IsCollateOn() != 0;
  const bool reverse = s.IsReverseOrder() != 0;
  if (collated) return reverse ? 7502 : 7503;
  return reverse ? 7500 : 7501;
}

void UpdateOrderPicture(HWND page, const PageParam& param) {
  param.shared->order_picture_id = OrderPictureId(*param.settings);
  InvalidateRect(GetDlgItem(page, kOrderPicture), nullptr, TRUE);
}

void RepaintPaperPreview(HWND page) { InvalidateRect(GetDlgItem(page, kPaperPreview), nullptr, TRUE); }

void ShowPaperPageOptions(HWND page, const PageParam& param) {
  const bool roll_options = param.settings->TestPaperOptionBits(1) && param.settings->TestPaperOptionBits(0x100);
  EnableShowDlgItem(page, kRollOptionsGroup, roll_options ? 1 : 0);
  EnableShowDlgItem(page, kPaperOptionsGroup, roll_options ? 0 : 1);
}

void FillPaperPageOptionList(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  HWND list = GetDlgItem(page, kPaperPageOptionList);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  uint32_t count = 0;
  s.GetTable4Count(&count);
  for (uint32_t i = 0; i < count; ++i) {
    char text[64] = {};
    LoadPageString(param, 1580 + i, text, sizeof(text));
    AddItem(page, kPaperPageOptionList, text, static_cast<LPARAM>(i));
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(static_cast<int32_t>(s.GetPaperPageOption()) - 1), 0);
}

void FillPaperPageControls(HWND page, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  ShowDriverVersionText(GetDlgItem(page, kPaperVersionText), &param);
  s.SetSheetState(2);
  FillStartCutList(page, param);
  UpdateSourceOptionControls(page, param);
  if (!s.IsDuplexOn() || SourceWord12Bit(s, 4)) ApplyStartSourceCodes(page, param);
  ApplyMarginLock(page, param);
  UpdateFeedModeList(page, param);
  FillPaperPageOptionList(page, param);
}

int RefreshPaperPage(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  FillPaperSourceList(page, param);
  ShowPaperPageOptions(page, param);
  FillPaperSizeCombo(page, param);
  const bool portrait = s.GetOrientation() == DMORIENT_PORTRAIT;
  Check(page, kPortraitRadio, portrait);
  Check(page, kLandscapeRadio, !portrait);
  ShowMarginState(page, param);
  SendDlgItemMessageA(page, kCopiesEdit, EM_LIMITTEXT, 4, 0);
  WriteEditNumber(page, kCopiesEdit, static_cast<int32_t>(s.GetCopies()));
  PrepareSpin(GetDlgItem(page, kCopiesArrows));
  Check(page, kCollateCheck, s.IsCollateOn() != 0);
  Check(page, kReverseOrderCheck, s.IsReverseOrder() != 0);
  Check(page, kRotateCheck, s.TestLayoutOptionBits(0x100) != 0);
  Check(page, kSaveRollCheck, s.TestPaperOptionBits(32) != 0);
  Check(page, kFitRollCheck, s.TestPaperOptionBits(4) != 0);
  Check(page, kRollMarginCheck, s.TestPaperOptionBits(2) != 0);
  const bool simplex = s.IsDuplexOn() == 0;
  for (int control : {kCollateCheck, kReverseOrderCheck, kRotateCheck}) Enable(page, control, simplex);
  if (simplex) {
    ApplyStartSourceCodes(page, param);
    ApplyMarginLock(page, param);
  }
  UpdateOrderPicture(page, param);
  UpdateFeedModeList(page, param);
  FillPaperPageOptionList(page, param);
  if (ApplyCurrentMediaSourceRule(param) == 1) {
    Check(page, kMarginStandardRadio, true);
    Check(page, kMarginMaximumRadio, false);
    Enable(page, kMarginStandardRadio, false);
    Enable(page, kMarginMaximumRadio, false);
  }
  return 1;
}

void OnPaperPageActivate(HWND page, const PageParam& param) {
  if (RefreshPaperPage(page, param) != 0) {
    FillPaperSizeCombo(page, param);
    SelectCutModeItem(page, param);
  }
}

void CommitCopies(HWND page, const PageParam& param) {
  int32_t copies = ReadEditNumber(page, kCopiesEdit);
  if (copies > kMaxCopies) copies = kMaxCopies;
  if (copies < 1) copies = 1;
  param.settings->SetCopies(copies);
}

void CommitPaperPage(HWND page, const PageParam& param) {
  UpdateRollFit(*param.settings);
  CommitCopies(page, param);
  param.settings->CommitPaperFlags();
}

void DrawPaperPageItem(HWND page, const PageParam& param, const DRAWITEMSTRUCT* item) {
  if (item == nullptr) return;
  settings::JobSettings& s = *param.settings;
  if (item->CtlType == ODT_BUTTON) {
    if (item->CtlID == kOrderPicture) {
      const int16_t id = param.shared->order_picture_id;
      if (id == -1 || (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT)) return;
      UniqueGdiObject bitmap(LoadBitmapA(ResourceModuleOf(param), MAKEINTRESOURCEA(static_cast<uint16_t>(id))));
      if (bitmap) DrawItemBitmap(item, static_cast<HBITMAP>(bitmap.get()), kPictureKey);
    }
    return;
  }
  if (item->CtlType != ODT_COMBOBOX || item->itemID == static_cast<UINT>(-1)) return;
  switch (item->CtlID) {
    case kCutModeList: {
      DRAWITEMSTRUCT copy = *item;
      if (IsCutModeRefused(s, static_cast<int>(item->itemData))) copy.itemState |= ODS_DISABLED;
      DrawComboItemText(page, &copy);
      return;
    }
    case kPaperSizeList: {
      DrawComboItemText(page, item);
      if (item->itemState & ODS_COMBOBOXEDIT) return;
      char text[256] = {};
      SendMessageA(item->hwndItem, CB_GETLBTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
      char separator[256] = {};
      LoadPageString(param, 256, separator, sizeof(separator));
      if (separator[0] == '\0' || std::strcmp(text, separator) != 0) return;
      // The mask bit of the first source record whose identifier is the device mode's source.
      uint32_t sources = 0;
      s.GetPaperSourceCount(&sources);
      uint32_t position = 0;
      for (uint32_t j = 0; j < sources; ++j) {
        int32_t id = 0;
        if (s.GetPaperSourceId(static_cast<uint16_t>(j), &id) && id == s.GetDefaultSource()) {
          position = j;
          break;
        }
      }
      const uint32_t bit = 2 * position + (SourceBit(s, 0x2000) ? 0 : 1);
      const uint32_t mask = bit < 32 ? 1u << bit : 0;
      uint32_t users = 0;
      if (!s.GetPaperCount(&users)) users = 0;
      for (uint32_t u = 0; u < users; ++u) {
        if (s.UserPaperAllowsSource(static_cast<uint16_t>(u), mask)) {
          DrawItemSeparator(item, 1);
          break;
        }
      }
      return;
    }
    case kPaperSourceList:
    case kFeedModeList:
    case kPaperPageOptionList:
      DrawComboItemText(page, item);
      return;
    default:
      return;
  }
}

}  // namespace kalimu::pages
