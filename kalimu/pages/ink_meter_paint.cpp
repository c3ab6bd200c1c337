// The ink meter's picture: the column geometry, the single column and the colour group, with the
// scale marks, the three-dimensional faces and the warning picture with its label.
#include <windows.h>

#include <algorithm>

#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/ink_meter.h"
#include "kalimu/pages/ink_meter_warning.h"

namespace kalimu::pages {

namespace {

bool IsGroupState(int32_t s) { return (s >= kInkGroupSetUp && s <= kInkGroupOut) || s == kInkGroupUncertain; }
bool IsColumnState(int32_t s) {
  return (s >= kInkBlackSetUp && s <= kInkBlackOut) || (s >= kInkKindSetUp && s <= kInkSlotOut) ||
         s == kInkSlotUncertain || s == kInkBlackUncertain;
}
bool IsBlackState(int32_t s) { return (s >= kInkBlackSetUp && s <= kInkBlackOut) || s == kInkBlackUncertain; }
bool IsHatched(int32_t s) { return s == kInkSlotUncertain || s == kInkBlackUncertain || s == kInkGroupUncertain; }

void FillSolid(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  if (x1 <= x0 || y1 <= y0) return;
  UniqueGdiObject brush(CreateSolidBrush(colour));
  RECT rect{x0, y0, x1, y1};
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

// A one-pixel checkerboard of two colours.
void FillChecker(HDC dc, int x0, int y0, int x1, int y1, COLORREF a, COLORREF b) {
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) SetPixelV(dc, x, y, ((x + y) & 1) ? b : a);
  }
}

// The hatch partner of an ink in the uncertain states: white for the dark inks, else black.
COLORREF HatchPartner(int32_t code) {
  return code == 1 || code == 7 || code == 8 || code == 11 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

}  // namespace

void DrawInkMeter(HWND window, InkMeterState* state, HDC dc) {
  const int32_t s = state->display_state;
  const bool group = IsGroupState(s);
  if (!group && !IsColumnState(s)) return;  // blank states: the background only

  InkColumn column = LayoutInkColumn(*state);
  state->level_row = column.level_row;
  state->headroom = column.headroom;
  const bool active = state->active != 0;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF pen_colour = IsHatched(s) ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOWTEXT);
  UniqueGdiObject pen = MakePen(pen_colour);
  UniqueGdiObject light_pen = MakePen(light);
  UniqueGdiObject shadow_pen = MakePen(shadow);
  UniqueGdiObject face_pen = MakePen(face);

  // Scale: five marks from the top of the column to its bottom.
  for (int j = 0; j <= 4; ++j) {
    const int row = column.scale_top + 25 * j * column.height / 100;
    DrawLine(dc, pen.get(), column.scale_left + 1, row, column.scale_left + 5, row);
    if (!active) DrawLine(dc, light_pen.get(), column.scale_left + 2, row + 1, column.scale_left + 6, row + 1);
  }

  const RECT& r = column.body;  // after the scale: left += 5, right -= 2
  const int u = column.depth;
  // Top face, the lip under it and its closed right end.
  {
    UniqueGdiObject brush(CreateSolidBrush(face));
    Selection b(dc, brush.get());
    Selection p(dc, light_pen.get());
    POINT top[] = {{r.left + u, r.top}, {r.right, r.top}, {r.right - u, r.top + u}, {r.left, r.top + u}};
    Polygon(dc, top, 4);
  }
  FillSolid(dc, r.left, r.top + u, r.right - u, r.top + u + 6 * u / 10, face);
  {
    UniqueGdiObject brush(CreateSolidBrush(shadow));
    Selection b(dc, brush.get());
    Selection p(dc, shadow_pen.get());
    POINT end[] = {{r.right - u, r.top + u}, {r.right, r.top}, {r.right, column.face_top - u},
                   {r.right - u, column.face_top}};
    Polygon(dc, end, 4);
  }

  const int x0 = r.left;
  const int x1 = r.right - u;
  const int top = column.face_top;
  const int bottom = column.face_bottom;
  const int level = std::clamp(column.level_row, top, std::max(top, bottom));
  if (bottom - top >= 2) {
    if (group) {
      DrawInkGroupBands(dc, *state, x0, x1, top, level, bottom);
    } else {
      // Filled part, below the level row.
      const int32_t code = IsBlackState(s) ? 1 : state->kind;
      if (!active) {
        FillSolid(dc, x0, level, x1, bottom, face);
      } else if (code == 11 && s != kInkSlotUncertain) {
        const int rows = std::max(bottom - level, 1);
        for (int n = 0; n < bottom - level; ++n) {
          const int grey = 255 - MulDiv(n, 63, rows);
          const UINT index = state->palette != nullptr
                                 ? GetNearestPaletteIndex(state->palette, RGB(grey, grey, grey))
                                 : 0;
          PALETTEENTRY entry{};
          if (state->palette != nullptr) GetPaletteEntries(state->palette, index, 1, &entry);
          const COLORREF c = state->palette != nullptr ? RGB(entry.peRed, entry.peGreen, entry.peBlue)
                                                       : RGB(grey, grey, grey);
          FillSolid(dc, x0, bottom - 1 - n, x1, bottom - n, c);
        }
      } else if (IsHatched(s)) {
        FillChecker(dc, x0, level, x1, bottom, InkColour(code), HatchPartner(code));
      } else {
        FillSolid(dc, x0, level, x1, bottom, IsBlackState(s) ? RGB(0, 0, 0) : InkColour(code));
      }
      // Empty part, above it.
      if (!active) {
        FillSolid(dc, x0, top, x1, level, face);
      } else if (IsHatched(s)) {
        FillChecker(dc, x0, top, x1, level, RGB(0, 0, 0), RGB(255, 255, 255));
      } else {
        FillSolid(dc, x0, top, x1, level, RGB(255, 255, 255));
      }
    }
    DrawLine(dc, pen.get(), x0, top, x0, bottom);
    DrawLine(dc, face_pen.get(), x0 + 1, level, x1, level);
  }
  // Side face, u deep: shadow below the level row, face above it.
  {
    UniqueGdiObject upper(CreateSolidBrush(face));
    UniqueGdiObject lower(CreateSolidBrush(shadow));
    Selection p(dc, shadow_pen.get());
    {
      Selection b(dc, upper.get());
      POINT side[] = {{x1, top}, {r.right, top - u}, {r.right, level - u}, {x1, level}};
      Polygon(dc, side, 4);
    }
    {
      Selection b(dc, lower.get());
      POINT side[] = {{x1, level}, {r.right, level - u}, {r.right, bottom - u}, {x1, bottom}};
      Polygon(dc, side, 4);
    }
  }
  // Edges: light on the left and top of the front face, shadow on its right and bottom.
  DrawLine(dc, shadow_pen.get(), x0, bottom, x1 + 1, bottom);
  DrawLine(dc, shadow_pen.get(), x1, top, x1, bottom);
  DrawLine(dc, light_pen.get(), x0 + 1, top, x1, top);

  PlaceInkWarning(window, state, dc, column);
}

}  // namespace kalimu::pages
