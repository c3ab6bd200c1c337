// The track bar's picture: sunken groove, ticks, the pointed thumb and the focus rectangle.
#include <windows.h>

#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::pages {

namespace {

// The thumb's inside while it is held or the control is disabled: a one-pixel checkerboard.
void CheckerThumb(HDC dc, int x0, int y0, int x1, int y1) {
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) SetPixelV(dc, x, y, ((x + y) & 1) ? light : face);
  }
}

}  // namespace

void DrawTrackBar(HWND, const TrackBarState& state, HDC dc) {
  const TrackBarMetrics& m = state.metrics;
  const int y = state.groove_row;
  const int xl = state.client.left + m.groove_margin / 2;
  const int xr = state.client.right - m.groove_margin / 2 - state.spare_pixels;
  UniqueGdiObject shadow = MakePen(GetSysColor(COLOR_BTNSHADOW));
  UniqueGdiObject light = MakePen(GetSysColor(COLOR_BTNHIGHLIGHT));
  UniqueGdiObject text = MakePen(GetSysColor(COLOR_WINDOWTEXT));
  UniqueGdiObject face = MakePen(GetSysColor(COLOR_BTNFACE));

  // Groove.
  {
    Selection selected(dc, shadow.get());
    MoveToEx(dc, xr, y - 1, nullptr);
    LineTo(dc, xl, y - 1);
    LineTo(dc, xl, y + 2);
  }
  DrawLine(dc, light.get(), xl, y + 2, xr + 1, y + 2);
  DrawLine(dc, light.get(), xr, y - 1, xr, y + 2);
  DrawLine(dc, text.get(), xl + 1, y, xr - 1, y);

  // Ticks: short ones at every tick-frequency-th position, long ones at the ends and the mark.
  const int tick_top = y - m.tip_cut + 14;
  if (state.tick_marks == 1) {
    const int32_t frequency = state.tick_frequency > 0 ? state.tick_frequency : 1;
    for (int32_t i = state.minimum; i < state.maximum; ++i) {
      if (i % frequency != 0) continue;
      const int x = TrackBarPixelOf(state, i);
      DrawLine(dc, text.get(), x, tick_top, x, tick_top + 3);
    }
  }
  for (int32_t i : {state.minimum, state.maximum}) {
    const int x = TrackBarPixelOf(state, i);
    DrawLine(dc, text.get(), x, tick_top, x, tick_top + 4);
  }
  if (state.mark > 0) {
    const int x = TrackBarPixelOf(state, state.mark);
    DrawLine(dc, text.get(), x, tick_top, x, tick_top + 4);
  }

  // Thumb: a pentagon pointing down.
  const int tx = state.thumb_x;
  const int left = tx - 5 + m.narrowing;
  const int right = tx + 5 - m.narrowing;
  const int top = y - 8 + m.top_inset;
  const int shoulder = y + 7 - m.narrowing;
  const int tip = y + 12 - m.tip_cut;
  if (!state.dragging && state.enabled) {
    UniqueGdiObject brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    RECT inside{tx - 4 + m.narrowing, y - 1, tx + 4 - m.narrowing + 1, y + 3};
    FillRect(dc, &inside, static_cast<HBRUSH>(brush.get()));
    // The rest of the thumb's face, so that the groove disappears under the whole thumb.
    POINT face_points[] = {{left + 1, top + 1}, {right - 1, top + 1}, {right - 1, shoulder}, {tx, tip - 1},
                           {left + 1, shoulder}};
    Selection pen(dc, face.get());
    Selection fill(dc, brush.get());
    Polygon(dc, face_points, 5);
  } else {
    // Inside of the pentagon, row by row.
    for (int row = top + 1; row < tip - 1; ++row) {
      int half = right - tx - 1;
      if (row > shoulder) half = (right - tx - 1) * (tip - row) / (tip - shoulder);
      CheckerThumb(dc, tx - half, row, tx + half + 1, row + 1);
    }
  }
  {
    Selection pen(dc, light.get());  // top, left side, lower left edge
    MoveToEx(dc, right, top, nullptr);
    LineTo(dc, left, top);
    LineTo(dc, left, shoulder);
    LineTo(dc, tx, tip);
  }
  {
    Selection pen(dc, face.get());  // one pixel inside the light edges
    MoveToEx(dc, right - 1, top + 1, nullptr);
    LineTo(dc, left + 1, top + 1);
    LineTo(dc, left + 1, shoulder);
  }
  {
    Selection pen(dc, shadow.get());  // one pixel inside the right side and lower right edge
    MoveToEx(dc, right - 1, top + 1, nullptr);
    LineTo(dc, right - 1, shoulder);
    LineTo(dc, tx, tip - 1);
  }
  {
    Selection pen(dc, text.get());  // the right side and lower right edge themselves
    MoveToEx(dc, right, top, nullptr);
    LineTo(dc, right, shoulder);
    LineTo(dc, tx, tip);
    LineTo(dc, tx - 1, tip - 1);
  }

  if (state.has_focus) DrawFocusRect(dc, &state.client);
}

}  // namespace kalimu::pages
