// The two custom window classes of the pages and dialogs ("KVInkMeterLIB", "KVTrackBarLIB"):
// their registration under the resource library's instance, so that its templates can create
// them, and the off-screen paint routine both share.
#pragma once

#include <windows.h>

namespace kalimu::pages {

// Registers both classes for the instance; 1 whatever the registrations answer.
int RegisterCustomControls(HINSTANCE instance);
// Removes both classes of the instance (before the library is freed).
void UnregisterCustomControls(HINSTANCE instance);

// Paints a custom control off screen: a memory context and bitmap of the client size filled with
// the button face, the control's picture, one copy to the window.
void PaintCustomControl(HWND window);
// WM_PAINT of a custom control: validates the update region and paints the whole control.
void PaintCustomControlMessage(HWND window);

}  // namespace kalimu::pages
