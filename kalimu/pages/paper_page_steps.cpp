// The paper page's own steps inside the page frame (see page_frame.h).
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/paper_source_rules.h"
#include "kalimu/pages/spin_steps.h"

namespace kalimu::pages {

namespace {

void Refresh(HWND page, PageParam& param) { OnPaperPageActivate(page, param); }

void Command(HWND page, PageParam& param, WPARAM wparam, LPARAM) {
  OnPaperPageCommand(page, param, LOWORD(wparam), HIWORD(wparam));
}

void Commit(HWND page, PageParam& param) { CommitPaperPage(page, param); }

void DrawItem(HWND page, PageParam& param, const DRAWITEMSTRUCT* item) { DrawPaperPageItem(page, param, item); }

void Scroll(HWND page, PageParam& param, HWND control, WPARAM wparam) {
  if (control == GetDlgItem(page, kCopiesArrows)) OnCopiesArrows(page, param, SpinLineCode(control, wparam));
}

// The source option and cutter controls follow the settings at every paint.
void BeforePaint(HWND page, PageParam& param) {
  UpdateSourceOptionControls(page, param);
  if (HasCutter(*param.settings)) UpdateCutterControls(page, param);
}

}  // namespace

const PageSteps& PaperPageSteps() {
  static constexpr PageSteps kSteps{
      .fill_controls = &FillPaperPageControls,
      .refresh_controls = &Refresh,
      .command = &Command,
      .commit = &Commit,
      .draw_item = &DrawItem,
      .scroll = &Scroll,
      .before_paint = &BeforePaint,
  };
  return kSteps;
}

}  // namespace kalimu::pages
