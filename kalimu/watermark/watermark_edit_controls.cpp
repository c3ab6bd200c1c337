// The edit dialog's controls: layouts by kind, the font, style, colour, density, size and angle
// controls, the sign button, the browse button and the owner-drawn items.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include <windows.h>

#include <commctrl.h>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/watermark/watermark_edit_state.h"
#include "kalimu/watermark/watermark_list_dialog.h"
#include "kalimu/watermark/watermark_thumbnails.h"

namespace kalimu::watermark {
namespace {

// How a group of controls stands in each layout (text, fixed bitmap, user bitmap, no entry).
enum Look : uint8_t { kHidden, kShown, kShownDisabled, kColourRule };
struct LayoutRow {
  std::array<int, 10> ids;  // ended by 0
  std::array<Look, 4> looks;
};
enum Layout { kTextLayout, kFixedLayout, kUserLayout, kEmptyLayout };

constexpr LayoutRow kLayouts[] = {
    {{2801, 2816, 2817, 2818, 2811, 2812, 2813, 2814, 0}, {kShown, kShown, kShown, kShownDisabled}},
    {{2802, 2807, 2808, 2809, 0}, {kShown, kShown, kShown, kShownDisabled}},
    {{2806, 0}, {kShown, kHidden, kShown, kShownDisabled}},
    {{2820, 0}, {kShown, kHidden, kHidden, kHidden}},
    {{2828, 2830, 0}, {kHidden, kHidden, kShown, kShownDisabled}},
    {{2810, 2821, 2824, 2815, 2825, 0}, {kShown, kHidden, kHidden, kHidden}},
    {{2819, 2826, 2827, 2831, 2832, 2833, 2835, 2840, 2873, 0}, {kShown, kHidden, kHidden, kHidden}},
    {{2876, 0}, {kShown, kHidden, kHidden, kHidden}},
    {{2822, 2823, 0}, {kColourRule, kColourRule, kHidden, kHidden}},
    {{2877, 0}, {kShown, kShown, kHidden, kHidden}},
};

constexpr int kRotationControls[] = {2831, 2835, 2832, 2833, 2826, 2840, 2827, 2876, 2819, 2873};

void ApplyLayout(HWND dialog, const WatermarkEditState& state, Layout layout) {
  for (const LayoutRow& row : kLayouts) {
    const Look look = row.looks[layout];
    bool shown = look == kShown || look == kShownDisabled;
    bool enabled = look == kShown;
    if (look == kColourRule) {
      shown = (state.help.flags & kFlagColourHidden) == 0;
      enabled = !state.ColourFixed();
    }
    for (int id : row.ids) {
      if (id == 0) break;
      HWND control = GetDlgItem(dialog, id);
      ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
      EnableWindow(control, enabled ? TRUE : FALSE);
    }
  }
  if (!state.entries.held()) {
    EnableWindow(GetDlgItem(dialog, kEditNames), FALSE);
    EnableWindow(GetDlgItem(dialog, kEditNamesLabel), FALSE);
  }
}

void Repaint(HWND dialog, int control) { InvalidateRect(GetDlgItem(dialog, control), nullptr, TRUE); }

// An angle folded into [-pi, pi]: [-pi, 0) and (pi, 2pi) to the negative side.
double NormaliseAngle(double angle) {
  const double folded = std::acos(std::clamp(std::cos(angle), -1.0, 1.0));
  const bool negative = (angle >= -std::numbers::pi && angle < 0) ||
                        (angle > std::numbers::pi && angle < 2 * std::numbers::pi);
  return negative ? -folded : folded;
}

int32_t Magnitude(int32_t degrees) { return degrees == kMinusZeroDegrees ? 0 : std::abs(degrees); }

bool TextLoaded(const WatermarkEditState& state) { return state.Loaded() && state.kind == kTextKind; }

// Redraws the text after a change of its content, font or angle and shows it.
void RefitAndShow(HWND dialog, WatermarkEditState* state) {
  FitWatermarkFont(dialog, state);
  UpdateTextBox(dialog, state);
  RedrawTextWatermark(dialog, state, true);
  PresentPreview(dialog, state);
}

// Draws the watermark again in its colour and density after either changed.
void RecolourAndShow(HWND dialog, WatermarkEditState* state) {
  if (state->IsBitmap()) {
    FadeWatermarkBitmap(dialog, state);
    RedrawBitmapWatermark(dialog, state);
  } else {
    state->faded = FadeColor(state->colour, state->density);
    RedrawTextWatermark(dialog, state, true);
  }
  PresentPreview(dialog, state);
}

void RedrawRotated(HWND dialog, WatermarkEditState* state) {
  UpdateTextBox(dialog, state);
  RedrawTextWatermark(dialog, state, true);
  DrawBoxOutline(dialog, state);
  PresentPreview(dialog, state);
}

}  // namespace

void ShowTextControls(HWND dialog, const WatermarkEditState& state) { ApplyLayout(dialog, state, kTextLayout); }
void ShowFixedBitmapControls(HWND dialog, const WatermarkEditState& state) {
  ApplyLayout(dialog, state, kFixedLayout);
}
void ShowUserBitmapControls(HWND dialog, const WatermarkEditState& state) { ApplyLayout(dialog, state, kUserLayout); }
void DisableWatermarkControls(HWND dialog, const WatermarkEditState& state) {
  ApplyLayout(dialog, state, kEmptyLayout);
}

void SetupTrackBar(HWND dialog, int control, int lowest, int highest, int page, int tick_step) {
  HWND bar = GetDlgItem(dialog, control);
  SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELONG(lowest, highest));
  SendMessageA(bar, TBM_SETPAGESIZE, 0, page);
  SendMessageA(bar, TBM_CLEARTICS, TRUE, 0);
  for (int tick = tick_step; tick < highest; tick += tick_step) {
    if (tick > lowest) SendMessageA(bar, TBM_SETTIC, 0, tick);
  }
}

int32_t DensityPosition(int density) {
  switch (density) {
    case 5: return 0;
    case 10: return 1;
    case 20: return 2;
    case 30: return 3;
    case 50: return 4;
    default: return 5;
  }
}

int16_t DensityOfPosition(int position) {
  constexpr int16_t kDensities[6] = {5, 10, 20, 30, 50, 100};
  return kDensities[std::clamp(position, 0, 5)];
}

int ColourItem(Bgr colour) { return (colour.blue != 0) + 2 * (colour.green != 0) + 4 * (colour.red != 0); }

Bgr ColourOfItem(int item) {
  item = std::clamp(item, 0, 6);
  return {static_cast<uint8_t>(item & 1 ? 255 : 0), static_cast<uint8_t>(item & 2 ? 255 : 0),
          static_cast<uint8_t>(item & 4 ? 255 : 0)};
}

int32_t AngleBarPosition(int32_t degrees) {
  if (degrees == kMinusZeroDegrees) return 180;
  if (degrees < -180) return degrees + 540;
  if (degrees <= 180) return degrees + 180;
  return degrees - 180;
}

void ShowAngle(HWND dialog, WatermarkEditState* state) {
  state->degrees = DegreesOfAngle(state->shape.angle);
  state->angle_flags = static_cast<int16_t>(state->degrees < 0 ? state->angle_flags | kAngleNegative
                                                               : state->angle_flags & ~kAngleNegative);
  SetDlgItemInt(dialog, kEditAngle, static_cast<UINT>(state->degrees), TRUE);
  SendDlgItemMessageA(dialog, kEditAngleBar, TBM_SETPOS, TRUE, state->degrees + 180);
  Repaint(dialog, kEditSign);
}

void SelectColourItem(HWND dialog, const WatermarkEditState& state) {
  SendDlgItemMessageA(dialog, kEditColour, CB_SETCURSEL, state.ColourFixed() ? 0 : ColourItem(state.colour), 0);
}

void SelectStyles(HWND dialog, const WatermarkEditState& state) {
  const bool styles[5] = {state.bold, state.italic, state.underline, state.shape.stamp, state.shape.frame};
  for (int k = 0; k < 5; ++k) SendDlgItemMessageA(dialog, kEditStyles, LB_SETSEL, styles[k] ? TRUE : FALSE, k);
}

void ReadStyleList(HWND dialog, WatermarkEditState* state) {
  bool styles[5];
  for (int k = 0; k < 5; ++k) styles[k] = SendDlgItemMessageA(dialog, kEditStyles, LB_GETSEL, k, 0) > 0;
  state->bold = styles[0];
  state->italic = styles[1];
  state->underline = styles[2];
  state->shape.stamp = styles[3];
  state->shape.frame = styles[4];
}

void SelectFace(HWND dialog, WatermarkEditState* state) {
  HWND combo = GetDlgItem(dialog, kEditFace);
  LRESULT item = SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(state->face_name));
  if (item < 0) item = 0;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  const LRESULT data = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
  if (data >= 0 && static_cast<size_t>(data) < state->fonts.faces.size()) {
    CopyLogFont(&state->font, state->fonts.faces[static_cast<size_t>(data)]);
  }
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
  if (length >= 0 && length < MAX_PATH) {
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(state->face_name));
  }
}

void CheckFontRotation(HWND dialog, WatermarkEditState* state) {
  WindowDc dc(GetDlgItem(dialog, kEditPreview));
  int true_type = 1;  // a face the enumeration does not know counts as TrueType
  EnumFontFamiliesA(dc.get(), state->face_name, reinterpret_cast<FONTENUMPROCA>(IsTrueTypeProc),
                    reinterpret_cast<LPARAM>(&true_type));
  if (true_type != 0) {
    int raster = 0;
    EnumFontFamiliesA(dc.get(), state->face_name, reinterpret_cast<FONTENUMPROCA>(IsRasterProc),
                      reinterpret_cast<LPARAM>(&raster));
    state->rotation_possible = true;
    state->raster_faces = raster != 0;
    for (int id : kRotationControls) EnableWindow(GetDlgItem(dialog, id), TRUE);
    state->button_state = state->saved_button_state;
    Repaint(dialog, kEditModeButton);
    state->angle_flags &= ~kAngleFixed;
    state->shape.angle = state->last_set_angle;
    ShowAngle(dialog, state);
    return;
  }
  state->rotation_possible = false;
  state->raster_faces = false;
  if (state->mode != kModeLoading && state->mode != kModeFontChange) state->mode = kModeIdle;
  // The edit shows 0 without making 0 the angle last set, which a TrueType face restores.
  state->angle_flags |= kAngleEditUpdating;
  SetDlgItemInt(dialog, kEditAngle, 0, FALSE);
  state->angle_flags &= ~kAngleEditUpdating;
  SendDlgItemMessageA(dialog, kEditAngleBar, TBM_SETPOS, TRUE, 180);
  for (int id : kRotationControls) EnableWindow(GetDlgItem(dialog, id), FALSE);
  state->saved_button_state = kButtonMove;
  state->button_state = kButtonNoRotation;
  Repaint(dialog, kEditModeButton);
  state->angle_flags |= kAngleFixed;
  state->shape.angle = 0;
}

void ApplySizeTrackBar(HWND dialog, WatermarkEditState* state) {
  const LRESULT position = SendDlgItemMessageA(dialog, kEditSize, TBM_GETPOS, 0, 0);
  if (static_cast<double>(position) == state->shape.size) return;
  state->shape.size = static_cast<double>(position);
  if (state->IsBitmap()) {
    ComputeBoxCorners(dialog, state);
    RedrawBitmapWatermark(dialog, state);
  } else {
    UpdateTextBox(dialog, state);
    RedrawTextWatermark(dialog, state, false);
  }
  PresentPreview(dialog, state);
}

void ApplyDensityTrackBar(HWND dialog, WatermarkEditState* state) {
  const int16_t density =
      DensityOfPosition(static_cast<int>(SendDlgItemMessageA(dialog, kEditDensity, TBM_GETPOS, 0, 0)));
  if (density == state->density) return;
  state->density = density;
  RecolourAndShow(dialog, state);
}

void ApplyColourChoice(HWND dialog, WatermarkEditState* state) {
  if (!state->Loaded()) return;
  state->colour = ColourOfItem(static_cast<int>(SendDlgItemMessageA(dialog, kEditColour, CB_GETCURSEL, 0, 0)));
  RecolourAndShow(dialog, state);
}

void ApplyAngleTrackBar(HWND dialog, WatermarkEditState* state) {
  state->angle_flags |= kAngleBarApplying;
  state->drag_start_angle = state->shape.angle;
  const int32_t degrees = static_cast<int32_t>(SendDlgItemMessageA(dialog, kEditAngleBar, TBM_GETPOS, 0, 0)) - 180;
  state->shape.angle = state->last_set_angle = degrees * std::numbers::pi / 180;
  state->angle_flags = static_cast<int16_t>(degrees < 0 ? state->angle_flags | kAngleNegative
                                                        : state->angle_flags & ~kAngleNegative);
  SetDlgItemInt(dialog, kEditAngle, static_cast<UINT>(degrees), TRUE);
  UpdateTextBox(dialog, state);
  Repaint(dialog, kEditSign);
  state->angle_flags &= ~kAngleBarApplying;
}

void OnAngleEdit(HWND dialog, WatermarkEditState* state, int code) {
  if (code == EN_KILLFOCUS) {
    state->angle_flags |= kAngleEditUpdating;
    SetDlgItemInt(dialog, kEditAngle, static_cast<UINT>(Magnitude(state->degrees)), FALSE);
    Repaint(dialog, kEditSign);
    if (TextLoaded(*state)) {
      RedrawTextWatermark(dialog, state, true);
      PresentPreview(dialog, state);
    }
    state->angle_flags &= ~kAngleEditUpdating;
    return;
  }
  if (code != EN_CHANGE || (state->angle_flags & kAngleEditUpdating)) return;
  char text[8] = {};
  GetDlgItemTextA(dialog, kEditAngle, text, 5);
  bool negative = (state->angle_flags & kAngleNegative) != 0;
  bool changed = false;
  size_t length = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c >= '0' && *c <= '9') {
      text[length++] = *c;
      continue;
    }
    if (*c == '+') negative = false;
    if (*c == '-') negative = true;
    changed = true;
  }
  text[length] = '\0';
  state->angle_flags |= kAngleEditUpdating;
  int32_t value = 0;
  if (std::strspn(text, "0") == length && length <= 3) {
    state->degrees = negative ? kMinusZeroDegrees : 0;
    if (changed) SetDlgItemTextA(dialog, kEditAngle, text);
  } else {
    if (length >= 4) {
      value = Magnitude(state->degrees);
      changed = true;
    } else {
      value = std::atoi(text);
      if (value > 360) {
        value = 360;
        changed = true;
      }
    }
    if (changed) SetDlgItemInt(dialog, kEditAngle, static_cast<UINT>(value), FALSE);
    state->degrees = negative ? -value : value;
  }
  state->angle_flags = static_cast<int16_t>(negative ? state->angle_flags | kAngleNegative
                                                     : state->angle_flags & ~kAngleNegative);
  Repaint(dialog, kEditSign);
  state->shape.angle = NormaliseAngle((negative ? -value : value) * std::numbers::pi / 180);
  state->last_set_angle = state->shape.angle;
  if (state->mode != kModeRotationUpdate && state->mode != kModeLoading && state->mode != kModeFontChange) {
    state->drag_start_angle = state->shape.angle;
    if (TextLoaded(*state)) {
      const int32_t mode = state->mode;
      state->mode = kModeRotate;
      RedrawRotated(dialog, state);
      state->mode = mode;
    }
  }
  if (!(state->angle_flags & kAngleBarApplying)) {
    SendDlgItemMessageA(dialog, kEditAngleBar, TBM_SETPOS, TRUE, AngleBarPosition(state->degrees));
  }
  state->angle_flags &= ~kAngleEditUpdating;
}

void OnSignButton(HWND dialog, WatermarkEditState* state) {
  if (state->degrees == kMinusZeroDegrees) {
    state->degrees = 0;
  } else {
    state->degrees = state->degrees == 0 ? kMinusZeroDegrees : -state->degrees;
  }
  const bool negative = state->degrees < 0;
  state->angle_flags = static_cast<int16_t>(negative ? state->angle_flags | kAngleNegative
                                                     : state->angle_flags & ~kAngleNegative);
  Repaint(dialog, kEditSign);
  const int32_t degrees = state->degrees == kMinusZeroDegrees ? 0 : state->degrees;
  state->shape.angle = state->drag_start_angle = state->last_set_angle = degrees * std::numbers::pi / 180;
  SendDlgItemMessageA(dialog, kEditAngleBar, TBM_SETPOS, TRUE, AngleBarPosition(state->degrees));
  if (!TextLoaded(*state)) return;
  state->mode = kModeRotate;
  RedrawRotated(dialog, state);
}

void OnTextChanged(HWND dialog, WatermarkEditState* state) {
  if (!TextLoaded(*state) || state->mode == kModeLoading) return;
  GetDlgItemTextA(dialog, kEditText, state->text, sizeof(state->text));
  RefitAndShow(dialog, state);
}

void OnFaceChanged(HWND dialog, WatermarkEditState* state) {
  if (!TextLoaded(*state)) return;
  const int32_t mode = state->mode;
  state->mode = kModeFontChange;
  HWND combo = GetDlgItem(dialog, kEditFace);
  const LRESULT item = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (item >= 0) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    if (length >= 0 && length < MAX_PATH) {
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(state->face_name));
    }
    const LRESULT data = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
    if (data >= 0 && static_cast<size_t>(data) < state->fonts.faces.size()) {
      CopyLogFont(&state->font, state->fonts.faces[static_cast<size_t>(data)]);
    }
  }
  CheckFontRotation(dialog, state);
  FitWatermarkFont(dialog, state);
  UpdateTextBox(dialog, state);
  state->mode = mode;
  RedrawTextWatermark(dialog, state, true);
  PresentPreview(dialog, state);
}

void OnStyleChanged(HWND dialog, WatermarkEditState* state) {
  if (!TextLoaded(*state)) return;
  ReadStyleList(dialog, state);
  RefitAndShow(dialog, state);
}

void OnNameChosen(HWND dialog, WatermarkEditState* state) {
  const LRESULT item = SendDlgItemMessageA(dialog, kEditNames, CB_GETCURSEL, 0, 0);
  if (item < 0 || !state->entries.held()) return;
  const auto data = static_cast<int32_t>(SendDlgItemMessageA(dialog, kEditNames, CB_GETITEMDATA, item, 0));
  state->selected = data >= 0 && data < state->count ? data : -1;
  LoadWatermarkIntoDialog(dialog, state, state->Entries(), state->selected, !state->list_filled);
}

bool UseBrowsedBitmap(HWND dialog, WatermarkEditState* state, const char* file) {
  const std::string folder = ThumbnailFolder(*state);
  char thumbnail[MAX_PATH] = {};
  const EditBitmapSource source{state->resources, 0, state->colour, state->density, folder.c_str()};
  const bool loaded = LoadEditBitmap(dialog, file, thumbnail, &state->bitmaps, source) != 0;
  if (loaded) {
    platform::CopyStringNA(state->bitmap_path, sizeof(state->bitmap_path), file, MAX_PATH);
    // The old thumbnail goes when OK stores the entry; one made by an earlier browse, which
    // nothing names, goes now.
    if (state->thumbnail_path[0] != '\0') {
      bool browsed = false;
      for (const std::string& path : state->browsed_thumbnails.paths()) browsed |= path == state->thumbnail_path;
      if (browsed) {
        DeleteFileA(state->thumbnail_path);
      } else {
        state->replaced_thumbnails.Append(state->thumbnail_path);
      }
    }
    std::memcpy(state->thumbnail_path, thumbnail, sizeof(thumbnail));
    state->browsed_thumbnails.Append(thumbnail);
    SetDlgItemTextA(dialog, kEditText, state->bitmap_path);
  }
  RedrawBitmapWatermark(dialog, state);
  PresentPreview(dialog, state);
  return loaded;
}

void BrowseWatermarkBitmap(HWND dialog, WatermarkEditState* state) {
  if (state->resources == nullptr || !state->Loaded()) return;
  char file[MAX_PATH] = {};
  if (!ChooseBitmapFile(dialog, state->resources, file, sizeof(file))) return;
  UseBrowsedBitmap(dialog, state, file);
}

void DrawWatermarkDialogItem(HWND dialog, const WatermarkEditState& state, const DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  const RECT& r = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const bool disabled = (item->itemState & ODS_DISABLED) != 0;
  const int b = LOWORD(GetDialogBaseUnits()) / 4 * 2;
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int tm = metrics.tmHeight;
  const COLORREF old_text = SetTextColor(
      dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
  const COLORREF old_back = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int text_y = r.top + (r.bottom - r.top - tm) / 2;
  auto item_text = [&](std::string* out) {
    HWND control = item->hwndItem;
    const bool list = item->CtlType == ODT_COMBOBOX;
    if (item->itemID == static_cast<UINT>(-1)) return;
    const LRESULT length = SendMessageA(control, list ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, item->itemID, 0);
    if (length <= 0) return;
    out->assign(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(control, list ? CB_GETLBTEXT : LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(out->data()));
    out->resize(std::strlen(out->c_str()));
  };
  auto draw_text = [&](int x, const std::string& text) {
    ExtTextOutA(dc, x, text_y, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  };
  switch (item->CtlID) {
    case kEditPosition: {
      std::string text;
      item_text(&text);
      draw_text(r.left + tm + b + 5, text);
      if (item->itemID == static_cast<UINT>(-1)) break;
      const int left = r.left + 5, top = r.top + (r.bottom - r.top - tm) / 2;
      Rectangle(dc, left, top, left + tm, top + tm);
      const int position = static_cast<int>(item->itemID);
      if (position == kFreePosition) {
        MoveToEx(dc, left, top + tm - 1, nullptr);
        LineTo(dc, left + tm - 1, top);
      } else if (position >= 0 && position < kFreePosition) {
        const int cell = CellOfCode(position, false);
        const int third = tm / 3;
        const int x = left + (cell % 3) * third + (tm - 3 * third) / 2, y = top + (cell / 3) * third + (tm - 3 * third) / 2;
        const RECT square{x, y, x + third, y + third};
        FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      }
      break;
    }
    case kEditNames: {
      std::string text;
      item_text(&text);
      draw_text(r.left + b, text);
      if ((item->itemState & ODS_COMBOBOXEDIT) == 0 && SendMessageA(item->hwndItem, CB_GETDROPPEDSTATE, 0, 0) &&
          state.builtin_count > 0 && state.user_count > 0 && state.entries.held()) {
        const storage::WatermarkEntry& last_builtin = state.Entries()[state.builtin_count - 1];
        char name[sizeof(last_builtin.name) + 1] = {};
        std::memcpy(name, last_builtin.name, sizeof(last_builtin.name));
        if (text == name) pages::DrawItemSeparator(item, 1);
      }
      break;
    }
    case kEditModeButton: {
      if ((item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) break;
      FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, const_cast<RECT*>(&r), selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
      const int state_index = std::clamp(state.button_state, 0, 2);
      HBITMAP bitmap = LoadBitmapA(state.resources, MAKEINTRESOURCEA(kModeButtonBitmaps[state_index]));
      if (bitmap == nullptr) break;
      BITMAP info{};
      GetObjectA(bitmap, sizeof(info), &info);
      UniqueDc memory(CreateCompatibleDC(dc));
      {
        Selected selection(memory.get(), bitmap);
        BitBlt(dc, r.left + (r.right - r.left - info.bmWidth) / 2, r.top + (r.bottom - r.top - info.bmHeight) / 2,
               info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
      }
      DeleteObject(bitmap);
      break;
    }
    case kEditColour: {
      std::string text;
      item_text(&text);
      draw_text(r.left + b + tm + 5, text);
      if (item->itemID == static_cast<UINT>(-1)) break;
      const Bgr colour = ColourOfItem(static_cast<int>(item->itemID));
      UniqueGdiObject brush(CreateSolidBrush(RGB(colour.red, colour.green, colour.blue)));
      const int top = r.top + (r.bottom - r.top - tm) / 2;
      const RECT square{r.left + 5, top, r.left + 5 + tm, top + tm};
      FillRect(dc, &square,
               (state.help.flags & kFlagColourFixed) ? GetSysColorBrush(COLOR_GRAYTEXT)
                                                     : static_cast<HBRUSH>(brush.get()));
      break;
    }
    case kEditSign: {
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor((state.angle_flags & kAngleFixed) ? COLOR_SCROLLBAR : COLOR_WINDOW));
      const std::string sign = (state.angle_flags & kAngleNegative) ? "-" : "+";
      draw_text(r.left + b, sign);
      const int w = r.right - r.left, h = r.bottom - r.top;
      UniqueGdiObject grey(CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
      UniqueGdiObject black(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
      UniqueGdiObject light(CreatePen(PS_SOLID, 1, RGB(160, 160, 160)));
      UniqueGdiObject white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
      auto line = [&](HGDIOBJ pen, int x0, int y0, int x1, int y1) {
        Selected selection(dc, pen);
        MoveToEx(dc, r.left + x0, r.top + y0, nullptr);
        LineTo(dc, r.left + x1, r.top + y1);
      };
      line(grey.get(), 2, 0, w, 0);
      line(grey.get(), 0, 0, 0, h);
      line(black.get(), 2, 1, w - 1, 1);
      line(black.get(), 1, 1, 1, h - 1);
      line(light.get(), 1, h - 2, w - 1, h - 2);
      line(light.get(), w - 1, 0, w - 1, h - 1);
      line(white.get(), 0, h - 1, w, h - 1);
      break;
    }
    default: break;
  }
  SetTextColor(dc, old_text);
  SetBkColor(dc, old_back);
  (void)dialog;
}

}  // namespace kalimu::watermark
