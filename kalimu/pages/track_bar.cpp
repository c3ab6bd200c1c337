// The track bar's state, its layout over the client width, its commands and window procedure.
#include "kalimu/pages/track_bar.h"

#include <algorithm>

#include "kalimu/pages/custom_controls.h"
#include "kalimu/pages/track_bar_input.h"
#include "kalimu/platform/global_block.h"

namespace kalimu::pages {

TrackBarMetrics TrackBarMetricsFor(int32_t client_height) {
  if (client_height >= 23) return TrackBarMetrics{0, 0, 0, 14, 10, 12};
  return TrackBarMetrics{2, 3, 4, 8, 6, 7};
}

void TrackBarInitState(TrackBarState* state, const RECT& client) {
  *state = TrackBarState{};
  state->client = client;
  state->metrics = TrackBarMetricsFor(client.bottom - client.top);
  state->thumb_x = client.left + state->metrics.first_offset;
  state->groove_row = 10 - state->metrics.top_inset;
  state->maximum = 1;
  state->page_step = 1;
  state->tick_frequency = 1;
  state->enabled = 1;
  state->usable_width = (client.right - client.left) - state->metrics.groove_margin - state->metrics.reserve;
  state->step_size = state->usable_width;
}

namespace {

// Gives L leftover pixels one at a time to every s-th position; answers what is left over for the
// next interval, or 0 when this interval took them all.
int32_t SpreadOnce(int32_t positions, int32_t leftover, int32_t* interval, int32_t* spare_pixels) {
  if (leftover == 1) {
    *spare_pixels = 1;
    return 0;
  }
  int32_t s = std::max<int32_t>(positions / leftover, 1);
  while (positions / s > leftover) ++s;
  *interval = s;
  if (positions / s == leftover) return 0;
  return leftover - positions / s;
}

}  // namespace

void TrackBarLayout(TrackBarState* state, const RECT& client) {
  state->spare_interval1 = state->spare_interval2 = state->spare_interval3 = 0;
  state->spare_pixels = 0;
  // A control narrower than its margins still gets one pixel, so that the compressed search ends.
  const int32_t width = (client.right - client.left) - state->metrics.groove_margin - state->metrics.reserve;
  state->usable_width = std::max<int32_t>(width, 1);
  const int32_t w = state->usable_width;
  const int32_t n = std::max<int32_t>(state->maximum, 1);
  int32_t leftover;
  if (w >= n) {
    state->compressed = 0;
    state->step_size = w / n;
    leftover = w - state->step_size * n;
  } else {
    state->compressed = 1;
    int32_t k = std::max<int32_t>(n / w, 1);
    while (n / k > w) ++k;
    state->step_size = k;
    leftover = w - n / k;
  }
  if (leftover <= 0) return;
  leftover = SpreadOnce(n, leftover, &state->spare_interval1, &state->spare_pixels);
  if (leftover <= 0) return;
  leftover = SpreadOnce(n, leftover, &state->spare_interval2, &state->spare_pixels);
  if (leftover <= 0) return;
  SpreadOnce(n, leftover, &state->spare_interval3, &state->spare_pixels);
}

int32_t TrackBarPixelOf(const TrackBarState& state, int32_t position) {
  int32_t extra = 0;
  if (state.spare_interval1 != 0) {
    extra += position / state.spare_interval1;
    if (state.spare_interval2 != 0) {
      extra += position / state.spare_interval2;
      if (state.spare_interval3 != 0) extra += position / state.spare_interval3;
    }
  }
  const int32_t origin = state.client.left + state.metrics.first_offset;
  if (state.compressed) return origin + position / std::max<int32_t>(state.step_size, 1) + extra;
  return origin + position * state.step_size + extra;
}

int32_t TrackBarNearestPosition(const TrackBarState& state, int32_t offset) {
  const int32_t target = TrackBarPixelOf(state, state.position) + offset;
  if (target > TrackBarPixelOf(state, state.maximum)) return state.maximum;
  if (target < TrackBarPixelOf(state, state.minimum)) return state.minimum;
  for (int32_t j = state.minimum; j <= state.maximum; ++j) {
    const int32_t pixel = TrackBarPixelOf(state, j);
    if (pixel < target) continue;
    if (j != state.minimum && target - TrackBarPixelOf(state, j - 1) < pixel - target) return j - 1;
    return j;
  }
  return state.maximum;
}

TrackBarState* TrackBarStateOf(HWND window) {
  return reinterpret_cast<TrackBarState*>(GetWindowLongPtrA(window, 0));
}

namespace {

// Equal bounds give the range 0..1; a highest value below the lowest is taken as equal, so that
// the range never has a length of 0 or below (the layout divides by it).
void SetRange(TrackBarState* state, HWND window, int32_t lowest, int32_t highest) {
  if (highest <= lowest) {
    lowest = 0;
    highest = 1;
  }
  state->base = lowest;
  state->maximum = highest - lowest;
  state->minimum = 0;
  RECT client;
  GetClientRect(window, &client);
  TrackBarLayout(state, client);
}

LRESULT RunCommand(HWND window, TrackBarState* state, WPARAM command, LPARAM argument) {
  const int32_t value = static_cast<int32_t>(argument);
  switch (command) {
    case kTrackSetRange:
      SetRange(state, window, LOWORD(argument), HIWORD(argument));
      return 0;
    case kTrackSetPageStep:
      state->page_step = value;
      return 0;
    case kTrackSetPosition:
      if (value >= state->base + state->minimum && value <= state->base + state->maximum) {
        state->position = value - state->base;
      } else {
        state->position = state->minimum;
      }
      state->thumb_x = TrackBarPixelOf(*state, state->position);
      InvalidateRect(window, nullptr, FALSE);
      UpdateWindow(window);
      return 0;
    case kTrackGetPosition:
      return static_cast<LRESULT>(state->base + state->position);
    case kTrackSetTickMarks:
      state->tick_marks = value;
      return 0;
    case kTrackSetMark:
      if (value - state->base >= state->minimum && value - state->base <= state->maximum) {
        state->mark = value - state->base;
        return 1;
      }
      state->mark = -1;
      return 0;
    case kTrackSetTickFrequency:
      state->tick_frequency = std::max<int32_t>(value, 1);
      return 0;
    case kTrackStep:
      if (argument == 0) TrackBarStep(window, state, -1, state->position - 1);
      if (argument == 1) TrackBarStep(window, state, +1, state->position + 1);
      return 0;
    case kTrackSetHighest:
      SetRange(state, window, state->base, value);
      return 0;
    case kTrackGetHighest:
      return static_cast<LRESULT>(state->base + state->maximum);
    case kTrackSetNotificationStyle:
      state->notification_style = 1;
      return 0;
    default:
      return 0;
  }
}

bool Create(HWND window) {
  platform::GlobalBlock block;
  if (!block.Allocate(sizeof(TrackBarState))) return false;
  auto* state = reinterpret_cast<TrackBarState*>(block.data());
  RECT client;
  GetClientRect(window, &client);
  TrackBarInitState(state, client);
  // The hook belongs to this thread; the resource library the dialog came from is loaded as a
  // data file and cannot hold hook code, so the hook is installed without a module.
  state->keyboard_hook = SetWindowsHookExA(WH_MSGFILTER, TrackBarKeyHook, nullptr, GetCurrentThreadId());
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(block.Release()));
  return true;
}

void Destroy(HWND window, TrackBarState* state) {
  KillTimer(window, kTrackBarRepeatTimer);
  if (state->dragging) ReleaseCapture();
  if (state->keyboard_hook != nullptr) UnhookWindowsHookEx(state->keyboard_hook);
  SetWindowLongPtrA(window, 0, 0);
  platform::GlobalBlock::FreeLocked(state);
}

}  // namespace

LRESULT CALLBACK TrackBarWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) return Create(window) ? 0 : -1;
  TrackBarState* state = TrackBarStateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_DESTROY:
      Destroy(window, state);
      return 0;
    case WM_SETFOCUS:
      if (state->arrow_held) {
        state->arrow_held = 0;
        return 0;
      }
      state->has_focus = 1;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      TrackBarFocusLost(window, state);
      return 0;
    case WM_ENABLE:
      state->enabled = static_cast<int32_t>(wparam);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      PaintCustomControlMessage(window);
      return 0;
    case WM_KEYDOWN:
      TrackBarKeyDown(window, state, wparam, lparam);
      return 0;
    case WM_KEYUP:
      TrackBarKeyUp(window, state, wparam);
      return 0;
    case WM_TIMER:
      TrackBarRepeatStep(window, state);
      return 0;
    case WM_MOUSEMOVE:
      TrackBarMouseMove(window, state, wparam);
      return 0;
    case WM_LBUTTONDOWN:
      TrackBarButtonDown(window, state, static_cast<int16_t>(LOWORD(lparam)), static_cast<int16_t>(HIWORD(lparam)));
      return 0;
    case WM_LBUTTONUP:
      if (state->dragging) {
        ReleaseCapture();
        state->dragging = 0;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_USER:
      return RunCommand(window, state, wparam, lparam);
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace kalimu::pages
