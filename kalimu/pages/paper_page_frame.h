// What the paper page, the layout page and the binding margin dialog need of the sheet around
// them: change notification, the device-mode snapshots, the version label, the status refresh,
// reading a number from an edit, and the help-id tables of these windows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages::paper_layout {

// Reports a change to the sheet window when one is recorded (PSM_CHANGED); 1 when sent.
int MarkChanged(HWND page, const PageParam& param);

// A 1048-byte moveable global copy of the settings' device mode into *slot (nothing when one is
// there already or none can be had); true when *slot holds a copy afterwards.
bool TakeSnapshot(const PageParam& param, settings::DriverDevMode** slot);
// Copies the snapshot back over the device mode (nothing without one).
void RestoreSnapshot(const PageParam& param, const settings::DriverDevMode* snapshot);
// Unlocks and frees the snapshot and clears *slot.
void FreeSnapshot(settings::DriverDevMode** slot);

// Apply of a page (after its own commits): the applied state becomes the sheet snapshot, the
// device mode goes to the sheet's record, the result is reported with the page's own handle,
// PSNRET_NOERROR is answered and the page resources are released.
void ApplyPage(HWND page, const PageParam& param, driver::SheetPage which);
// Reset: the snapshot back over the settings, then the page resources released.
void ResetPage(const PageParam& param);
// Frees the picture buffers, the snapshots and the palette, and unhooks this thread's page tooltips.
void ReleaseSheetResources(const PageParam& param);

// String 8064, a blank and the driver version text, into the control.
void ShowVersionText(HWND control, const PageParam& param);

// Asks the printer once for fresh status and ignores the answer.
void RequestStatusRefresh(const PageParam& param);

// The edit's text read as a signed decimal number (leading blanks and a sign allowed, reading
// stops at the first other character); 0 for an empty text.
int32_t ReadEditNumber(HWND dialog, int control);
void WriteEditNumber(HWND dialog, int control, int32_t value);

// Help-id tables: {control, help context} pairs ended by {0, 0}; -1 marks a control without help.
struct HelpIdPair {
  uint32_t control;
  uint32_t context;
};
extern const HelpIdPair kPaperPageHelpIds[];
extern const HelpIdPair kLayoutPageHelpIds[];
extern const HelpIdPair kBindingMarginHelpIds[];

// WinHelpA with the help file of the settings and the table (never called by tests).
void ShowTableHelp(HWND dialog, HWND help_window, UINT command, const HelpIdPair* table);
void ShowContextTopic(HWND window, const PageParam& param, DWORD context);

}  // namespace kalimu::pages::paper_layout
