// Owners of the GDI objects the controls and drawing helpers create for one paint: each object is
// deleted, each device context released and each selection undone by its owner's destructor.
#pragma once

#include <windows.h>

#include <utility>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::pages {

// Pens, brushes, bitmaps, fonts, palettes, regions: DeleteObject.
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static HGDIOBJ Empty() { return nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
// Memory device contexts of CreateCompatibleDC: DeleteDC.
struct MemoryDcTraits {
  using Handle = HDC;
  static HDC Empty() { return nullptr; }
  static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueGdiObject = platform::UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = platform::UniqueHandle<MemoryDcTraits>;

// A window's device context from GetDC, released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// One object selected into a device context; the previous object is selected back at the end.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A palette selected into a device context (as foreground or background palette) and realized;
// the previous palette goes back at the end.
class PaletteSelection {
 public:
  PaletteSelection(HDC dc, HPALETTE palette, BOOL background)
      : dc_(dc), old_(palette != nullptr ? SelectPalette(dc, palette, background) : nullptr) {
    if (palette != nullptr) RealizePalette(dc);
  }
  ~PaletteSelection() {
    if (old_ != nullptr) SelectPalette(dc_, old_, TRUE);
  }
  PaletteSelection(const PaletteSelection&) = delete;
  PaletteSelection& operator=(const PaletteSelection&) = delete;

 private:
  HDC dc_;
  HPALETTE old_;
};

// A solid one-pixel pen.
inline UniqueGdiObject MakePen(COLORREF colour, int style = PS_SOLID) {
  return UniqueGdiObject(CreatePen(style, 1, colour));
}

// A line from (x0, y0) to (x1, y1) in the given pen; like LineTo, its end pixel is not drawn.
inline void DrawLine(HDC dc, HGDIOBJ pen, int x0, int y0, int x1, int y1) {
  Selection selected(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace kalimu::pages
