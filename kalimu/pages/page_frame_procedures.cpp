// The four document page procedures: each turns its messages into the frame's common steps and
// the page's own steps (see page_frame.h for the order).
#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::pages {
namespace {

// What the frame itself knows of a page.
struct PageFrame {
  DocumentPage page;
  uint16_t tooltip_kind;
  std::span<const int> measured_combos;  // owner-drawn combos measured with MeasureComboItem
  std::span<const ControlRange> editable;  // disabled at every paint of a read-only sheet
  int preview_control;                   // the page's layout preview (owner-drawn), or 0
  UINT scroll_message;                   // the scroll message the page handles, or 0
  bool notify_before_scroll;             // NotifySheetChanged before the page's scroll step
  bool polls_status;                     // the main page: status polling, timer and label clicks
  bool removes_tooltips_on_destroy;
  const PageSteps& (*steps)();
};

constexpr int kMainMeasured[] = {2003, 2004, 8108, 8113};
constexpr int kPaperMeasured[] = {2201, 2202, 2237, 2247, 2254};
constexpr int kLayoutMeasured[] = {2405, 2422};

constexpr ControlRange kMainEditable[] = {
    {2003, 2003}, {2030, 2030}, {2032, 2032}, {2033, 2033}, {2002, 2002}, {2001, 2001}, {2006, 2006},
    {2004, 2004}, {2008, 2008}, {2009, 2009}, {2005, 2005}, {2011, 2011}, {2031, 2031}, {2015, 2015},
    {2019, 2019}, {2020, 2020}, {2014, 2014}, {2017, 2017}, {2018, 2018}, {2012, 2012}, {2021, 2021},
    {2022, 2022}, {2047, 2047}, {2048, 2048}, {2055, 2055}, {2053, 2053}, {2040, 2040}, {2041, 2041},
    {2007, 2007}, {8107, 8107}, {8108, 8108}, {8112, 8112}, {8113, 8113},
};
constexpr ControlRange kPaperEditable[] = {
    {2201, 2209}, {2212, 2213}, {2215, 2220}, {2222, 2223}, {2224, 2231}, {2232, 2233},
    {2236, 2239}, {2246, 2248}, {2254, 2254}, {2260, 2260},
};
constexpr ControlRange kLayoutEditable[] = {
    {2401, 2401}, {2403, 2415}, {2417, 2423}, {2425, 2426}, {2431, 2431},
    {2433, 2436}, {2446, 2449}, {2440, 2440},
};
constexpr ControlRange kUtilityEditable[] = {
    {2300, 2307}, {2310, 2317}, {2320, 2327}, {2330, 2332}, {2340, 2347},
};

constexpr PageFrame kFrames[] = {
    {DocumentPage::kMain, kMainPageTips, kMainMeasured, kMainEditable, 2016, WM_HSCROLL, true, true, false, &MainPageSteps},
    {DocumentPage::kPaper, kPaperPageTips, kPaperMeasured, kPaperEditable, 2209, WM_VSCROLL, false, false, false,
     &PaperPageSteps},
    {DocumentPage::kLayout, kLayoutPageTips, kLayoutMeasured, kLayoutEditable, 2401, WM_VSCROLL, true, false, false,
     &LayoutPageSteps},
    {DocumentPage::kUtility, kUtilityPageTips, {}, kUtilityEditable, 0, 0, false, false, true, &UtilityPageSteps},
};

void StartPage(const PageFrame& frame, HWND page, LPARAM lparam) {
  const auto* sheet_page = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
  auto* param = sheet_page != nullptr ? reinterpret_cast<PageParam*>(sheet_page->lParam) : nullptr;
  StorePageParam(page, param);
  if (param == nullptr || param->settings == nullptr || param->shared == nullptr) return;
  PageShared& shared = *param->shared;
  // The property sheet frame is the page's parent: recording it lets every edit enable Apply.
  if (shared.sheet_window == nullptr) shared.sheet_window = GetParent(page);
  if (shared.sheet_snapshot == nullptr) shared.sheet_snapshot = TakeDevModeSnapshot(*param);

  const PageSteps& steps = frame.steps();
  if (steps.fill_controls != nullptr) steps.fill_controls(page, *param);
  if (frame.polls_status) {
    if (steps.start_status_polling != nullptr) steps.start_status_polling(page, *param);
  } else if (std::unique_ptr<status::PrinterStatus> printer_status(status::CreatePrinterStatus(*param->settings));
             printer_status) {
    printer_status->RefreshStatus();
  }
  InstallToolTips(page, frame.tooltip_kind);
}

void ApplyPage(const PageFrame& frame, HWND page, PageParam& param) {
  CheckPrinterInkSet(page, &param);
  const PageSteps& steps = frame.steps();
  if (steps.commit != nullptr) steps.commit(page, param);
  if (param.shared->sheet_snapshot != nullptr) {
    std::memcpy(param.shared->sheet_snapshot, param.settings->GetDriverDevMode(), settings::kDevModeSize);
  }
  if (steps.commit_after_snapshot != nullptr) steps.commit_after_snapshot(page, param);
  if (driver::SheetContext* context = param.context; context != nullptr) {
    platform::CopyDevModeRecord(param.settings->GetDevMode(), &context->dev_mode.Public);
    if (context->sheet_callback != nullptr) {
      context->sheet_callback(context->sheet_handle, CPSFUNC_SET_RESULT,
                              context->page_handles[static_cast<size_t>(frame.page)], CPSUI_OK);
    }
  }
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
  ReleasePageResources(&param);
}

void Notify(const PageFrame& frame, HWND page, PageParam& param, NMHDR* header) {
  HandleToolTipNotify(header, param, frame.tooltip_kind);
  switch (header->code) {
    case PSN_SETACTIVE:
      if (frame.steps().refresh_controls != nullptr) frame.steps().refresh_controls(page, param);
      break;
    case PSN_APPLY:
      ApplyPage(frame, page, param);
      break;
    case PSN_RESET:
      RestoreDevModeSnapshot(&param, param.shared->sheet_snapshot);
      ReleasePageResources(&param);
      break;
    case PSN_HELP:
      ShowHelpTopic(page, &param, PageHelpContext(frame.page));
      break;
    default:
      break;
  }
}

void PaintPage(const PageFrame& frame, HWND page, PageParam* param) {
  const bool started = param != nullptr && param->settings != nullptr && param->shared != nullptr;
  if (started && frame.steps().before_paint != nullptr) frame.steps().before_paint(page, *param);
  PAINTSTRUCT paint;
  BeginPaint(page, &paint);
  if (param != nullptr && param->context != nullptr && param->context->may_change == 0) {
    for (const ControlRange& range : frame.editable) {
      for (int id = range.first; id <= range.last; ++id) {
        if (HWND control = GetDlgItem(page, id); control != nullptr) EnableWindow(control, FALSE);
      }
    }
  }
  EndPaint(page, &paint);
}

HWND ScrolledControl(const PageFrame& frame, const PageParam& param, LPARAM lparam) {
  // Horizontal track bars of the main page report their window in lParam only in the sheet's
  // notification style; the older style puts it in the high word.
  if (frame.scroll_message == WM_HSCROLL && (param.context == nullptr || param.context->notification_style == 0)) {
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(HIWORD(lparam)));
  }
  return reinterpret_cast<HWND>(lparam);
}

INT_PTR RunPage(const PageFrame& frame, HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    StartPage(frame, page, lparam);
    return TRUE;
  }
  PageParam* param = PageParamOf(page);
  const PageSteps& steps = frame.steps();
  if (message == WM_DESTROY) {
    if (!frame.removes_tooltips_on_destroy) {
      if (steps.destroy != nullptr) steps.destroy(page, param);
      return FALSE;
    }
    RemovePageToolTipHooks();
    if (steps.destroy != nullptr) steps.destroy(page, param);
    return TRUE;
  }
  if (message == WM_PAINT) {
    PaintPage(frame, page, param);
    return TRUE;
  }
  // Everything else needs the page's records, which exist from WM_INITDIALOG on.
  if (param == nullptr || param->settings == nullptr || param->shared == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (steps.command != nullptr) steps.command(page, *param, wparam, lparam);
      return TRUE;
    case WM_NOTIFY:
      if (lparam == 0) return FALSE;
      Notify(frame, page, *param, reinterpret_cast<NMHDR*>(lparam));
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item != nullptr && frame.preview_control != 0 && static_cast<int>(item->CtlID) == frame.preview_control) {
        PaintLayoutPreview(page, param, frame.preview_control);
      } else if (steps.draw_item != nullptr) {
        steps.draw_item(page, *param, item);
      }
      return TRUE;
    }
    case WM_MEASUREITEM: {
      if (frame.measured_combos.empty()) return FALSE;
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item != nullptr && std::ranges::find(frame.measured_combos, static_cast<int>(item->CtlID)) !=
                                 frame.measured_combos.end()) {
        MeasureComboItem(page, item);
      }
      return TRUE;
    }
    case WM_HELP: {
      const auto* info = reinterpret_cast<const HELPINFO*>(lparam);
      ShowContextHelp(page, info != nullptr ? static_cast<HWND>(info->hItemHandle) : page, HELP_WM_HELP,
                      PageHelpTable(frame.page));
      return TRUE;
    }
    case WM_CONTEXTMENU:
      // The page itself, not the window under the mouse, goes to the help system.
      ShowContextHelp(page, page, HELP_CONTEXTMENU, PageHelpTable(frame.page));
      return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (message != frame.scroll_message) return FALSE;
      HWND control = ScrolledControl(frame, *param, lparam);
      if (frame.notify_before_scroll) NotifySheetChanged(page, param);
      if (steps.scroll != nullptr) steps.scroll(page, *param, control, wparam);
      return TRUE;
    }
    case WM_TIMER:
      if (!frame.polls_status) return FALSE;
      if (steps.timer != nullptr) steps.timer(page, *param, wparam);
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!frame.polls_status) return FALSE;
      if (steps.mouse != nullptr) steps.mouse(page, *param, message, wparam, lparam);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::span<const ControlRange> PageEditableControls(DocumentPage page) {
  return kFrames[static_cast<size_t>(page) & 3].editable;
}

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  return RunPage(kFrames[0], page, message, wparam, lparam);
}

INT_PTR CALLBACK PaperPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  return RunPage(kFrames[1], page, message, wparam, lparam);
}

INT_PTR CALLBACK LayoutPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  return RunPage(kFrames[2], page, message, wparam, lparam);
}

INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  return RunPage(kFrames[3], page, message, wparam, lparam);
}

}  // namespace kalimu::pages
