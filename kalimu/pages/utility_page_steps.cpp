// The utility page's own steps inside the page frame (see page_frame.h).
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/utility_page.h"

namespace kalimu::pages {

namespace {

void Command(HWND page, PageParam& param, WPARAM wparam, LPARAM) { UtilityPageCommand(page, param, LOWORD(wparam)); }

void Commit(HWND, PageParam& param) { CommitUtilityPage(param); }

void DrawItem(HWND, PageParam& param, const DRAWITEMSTRUCT* item) { DrawUtilityButton(item, param); }

}  // namespace

const PageSteps& UtilityPageSteps() {
  static constexpr PageSteps kSteps{
      .fill_controls = &InitUtilityPage,
      .refresh_controls = &RefreshUtilityControls,
      .command = &Command,
      .commit = &Commit,
      .draw_item = &DrawItem,
  };
  return kSteps;
}

}  // namespace kalimu::pages
