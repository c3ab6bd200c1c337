// Spins read alike whether they are scroll bars or up-down controls.
#include "kalimu/pages/spin_steps.h"

#include <commctrl.h>


namespace kalimu::pages {
namespace {

bool IsUpDown(HWND spin) {
  char name[32] = {};
  return spin != nullptr && GetClassNameA(spin, name, sizeof(name)) > 0 && lstrcmpiA(name, UPDOWN_CLASSA) == 0;
}

struct SpinRange {
  int lower;
  int upper;
  int middle() const { return lower + (upper - lower) / 2; }
};

SpinRange RangeOf(HWND spin) {
  SpinRange range{0, 0};
  SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&range.lower), reinterpret_cast<LPARAM>(&range.upper));
  return range;
}

}  // namespace

void PrepareSpin(HWND spin) {
  if (IsUpDown(spin)) SendMessageA(spin, UDM_SETPOS32, 0, RangeOf(spin).middle());
}

int SpinLineCode(HWND spin, WPARAM wparam) {
  const int code = LOWORD(wparam);
  if (!IsUpDown(spin)) return code;
  if (code != SB_THUMBPOSITION) return code == SB_LINEUP || code == SB_LINEDOWN ? code : SB_ENDSCROLL;
  const SpinRange range = RangeOf(spin);
  // The control's own position (its error flag only speaks of a buddy's text, which the dialogs
  // keep themselves).
  const auto position = static_cast<int>(SendMessageA(spin, UDM_GETPOS32, 0, 0));
  SendMessageA(spin, UDM_SETPOS32, 0, range.middle());
  const int moved = position - range.middle();
  if (moved == 0) return SB_ENDSCROLL;
  // A range may run either way: "up" is toward its upper end.
  return (moved > 0) == (range.upper >= range.lower) ? SB_LINEUP : SB_LINEDOWN;
}

}  // namespace kalimu::pages
