// The edit dialog's entry point, its procedure, OK and Cancel.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <new>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/watermark/watermark_edit_state.h"
#include "kalimu/watermark/watermark_help.h"
#include "kalimu/watermark/watermark_tooltips.h"

namespace kalimu::watermark {
namespace {

constexpr char kNoResourceText[] = "Couldn't Open Resource";
constexpr char kNoResourceCaption[] = "Error!";
constexpr char kSiblingModule[] = "Selka01.DLL";

void OnCommand(HWND dialog, WatermarkEditState* state, int control, int code) {
  switch (control) {
    case IDOK: OnEditOk(dialog, state); return;
    case IDCANCEL: OnEditCancel(dialog, state); return;
    case kEditPosition:
      if (code == CBN_SELCHANGE && state->Loaded()) {
        RedrawWatermark(dialog, state, false);
        PresentPreview(dialog, state);
      }
      return;
    case kEditHelp: ShowWatermarkHelpTopic(dialog, state->help, kEditHelpContext); return;
    case kEditText:
      if (code == EN_CHANGE) OnTextChanged(dialog, state);
      return;
    case kEditNames:
      if (code == CBN_SELCHANGE) OnNameChosen(dialog, state);
      return;
    case kEditFace:
      if (code == CBN_SELCHANGE) OnFaceChanged(dialog, state);
      return;
    case kEditStyles:
      if (code == LBN_SELCHANGE || code == LBN_SELCANCEL) OnStyleChanged(dialog, state);
      return;
    case kEditModeButton:
      if (code == BN_CLICKED) OnModeButton(dialog, state);
      return;
    case kEditColour:
      if (code == CBN_SELCHANGE) ApplyColourChoice(dialog, state);
      return;
    case kEditBrowse:
      if (code == BN_CLICKED) BrowseWatermarkBitmap(dialog, state);
      return;
    case kEditAngle:
      if (code == EN_KILLFOCUS || code == EN_CHANGE) OnAngleEdit(dialog, state, code);
      return;
    case kEditSign: OnSignButton(dialog, state); return;
    default: return;
  }
}

void OnHScroll(HWND dialog, WatermarkEditState* state, HWND bar) {
  if (!state->Loaded()) return;
  switch (GetDlgCtrlID(bar)) {
    case kEditDensity: ApplyDensityTrackBar(dialog, state); return;
    case kEditSize: ApplySizeTrackBar(dialog, state); return;
    case kEditAngleBar:
      state->mode = kModeRotate;
      ApplyAngleTrackBar(dialog, state);
      return;
    default: return;
  }
}

void OnPaint(HWND dialog, WatermarkEditState* state) {
  PAINTSTRUCT paint;
  BeginPaint(dialog, &paint);
  EndPaint(dialog, &paint);
  if (!state->page.dc) return;
  if (state->Loaded()) RedrawWatermark(dialog, state, true);
  PresentPreview(dialog, state);
  RECT rect{};
  GetClientRect(GetDlgItem(dialog, kEditPreview), &rect);
  MapWindowPoints(GetDlgItem(dialog, kEditPreview), dialog, reinterpret_cast<POINT*>(&rect), 2);
  ValidateRect(dialog, &rect);
}

}  // namespace

WatermarkEditState::~WatermarkEditState() { DeleteTemporaryPalette(this); }

WatermarkEditState* EditStateOf(HWND dialog) {
  return reinterpret_cast<WatermarkEditState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void InitWatermarkEdit(HWND dialog, WatermarkEditState* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->list_filled = false;
  if (state->entries.held()) {
    state->resources = state->module;
    const storage::WatermarkEntry* entries = state->Entries();
    state->builtin_count = state->user_count = 0;
    for (int32_t i = 0; i < state->count; ++i) ++(entries[i].bitmap_id != 0 ? state->builtin_count : state->user_count);
    state->total = state->builtin_count + state->user_count;
    if (state->extent.width == 0 && state->extent.height == 0) {
      RECT client{};
      GetClientRect(GetDlgItem(dialog, kEditPreview), &client);
      state->extent = {client.right, client.bottom};
      state->margins = {};
    }
    CreatePreviewBuffers(dialog, state);
    LoadWatermarkIntoDialog(dialog, state, state->Entries(), state->selected, true);
  } else {
    state->builtin_count = state->user_count = state->total = 0;
    state->resources = GetModuleHandleA(kSiblingModule);
    LoadWatermarkIntoDialog(dialog, state, nullptr, 0, true);
  }
  InstallWatermarkToolTips(dialog, state->resources, kEditDialogTips);
}

bool OnEditOk(HWND dialog, WatermarkEditState* state) {
  const bool keep = state->entries.held() && (state->IsBitmap() || state->text[0] != '\0');
  if (keep && state->selected >= 0 && state->selected < state->count) {
    StoreEditedWatermark(dialog, state, state->Entries(), state->selected);
  }
  if (keep) {
    DropUnnamedThumbnails(state);
  } else {
    state->browsed_thumbnails.DeleteListedFiles();
  }
  RemoveWatermarkToolTipHook(kEditDialogTips);
  EndDialog(dialog, keep ? 1 : 0);
  return keep;
}

void OnEditCancel(HWND dialog, WatermarkEditState* state) {
  RemoveWatermarkToolTipHook(kEditDialogTips);
  state->selected = state->selected_at_start;
  // Thumbnails written for bitmaps the user browsed to are not named by any kept entry.
  state->browsed_thumbnails.DeleteListedFiles();
  state->replaced_thumbnails.Forget();
  EndDialog(dialog, 0);
}

INT_PTR CALLBACK WatermarkEditDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitWatermarkEdit(dialog, reinterpret_cast<WatermarkEditState*>(lparam));
    return TRUE;
  }
  WatermarkEditState* state = EditStateOf(dialog);
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_PAINT: OnPaint(dialog, state); return FALSE;
    case WM_SETCURSOR: SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE); return TRUE;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == kEditPreview) {
        state->repaint = true;
        return FALSE;
      }
      break;
    case WM_DRAWITEM:
      if (wparam != static_cast<WPARAM>(-1)) {
        DrawWatermarkDialogItem(dialog, *state, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      }
      break;
    case WM_NOTIFY:
      HandleWatermarkToolTipNotify(dialog, reinterpret_cast<NMHDR*>(lparam), state->resources, kEditDialogTips);
      break;
    case WM_HELP:
    case WM_CONTEXTMENU: HandleWatermarkHelp(dialog, message, lparam, state->help, kWatermarkEditHelpTable); break;
    case WM_HSCROLL: OnHScroll(dialog, state, reinterpret_cast<HWND>(lparam)); break;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) return OnEditOk(dialog, state) ? TRUE : FALSE;
      if (LOWORD(wparam) == IDCANCEL) {
        OnEditCancel(dialog, state);
        return TRUE;
      }
      OnCommand(dialog, state, LOWORD(wparam), HIWORD(wparam));
      break;
    case WM_MOUSEMOVE:
      if (state->Loaded()) OnPreviewMouseMove(dialog, state, wparam, lparam);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      if (state->Loaded()) OnPreviewButton(dialog, state, message, lparam);
      break;
    default: return FALSE;
  }
  // Common end step.
  if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) state->last_mouse = message;
  if (state->repaint) {
    state->repaint = false;
    if (state->Loaded()) RedrawWatermark(dialog, state, true);
    if (state->page.dc) PresentPreview(dialog, state);
  }
  return FALSE;
}

storage::WatermarkEntry* EditWatermarkDialog(HWND owner, HMODULE module, const storage::WatermarkEntry* entries,
                                             int16_t* count, int16_t* request, int16_t user_capacity,
                                             int32_t page_width, int32_t page_height, const int32_t margins[4],
                                             const void* /*reserved*/, const WatermarkHelpBlock* help) {
  if (module == nullptr) {
    if (owner != nullptr) MessageBoxA(owner, kNoResourceText, kNoResourceCaption, MB_OK);
    return nullptr;
  }
  auto state = std::unique_ptr<WatermarkEditState>(new (std::nothrow) WatermarkEditState{});
  if (!state) return nullptr;
  state->module = module;
  if (help != nullptr) {
    platform::CopyStringNA(state->help.help_path, sizeof(state->help.help_path), help->help_path,
                           sizeof(help->help_path));
    state->help.flags = help->flags;
  }
  const int32_t given = count != nullptr ? *count : 0;
  if (entries != nullptr && given > 0 && state->entries.Allocate(size_t(given) * sizeof(storage::WatermarkEntry))) {
    std::memcpy(state->entries.data(), entries, size_t(given) * sizeof(storage::WatermarkEntry));
    state->count = given;
    // The layout page passes its device mode's index: one outside the copy selects nothing.
    const int32_t index = request != nullptr ? *request : -1;
    state->selected = index >= 0 && index < given ? index : -1;
    state->selected_at_start = state->selected;
    state->user_capacity = user_capacity;
    state->extent = {page_width, page_height};
    if (margins != nullptr) state->margins = {margins[0], margins[1], margins[2], margins[3]};
  } else {
    state->count = 0;
    state->selected = -1;
    state->selected_at_start = 0;
    state->user_capacity = 0;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(kEditTemplate), owner, WatermarkEditDlgProc,
                                         reinterpret_cast<LPARAM>(state.get()));
  if (result != 1 || !state->entries.held()) return nullptr;
  if (request != nullptr) *request = static_cast<int16_t>(state->selected);
  if (count != nullptr) *count = static_cast<int16_t>(state->count);
  return reinterpret_cast<storage::WatermarkEntry*>(state->entries.Release());
}

}  // namespace kalimu::watermark
