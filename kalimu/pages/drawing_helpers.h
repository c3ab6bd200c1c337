// Stateless helpers the pages, the device page and the settings dialogs share: owner-draw
// routines (combo items, separators, frames, buttons, bitmaps with a key colour), text fitting
// with an ellipsis, readers of packed device-independent bitmaps and their palettes, the print-
// quality and watermark combos, the colour-adjustment items and the corrected sample picture.
// Every GDI object a routine creates is deleted before it returns.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/imaging/image_records.h"
#include "kalimu/pages/page_records.h"

namespace kalimu::pages {

// ---- Owner-draw and text -------------------------------------------------------------------------

// Draws a combo (or list box 2551) item's text in the colours of its state; answers the item's
// data. The text is read whole, however long it is.
LRESULT DrawComboItemText(HWND dialog, const DRAWITEMSTRUCT* item);
// Item height = the control's font height (the system font when it has none).
void MeasureComboItem(HWND dialog, MEASUREITEMSTRUCT* item);
// A dotted black line on the item's top row, or on its bottom row when the flag's low word is set.
void DrawItemSeparator(const DRAWITEMSTRUCT* item, UINT flag);
// The focus rectangle, inset by 4, when the item has the focus.
void DrawItemFocus(const DRAWITEMSTRUCT* item);
// Sets the background colour and draws a sunken frame around the item.
void DrawItemFrame(const DRAWITEMSTRUCT* item, COLORREF background, BOOL flag);
// Cuts the text from its end (double-byte characters kept whole) and appends "..." until it fits
// the control's client width less the font's widest character; 1. When even "..." is too wide
// the text becomes "..." (or as much of it as the buffer holds).
int FitTextWithEllipsis(HWND dialog, HDC dc, char* text, size_t size, int control_id);

void DrawButtonFramePressed(const DRAWITEMSTRUCT* item);
void DrawButtonFrameFocused(const DRAWITEMSTRUCT* item);
void DrawButtonFrameRaised(const DRAWITEMSTRUCT* item);

// Copies a bitmap so that the pixels of the key colour leave the destination unchanged.
void BlitTransparent(HDC destination, int x, int y, HDC source, int width, int height, COLORREF key);
void DrawItemBitmap(const DRAWITEMSTRUCT* item, HBITMAP bitmap, COLORREF key);
void DrawItemBitmapFixedKey(const DRAWITEMSTRUCT* item, HBITMAP bitmap);  // key (198, 195, 198)
void DrawItemBitmapLeft(const DRAWITEMSTRUCT* item, HBITMAP bitmap);      // key (192, 192, 192)
void DrawItemBitmapRight(const DRAWITEMSTRUCT* item, HBITMAP bitmap);     // key (198, 195, 198)
// Button face, the frame of the item's state and the bitmap at x = 5 (one pixel further while
// pressed); the bitmap's position goes to `at` when given.
void DrawBitmapButton(const DRAWITEMSTRUCT* item, HBITMAP bitmap, POINT* at, COLORREF key);

inline constexpr COLORREF kPictureKey = RGB(192, 192, 192);
inline constexpr COLORREF kFixedKey = RGB(198, 195, 198);

// ---- Packed device-independent bitmaps -----------------------------------------------------------

// A packed DIB (header, masks or colour table, pixels) and the bytes it may use. The readers
// answer 0 (or null) for bytes too short for what they read, or a header that is neither the
// 12-byte core header nor an information header of 40 bytes or more.
struct PackedDib {
  const void* data;
  size_t size;
};

uint32_t GetDibHeaderSize(PackedDib dib);
int32_t GetDibWidth(PackedDib dib);
int32_t GetDibHeight(PackedDib dib);
uint32_t GetDibColorCount(PackedDib dib);
uint32_t GetDibColorTableSize(PackedDib dib);
// Address of the pixels: header + header size + colour table; null when that lies beyond the bytes.
const uint8_t* GetDibBitsPointer(PackedDib dib);
// A palette from the colour table; the 256-entry 3-3-2 cube for 16 bits and deeper without
// one; null for a core header, a damaged one or a colour table beyond the bytes.
HPALETTE CreateDibPalette(PackedDib dib);

// ---- Page and dialog fillers ---------------------------------------------------------------------

// Fills the print-quality combo from the current print mode's quality mask and selects the
// current level (flag 1 on the main page: levels 0 and 5 never listed).
void FillPrintQualityCombo(HWND dialog, PageParam* param, int combo_id, int flag);
// Combo 2422: "(none)" (string 1880, data -1) and every watermark entry; 1.
int FillWatermarkCombo(HWND dialog, PageParam* param);

// One colour-adjustment item: its edit-state word, the value shown, its sign box and slider.
struct ColorAdjustItem {
  uint16_t edit_state;
  int32_t value;
  int sign_box;
  int slider;
};
// Zeros for a control id that is no colour-adjustment edit or sign box (and 0 as result).
int GetColorAdjustItem(PageParam* param, int control_id, ColorAdjustItem* item);
void SetColorAdjustState(PageParam* param, int control_id, uint16_t edit_state);
// Writes a shown value back into the item's adjustment (negated where the item shows it negated).
void SetColorAdjustValue(PageParam* param, int control_id, int32_t value);
// Sign character and background of a sign box: 1 (COLOR_WINDOW) when the item is active and the
// sheet allows changes, else 0 (COLOR_BTNFACE); the previous background goes to old_background.
int PrepareAdjustSignItem(const DRAWITEMSTRUCT* item, PageParam* param, COLORREF* old_background, char* sign);

void GetCorrectionSettings(PageParam* param, imaging::CorrectionSettings* settings);
// The resource picture `bitmap_id` corrected with the job's photo-correction settings, as a
// device-dependent bitmap of the device context (the caller deletes it); 1, or 0 with the out
// bitmap untouched when the picture is missing or not a 24-bit BI_RGB picture.
int RenderCorrectedSample(int bitmap_id, PageParam* param, HBITMAP* bitmap, HDC dc);

}  // namespace kalimu::pages
