// Column geometry, colour-group bands, and the warning picture with its percentage label.
#include "kalimu/pages/ink_meter_warning.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "kalimu/pages/gdi_scope.h"

namespace kalimu::pages {

namespace {

bool IsSlotState(int32_t s) { return (s >= kInkSlotSetUp && s <= kInkSlotOut) || s == kInkSlotUncertain; }
bool IsBlackState(int32_t s) { return (s >= kInkBlackSetUp && s <= kInkBlackOut) || s == kInkBlackUncertain; }
bool IsLowState(int32_t s) { return s == kInkBlackLow || s == kInkGroupLow || s == kInkKindLow || s == kInkSlotLow; }
bool IsHatched(int32_t s) { return s == kInkSlotUncertain || s == kInkBlackUncertain || s == kInkGroupUncertain; }

}  // namespace

InkColumn LayoutInkColumn(const InkMeterState& state) {
  InkColumn c{};
  RECT r = state.client;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  c.depth = std::min(width / 7 + 1, height / 10 + 1);
  c.lip = 3 * c.depth / 2;
  if (IsBlackState(state.display_state)) {
    r.left += width / 4;
    r.right -= width / 4;
  }
  const int available = r.bottom - c.lip - r.top - 2;
  c.height = available;
  const bool slot = IsSlotState(state.display_state);
  if (slot) {
    c.height = available * state.proportion / 100;
    c.headroom = available - c.height;
    if (state.bottom_aligned == 1) OffsetRect(&r, 0, c.headroom);
  }
  c.shown_level = InkMeterShownLevel(state);
  c.level_row = r.top + c.lip + (100 - c.shown_level) * c.height / 100;
  c.scale_left = r.left;
  c.scale_top = r.top + c.lip;
  r.left += 5;
  r.right -= 2;
  c.body = r;
  c.face_top = r.top + c.lip;
  c.face_bottom = slot ? r.top + (r.bottom - r.top - 2) * state.proportion / 100 - 1 : r.bottom - 3;
  return c;
}

void DrawInkGroupBands(HDC dc, const InkMeterState& state, int x0, int x1, int top, int level, int bottom) {
  static constexpr int32_t kBands[8][6] = {{}, {}, {2, 5}, {3, 6}, {2, 3, 4}, {}, {2, 5, 3, 6, 4}, {2, 5, 3, 6, 7, 4}};
  int count = 0;
  int percent = 0;
  switch (state.kind) {
    case 2: case 3: count = 2; percent = 50; break;
    case 4: count = 3; percent = 34; break;
    case 6: count = 5; percent = 20; break;
    case 7: count = 6; percent = 17; break;
    default: return;  // no other group kinds: bands of no width
  }
  const int w = x1 - x0 + 1;
  const bool active = state.active != 0;
  const bool hatched = state.display_state == kInkGroupUncertain;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  UniqueGdiObject shadow = MakePen(GetSysColor(COLOR_BTNSHADOW));
  UniqueGdiObject light = MakePen(GetSysColor(COLOR_BTNHIGHLIGHT));
  for (int i = 0; i < count; ++i) {
    const int left = x0 + w * percent * i / 100;
    int right = x0 + w * percent * (i + 1) / 100;
    if (i == count - 1 && (state.kind == 4 || state.kind == 7)) right = x0 + w;
    right = std::min(right, x1);
    const int32_t code = kBands[state.kind][i];
    const COLORREF ink = InkColour(code);
    const COLORREF partner = code == 7 || code == 1 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        COLORREF c;
        if (!active) {
          c = face;
        } else if (y >= level) {
          c = hatched && ((x + y) & 1) ? partner : ink;
        } else {
          c = hatched && ((x + y) & 1) ? RGB(0, 0, 0) : RGB(255, 255, 255);
        }
        SetPixelV(dc, x, y, c);
      }
    }
    DrawLine(dc, shadow.get(), left + 1, top + 2, left + 1, bottom);
    DrawLine(dc, light.get(), right - 2, top + 2, right - 2, bottom);
    if (i > 0) SetPixelV(dc, left, bottom - 1, GetSysColor(COLOR_WINDOWTEXT));
  }
}

int32_t InkWarningBase(const InkMeterState& state) {
  if (!state.active) return 0;
  switch (state.display_state) {
    case kInkBlackLow: case kInkGroupLow: case kInkKindLow: case kInkSlotLow:
      return 15000;
    case kInkBlackOut: case kInkGroupOut: case kInkKindOut: case kInkSlotOut:
      return 15001;
    case kInkSlotUncertain: case kInkBlackUncertain: case kInkGroupUncertain:
      if (!state.warning_on) return 0;
      return state.warning_kind == 0 ? 15000 : 15001;
    default:
      return 0;
  }
}

namespace {

struct Picture {
  int32_t id = 0;
  int size = 0;
};

// The first of the four sizes (base, base + 4, base + 8, base + 12) that loads and is at most
// `max_width` wide and `max_height` high (no height limit when it is negative).
bool ChoosePicture(HMODULE module, int32_t base, int max_width, int max_height, Picture* picture) {
  if (module == nullptr) return false;
  for (int n = 0; n < 4; ++n) {
    const int32_t id = base + 4 * n;
    UniqueGdiObject bitmap(LoadBitmapA(module, MAKEINTRESOURCEA(id)));
    if (!bitmap) continue;
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof(info), &info);
    if (info.bmWidth <= max_width && (max_height < 0 || info.bmHeight <= max_height)) {
      picture->id = id;
      picture->size = info.bmWidth;
      return true;
    }
  }
  return false;
}

struct Placement {
  int picture_row = 0;
  int label_row = 0;
  int placement_case = 0;
};

// Rule P: the picture alone.
bool PlacePictureAlone(const InkMeterState& s, const InkColumn& col, const RECT& c, const RECT& f, int size,
                       Placement* out) {
  if (c.bottom - c.top < size) return false;
  if (c.bottom - (f.top + 2) < size) {
    *out = {0, 0, 31};
  } else if (s.bottom_aligned != 1 && (c.bottom - c.top) - (f.top + 2) - 15 >= size) {
    const bool high = (IsHatched(s.display_state) && s.warning_on) || s.show_label == 0;
    *out = {high ? f.top + 2 : f.top + 17, 0, 33};
  } else if (size < c.bottom - col.depth - 15) {
    *out = {c.top + col.lip + 15, 0, 34};
  } else {
    *out = {f.top + 2, 0, 32};
  }
  if (s.bottom_aligned == 1) out->picture_row = c.bottom - size;
  return true;
}

// Rule L: the picture with its label.
bool PlacePictureAndLabel(const InkMeterState& s, const InkColumn& col, const RECT& c, const RECT& f, int size,
                          Placement* out) {
  const bool low = IsLowState(s.display_state);
  if (col.level_row > f.top + 2 + 14) {
    const int picture_row = s.bottom_aligned == 1 ? c.bottom - size : (low ? f.top + 17 : f.top + 2);
    if (picture_row + size <= c.bottom) {
      *out = {picture_row, f.top + 2, 0};
      return true;
    }
  }
  if (s.bottom_aligned != 1 && c.bottom - f.bottom > 14) {
    if (f.top + 2 + size + 15 > c.bottom) {
      if ((c.bottom - c.top) - 15 >= size && c.bottom - 17 >= f.bottom) {
        *out = {c.bottom - size - 15, c.bottom - 15, 11};
        return true;
      }
    } else {
      if (low && c.bottom - (f.top + 17 + size + 15) >= 0 && c.bottom - (f.top + 2) >= 30 + size) {
        const int under = f.top + size + 17;
        *out = under >= f.bottom + 3 ? Placement{f.top + 17, under, 14} : Placement{f.top + 17, f.bottom + 3, 15};
      } else {
        const int under = f.top + size + 2;
        *out = under >= f.bottom + 3 ? Placement{f.top + 2, under, 12} : Placement{f.top + 2, f.bottom + 3, 13};
      }
      return true;
    }
  }
  if (s.bottom_aligned == 1 && col.headroom > 14 && (c.bottom - c.top) - 15 >= size) {
    Placement p{c.bottom - size, 0, 21};
    if (size + col.lip + 17 < c.bottom) {
      if (col.headroom > col.lip + 17) {
        p = {c.bottom - size, col.lip + 2, 23};
      } else if (f.top - col.lip < c.bottom - size) {
        p = {c.bottom - size, f.top - col.lip - 15, 24};
      } else {
        p = {c.bottom - size, c.bottom - size - 15, 25};
      }
    }
    *out = p;
    return true;
  }
  return false;
}

// The "%d%%" label in Arial, from 9 points down until it fits its box.
void DrawLabel(HDC dc, const InkMeterState& s, const RECT& box, bool inside) {
  char text[16];
  std::snprintf(text, sizeof(text), "%d%%", static_cast<int>(InkMeterShownLevel(s)));
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const int box_width = box.right - box.left;
  const int box_height = box.bottom - box.top;
  for (int points = 9; points >= 1; --points) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, dpi, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(lf.lfFaceName, "Arial");
    UniqueGdiObject font(CreateFontIndirectA(&lf));
    Selection selected(dc, font.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &extent);
    if (points > 1 && (extent.cx > box_width || extent.cy > box_height)) continue;
    const COLORREF background = inside ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE);
    UniqueGdiObject brush(CreateSolidBrush(background));
    FillRect(dc, &box, static_cast<HBRUSH>(brush.get()));
    SetBkColor(dc, background);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT area = box;
    DrawTextA(dc, text, -1, &area, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
}

}  // namespace

void PlaceInkWarning(HWND, InkMeterState* state, HDC dc, const InkColumn& column) {
  const int32_t base = InkWarningBase(*state);
  if (base == 0) return;
  RECT c = state->client;
  c.bottom -= 2;
  const RECT f{column.body.left, column.face_top, column.body.right, column.face_bottom};
  const int column_width = f.right - f.left;
  Picture picture;
  Placement placement;
  bool with_label = false;
  bool placed = false;
  if (state->show_label == 0 && ChoosePicture(state->resource_module, base, column_width, -1, &picture)) {
    placed = PlacePictureAlone(*state, column, c, f, picture.size, &placement);
  }
  if (!placed) {
    if (ChoosePicture(state->resource_module, base, column_width, -1, &picture) &&
        PlacePictureAndLabel(*state, column, c, f, picture.size, &placement)) {
      placed = with_label = true;
    } else if (ChoosePicture(state->resource_module, base, column_width, c.bottom - f.top - 17, &picture) &&
               PlacePictureAndLabel(*state, column, c, f, picture.size, &placement)) {
      placed = with_label = true;
    } else if (ChoosePicture(state->resource_module, base, c.right - c.left, -1, &picture)) {
      placed = PlacePictureAlone(*state, column, c, f, picture.size, &placement);
    }
  }
  if (!placed) return;
  state->picture_id = picture.id;
  state->picture_size = picture.size;
  state->picture_row = placement.picture_row;
  state->label_row = placement.label_row;
  state->placement_case = placement.placement_case;

  const int s = state->display_state;
  const bool label_kinds = (s == kInkGroupLow && (state->kind == 2 || state->kind == 3)) || s == kInkKindLow ||
                           s == kInkSlotLow;
  int row = IsSlotState(s) ? placement.picture_row : column.lip + 2;
  if (!IsSlotState(s) && state->show_label == 1 &&
      (s == kInkKindLow || (s == kInkGroupLow && (state->kind == 2 || state->kind == 3)))) {
    row += 15;
  }
  const int x = f.right - picture.size;
  UniqueGdiObject mask(LoadBitmapA(state->resource_module, MAKEINTRESOURCEA(picture.id + 2)));
  UniqueGdiObject image(LoadBitmapA(state->resource_module, MAKEINTRESOURCEA(picture.id)));
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (mask && source) {
    Selection selected(source.get(), mask.get());
    BitBlt(dc, x, row, picture.size, picture.size, source.get(), 0, 0, MERGEPAINT);
  }
  if (image && source) {
    Selection selected(source.get(), image.get());
    BitBlt(dc, x, row, picture.size, picture.size, source.get(), 0, 0, SRCAND);
  }
  if (with_label && label_kinds && state->show_label == 1) {
    std::strcpy(state->font_face, "Arial");
    state->font_size = 9;
    const bool inside = placement.placement_case == 0;
    const RECT box = inside ? RECT{7, placement.label_row, 7 + f.right - column.depth - 6, placement.label_row + 15}
                            : RECT{state->client.left, placement.label_row, state->client.right, placement.label_row + 15};
    DrawLabel(dc, *state, box, inside);
  }
}

}  // namespace kalimu::pages
