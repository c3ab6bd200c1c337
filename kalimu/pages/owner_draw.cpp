// Owner-draw routines: combo items, separators, focus, frames, button frames and bitmaps drawn
// with a key colour.
#include <windows.h>

#include <string>
#include <vector>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"

namespace kalimu::pages {

namespace {

constexpr int kUserPaperList = 2551;  // the one list box among the owner-drawn combos

// The item's text, read whole: sized by the control's own length message.
std::string ItemText(HWND control, UINT item_id, bool list_box) {
  const LRESULT length = SendMessageA(control, list_box ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, item_id, 0);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1, 0);
  const LRESULT got = SendMessageA(control, list_box ? LB_GETTEXT : CB_GETLBTEXT, item_id,
                                   reinterpret_cast<LPARAM>(buffer.data()));
  if (got <= 0) return {};
  buffer.back() = 0;
  return std::string(buffer.data());
}

void FillWith(HDC dc, const RECT& rect, COLORREF colour) {
  UniqueGdiObject brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

}  // namespace

LRESULT DrawComboItemText(HWND dialog, const DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const bool disabled = (item->itemState & ODS_DISABLED) != 0;
  const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
  const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  const COLORREF old_text = SetTextColor(dc, text);
  const COLORREF old_back = SetBkColor(dc, back);
  const bool list_box = item->CtlID == kUserPaperList;
  HWND control = item->hwndItem != nullptr ? item->hwndItem : GetDlgItem(dialog, static_cast<int>(item->CtlID));
  const std::string label = ItemText(control, item->itemID, list_box);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int x = (LOWORD(GetDialogBaseUnits()) / 4) * 2;
  const int y = (item->rcItem.top + item->rcItem.bottom - metrics.tmHeight) / 2;
  ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &item->rcItem, label.c_str(), static_cast<UINT>(label.size()),
              nullptr);
  SetTextColor(dc, old_text);
  SetBkColor(dc, old_back);
  return SendMessageA(control, list_box ? LB_GETITEMDATA : CB_GETITEMDATA, item->itemID, 0);
}

void MeasureComboItem(HWND dialog, MEASUREITEMSTRUCT* item) {
  HWND control = GetDlgItem(dialog, static_cast<int>(item->CtlID));
  HFONT font = control != nullptr ? reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)) : nullptr;
  WindowDc dc(control != nullptr ? control : dialog);
  Selection selected(dc.get(), font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.get(), &metrics);
  item->itemHeight = static_cast<UINT>(metrics.tmHeight);
}

void DrawItemSeparator(const DRAWITEMSTRUCT* item, UINT flag) {
  UniqueGdiObject pen = MakePen(RGB(0, 0, 0), PS_DOT);
  const int row = LOWORD(flag) != 0 ? item->rcItem.bottom - 1 : item->rcItem.top;
  DrawLine(item->hDC, pen.get(), 0, row, item->rcItem.right, row);
}

void DrawItemFocus(const DRAWITEMSTRUCT* item) {
  if (!(item->itemState & ODS_FOCUS)) return;
  RECT rect = item->rcItem;
  InflateRect(&rect, -4, -4);
  DrawFocusRect(item->hDC, &rect);
}

void DrawItemFrame(const DRAWITEMSTRUCT* item, COLORREF background, BOOL flag) {
  HDC dc = item->hDC;
  const RECT& r = item->rcItem;
  SetBkColor(dc, background);
  UniqueGdiObject black = MakePen(RGB(0, 0, 0));
  UniqueGdiObject grey = MakePen(RGB(128, 128, 128));
  UniqueGdiObject face = MakePen(GetSysColor(COLOR_BTNFACE));
  UniqueGdiObject white = MakePen(RGB(255, 255, 255));
  DrawLine(dc, grey.get(), 0, r.top, 0, r.bottom);             // column 0
  DrawLine(dc, grey.get(), 2, r.top, r.right, r.top);          // top row
  DrawLine(dc, black.get(), 1, r.top + 1, 1, r.bottom - 1);    // column 1
  DrawLine(dc, black.get(), 2, r.top + 1, r.right, r.top + 1); // row top + 1
  DrawLine(dc, face.get(), r.right - 1, r.top + 2, r.right - 1, r.bottom - 2);
  DrawLine(dc, face.get(), r.right - 2, r.top + 2, r.right - 2, r.bottom - 2);
  DrawLine(dc, face.get(), 2, r.bottom, r.right, r.bottom);    // bottom row
  DrawLine(dc, white.get(), 2, r.bottom - 1, r.right, r.bottom - 1);
  if (flag) DrawLine(dc, face.get(), 2, r.bottom - 2, r.right, r.bottom - 2);
}

namespace {

// Lines of a button frame, `inset` pixels inside the item rectangle.
void FrameTopLeft(HDC dc, const RECT& r, int inset, int colour_index) {
  UniqueGdiObject pen = MakePen(GetSysColor(colour_index));
  Selection selected(dc, pen.get());
  MoveToEx(dc, r.left + inset, r.bottom - 1 - inset, nullptr);
  LineTo(dc, r.left + inset, r.top + inset);
  LineTo(dc, r.right - inset, r.top + inset);
}

void FrameBottomRight(HDC dc, const RECT& r, int inset, int colour_index) {
  UniqueGdiObject pen = MakePen(GetSysColor(colour_index));
  Selection selected(dc, pen.get());
  MoveToEx(dc, r.left + inset, r.bottom - 1 - inset, nullptr);
  LineTo(dc, r.right - 1 - inset, r.bottom - 1 - inset);
  LineTo(dc, r.right - 1 - inset, r.top + inset - 1);
}

}  // namespace

void DrawButtonFramePressed(const DRAWITEMSTRUCT* item) {
  FrameTopLeft(item->hDC, item->rcItem, 0, COLOR_3DDKSHADOW);
  FrameBottomRight(item->hDC, item->rcItem, 0, COLOR_3DDKSHADOW);
  FrameTopLeft(item->hDC, item->rcItem, 1, COLOR_BTNSHADOW);
  FrameBottomRight(item->hDC, item->rcItem, 1, COLOR_BTNSHADOW);
}

void DrawButtonFrameFocused(const DRAWITEMSTRUCT* item) {
  FrameTopLeft(item->hDC, item->rcItem, 0, COLOR_3DDKSHADOW);
  FrameBottomRight(item->hDC, item->rcItem, 0, COLOR_3DDKSHADOW);
  FrameBottomRight(item->hDC, item->rcItem, 1, COLOR_3DDKSHADOW);
  FrameBottomRight(item->hDC, item->rcItem, 2, COLOR_BTNSHADOW);
  FrameTopLeft(item->hDC, item->rcItem, 1, COLOR_BTNHIGHLIGHT);
  FrameTopLeft(item->hDC, item->rcItem, 2, COLOR_3DLIGHT);
}

void DrawButtonFrameRaised(const DRAWITEMSTRUCT* item) {
  FrameBottomRight(item->hDC, item->rcItem, 0, COLOR_3DDKSHADOW);
  FrameBottomRight(item->hDC, item->rcItem, 1, COLOR_BTNSHADOW);
  FrameTopLeft(item->hDC, item->rcItem, 0, COLOR_BTNHIGHLIGHT);
  FrameTopLeft(item->hDC, item->rcItem, 1, COLOR_3DLIGHT);
}

void BlitTransparent(HDC destination, int x, int y, HDC source, int width, int height, COLORREF key) {
  POINT size{width, height};
  DPtoLP(source, &size, 1);
  SetMapMode(source, GetMapMode(destination));
  const int w = size.x;
  const int h = size.y;

  // A saved copy of the source, a monochrome mask (key pixels 1) and its inverse, a work copy.
  UniqueMemoryDc save_dc(CreateCompatibleDC(destination));
  UniqueMemoryDc mask_dc(CreateCompatibleDC(destination));
  UniqueMemoryDc inverse_dc(CreateCompatibleDC(destination));
  UniqueMemoryDc work_dc(CreateCompatibleDC(destination));
  UniqueGdiObject save(CreateCompatibleBitmap(destination, w, h));
  UniqueGdiObject mask(CreateBitmap(w, h, 1, 1, nullptr));
  UniqueGdiObject inverse(CreateBitmap(w, h, 1, 1, nullptr));
  UniqueGdiObject work(CreateCompatibleBitmap(destination, w, h));
  if (!save_dc || !mask_dc || !inverse_dc || !work_dc || !save || !mask || !inverse || !work) return;
  Selection s1(save_dc.get(), save.get());
  Selection s2(mask_dc.get(), mask.get());
  Selection s3(inverse_dc.get(), inverse.get());
  Selection s4(work_dc.get(), work.get());
  SetMapMode(save_dc.get(), GetMapMode(source));
  BitBlt(save_dc.get(), 0, 0, w, h, source, 0, 0, SRCCOPY);

  const COLORREF old_back = SetBkColor(source, key);
  BitBlt(mask_dc.get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
  SetBkColor(source, old_back);
  BitBlt(inverse_dc.get(), 0, 0, w, h, mask_dc.get(), 0, 0, NOTSRCCOPY);

  // Colour blits from a monochrome mask use the text (0) and background (1) colours.
  const COLORREF dest_text = SetTextColor(destination, RGB(0, 0, 0));
  const COLORREF dest_back = SetBkColor(destination, RGB(255, 255, 255));
  SetTextColor(work_dc.get(), RGB(0, 0, 0));
  SetBkColor(work_dc.get(), RGB(255, 255, 255));
  SetTextColor(source, RGB(0, 0, 0));
  SetBkColor(source, RGB(255, 255, 255));
  BitBlt(work_dc.get(), 0, 0, w, h, destination, x, y, SRCCOPY);
  BitBlt(work_dc.get(), 0, 0, w, h, mask_dc.get(), 0, 0, SRCAND);
  BitBlt(source, 0, 0, w, h, inverse_dc.get(), 0, 0, SRCAND);
  BitBlt(work_dc.get(), 0, 0, w, h, source, 0, 0, SRCPAINT);
  BitBlt(destination, x, y, w, h, work_dc.get(), 0, 0, SRCCOPY);
  BitBlt(source, 0, 0, w, h, save_dc.get(), 0, 0, SRCCOPY);
  SetTextColor(destination, dest_text);
  SetBkColor(destination, dest_back);
  SetBkColor(source, old_back);
}

namespace {

enum class Place { kCentre, kLeft, kRight };

void PlaceBitmap(const DRAWITEMSTRUCT* item, HBITMAP bitmap, COLORREF key, Place place) {
  if (bitmap == nullptr) return;
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof(info), &info) == 0) return;
  const int width = item->rcItem.right - item->rcItem.left;
  const int height = item->rcItem.bottom - item->rcItem.top;
  int x = (width - info.bmWidth) / 2;
  if (place == Place::kLeft) x = 0;
  if (place == Place::kRight) x = width - info.bmWidth;
  const int y = (height - info.bmHeight) / 2;
  UniqueMemoryDc source(CreateCompatibleDC(item->hDC));
  if (!source) return;
  Selection selected(source.get(), bitmap);
  BlitTransparent(item->hDC, x, y, source.get(), info.bmWidth, info.bmHeight, key);
}

}  // namespace

void DrawItemBitmap(const DRAWITEMSTRUCT* item, HBITMAP bitmap, COLORREF key) {
  PlaceBitmap(item, bitmap, key, Place::kCentre);
}
void DrawItemBitmapFixedKey(const DRAWITEMSTRUCT* item, HBITMAP bitmap) {
  PlaceBitmap(item, bitmap, kFixedKey, Place::kCentre);
}
void DrawItemBitmapLeft(const DRAWITEMSTRUCT* item, HBITMAP bitmap) {
  PlaceBitmap(item, bitmap, kPictureKey, Place::kLeft);
}
void DrawItemBitmapRight(const DRAWITEMSTRUCT* item, HBITMAP bitmap) {
  PlaceBitmap(item, bitmap, kFixedKey, Place::kRight);
}

void DrawBitmapButton(const DRAWITEMSTRUCT* item, HBITMAP bitmap, POINT* at, COLORREF key) {
  if (bitmap == nullptr) return;
  RECT face = item->rcItem;
  face.right += 1;
  face.bottom += 1;
  FillWith(item->hDC, face, GetSysColor(COLOR_BTNFACE));
  const bool pressed = (item->itemState & ODS_SELECTED) != 0;
  if (pressed) {
    DrawButtonFramePressed(item);
  } else if (item->itemState & ODS_FOCUS) {
    DrawButtonFrameFocused(item);
  } else {
    DrawButtonFrameRaised(item);
  }
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof(info), &info) == 0) return;
  const int height = item->rcItem.bottom - item->rcItem.top;
  int x = 5;
  int y = (height - info.bmHeight) / 2;
  if (pressed) {
    ++x;
    ++y;
  }
  if (at != nullptr) *at = POINT{x, y};
  UniqueMemoryDc source(CreateCompatibleDC(item->hDC));
  if (!source) return;
  Selection selected(source.get(), bitmap);
  BlitTransparent(item->hDC, x, y, source.get(), info.bmWidth, info.bmHeight, key);
}

}  // namespace kalimu::pages
