// The frame every document page runs in, and the small services the pages and the settings
// dialogs share (change notification, help, device-mode snapshots, releasing the sheet's page
// resources, the Apply-time ink-set check, the driver version text).
//
// The four page procedures (MainPageProc, PaperPageProc, LayoutPageProc, UtilityPageProc) are
// the frame's. Each turns its messages into the frame's common steps and calls the page's own
// steps through its PageSteps table at fixed points:
//
//   WM_INITDIALOG   1. store the PageParam (the PROPSHEETPAGE's lParam) in DWLP_USER and
//                      record the page's parent as the sheet window (edits then enable Apply);
//                   2. take the sheet snapshot when no page took it yet;
//                   3. steps.fill_controls;
//                   4. steps.start_status_polling (main page), else one status refresh;
//                   5. InstallToolTips with the page's kind.
//   WM_COMMAND      steps.command.
//   WM_NOTIFY       HandleToolTipNotify first; PSN_SETACTIVE: steps.refresh_controls;
//                   PSN_APPLY: page apply (below); PSN_RESET: the snapshot back, then
//                   ReleasePageResources; PSN_HELP: ShowHelpTopic with the page's context.
//   PSN_APPLY       1. CheckPrinterInkSet; 2. steps.commit; 3. the sheet snapshot (when it
//                   exists) takes the settings; steps.commit_after_snapshot; 4. the settings'
//                   device mode into the sheet context; 5. CPSFUNC_SET_RESULT with the page's
//                   own page handle and CPSUI_OK; 6. PSNRET_NOERROR; 7. ReleasePageResources.
//   WM_PAINT        steps.before_paint; BeginPaint; when the sheet may not change the settings,
//                   every editable control of the page (frame table) is disabled; EndPaint.
//   WM_DRAWITEM     the page's layout preview (main 2016, paper 2209, layout 2401) is painted
//                   by the frame (PaintLayoutPreview); every other item goes to steps.draw_item.
//                   A step that changes what the preview shows redraws it (InvalidateRect on
//                   the preview control, or PaintLayoutPreview).
//   WM_MEASUREITEM  MeasureComboItem for the page's owner-drawn combos (frame table).
//   WM_HELP         ShowContextHelp(page, item window, HELP_WM_HELP, page table).
//   WM_CONTEXTMENU  ShowContextHelp(page, page window, HELP_CONTEXTMENU, page table).
//   WM_HSCROLL      main page: NotifySheetChanged, then steps.scroll with the scrolled control.
//   WM_VSCROLL      paper page: steps.scroll; layout page: NotifySheetChanged, then steps.scroll.
//   WM_TIMER, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK   main page: steps.timer, steps.mouse.
//   WM_DESTROY      utility page: removes the thread's page tooltip hooks; every page then
//                   calls steps.destroy.
//
// A null step is skipped. The pages' own files define the four Steps functions below
// (main_page_steps.cpp, paper_page_steps.cpp, layout_page_steps.cpp, utility_page_steps.cpp)
// and keep their steps beside them; the frame never changes a setting itself.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "kalimu/pages/page_access.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::pages {

// ---- The page's own steps -------------------------------------------------------------------

struct PageSteps {
  // Start-up step 3: the controls filled from the settings.
  void (*fill_controls)(HWND page, PageParam& param) = nullptr;
  // Start-up step 4 of the main page: starts the status polling in place of the one-off refresh.
  void (*start_status_polling)(HWND page, PageParam& param) = nullptr;
  // PSN_SETACTIVE: refills what another page may have changed.
  void (*refresh_controls)(HWND page, PageParam& param) = nullptr;
  // WM_COMMAND: a control's notification or a button. Calls NotifySheetChanged after a change.
  void (*command)(HWND page, PageParam& param, WPARAM wparam, LPARAM lparam) = nullptr;
  // Apply step 2: the page's commits before the snapshot takes the settings.
  void (*commit)(HWND page, PageParam& param) = nullptr;
  // After apply step 3 (the main page's stored registry values).
  void (*commit_after_snapshot)(HWND page, PageParam& param) = nullptr;
  // WM_DRAWITEM of the page's owner-drawn controls.
  void (*draw_item)(HWND page, PageParam& param, const DRAWITEMSTRUCT* item) = nullptr;
  // WM_HSCROLL (main page) or WM_VSCROLL (paper, layout): `control` is the scrolled control's
  // window as the sheet's notification style reports it, `wparam` the message's.
  void (*scroll)(HWND page, PageParam& param, HWND control, WPARAM wparam) = nullptr;
  // WM_TIMER of the main page.
  void (*timer)(HWND page, PageParam& param, WPARAM timer_id) = nullptr;
  // WM_LBUTTONDOWN and WM_LBUTTONDBLCLK of the main page.
  void (*mouse)(HWND page, PageParam& param, UINT message, WPARAM wparam, LPARAM lparam) = nullptr;
  // WM_DESTROY (the PageParam may be null when the page never started).
  void (*destroy)(HWND page, PageParam* param) = nullptr;
  // WM_PAINT, before BeginPaint (the paper page's source option and cutter controls).
  void (*before_paint)(HWND page, PageParam& param) = nullptr;
};

const PageSteps& MainPageSteps();     // main_page_steps.cpp
const PageSteps& PaperPageSteps();    // paper_page_steps.cpp
const PageSteps& LayoutPageSteps();   // layout_page_steps.cpp
const PageSteps& UtilityPageSteps();  // utility_page_steps.cpp

// ---- The page procedures --------------------------------------------------------------------

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK PaperPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK LayoutPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

enum class DocumentPage : uint8_t { kMain = 0, kPaper = 1, kLayout = 2, kUtility = 3 };

// A run of control ids, first to last.
struct ControlRange {
  int first;
  int last;
};
// The controls a sheet without permission keeps disabled (absent ones are skipped).
std::span<const ControlRange> PageEditableControls(DocumentPage page);

// ---- Help -------------------------------------------------------------------------------------

// One pair of a help-id table: {control id, help context}; a table ends with {0, 0}. The first
// pair names the dialog template and its own context; kNoHelp marks a control without help.
struct HelpIdPair {
  uint32_t control;
  uint32_t context;
};
static_assert(sizeof(HelpIdPair) == 8);
inline constexpr uint32_t kNoHelp = 0xFFFFFFFFu;

inline constexpr uint32_t kBindingMarginHelpContext = 5376;

// The help tables (each ends with {0, 0}).
std::span<const HelpIdPair> PageHelpTable(DocumentPage page);
std::span<const HelpIdPair> BindingMarginHelpTable();
// The page's own help context (main 256, paper 512, layout 768, utility 1024).
uint32_t PageHelpContext(DocumentPage page);

// The help system's entry (WinHelpA by default). Tests put their own in place (the real one
// starts a help viewer); answers the previous one.
using WinHelpFunction = BOOL(WINAPI*)(HWND window, LPCSTR help_file, UINT command, ULONG_PTR data);
WinHelpFunction ReplaceWinHelp(WinHelpFunction function);
// Calls the help system's entry in place now; the settings dialogs route their help through it.
BOOL CallWinHelp(HWND window, LPCSTR help_file, UINT command, ULONG_PTR data);

// WinHelp(window, help file, HELP_CONTEXT, context); FALSE without settings.
BOOL ShowHelpTopic(HWND window, const PageParam* param, uint32_t context);
// WinHelp(help window, help file, command, table) with the dialog's PageParam.
void ShowContextHelp(HWND dialog, HWND help_window, UINT command, std::span<const HelpIdPair> table);

// ---- Change notification --------------------------------------------------------------------

// PSM_CHANGED(page) to the sheet window; 1 when one is recorded, else 0 (nothing sent).
uint16_t NotifySheetChanged(HWND page, const PageParam* param);

// ---- Snapshots and resources ----------------------------------------------------------------

// A 1048-byte moveable, locked global-memory copy of the settings' device mode; null when
// memory runs out.
settings::DriverDevMode* TakeDevModeSnapshot(const PageParam& param);
// Unlocks and frees the snapshot and clears the pointer; nothing for a null one.
void FreeDevModeSnapshot(settings::DriverDevMode** snapshot);
// Copies the snapshot back over the settings' device mode; the snapshot stays.
void RestoreDevModeSnapshot(const PageParam* param, const settings::DriverDevMode* snapshot);
// A dialog's Cancel: the snapshot back and freed, the dialog's tooltip hook of `tooltip_kind`
// removed, the dialog ended with `result` (as a signed 16-bit value).
BOOL CancelDialogSnapshot(HWND dialog, const PageParam* param, settings::DriverDevMode** snapshot,
                          uint16_t tooltip_kind, int result);
// Frees the sheet's page buffers, snapshots and preview palette, and the calling thread's page
// tooltip hooks. Nothing without a PageParam, PageShared or settings.
void ReleasePageResources(PageParam* param);

// The Windows directory with a final backslash, bounded to size; the buffer is left as it was
// when it is null or the directory cannot be read.
void GetWindowsDirPath(char* buffer, size_t size);

// The Apply-time ink-set check: message 22 once per sheet when the printer reports an ink set
// other than the settings' model identifier, which the settings then take over.
void CheckPrinterInkSet(HWND window, PageParam* param);

// String 8064, a blank and the driver's version text, as the control's text.
void ShowDriverVersionText(HWND control, const PageParam* param);

}  // namespace kalimu::pages
