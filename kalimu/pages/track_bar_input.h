// How the track bar moves: the move rule with its notification and redraw, the keyboard with its
// repeat state machine and message-filter hook, and the mouse.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/track_bar.h"

namespace kalimu::pages {

// One move toward the minimum (direction -1) or the maximum (+1), to `target` (clamped) when the
// thumb is not dragged; nothing when the position already stands at that end.
void TrackBarStep(HWND window, TrackBarState* state, int direction, int32_t target);

// The notification of a move: WM_HSCROLL to the parent in the control's notification style.
void TrackBarNotify(HWND window, const TrackBarState& state);

void TrackBarKeyDown(HWND window, TrackBarState* state, WPARAM key, LPARAM flags);
void TrackBarKeyUp(HWND window, TrackBarState* state, WPARAM key);
void TrackBarRepeatStep(HWND window, TrackBarState* state);
void TrackBarFocusLost(HWND window, TrackBarState* state);
void TrackBarButtonDown(HWND window, TrackBarState* state, int x, int y);
void TrackBarMouseMove(HWND window, TrackBarState* state, WPARAM buttons);

// The thread's message-filter hook: hands the arrow keys the dialog manager would use to move
// the focus to the track bar they are meant for.
LRESULT CALLBACK TrackBarKeyHook(int code, WPARAM wparam, LPARAM lparam);

}  // namespace kalimu::pages
