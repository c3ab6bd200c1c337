// The small arrow controls beside number edits ("spins"): a resource library may make them
// scroll bars or up-down controls, and both are read as one step up or down.
#pragma once

#include <windows.h>

namespace kalimu::pages {

// Puts an up-down control's position in the middle of its range, so that either arrow moves it
// and reports a step; nothing for a scroll bar. Called wherever a spin is set up (and again after
// its range changes).
void PrepareSpin(HWND spin);

// The step a spin's WM_VSCROLL or WM_HSCROLL asks for, as a scroll-bar code: a scroll bar's own
// code; for an up-down control, whose arrows report only SB_THUMBPOSITION and SB_ENDSCROLL,
// SB_LINEUP when its position moved toward the upper end of its range, SB_LINEDOWN when toward the
// lower end, otherwise SB_ENDSCROLL. An up-down control is put back in the middle afterwards.
int SpinLineCode(HWND spin, WPARAM wparam);

}  // namespace kalimu::pages
