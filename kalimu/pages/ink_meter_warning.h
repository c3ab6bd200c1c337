// Geometry of an ink meter's column, the bands of a colour group, and the placement of the
// warning picture and the percentage label.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/ink_meter.h"

namespace kalimu::pages {

struct InkColumn {
  int depth;        // u: depth of the top and side faces
  int lip;          // 3u/2: rows from the column's top to its front face
  int scale_left;   // left of the scale marks
  int scale_top;    // row of the top scale mark
  int height;       // h: rows of the level scale
  int headroom;     // slot meters: available height minus the column's
  RECT body;        // the column (front and side face), after the scale
  int face_top;
  int face_bottom;
  int level_row;
  int32_t shown_level;
};

InkColumn LayoutInkColumn(const InkMeterState& state);

// Fills the bands of a colour group up to the level row.
void DrawInkGroupBands(HDC dc, const InkMeterState& state, int x0, int x1, int top, int level, int bottom);

// Base id of the warning picture the meter shows now, or 0 when it shows none.
int32_t InkWarningBase(const InkMeterState& state);

// Chooses, places and draws the warning picture and label; keeps the choice in the state
// (picture id and size, rows, placement case). Nothing when the picture does not load.
void PlaceInkWarning(HWND window, InkMeterState* state, HDC dc, const InkColumn& column);

}  // namespace kalimu::pages
