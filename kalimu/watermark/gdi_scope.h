// Scoped GDI objects of the watermark editor: memory DCs, window DCs, objects and selections,
// each released by its owner.
#pragma once

#include <windows.h>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::watermark {

struct DcTraits {
  using Handle = HDC;
  static HDC Empty() { return nullptr; }
  static void Close(HDC dc) { DeleteDC(dc); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static HGDIOBJ Empty() { return nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
using UniqueDc = platform::UniqueHandle<DcTraits>;
using UniqueGdiObject = platform::UniqueHandle<GdiObjectTraits>;

// The DC of a window (the screen for null), released at the end of the scope.
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

// Selects an object into a DC for the life of the scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~Selected() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace kalimu::watermark
