// The main page's own steps inside the page frame (see page_frame.h).
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/page_frame.h"

namespace kalimu::pages {

namespace {

void Command(HWND page, PageParam& param, WPARAM wparam, LPARAM) {
  MainPageCommand(page, param, LOWORD(wparam), HIWORD(wparam));
}

void DrawItem(HWND page, PageParam& param, const DRAWITEMSTRUCT* item) { DrawMainPageItem(page, item, param); }

void Scroll(HWND page, PageParam& param, HWND control, WPARAM) {
  if (control == GetDlgItem(page, kQualitySlider)) OnQualitySliderMoved(page, param);
}

void Timer(HWND page, PageParam& param, WPARAM timer_id) { PollPrinterStatus(page, param, timer_id); }

void Mouse(HWND page, PageParam&, UINT, WPARAM, LPARAM) { OnQualityLabelClick(page); }

}  // namespace

const PageSteps& MainPageSteps() {
  static constexpr PageSteps kSteps{
      .fill_controls = &InitMainPage,
      .start_status_polling = &StartStatusPolling,
      .refresh_controls = &RefreshMainPage,
      .command = &Command,
      .commit = &CommitMainPage,
      .commit_after_snapshot = &StoreMainPageValues,
      .draw_item = &DrawItem,
      .scroll = &Scroll,
      .timer = &Timer,
      .mouse = &Mouse,
  };
  return kSteps;
}

}  // namespace kalimu::pages
