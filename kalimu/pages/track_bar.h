// The driver's own horizontal slider, window class "KVTrackBarLIB": an integer range with a
// current position, a sunken groove with a pointed thumb, optional tick marks and one marked
// position. It is driven by the sub-commands of WM_USER (TrackBarCommand) and reports every move
// made by the mouse, the keyboard, its repeat timer or command 7 to its parent with WM_HSCROLL.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kalimu::pages {

inline constexpr char kTrackBarClass[] = "KVTrackBarLIB";
inline constexpr UINT_PTR kTrackBarRepeatTimer = 99;  // arrow-key repeat, 100 ms
inline constexpr UINT kTrackBarRepeatMs = 100;
inline constexpr WORD kTrackBarNotifyCode = 8;        // high word of wParam in notification style 1

// wParam of WM_USER; lParam is the argument. The result is a 32-bit value, sign-extended.
enum TrackBarCommand : WPARAM {
  kTrackSetRange = 0,          // low word lowest, high word highest (unsigned 16-bit each)
  kTrackSetPageStep = 1,
  kTrackSetPosition = 2,       // absolute; outside the range the minimum; never notifies
  kTrackGetPosition = 3,
  kTrackSetTickMarks = 4,      // 0 or 1
  kTrackSetMark = 5,           // absolute; 1 when inside the range, else no mark and 0
  kTrackSetTickFrequency = 6,
  kTrackStep = 7,              // 0 toward the minimum, 1 toward the maximum; notifies
  kTrackSetHighest = 8,        // keeps the lower bound
  kTrackGetHighest = 9,
  kTrackNothing = 10,
  kTrackSetNotificationStyle = 11,  // from now on WM_HSCROLL carries the control's window in lParam
};

// Thumb and margin metrics, chosen once from the client height (tall: 23 pixels or more).
struct TrackBarMetrics {
  int32_t narrowing;  // A: the thumb is this much narrower on each side
  int32_t top_inset;  // T
  int32_t tip_cut;    // C: shortening of the thumb's tip
  int32_t groove_margin;  // G: half of it at each end of the groove
  int32_t reserve;    // R: further reserve on the right
  int32_t first_offset;   // F: first position's column from the client's left edge
};
TrackBarMetrics TrackBarMetricsFor(int32_t client_height);

// Window data of one control (extra slot 0): a moveable global block, locked while the window
// lives. Positions are relative: after a range change the minimum is 0 and base holds the
// caller's lower bound.
struct TrackBarState {
  int32_t thumb_x;          // client column of the thumb's centre line
  int32_t groove_row;       // client row of the groove's middle line
  int32_t maximum;          // range length
  int32_t minimum;          // 0 after every range change
  int32_t page_step;
  int32_t tick_marks;
  int32_t has_focus;
  int32_t dragging;         // the thumb is held with the mouse (mouse captured)
  int32_t mark;             // relative marked position, -1 none
  int32_t tick_frequency;
  int32_t base;             // reported position = base + position
  int32_t arrow_held;       // an arrow key is down: take the focus back when it goes
  HHOOK keyboard_hook;
  RECT client;              // client rectangle at creation; also the focus rectangle
  int32_t usable_width;     // W
  int32_t step_size;        // pixels per position, or positions per pixel when compressed
  TrackBarMetrics metrics;
  int32_t position;
  int32_t previous_position;
  int32_t spare_interval1;  // s1: every s1-th position gets one extra pixel; 0 none
  int32_t enabled;
  int32_t repeat_state;     // 0 idle, 1 arrow down, 2 repeating, 3 another key while repeating
  int32_t repeat_key;
  int32_t compressed;       // more positions than pixels
  int32_t spare_pixels;     // pixels no interval takes: they shorten the groove on the right
  int32_t spare_interval2;
  int32_t spare_interval3;
  int32_t notification_style;  // 0 packed WM_HSCROLL, 1 window handle in lParam
};
static_assert(std::is_trivially_copyable_v<TrackBarState>);
static_assert(offsetof(TrackBarState, keyboard_hook) == 48);

// The plain computations of the control, on a state whose client rectangle and metrics are set.
void TrackBarInitState(TrackBarState* state, const RECT& client);
// Spreads the range over the client width (commands 0 and 8).
void TrackBarLayout(TrackBarState* state, const RECT& client);
int32_t TrackBarPixelOf(const TrackBarState& state, int32_t position);
// The position nearest to the thumb's column moved by `offset` pixels.
int32_t TrackBarNearestPosition(const TrackBarState& state, int32_t offset);

// The state of a track bar window; null for another window.
TrackBarState* TrackBarStateOf(HWND window);

LRESULT CALLBACK TrackBarWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Draws the control into a memory device context of its client size (the paint routine copies
// it to the window).
void DrawTrackBar(HWND window, const TrackBarState& state, HDC dc);

}  // namespace kalimu::pages
