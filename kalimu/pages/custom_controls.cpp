// Registration of the custom window classes and their shared off-screen paint.
#include "kalimu/pages/custom_controls.h"

#include <cstring>

#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/ink_meter.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::pages {

namespace {

void RegisterOne(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 40;
  wc.hInstance = instance;
  wc.hIcon = nullptr;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

}  // namespace

int RegisterCustomControls(HINSTANCE instance) {
  RegisterOne(instance, kInkMeterClass, InkMeterWndProc);
  RegisterOne(instance, kTrackBarClass, TrackBarWndProc);
  return 1;
}

void UnregisterCustomControls(HINSTANCE instance) {
  UnregisterClassA(kInkMeterClass, instance);
  UnregisterClassA(kTrackBarClass, instance);
}

void PaintCustomControl(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  WindowDc window_dc(window);
  if (window_dc.get() == nullptr) return;
  UniqueMemoryDc memory(CreateCompatibleDC(window_dc.get()));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(window_dc.get(), client.right, client.bottom));
  if (!memory || !bitmap) return;
  Selection selected_bitmap(memory.get(), bitmap.get());
  {
    UniqueGdiObject brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    UniqueGdiObject pen = MakePen(GetSysColor(COLOR_BTNFACE));
    Selection selected_brush(memory.get(), brush.get());
    Selection selected_pen(memory.get(), pen.get());
    Rectangle(memory.get(), client.left, client.top, client.right + 1, client.bottom + 1);
  }
  char name[20] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::strcmp(name, kTrackBarClass) == 0) {
    if (TrackBarState* state = TrackBarStateOf(window)) DrawTrackBar(window, *state, memory.get());
    BitBlt(window_dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    return;
  }
  InkMeterState* state = InkMeterStateOf(window);
  if (state != nullptr) DrawInkMeter(window, state, memory.get());
  PaletteSelection palette(window_dc.get(), state != nullptr ? state->palette : nullptr, TRUE);
  BitBlt(window_dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void PaintCustomControlMessage(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  PaintCustomControl(window);
  EndPaint(window, &paint);
}

}  // namespace kalimu::pages
