// The track bar's moves, keyboard, repeat timer, hook and mouse.
#include "kalimu/pages/track_bar_input.h"

#include <algorithm>
#include <cstring>

namespace kalimu::pages {

namespace {

bool IsArrow(WPARAM key) { return key >= VK_LEFT && key <= VK_DOWN; }
int ArrowDirection(WPARAM key) { return key == VK_LEFT || key == VK_UP ? -1 : +1; }

// Redraws the strip between two positions at once.
void RedrawStrip(HWND window, const TrackBarState& state, int32_t a, int32_t b) {
  const int32_t half = state.metrics.groove_margin / 2;
  RECT strip{TrackBarPixelOf(state, std::min(a, b)) - half - 1, state.groove_row + state.metrics.top_inset - 9,
             TrackBarPixelOf(state, std::max(a, b)) + half + 1, state.groove_row - state.metrics.tip_cut + 13};
  InvalidateRect(window, &strip, FALSE);
  UpdateWindow(window);
}

}  // namespace

void TrackBarNotify(HWND window, const TrackBarState& state) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return;
  const auto reported = static_cast<uint16_t>(state.base + state.position);
  if (state.notification_style == 1) {
    SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(reported, kTrackBarNotifyCode), reinterpret_cast<LPARAM>(window));
  } else {
    const auto handle_word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window) & 0xFFFF);
    const auto packed = static_cast<int32_t>((handle_word << 16) | reported);
    SendMessageA(parent, WM_HSCROLL, 0, static_cast<LPARAM>(packed));
  }
}

void TrackBarStep(HWND window, TrackBarState* state, int direction, int32_t target) {
  if (direction < 0 && state->position <= state->minimum) return;
  if (direction > 0 && state->position >= state->maximum) return;
  state->previous_position = state->position;
  if (state->dragging) {
    const int32_t nearest = TrackBarNearestPosition(*state, direction);
    if (nearest == state->position) return;
    state->position = nearest;
  } else {
    state->position = std::clamp(target, state->minimum, state->maximum);
  }
  state->thumb_x = TrackBarPixelOf(*state, state->position);
  RedrawStrip(window, *state, state->previous_position, state->position);
  TrackBarNotify(window, *state);
}

void TrackBarKeyDown(HWND window, TrackBarState* state, WPARAM key, LPARAM flags) {
  switch (key) {
    case VK_PRIOR:
      TrackBarStep(window, state, -1, state->position - state->page_step);
      return;
    case VK_NEXT:
      TrackBarStep(window, state, +1, state->position + state->page_step);
      return;
    case VK_END:
      TrackBarStep(window, state, +1, state->maximum);
      return;
    case VK_HOME:
      TrackBarStep(window, state, -1, state->minimum);
      return;
    default:
      break;
  }
  if (!IsArrow(key)) return;
  state->arrow_held = 1;
  const bool already_down = (flags & (1 << 30)) != 0;
  switch (state->repeat_state) {
    case 0:
      if (already_down) return;
      state->repeat_state = 1;
      state->repeat_key = static_cast<int32_t>(key);
      TrackBarStep(window, state, ArrowDirection(key), state->position + ArrowDirection(key));
      return;
    case 1:
      if (static_cast<int32_t>(key) == state->repeat_key && already_down) {
        state->repeat_state = 2;
        SetTimer(window, kTrackBarRepeatTimer, kTrackBarRepeatMs, nullptr);
      }
      return;
    case 2:
      if (static_cast<int32_t>(key) != state->repeat_key) {
        state->repeat_state = 3;
        state->repeat_key = static_cast<int32_t>(key);
      }
      return;
    default:
      return;
  }
}

void TrackBarKeyUp(HWND window, TrackBarState* state, WPARAM key) {
  const bool repeat_key = static_cast<int32_t>(key) == state->repeat_key;
  switch (state->repeat_state) {
    case 1:
      state->repeat_state = 0;
      state->repeat_key = 0;
      state->arrow_held = 0;
      return;
    case 2:
    case 3:
      if (repeat_key) {
        state->repeat_state = 0;
        KillTimer(window, kTrackBarRepeatTimer);
        state->arrow_held = 0;
      } else if (state->repeat_state == 3) {
        state->repeat_state = 2;
      }
      return;
    default:
      return;
  }
}

void TrackBarRepeatStep(HWND window, TrackBarState* state) {
  if (!IsArrow(static_cast<WPARAM>(state->repeat_key))) return;
  const int direction = ArrowDirection(static_cast<WPARAM>(state->repeat_key));
  TrackBarStep(window, state, direction, state->position + direction);
}

void TrackBarFocusLost(HWND window, TrackBarState* state) {
  if (state->arrow_held) {  // the dialog manager moved the focus on an arrow key: take it back
    SetFocus(window);
    return;
  }
  if (state->repeat_state >= 2) KillTimer(window, kTrackBarRepeatTimer);
  state->repeat_state = 0;
  if (state->dragging) ReleaseCapture();  // dragging itself ends at the next button release
  state->has_focus = 0;
  InvalidateRect(window, nullptr, FALSE);
}

void TrackBarButtonDown(HWND window, TrackBarState* state, int x, int y) {
  const TrackBarMetrics& m = state->metrics;
  const bool on_thumb = x >= state->thumb_x - 5 + m.narrowing && x < state->thumb_x + 5 - m.narrowing &&
                        y >= state->groove_row - 8 + m.top_inset && y < state->groove_row + 12 - m.tip_cut;
  if (on_thumb) {
    SetCapture(window);
    state->dragging = 1;
    RECT thumb{state->thumb_x - 6, 0, state->thumb_x + 7, state->client.bottom};
    InvalidateRect(window, &thumb, FALSE);
    UpdateWindow(window);
  } else if (x <= state->thumb_x) {
    TrackBarStep(window, state, -1, state->position - state->page_step);
  } else {
    TrackBarStep(window, state, +1, state->position + state->page_step);
  }
  if (GetFocus() != window) SetFocus(window);
}

void TrackBarMouseMove(HWND window, TrackBarState* state, WPARAM buttons) {
  if (!(buttons & MK_LBUTTON) || !state->dragging) return;
  POINT cursor;
  RECT frame;
  GetCursorPos(&cursor);
  GetWindowRect(window, &frame);
  const int32_t x = cursor.x - frame.left;
  if (x > state->thumb_x && state->position == state->maximum) return;
  if (x <= state->thumb_x && state->position == state->minimum) return;
  const int32_t nearest = TrackBarNearestPosition(*state, x - state->thumb_x);
  if (nearest == state->position) return;
  state->previous_position = state->position;
  state->position = nearest;
  state->thumb_x = TrackBarPixelOf(*state, state->position);
  RedrawStrip(window, *state, state->previous_position, state->position);
  TrackBarNotify(window, *state);
}

LRESULT CALLBACK TrackBarKeyHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code >= 0) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    char name[20] = {};
    if (msg != nullptr && msg->message == WM_KEYDOWN && IsArrow(msg->wParam) &&
        GetClassNameA(msg->hwnd, name, sizeof(name)) > 0 && std::strcmp(name, kTrackBarClass) == 0) {
      SendMessageA(msg->hwnd, WM_KEYDOWN, msg->wParam, msg->lParam);
      // Left and Up go on with code -1 so that the other track bars' hooks leave them alone.
      if (msg->wParam == VK_LEFT || msg->wParam == VK_UP) return CallNextHookEx(nullptr, -1, wparam, lparam);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace kalimu::pages
