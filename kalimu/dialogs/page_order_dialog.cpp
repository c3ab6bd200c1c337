// The page order dialog: the shape test, the offered choices, OK, Cancel and the picture buttons.
#include "kalimu/dialogs/page_order_dialog.h"

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::dialogs {
namespace {

constexpr uint16_t kTips = pages::kPageOrderTips;
constexpr DWORD kDialogHelpContext = 1536;
constexpr DWORD kHelpTable[] = {2450, 1536, 2451, 1541, 2452, 1541, 2453, 1541, 2454, 1541, 2455, 1541, 2456, 1541,
                                2457, 1541, 2458, 1541, 2459, 1541, 2460, kNoHelp, 0, 0};
constexpr int kFourPageLabels = 1910;
constexpr int kTwoPageLabels = 1900;

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

void SetLabel(HWND dialog, const PageParam& param, int id, int string_id) {
  char text[128] = {};
  pages::LoadPageString(param, static_cast<UINT>(string_id), text, sizeof(text));
  SetDlgItemTextA(dialog, id, text);
}

bool Portrait(settings::JobSettings& settings) { return settings.GetOrientation() == DMORIENT_PORTRAIT; }

// Two outer pixel rows and columns: `top_left` along the left and top edges, the other colour
// along the right and bottom edges.
void DrawBorder(HDC dc, const RECT& box, COLORREF top_left, COLORREF bottom_right) {
  for (int k = 0; k < 2; ++k) {
    const RECT left{box.left + k, box.top + k, box.left + k + 1, box.bottom - k};
    const RECT top{box.left + k, box.top + k, box.right - k, box.top + k + 1};
    const RECT right{box.right - 1 - k, box.top + k, box.right - k, box.bottom - k};
    const RECT bottom{box.left + k, box.bottom - 1 - k, box.right - k, box.bottom - k};
    HBRUSH light = CreateSolidBrush(top_left);
    HBRUSH dark = CreateSolidBrush(bottom_right);
    FillRect(dc, &left, light);
    FillRect(dc, &top, light);
    FillRect(dc, &right, dark);
    FillRect(dc, &bottom, dark);
    DeleteObject(light);
    DeleteObject(dark);
  }
}

}  // namespace

int IsPrintableAreaPortrait(settings::JobSettings& settings) {
  settings::ExtentPair dots{};
  settings::EdgeValues margins{};
  settings.GetPaperDotExtent(&dots);
  settings.GetPaperMargins(&margins);
  const int64_t w = dots.width;
  const int64_t h = dots.height;
  const bool ordinary = h - margins.top - margins.bottom >= w - margins.left - margins.right;
  int32_t width = settings.GetPaperWidth();
  int32_t length = settings.GetPaperLength();
  if (width < 1 || length < 1) {
    settings::ExtentPair size{};
    settings.GetPaperSize01mm(&size);
    width = size.width;
    length = size.height;
  }
  if (width != length) return ordinary ? 1 : 0;
  if (!Portrait(settings)) return 0;
  const bool bit2 = settings.TestMarginOptionBits(2) != 0;
  const bool bit1 = settings.TestMarginOptionBits(1) != 0;
  const bool crosswise = bit2 || (settings.IsRotated180() && (bit2 || !bit1));
  if (crosswise) return h - margins.left - margins.right >= w - margins.top - margins.bottom ? 1 : 0;
  return ordinary ? 1 : 0;
}

int PageOrderBitmapId(settings::JobSettings& settings, int choice, bool enabled) {
  if (settings.GetPagesPerSheet() == kFourPagesPerSheet) {
    return 7710 + choice + (settings.IsPaperOrientationNatural() ? 10 : 0);
  }
  return (enabled ? 7700 : 7703) + choice;
}

void InitPageOrderDialog(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  pages::PageShared& shared = *param.shared;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &shared.dialog_snapshot);
  shared.page_order_copy = shared.page_order_choice;
  if (settings.GetPagesPerSheet() == kFourPagesPerSheet) {
    pages::EnableShowDlgItem(dialog, kOrderButton0 + 3, 1);
    pages::EnableShowDlgItem(dialog, kOrderLabel0 + 3, 1);
    for (int k = 0; k < 4; ++k) {
      Enable(dialog, kOrderButton0 + k, true);
      Enable(dialog, kOrderLabel0 + k, true);
      SetLabel(dialog, param, kOrderLabel0 + k, kFourPageLabels + k);
    }
  } else {
    pages::EnableShowDlgItem(dialog, kOrderButton0 + 3, 0);
    pages::EnableShowDlgItem(dialog, kOrderLabel0 + 3, 0);
    settings.SetPagesPerSheet(2);
    for (int k = 0; k < 3; ++k) SetLabel(dialog, param, kOrderLabel0 + k, kTwoPageLabels + k);
    const bool along = Portrait(settings) == (IsPrintableAreaPortrait(settings) != 0);
    if (!along) {
      shared.page_order_choice = 2;
    } else if (shared.page_order_choice >= 2) {
      shared.page_order_choice = 0;
    }
    for (int k = 0; k < 2; ++k) {
      Enable(dialog, kOrderButton0 + k, along);
      Enable(dialog, kOrderLabel0 + k, along);
    }
    Enable(dialog, kOrderButton0 + 2, !along);
    Enable(dialog, kOrderLabel0 + 2, !along);
  }
  pages::InstallToolTips(dialog, kTips);
}

void ConfirmPageOrder(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  const int bit64 = settings.HasLayoutOptionBit64();
  settings.SetPlacement(0);
  settings.SetPlacement(param.shared->page_order_choice);
  settings.SetLayoutOptionBit64(bit64);
  FreeDevModeSnapshot(&param.shared->dialog_snapshot);
  pages::RemoveToolTipHook(kTips);
  EndSettingsDialog(dialog, 1);
}

void CancelPageOrder(HWND dialog, PageParam& param) {
  CancelDialogSnapshot(dialog, param, &param.shared->dialog_snapshot, kTips, 0);
  param.shared->page_order_choice = param.shared->page_order_copy;
}

void DrawPageOrderButton(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  const int choice = static_cast<int>(item->CtlID) - kOrderButton0;
  HDC dc = item->hDC;
  if ((item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0) {
    FillRect(dc, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const bool current = choice == param.shared->page_order_choice;
    DrawBorder(dc, item->rcItem, current ? RGB(0, 0, 0) : RGB(255, 255, 255),
               current ? RGB(255, 255, 255) : RGB(0, 0, 0));
    const bool enabled = (item->itemState & ODS_DISABLED) == 0;
    HMODULE module = pages::ResourceModuleOf(param);
    HBITMAP bitmap = module != nullptr
                         ? LoadBitmapA(module, MAKEINTRESOURCEA(PageOrderBitmapId(*param.settings, choice, enabled)))
                         : nullptr;
    if (bitmap != nullptr) {
      pages::DrawItemBitmap(item, bitmap, pages::kPictureKey);
      DeleteObject(bitmap);
    }
    if ((item->itemState & ODS_FOCUS) != 0) pages::DrawItemFocus(item);
  } else if ((item->itemAction & ODA_FOCUS) != 0) {
    RECT focus = item->rcItem;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);  // toggles: drawn on gaining the focus, removed on losing it
  }
}

INT_PTR CALLBACK PageOrderDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitPageOrderDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  if (HandleTipsAndHelp(dialog, message, wparam, lparam, *param, kTips, kHelpTable)) return TRUE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id >= kOrderButton0 && id < kOrderButton0 + 4) {
        param->shared->page_order_choice = static_cast<uint16_t>(id - kOrderButton0);
        InvalidateRect(dialog, nullptr, TRUE);
      } else if (id == kPageOrderHelp) {
        ShowHelpTopic(dialog, *param, kDialogHelpContext);
      } else if (id == IDOK) {
        ConfirmPageOrder(dialog, *param);
      } else if (id == IDCANCEL) {
        CancelPageOrder(dialog, *param);
      } else {
        return FALSE;
      }
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType != ODT_BUTTON || item->CtlID < kOrderButton0 || item->CtlID >= kOrderButton0 + 4) return FALSE;
      DrawPageOrderButton(dialog, *param, item);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
