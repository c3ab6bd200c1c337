// Moving a watermark entry into the edit dialog and storing the edited watermark back into it,
// with its generated bitmap file, thumbnail and file stamp.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/watermark/dib_loading.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_bitmap_file.h"
#include "kalimu/watermark/watermark_edit_state.h"
#include "kalimu/watermark/watermark_thumbnails.h"

namespace kalimu::watermark {
namespace {

using storage::WatermarkEntry;

template <size_t N>
void CopyField(char (&to)[N], const char* from, size_t from_size) {
  platform::CopyStringNA(to, N, from, from_size);
}

Bgr EntryColour(const WatermarkEditState& state, const WatermarkEntry& e) {
  if (state.ColourFixed()) return {0, 0, 0};
  return {e.color[0], e.color[1], e.color[2]};
}

EntryBox PageBoxOf(const WatermarkEntry& e) { return {e.box[0], e.box[1], e.box[2], e.box[3]}; }

void AddStrings(HWND dialog, int control, UINT message, HMODULE module, UINT first, int count) {
  SendDlgItemMessageA(dialog, control, message == LB_ADDSTRING ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
  if (module == nullptr) return;
  for (int k = 0; k < count; ++k) {
    char text[128] = {};
    LoadStringA(module, first + static_cast<UINT>(k), text, sizeof(text));
    SendDlgItemMessageA(dialog, control, message, 0, reinterpret_cast<LPARAM>(text));
  }
}

void SelectPosition(HWND dialog, const WatermarkEditState& state) {
  const int code = state.position_code >= 0 && state.position_code <= kFreePosition ? state.position_code : 0;
  SendDlgItemMessageA(dialog, kEditPosition, CB_SETCURSEL, static_cast<WPARAM>(code), 0);
}

void SetTrackBarPositions(HWND dialog, const WatermarkEditState& state) {
  SendDlgItemMessageA(dialog, kEditSize, TBM_SETPOS, TRUE, static_cast<LPARAM>(std::floor(state.shape.size + 0.5)));
  SendDlgItemMessageA(dialog, kEditDensity, TBM_SETPOS, TRUE, DensityPosition(state.density));
}

// The names of every entry (item data = index), after the new-watermark item when asked for.
void FillNameList(HWND dialog, WatermarkEditState* state, const WatermarkEntry* entries, int limit) {
  HWND names = GetDlgItem(dialog, kEditNames);
  SendMessageA(names, CB_RESETCONTENT, 0, 0);
  SendMessageA(names, CB_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  if (entries == nullptr) return;
  const bool new_item = (state->help.flags & kFlagNewItem) != 0;
  if (new_item) {
    char text[128] = {};
    LoadStringA(state->resources, kNewWatermarkString, text, sizeof(text));
    const LRESULT item = SendMessageA(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(names, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(-1));
  }
  for (int32_t i = 0; i < state->count; ++i) {
    char name[sizeof(entries[i].name) + 1] = {};
    CopyField(name, entries[i].name, sizeof(entries[i].name));
    const LRESULT item = SendMessageA(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(names, CB_SETITEMDATA, static_cast<WPARAM>(item), i);
  }
  const int32_t selection = state->selected >= 0 ? state->selected + (new_item ? 1 : 0) : (new_item ? 0 : -1);
  SendMessageA(names, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
  state->list_filled = true;
}

void ClearWatermark(WatermarkEditState* state) {
  state->kind = kFixedBitmapKind;
  state->density = 100;
  state->current = -1;
  state->shape = BoxShape{};
  state->shape.bitmap = true;
  state->last_set_angle = state->drag_start_angle = 0;
  state->degrees = 0;
  state->angle_flags = 0;
  state->text[0] = state->bitmap_path[0] = state->face_name[0] = '\0';
  state->position_code = 0;
  state->colour = state->faded = {0, 0, 0};
  state->box_at_button = {};
  state->bold = state->italic = state->underline = false;
  state->repaint = false;
  state->bitmaps.Reset();
}

void LoadBitmapEntry(HWND dialog, WatermarkEditState* state, WatermarkEntry& e) {
  state->text[0] = '\0';
  state->shape.angle = state->last_set_angle = state->drag_start_angle = 0;
  state->degrees = 0;
  state->angle_flags = 0;
  state->shape.box_width = state->shape.box_height = 0;
  state->face_name[0] = '\0';
  state->position_code = e.position_code;
  state->colour = e.bitmap_id != 0 ? EntryColour(*state, e) : Bgr{0, 0, 0};
  state->faded = FadeColor(state->colour, state->density);
  state->bold = state->italic = state->underline = false;
  state->shape.stamp = state->shape.frame = false;
  state->shape.bitmap = true;
  BoxFromPageUnits(state->shape, PageBoxOf(e), state->printable, state->Mirrored());
  CopyField(state->bitmap_path, e.bitmap_path, sizeof(e.bitmap_path));
  state->bitmaps.Reset();
  const std::string folder = ThumbnailFolder(*state);
  const EditBitmapSource source{state->resources, e.bitmap_id, state->colour, state->density, folder.c_str()};
  e.thumbnail_path[sizeof(e.thumbnail_path) - 1] = '\0';
  if (!LoadEditBitmap(dialog, state->bitmap_path, e.thumbnail_path, &state->bitmaps, source)) {
    state->bitmap_path[0] = '\0';
  }
  // The loader may have written a new thumbnail in place of the one the entry named.
  CopyField(state->thumbnail_path, e.thumbnail_path, sizeof(e.thumbnail_path));
  if (e.bitmap_id != 0) {
    ShowFixedBitmapControls(dialog, *state);
  } else {
    ShowUserBitmapControls(dialog, *state);
  }
}

void LoadTextEntry(HWND dialog, WatermarkEditState* state, const WatermarkEntry& e) {
  state->shape.angle = state->last_set_angle = state->drag_start_angle = std::isfinite(e.angle) ? e.angle : 0;
  state->button_state = kButtonMove;
  state->angle_flags = 0;
  state->degrees = DegreesOfAngle(state->shape.angle);
  CopyField(state->text, e.text, sizeof(e.text));
  const LOGFONTA font = EntryFont(e);
  CopyField(state->face_name, font.lfFaceName, sizeof(font.lfFaceName));
  state->underline = font.lfUnderline != 0;
  state->bold = font.lfWeight == FW_BOLD;
  state->italic = font.lfItalic != 0;
  state->shape.stamp = e.stamp != 0;
  state->shape.frame = e.frame != 0;
  state->shape.bitmap = false;
  CopyLogFont(&state->font, font);
  state->position_code = e.position_code;
  state->colour = EntryColour(*state, e);
  state->faded = FadeColor(state->colour, state->density);
  state->bitmap_path[0] = '\0';
  state->bitmaps.Reset();
  ShowTextControls(dialog, *state);
}

// The size of a loaded entry: its stored size for an empty page box, else from the box.
double EntrySize(WatermarkEditState* state, const WatermarkEntry& e) {
  if (e.box[0] == e.box[2] || e.box[1] == e.box[3]) return e.size_percent;
  SIZE measured{};
  if (!state->IsBitmap() && !state->shape.stamp) measured = MeasureTextAt200(state);
  return SizeFromEntryBox(state->shape, e.box[2] - e.box[0], e.box[3] - e.box[1], state->printable, measured.cx,
                          measured.cy);
}

void StampBitmapFile(WatermarkEntry& e) {
  FileStamp stamp{};
  if (!ReadFileStamp(e.bitmap_path, &stamp)) stamp = {};
  e.bitmap_size = stamp.length;
  e.bitmap_date = stamp.dos_date;
  e.bitmap_time = stamp.dos_time;
}

// On a mirrored page the stored box is the unmirrored one: the centre mirrored about the
// printable middle and the corners computed there without mirroring.
void UnmirrorBox(HWND dialog, WatermarkEditState* state) {
  if (!state->Mirrored()) return;
  RefreshPreviewRects(dialog, state);
  const PixelRect& a = state->printable;
  state->shape.box.centre_x = 2 * (a.left + (a.right - a.left) / 2) - state->shape.box.centre_x;
  if (state->IsBitmap()) {
    ComputeBitmapBox(state->shape, Diagonal(*state), DibWidth16(*state), DibHeight(*state));
  } else {
    ComputeRotatedBox(state->shape.box, state->shape.box_width, state->shape.box_height, state->shape.angle, false);
  }
}

void StoreBitmap(HWND dialog, WatermarkEditState* state, WatermarkEntry* entries, WatermarkEntry& e) {
  if (std::strncmp(state->bitmap_path, e.bitmap_path, sizeof(e.bitmap_path)) != 0) {
    if (std::strncmp(state->thumbnail_path, e.thumbnail_path, sizeof(e.thumbnail_path)) != 0) {
      CopyField(e.thumbnail_path, state->thumbnail_path, sizeof(state->thumbnail_path));
    } else if (e.thumbnail_path[0] != '\0') {
      e.thumbnail_path[sizeof(e.thumbnail_path) - 1] = '\0';
      DeleteFileA(e.thumbnail_path);
    }
  }
  const uint32_t current = CheckThumbnailCurrent(entries, state->bitmap_path, state->current, state->total, true);
  CopyField(e.bitmap_path, state->bitmap_path, sizeof(state->bitmap_path));
  char new_thumbnail[MAX_PATH] = {};
  if (current == 0 && state->bitmaps.loaded.held()) {
    const std::string folder = ThumbnailFolder(*state);
    const bool exists = ThumbnailNameExists(state->bitmap_path, folder.c_str()) != 0;
    MakeWatermarkThumbnail(dialog, {state->bitmaps.loaded.data(), state->bitmaps.loaded.size()},
                           e.bitmap_id == 0 ? 8 : 1, new_thumbnail, state->bitmap_path, exists, folder.c_str());
  }
  std::memset(e.text, 0, sizeof(e.text));
  if (state->shape.size != state->size_at_load) {
    e.size_percent = static_cast<int16_t>(EntrySizePercent(e.box[2] - e.box[0], e.box[3] - e.box[1], state->printable));
  }
  e.stamp = e.frame = 0;
  if (!state->ColourFixed()) {
    e.color[0] = state->colour.blue, e.color[1] = state->colour.green, e.color[2] = state->colour.red;
  }
  e.density_percent = state->density;
  UnmirrorBox(dialog, state);
  if (!IsSameBox(state->shape.box, state->box_at_load)) std::memcpy(e.placement, &state->shape.box, sizeof(e.placement));
  e.angle = 0;
  e.position_code = state->position_code;
  StampBitmapFile(e);
  if (new_thumbnail[0] != '\0') CopyField(e.thumbnail_path, new_thumbnail, sizeof(new_thumbnail));
}

void StoreText(HWND dialog, WatermarkEditState* state, WatermarkEntry& e) {
  UnmirrorBox(dialog, state);
  if (!IsSameBox(state->shape.box, state->box_at_load)) std::memcpy(e.placement, &state->shape.box, sizeof(e.placement));
  const std::string folder = ThumbnailFolder(*state);
  WatermarkTextStyle style{};
  style.font = state->font;
  style.font.lfItalic = state->italic ? 1 : 0;
  style.font.lfUnderline = state->underline ? 1 : 0;
  style.font.lfWeight = state->bold ? FW_BOLD : FW_NORMAL;
  style.font.lfEscapement = static_cast<LONG>(state->shape.angle * (-1800 / std::numbers::pi));
  CopyField(style.font.lfFaceName, state->face_name, sizeof(state->face_name));
  CopyField(style.text, state->text, sizeof(state->text));
  style.angle = state->shape.angle;
  style.stamp = state->shape.stamp;
  style.frame = state->shape.frame;
  char path[MAX_PATH] = {};
  CopyField(path, e.bitmap_path, sizeof(e.bitmap_path));
  RenderWatermarkBitmapFile(style, path, folder.c_str());
  CopyField(e.bitmap_path, path, sizeof(path));
  char thumbnail[MAX_PATH] = {};
  platform::GlobalBlock dib;
  uint32_t size = 0;
  if (LoadDib(e.bitmap_path, &dib, &size, 0, nullptr, 0) == kDibLoaded) {
    MakeWatermarkThumbnail(dialog, {dib.data(), dib.size()}, 1, thumbnail, e.bitmap_path, false, folder.c_str());
  }
  CopyField(e.thumbnail_path, thumbnail, sizeof(thumbnail));
  SetEntryFont(e, style.font);
  platform::CutAnsiText(state->text, e.text, sizeof(e.text), sizeof(e.text) - 1);
  if (state->shape.size != state->size_at_load || e.angle != state->shape.angle) {
    e.size_percent = static_cast<int16_t>(EntrySizePercent(e.box[2] - e.box[0], e.box[3] - e.box[1], state->printable));
  }
  e.stamp = state->shape.stamp ? 1 : 0;
  e.frame = state->shape.frame ? 1 : 0;
  if (!state->ColourFixed()) {
    e.color[0] = state->colour.blue, e.color[1] = state->colour.green, e.color[2] = state->colour.red;
  }
  e.density_percent = state->density;
  e.position_code = state->position_code;
  e.angle = state->shape.angle;
  StampBitmapFile(e);
}

}  // namespace

void CopyLogFont(LOGFONTA* to, const LOGFONTA& from) {
  const BYTE precision = to->lfOutPrecision;
  *to = from;
  to->lfOutPrecision = precision;
  to->lfFaceName[LF_FACESIZE - 1] = '\0';
}

std::string ThumbnailFolder(const WatermarkEditState& state) {
  char folder[MAX_PATH] = {};
  const WatermarkEntry* entries = state.Entries();
  char first[MAX_PATH + 1] = {};
  if (entries != nullptr && state.count > 0) CopyField(first, entries[0].thumbnail_path, sizeof(entries[0].thumbnail_path));
  GetFolderOfPath(first[0] != '\0' ? first : nullptr, folder, sizeof(folder));
  return folder;
}

void LoadWatermarkIntoDialog(HWND dialog, WatermarkEditState* state, WatermarkEntry* entries, int32_t index,
                             bool first) {
  RefreshPreviewRects(dialog, state);
  const bool has_entry = entries != nullptr && index >= 0 && index < state->count;
  if (has_entry) {
    WatermarkEntry& e = entries[index];
    state->current = index;
    state->density = e.density_percent;
    state->kind = e.bitmap_id == 1 ? kUserBitmapKind
                  : e.bitmap_id != 0 ? kFixedBitmapKind
                  : e.kind != 0      ? kUserBitmapKind
                                     : kTextKind;
    state->last_mouse = 0;
    state->hit_corner = 0;
    state->button_point = {};
    state->hover = 0;
    state->repaint = false;
    state->box_at_button = {};
    state->button_state = state->saved_button_state = kButtonMove;
    state->mode = kModeLoading;
    state->thumbnail_path[0] = '\0';
    if (state->IsBitmap()) {
      LoadBitmapEntry(dialog, state, e);
    } else {
      LoadTextEntry(dialog, state, e);
    }
    state->shape.size = EntrySize(state, e);
  } else {
    ClearWatermark(state);
    DisableWatermarkControls(dialog, *state);
  }
  ResetCompositeFromPage(state);
  DeleteTemporaryPalette(state);

  // The anchors and the font, style and colour lists are built once, on the first load that has
  // an entry: at the opening, or later when the dialog opened without one.
  if (has_entry && !state->anchors_built) {
    state->anchors = BuildPositionAnchors(state->printable);
    state->anchors_built = true;
    SetupTrackBar(dialog, kEditAngleBar, 0, 360, 10, 45);
    ShowAngle(dialog, state);
    SetupTrackBar(dialog, kEditDensity, 0, 5, 1, 1);
    SetupTrackBar(dialog, kEditSize, 1, 100, 5, 10);
    SetTrackBarPositions(dialog, *state);
    const WatermarkEntry& e = entries[index];
    SendDlgItemMessageA(dialog, kEditFace, CB_RESETCONTENT, 0, 0);
    FillFontCombo(dialog, kEditFace, &state->fonts, nullptr);
    const LOGFONTA entry_font = EntryFont(e);
    CopyField(state->face_name, entry_font.lfFaceName, sizeof(entry_font.lfFaceName));
    SelectFace(dialog, state);
    CheckFontRotation(dialog, state);
    AddStrings(dialog, kEditStyles, LB_ADDSTRING, state->resources, kStyleStrings, 5);
    SelectStyles(dialog, *state);
    AddStrings(dialog, kEditColour, CB_ADDSTRING, state->module, kColourStrings, 7);
    SelectColourItem(dialog, *state);
    if (!state->ColourFixed()) state->colour = ColourOfItem(ColourItem(state->colour));
    state->faded = FadeColor(state->colour, state->density);
    AddStrings(dialog, kEditPosition, CB_ADDSTRING, state->module, kPositionStrings, 10);
    SelectPosition(dialog, *state);
    SendDlgItemMessageA(dialog, kEditText, EM_LIMITTEXT, kEditTextChars, 0);
    SetDlgItemTextA(dialog, kEditText, state->IsBitmap() ? state->bitmap_path : state->text);
    FillNameList(dialog, state, entries, kEditNameChars);
  } else {
    if (first) {
      SetupTrackBar(dialog, kEditSize, 1, 100, 5, 10);
      SetupTrackBar(dialog, kEditDensity, 0, 5, 1, 1);
      AddStrings(dialog, kEditPosition, CB_ADDSTRING, state->module, kPositionStrings, 10);
    }
    SetTrackBarPositions(dialog, *state);
    SelectPosition(dialog, *state);
    FillNameList(dialog, state, entries, kEditTextChars);
    if (!has_entry) {
      state->text[0] = state->bitmap_path[0] = '\0';
      SetDlgItemTextA(dialog, kEditText, "");
    } else if (state->IsBitmap()) {
      SetDlgItemTextA(dialog, kEditText, state->bitmap_path);
      if (entries[index].bitmap_id != 0) SelectColourItem(dialog, *state);
    } else {
      SetDlgItemTextA(dialog, kEditText, state->text);
      SelectStyles(dialog, *state);
      SelectFace(dialog, state);
      CheckFontRotation(dialog, state);
      SelectColourItem(dialog, *state);
      ShowAngle(dialog, state);
    }
  }

  if (has_entry) {
    if (state->IsBitmap()) {
      HWND size = GetDlgItem(dialog, kEditSize);
      SendMessageA(size, TBM_SETRANGEMAX, TRUE, 100);
      SetupTrackBar(dialog, kEditSize, 1, 100, 5, 10);
      SendMessageA(size, TBM_SETPOS, TRUE, static_cast<LPARAM>(std::floor(state->shape.size + 0.5)));
      ComputeBoxCorners(dialog, state);
      RedrawBitmapWatermark(dialog, state);
    } else {
      FitWatermarkFont(dialog, state);
      BoxFromPageUnits(state->shape, PageBoxOf(entries[index]), state->printable, state->Mirrored());
      UpdateTextBox(dialog, state);
      RedrawTextWatermark(dialog, state, true);
      UpdateTextBox(dialog, state);
      RedrawTextWatermark(dialog, state, true);
    }
    state->mode = kModeIdle;
    state->size_at_load = state->shape.size;
    state->box_at_load = state->shape.box;
  }
  PresentPreview(dialog, state);
}

void StoreEditedWatermark(HWND dialog, WatermarkEditState* state, WatermarkEntry* entries, int32_t index) {
  if (entries == nullptr || index < 0 || index >= state->count) return;
  WatermarkEntry& e = entries[index];
  e.position = static_cast<int16_t>(state->current);
  std::string name(static_cast<size_t>(GetWindowTextLengthA(GetDlgItem(dialog, kEditNames))) + 1, '\0');
  GetDlgItemTextA(dialog, kEditNames, name.data(), static_cast<int>(name.size()));
  platform::CutAnsiText(name.c_str(), e.name, sizeof(e.name), sizeof(e.name) - 1);
  e.flags = 1;
  RefreshPreviewRects(dialog, state);
  if (!IsSameBox(state->shape.box, state->box_at_load)) {
    state->shape.bitmap = state->IsBitmap();
    const EntryBox units = BoxToPageUnits(state->shape, state->printable, Diagonal(*state), DibWidth16(*state),
                                          DibHeight(*state), state->Mirrored());
    e.box[0] = units.left, e.box[1] = units.top, e.box[2] = units.right, e.box[3] = units.bottom;
  }
  e.kind = state->kind;
  if (state->IsBitmap()) {
    StoreBitmap(dialog, state, entries, e);
  } else {
    StoreText(dialog, state, e);
  }
}

void DropUnnamedThumbnails(WatermarkEditState* state) {
  const WatermarkEntry* entries = state->Entries();
  for (PathList* list : {&state->replaced_thumbnails, &state->browsed_thumbnails}) {
    for (const std::string& path : list->paths()) {
      bool named = false;
      for (int32_t i = 0; entries != nullptr && i < state->count && !named; ++i) {
        named = _strnicmp(entries[i].thumbnail_path, path.c_str(), sizeof(entries[i].thumbnail_path)) == 0;
      }
      if (!named) DeleteFileA(path.c_str());
    }
    list->Forget();
  }
}

}  // namespace kalimu::watermark
