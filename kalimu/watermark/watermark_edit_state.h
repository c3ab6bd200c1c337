// The watermark edit dialog (template 2800): its controls, modes, help table and state record,
// and the operations the dialog procedure turns its messages into. Tests call the operations
// too, on the real dialog's state.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "kalimu/platform/global_block.h"
#include "kalimu/storage/watermark_records.h"
#include "kalimu/watermark/dib_colours.h"
#include "kalimu/watermark/gdi_scope.h"
#include "kalimu/watermark/pointer_geometry.h"
#include "kalimu/watermark/preview_geometry.h"
#include "kalimu/watermark/watermark_bitmaps.h"
#include "kalimu/watermark/watermark_fonts.h"
#include "kalimu/watermark/watermark_list_state.h"

namespace kalimu::watermark {

inline constexpr int kEditTemplate = 2800;
enum WatermarkEditControl : int {
  kEditPosition = 2802,
  kEditHelp = 2804,
  kEditPreview = 2805,
  kEditText = 2806,
  kEditNames = 2808,
  kEditNamesLabel = 2809,
  kEditFace = 2810,
  kEditDensity = 2812,
  kEditStyles = 2815,
  kEditSize = 2817,
  kEditModeButton = 2819,
  kEditTextLabel = 2820,
  kEditColour = 2823,
  kEditBitmapLabel = 2828,
  kEditBrowse = 2830,
  kEditAngleBar = 2831,
  kEditAngle = 2835,
  kEditSign = 2873,
  kEditNote = 2877,
};
inline constexpr DWORD kEditHelpContext = 2048;
inline constexpr UINT kPositionStrings = 1800;   // 10 positions
inline constexpr UINT kColourStrings = 1820;     // 7 colours
inline constexpr UINT kStyleStrings = 8058;      // bold, italic, underline, stamp, frame
inline constexpr UINT kNewWatermarkString = 1880;
inline constexpr UINT kModeButtonBitmaps[3] = {2875, 2874, 2878};  // by mode button state
inline constexpr UINT kRotationCursor = 2899;
inline constexpr int kEditTextChars = 62;
inline constexpr int kEditNameChars = 64;

enum WatermarkEditMode : int32_t {
  kModeIdle = 0,
  kModeMove = 1,
  kModeResize = 2,
  kModeRotate = 3,
  kModeRotationUpdate = 4,
  kModeLoading = 5,
  kModeFontChange = 6,
};
// Picture of the mode button.
enum ModeButtonState : int32_t { kButtonRotate = 0, kButtonMove = 1, kButtonNoRotation = 2 };
enum WatermarkEditKind : int32_t { kTextKind = 0, kUserBitmapKind = 1, kFixedBitmapKind = 2 };
// Angle flags.
inline constexpr int16_t kAngleFixed = 1;        // the face cannot rotate
inline constexpr int16_t kAngleNegative = 2;
inline constexpr int16_t kAngleEditUpdating = 4;
inline constexpr int16_t kAngleBarApplying = 8;
inline constexpr int32_t kMinusZeroDegrees = -1000;
// WatermarkDialogFlags.
inline constexpr int16_t kFlagNewItem = 1;       // the name list starts with the new-watermark item
inline constexpr int16_t kFlagMirrored = 2;
inline constexpr int16_t kFlagColourFixed = 4;   // black only, colour list disabled
inline constexpr int16_t kFlagColourHidden = 8;
// Hover bits.
inline constexpr int16_t kHoverInside = 1;
inline constexpr int16_t kHoverRedraw = 2;

// A memory DC with its own bitmap selected, put back and deleted by Reset.
struct PreviewBuffer {
  UniqueDc dc;
  UniqueGdiObject bitmap;
  HGDIOBJ old = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  bool Create(HDC compatible, int32_t w, int32_t h);
  void Reset();
  ~PreviewBuffer() { Reset(); }
};

// A font height fitted into the text buffer with the text's width and height at it.
struct TextFit {
  int32_t height = 0;
  double text_width = 0;
  double text_height = 0;
};

struct WatermarkEditState {
  // What the caller handed over.
  HMODULE module = nullptr;
  int32_t user_capacity = 0;
  platform::GlobalBlock entries;  // the working copy, count x 816 bytes; none without entries
  int32_t count = 0;
  int32_t selected = -1;
  int32_t selected_at_start = 0;
  PageExtent extent{};
  PageMargins margins{};
  WatermarkHelpBlock help{};

  // The dialog's own fields.
  HMODULE resources = nullptr;   // module, or the loaded sibling module without entries
  int32_t builtin_count = 0;
  int32_t user_count = 0;
  int32_t total = 0;
  int32_t current = -1;          // entry loaded into the dialog
  int16_t density = 100;
  int16_t position_code = 0;
  int32_t mode = kModeLoading;
  PixelRect paper{};
  PixelRect printable{};
  BoxShape shape{};              // box, its unrotated size, size in percent, angle, kind and style
  char face_name[MAX_PATH] = {};
  LOGFONTA font{};
  WatermarkFontList fonts;
  char text[MAX_PATH] = {};
  Bgr colour{};
  Bgr faded{};
  double last_set_angle = 0;
  double drag_start_angle = 0;
  int32_t degrees = 0;
  int16_t angle_flags = 0;
  char bitmap_path[MAX_PATH] = {};
  char thumbnail_path[MAX_PATH] = {};
  std::array<PreviewPoint, 9> anchors{};
  bool anchors_built = false;
  UINT last_mouse = 0;
  HCURSOR cursor = nullptr;
  int32_t hit_corner = 0;
  int16_t hover = 0;
  WatermarkBox box_at_button{};
  PreviewPoint button_point{};
  int32_t button_state = kButtonMove;
  int32_t saved_button_state = kButtonMove;
  double size_at_load = 0;
  WatermarkBox box_at_load{};
  PreviewBuffer page;
  PreviewBuffer composite;
  PreviewBuffer text_buffer;     // square of side 2 x the larger preview side
  HPALETTE temporary_palette = nullptr;
  TextFit slanted_fit;
  TextFit axis_fit;
  int32_t kind = kFixedBitmapKind;
  bool rotation_possible = true;
  bool underline = false;
  bool bold = false;
  bool italic = false;
  WatermarkBitmaps bitmaps;
  bool repaint = false;
  bool raster_faces = false;
  bool list_filled = false;
  // Thumbnails written by Browse (deleted on Cancel) and those they replaced (deleted when OK
  // stores the entry): the list keeps naming files that exist whichever way the dialog ends.
  PathList browsed_thumbnails;
  PathList replaced_thumbnails;

  storage::WatermarkEntry* Entries() const { return reinterpret_cast<storage::WatermarkEntry*>(entries.data()); }
  bool Mirrored() const { return (help.flags & kFlagMirrored) != 0; }
  bool ColourFixed() const { return (help.flags & (kFlagColourFixed | kFlagColourHidden)) != 0; }
  bool IsBitmap() const { return kind != kTextKind; }
  bool Loaded() const { return current >= 0; }
  ~WatermarkEditState();
};

WatermarkEditState* EditStateOf(HWND dialog);

// ---- Entry point and procedure (watermark_edit_dialog.cpp) ----------------------------------------

// Runs dialog 2800 of the module over a copy of *count entries (null: none), editing entry
// *request (an index outside the copy counts as none). On OK the copy (count x 816 bytes of
// moveable global memory, locked; the caller frees it with GlobalBlock::FreeLocked), with
// *request and *count written back; null on Cancel, when OK keeps nothing (an empty text, no
// entries), when the dialog cannot be made, and without a module ("Couldn't Open Resource"
// over a non-null owner).
storage::WatermarkEntry* EditWatermarkDialog(HWND owner, HMODULE module, const storage::WatermarkEntry* entries,
                                             int16_t* count, int16_t* request, int16_t user_capacity,
                                             int32_t page_width, int32_t page_height, const int32_t margins[4],
                                             const void* reserved, const WatermarkHelpBlock* help);
INT_PTR CALLBACK WatermarkEditDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitWatermarkEdit(HWND dialog, WatermarkEditState* state);
// OK: true when an entry was kept (the dialog ends with 1).
bool OnEditOk(HWND dialog, WatermarkEditState* state);
void OnEditCancel(HWND dialog, WatermarkEditState* state);

// ---- Preview (watermark_edit_preview.cpp) ------------------------------------------------------

// The page, its rectangles and diagonal from the preview control's client rectangle now.
PreviewPage PreviewPageOf(HWND dialog, const WatermarkEditState& state);
void RefreshPreviewRects(HWND dialog, WatermarkEditState* state);
double Diagonal(const WatermarkEditState& state);
int32_t DibWidth16(const WatermarkEditState& state);
int32_t DibHeight(const WatermarkEditState& state);
bool CreatePreviewBuffers(HWND dialog, WatermarkEditState* state);
void ResetCompositeFromPage(WatermarkEditState* state);
void PresentPreview(HWND dialog, WatermarkEditState* state);
void DeleteTemporaryPalette(WatermarkEditState* state);
void FitWatermarkFont(HWND dialog, WatermarkEditState* state);
void UpdateTextBox(HWND dialog, WatermarkEditState* state);
// The box's corners at its centre (bitmap box from the loaded bitmap, text box rotated).
void ComputeBoxCorners(HWND dialog, WatermarkEditState* state);
const TextFit& CurrentFit(const WatermarkEditState& state);
void RenderWatermarkText(WatermarkEditState* state, int32_t text_height);
void RedrawTextWatermark(HWND dialog, WatermarkEditState* state, bool rerender);
void RedrawBitmapWatermark(HWND dialog, WatermarkEditState* state);
// Either of the two by kind, for a loaded entry.
void RedrawWatermark(HWND dialog, WatermarkEditState* state, bool rerender);
void FadeWatermarkBitmap(HWND dialog, WatermarkEditState* state);
void DrawBoxOutline(HWND dialog, WatermarkEditState* state);
// Snaps the box to the position list's cell unless it shows the free position.
void SnapToSelectedPosition(HWND dialog, WatermarkEditState* state);
// A text's extent measured at height 200 in the text buffer (for the size of a loaded entry).
SIZE MeasureTextAt200(WatermarkEditState* state);

// ---- Controls (watermark_edit_controls.cpp) ------------------------------------------------------

void ShowTextControls(HWND dialog, const WatermarkEditState& state);
void ShowFixedBitmapControls(HWND dialog, const WatermarkEditState& state);
void ShowUserBitmapControls(HWND dialog, const WatermarkEditState& state);
void DisableWatermarkControls(HWND dialog, const WatermarkEditState& state);
void CheckFontRotation(HWND dialog, WatermarkEditState* state);
void ReadStyleList(HWND dialog, WatermarkEditState* state);
void ApplySizeTrackBar(HWND dialog, WatermarkEditState* state);
void ApplyDensityTrackBar(HWND dialog, WatermarkEditState* state);
void ApplyColourChoice(HWND dialog, WatermarkEditState* state);
void ApplyAngleTrackBar(HWND dialog, WatermarkEditState* state);
void OnAngleEdit(HWND dialog, WatermarkEditState* state, int code);
void OnSignButton(HWND dialog, WatermarkEditState* state);
void OnTextChanged(HWND dialog, WatermarkEditState* state);
void OnFaceChanged(HWND dialog, WatermarkEditState* state);
void OnStyleChanged(HWND dialog, WatermarkEditState* state);
void OnNameChosen(HWND dialog, WatermarkEditState* state);
// Loads a chosen file as the new user bitmap; true when it loaded.
bool UseBrowsedBitmap(HWND dialog, WatermarkEditState* state, const char* file);
void BrowseWatermarkBitmap(HWND dialog, WatermarkEditState* state);
void DrawWatermarkDialogItem(HWND dialog, const WatermarkEditState& state, const DRAWITEMSTRUCT* item);
// Track bar 2831 for signed degrees: below -180 +540, magnitude at most 180 +180, above 180 -180.
int32_t AngleBarPosition(int32_t degrees);
// The degrees, the negative flag, edit 2835 (signed) and the track bar from the angle.
void ShowAngle(HWND dialog, WatermarkEditState* state);
// Track bar helpers: range, page size and ticks.
void SetupTrackBar(HWND dialog, int control, int lowest, int highest, int page, int tick_step);
int32_t DensityPosition(int density);
int16_t DensityOfPosition(int position);
int ColourItem(Bgr colour);
Bgr ColourOfItem(int item);
void SelectColourItem(HWND dialog, const WatermarkEditState& state);
void SelectFace(HWND dialog, WatermarkEditState* state);
void SelectStyles(HWND dialog, const WatermarkEditState& state);

// ---- Pointer (watermark_edit_pointer.cpp) ------------------------------------------------------

void OnPreviewMouseMove(HWND dialog, WatermarkEditState* state, WPARAM keys, LPARAM at);
void OnPreviewButton(HWND dialog, WatermarkEditState* state, UINT message, LPARAM at);
void OnModeButton(HWND dialog, WatermarkEditState* state);
PreviewPoint DialogToPreviewPoint(HWND dialog, PreviewPoint point);
PreviewPoint PreviewToDialogPoint(HWND dialog, PreviewPoint point);
void SetPositionFree(HWND dialog, WatermarkEditState* state);

// ---- Loading and storing (watermark_edit_entries.cpp) ----------------------------------------------

void LoadWatermarkIntoDialog(HWND dialog, WatermarkEditState* state, storage::WatermarkEntry* entries, int32_t index,
                             bool first);
void StoreEditedWatermark(HWND dialog, WatermarkEditState* state, storage::WatermarkEntry* entries, int32_t index);
// After OK stored the entry: deletes the replaced and browsed thumbnails no entry names.
void DropUnnamedThumbnails(WatermarkEditState* state);
// Every LOGFONTA field but the output precision.
void CopyLogFont(LOGFONTA* to, const LOGFONTA& from);
// The folder of the first entry's thumbnail (the Windows folder without entries).
std::string ThumbnailFolder(const WatermarkEditState& state);

}  // namespace kalimu::watermark
