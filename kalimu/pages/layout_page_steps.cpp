// The layout page's own steps inside the page frame (see page_frame.h).
#include "kalimu/pages/layout_page.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/spin_steps.h"

namespace kalimu::pages {

namespace {

void Refresh(HWND page, PageParam& param) { RefreshLayoutPage(page, param); }

void Command(HWND page, PageParam& param, WPARAM wparam, LPARAM) {
  OnLayoutPageCommand(page, param, LOWORD(wparam), HIWORD(wparam));
}

void Commit(HWND page, PageParam& param) { CommitLayoutPage(page, param); }

void DrawItem(HWND page, PageParam& param, const DRAWITEMSTRUCT* item) { DrawLayoutPageItem(page, param, item); }

void Scroll(HWND page, PageParam& param, HWND control, WPARAM wparam) {
  OnLayoutScroll(page, param, control, SpinLineCode(control, wparam));
}

}  // namespace

const PageSteps& LayoutPageSteps() {
  static constexpr PageSteps kSteps{
      .fill_controls = &FillLayoutPageControls,
      .refresh_controls = &Refresh,
      .command = &Command,
      .commit = &Commit,
      .draw_item = &DrawItem,
      .scroll = &Scroll,
  };
  return kSteps;
}

}  // namespace kalimu::pages
