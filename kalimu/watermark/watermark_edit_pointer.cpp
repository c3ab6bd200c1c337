// Placing the watermark with the pointer on the edit dialog's preview: moving, resizing by a
// corner, turning a text watermark, the pointer shapes and the mode button.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "kalimu/watermark/watermark_edit_state.h"

namespace kalimu::watermark {
namespace {

// Where the pointer stands against the box, its handles and the preview.
struct PointerHits {
  PreviewPoint point;
  bool in_box;
  bool on_handle;
  bool in_preview;
};

bool InPolygon(const PreviewPoint (&corners)[4], PreviewPoint point) {
  POINT points[4];
  for (int k = 0; k < 4; ++k) points[k] = {corners[k].x, corners[k].y};
  UniqueGdiObject region(CreatePolygonRgn(points, 4, WINDING));
  return region && PtInRegion(static_cast<HRGN>(region.get()), point.x, point.y);
}

PointerHits HitTest(HWND dialog, WatermarkEditState* state, LPARAM at) {
  PointerHits hits{};
  hits.point = DialogToPreviewPoint(dialog, {static_cast<int32_t>(LOWORD(at)), static_cast<int32_t>(HIWORD(at))});
  ComputeBoxCorners(dialog, state);
  const WatermarkBox& b = state->shape.box;
  const PreviewPoint box[4] = {{b.right_top_x, b.right_top_y},
                               {b.left_top_x, b.left_top_y},
                               {b.left_bottom_x, b.left_bottom_y},
                               {b.right_bottom_x, b.right_bottom_y}};
  hits.in_box = InPolygon(box, hits.point);
  const auto handles = CreateCornerHandles(b, state->shape.angle, state->Mirrored());
  for (int k = 0; k < 4 && !hits.on_handle; ++k) {
    const PreviewPoint square[4] = {handles[k][0], handles[k][1], handles[k][2], handles[k][3]};
    if (InPolygon(square, hits.point)) {
      hits.on_handle = true;
      state->hit_corner = k;
    }
  }
  RECT client{};
  GetClientRect(GetDlgItem(dialog, kEditPreview), &client);
  hits.in_preview = hits.point.x >= client.left && hits.point.x < client.right && hits.point.y >= client.top &&
                    hits.point.y < client.bottom;
  return hits;
}

void ChooseCursor(WatermarkEditState* state, const PointerHits& hits) {
  const PreviewCursor shape = ChoosePreviewCursor(hits.on_handle, state->hit_corner, hits.in_box, hits.in_preview,
                                                  state->mode, state->button_state);
  HCURSOR cursor = nullptr;
  switch (shape) {
    case PreviewCursor::kRotate: cursor = LoadCursorA(state->resources, MAKEINTRESOURCEA(kRotationCursor)); break;
    case PreviewCursor::kSizeNeSw: cursor = LoadCursorA(nullptr, IDC_SIZENESW); break;
    case PreviewCursor::kSizeNwSe: cursor = LoadCursorA(nullptr, IDC_SIZENWSE); break;
    case PreviewCursor::kArrow: break;
  }
  if (cursor == nullptr) cursor = LoadCursorA(nullptr, IDC_ARROW);
  state->cursor = cursor;
  SetCursor(cursor);
}

void RedrawWithOutline(HWND dialog, WatermarkEditState* state, bool rerender) {
  RedrawWatermark(dialog, state, rerender);
  DrawBoxOutline(dialog, state);
  PresentPreview(dialog, state);
}

// Whether the text (or the bitmap) is at least as tall as wide: resizing then follows the height.
bool HeightDriven(HWND dialog, WatermarkEditState* state) {
  if (state->IsBitmap()) return DibHeight(*state) >= DibWidth16(*state);
  GetDlgItemTextA(dialog, kEditText, state->text, sizeof(state->text));
  WindowDc dc(GetDlgItem(dialog, kEditPreview));
  SIZE extent{};
  GetTextExtentPoint32A(dc.get(), state->text, static_cast<int>(std::strlen(state->text)), &extent);
  return extent.cy >= extent.cx;
}

void Drag(HWND dialog, WatermarkEditState* state, const PointerHits& hits) {
  const int32_t dx = hits.point.x - state->button_point.x, dy = hits.point.y - state->button_point.y;
  if (state->mode == kModeMove) {
    RefreshPreviewRects(dialog, state);
    state->shape.box = MoveBoxClamped(state->box_at_button, dx, dy, state->printable);
    RedrawWithOutline(dialog, state, false);
  } else if (state->mode == kModeResize) {
    const double maximum = static_cast<double>(SendDlgItemMessageA(dialog, kEditSize, TBM_GETRANGEMAX, 0, 0));
    const bool height_driven = HeightDriven(dialog, state);
    const double size = ResizeBoxByCorner(state->shape, state->box_at_button, state->hit_corner, dx, dy, height_driven,
                                          state->Mirrored(), maximum);
    if (static_cast<int32_t>(size) != SendDlgItemMessageA(dialog, kEditSize, TBM_GETPOS, 0, 0)) {
      SendDlgItemMessageA(dialog, kEditSize, TBM_SETPOS, TRUE, static_cast<LPARAM>(size));
    }
    if (!state->IsBitmap()) UpdateTextBox(dialog, state);
    RedrawWithOutline(dialog, state, false);
  } else if (state->mode == kModeRotate && state->button_state == kButtonRotate) {
    const WatermarkBox& b = state->shape.box;
    const double turned = DragRotationAngle(hits.point, state->button_point, {b.centre_x, b.centre_y}, state->Mirrored());
    state->shape.angle = NormaliseAndSnapAngle(state->drag_start_angle + turned);
    state->last_set_angle = state->shape.angle;
    if (!state->IsBitmap()) UpdateTextBox(dialog, state);
    RedrawWithOutline(dialog, state, true);
    state->mode = kModeRotationUpdate;
    ShowAngle(dialog, state);
    state->mode = kModeRotate;
  }
}

}  // namespace

PreviewPoint DialogToPreviewPoint(HWND dialog, PreviewPoint point) {
  POINT p{point.x, point.y};
  MapWindowPoints(dialog, GetDlgItem(dialog, kEditPreview), &p, 1);
  return {p.x, p.y};
}

PreviewPoint PreviewToDialogPoint(HWND dialog, PreviewPoint point) {
  POINT p{point.x, point.y};
  MapWindowPoints(GetDlgItem(dialog, kEditPreview), dialog, &p, 1);
  return {p.x, p.y};
}

void SetPositionFree(HWND dialog, WatermarkEditState* state) {
  if (SendDlgItemMessageA(dialog, kEditPosition, CB_GETCURSEL, 0, 0) != kFreePosition) {
    SendDlgItemMessageA(dialog, kEditPosition, CB_SETCURSEL, kFreePosition, 0);
  }
  state->position_code = kFreePosition;
}

void OnPreviewMouseMove(HWND dialog, WatermarkEditState* state, WPARAM keys, LPARAM at) {
  const PointerHits hits = HitTest(dialog, state, at);
  ChooseCursor(state, hits);
  const bool button_held = (keys & MK_LBUTTON) != 0;
  if (!hits.in_preview) {
    state->hover &= ~kHoverInside;
    if (state->mode != kModeIdle && state->button_state != kButtonRotate) {
      state->mode = kModeIdle;
      RedrawWatermark(dialog, state, true);
      PresentPreview(dialog, state);
    }
    if (button_held) Drag(dialog, state, hits);
    return;
  }
  if (!(state->hover & kHoverInside)) state->hover |= kHoverInside | kHoverRedraw;
  if (button_held) {
    Drag(dialog, state, hits);
    return;
  }
  if (state->mode == kModeRotate) {
    if (!state->IsBitmap() && (state->hover & kHoverRedraw)) {
      RedrawWithOutline(dialog, state, false);
      state->hover &= ~kHoverRedraw;
    }
  } else if (state->mode != kModeMove) {
    state->mode = kModeMove;
    RedrawWithOutline(dialog, state, false);
  }
}

void OnPreviewButton(HWND dialog, WatermarkEditState* state, UINT message, LPARAM at) {
  const PointerHits hits = HitTest(dialog, state, at);
  state->button_point = hits.point;
  state->box_at_button = state->shape.box;
  const bool press = message == WM_LBUTTONDOWN;
  if (!press && hits.in_box && state->last_mouse == WM_LBUTTONDOWN) {
    if (state->mode == kModeMove || state->mode == kModeResize) {
      if (!state->IsBitmap() && state->rotation_possible) {
        state->mode = kModeRotate;
        state->button_state = kButtonRotate;
        InvalidateRect(GetDlgItem(dialog, kEditModeButton), nullptr, TRUE);
      }
      RedrawWatermark(dialog, state, true);
    } else if (state->mode == kModeRotate) {
      state->mode = kModeMove;
      state->button_state = kButtonMove;
      InvalidateRect(GetDlgItem(dialog, kEditModeButton), nullptr, TRUE);
      RedrawWatermark(dialog, state, true);
    }
    SetPositionFree(dialog, state);
    DrawBoxOutline(dialog, state);
    PresentPreview(dialog, state);
  }
  if (!press && hits.in_preview && state->last_mouse == WM_MOUSEMOVE && state->mode == kModeRotate) {
    state->drag_start_angle = state->shape.angle;
  }
  if (press && hits.in_preview && state->mode == kModeRotate && state->button_state != kButtonRotate) {
    state->mode = kModeMove;
    SetPositionFree(dialog, state);
    RedrawWithOutline(dialog, state, true);
  }
  if (press && hits.on_handle && state->mode == kModeMove) {
    SetPositionFree(dialog, state);
    state->mode = kModeResize;
  }
  if (press && hits.in_box && state->mode == kModeMove) SetPositionFree(dialog, state);
}

void OnModeButton(HWND dialog, WatermarkEditState* state) {
  if (state->mode == kModeRotate) {
    state->mode = kModeMove;
    state->button_state = kButtonMove;
  } else {
    state->mode = kModeRotate;
    state->button_state = kButtonRotate;
  }
  InvalidateRect(GetDlgItem(dialog, kEditModeButton), nullptr, TRUE);
  if (!state->Loaded()) return;
  RedrawWithOutline(dialog, state, true);
}

}  // namespace kalimu::watermark
