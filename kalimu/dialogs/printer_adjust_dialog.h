// The printer adjustment dialog (template 2350): the head adjustment values read from the
// printer or typed from its adjustment sheet, the IWF, HT and RT values, the black-ink choice,
// the cutter switch and the platen options. The procedure only turns messages into calls on
// the routines below and on the stored values (printer_adjust_values.h).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "kalimu/dialogs/printer_adjust_values.h"
#include "kalimu/pages/page_records.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::dialogs {

// Controls of template 2350.
enum PrinterAdjustControl : int {
  kAdjustRow1Caption = 2351,
  kAdjustValuesCaption = 2352,
  kAdjustSend = 2366,
  kAdjustStatusText = 2369,
  kAdjustOk = 2370,
  kAdjustCancel = 2371,
  kAdjustHelp = 2372,
  kAdjustRow2Caption = 2376,
  kAdjustInkCaption = 2390,
  kAdjustInkList = 2391,
  kAdjustCutter = 2393,
  kAdjustMaintenance1 = 2394,
  kAdjustMaintenance2 = 2395,
  kAdjustPlaten1 = 8252,
  kAdjustPlaten2 = 8253,
  kAdjustIwfCaption = 8255,
  kAdjustHtCaption = 8263,
  kAdjustRtCaption = 8271,
  kAdjustRtField = 8272,
};
inline constexpr std::array<int, kAdjustChannelFields> kAdjustRow1Fields = {2353, 2354, 2355, 2356,
                                                                            2357, 2358, 2359, 2396};
inline constexpr std::array<int, kAdjustChannelFields - 1> kAdjustRow1Separators = {2360, 2361, 2362, 2363,
                                                                                    2364, 2365, 2398};
inline constexpr std::array<int, kAdjustChannelFields> kAdjustRow2Fields = {2377, 2378, 2379, 2380,
                                                                            2381, 2382, 2383, 2397};
inline constexpr std::array<int, kAdjustChannelFields - 1> kAdjustRow2Separators = {2384, 2385, 2386, 2387,
                                                                                    2388, 2389, 2399};
inline constexpr std::array<int, kAdjustGroupFields> kAdjustIwfFields = {8256, 8257, 8258, 8259};
inline constexpr std::array<int, kAdjustGroupFields - 1> kAdjustIwfSeparators = {8260, 8261, 8262};
inline constexpr std::array<int, kAdjustGroupFields> kAdjustHtFields = {8264, 8265, 8266, 8267};
inline constexpr std::array<int, kAdjustGroupFields - 1> kAdjustHtSeparators = {8268, 8269, 8270};

inline constexpr UINT_PTR kAdjustTimer = 3;
inline constexpr uint16_t kAdjustToolTipKind = 15;
inline constexpr DWORD kAdjustHelpTopic = 4864;

// Strings of the resource library.
enum PrinterAdjustString : UINT {
  kAdjustMatteBlackString = 3024,
  kAdjustPhotoBlackString = 3025,
  kAdjustRangeTextString = 8077,
  kAdjustRangeCaptionString = 8079,
  kAdjustWaitingString = 8080,
  kAdjustFromStoreString = 8091,
  kAdjustFromPrinterString = 8092,
};

// The help table {control, context} ended by {0, 0}; -1: no help.
inline constexpr size_t kPrinterAdjustHelpRows = 69;  // 68 controls and the closing {0, 0}
extern const std::array<DWORD, 2 * kPrinterAdjustHelpRows> kPrinterAdjustHelpTable;

// What the dialog keeps while it is open (its GWLP_USERDATA).
struct PrinterAdjustState {
  pages::PageParam* param = nullptr;
  AdjustShape shape;
  bool printer_talk = false;   // the device mode allows talking to the printer
  bool cutter = false;         // the cutter check is managed
  bool maintenance = false;    // the maintenance buttons follow the cutter check
  bool platen1 = false;
  bool platen2 = false;
  bool ending = false;         // OK or Cancel is ending the dialog: notifications change nothing
  bool checking = false;       // a field's range message is up
  ULONGLONG wait_started = 0;  // when polling for the printer's reply began
};

// Where the time of a pending refresh comes from: GetTickCount64 unless a test sets the clock.
using AdjustClock = ULONGLONG(WINAPI*)();
AdjustClock SetPrinterAdjustClock(AdjustClock clock);
ULONGLONG PrinterAdjustNow();

INT_PTR CALLBACK PrinterAdjustDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void InitPrinterAdjustDialog(HWND dialog, PrinterAdjustState* state);
void OnPrinterAdjustTimer(HWND dialog, PrinterAdjustState& state, UINT_PTR timer);
void OnPrinterAdjustCommand(HWND dialog, PrinterAdjustState& state, int control, int code);
// OK: 1 when everything was stored and the dialog may end.
int ApplyPrinterAdjustDialog(HWND dialog, PrinterAdjustState& state);

// --- Controls (printer_adjust_controls.cpp) ------------------------------------------------
// Limits the shown fields and hides those the model lacks.
void LayOutAdjustFields(HWND dialog, const AdjustShape& shape);
void DisableAdjustControlsWhileWaiting(HWND dialog, const AdjustShape& shape);
void SetAdjustControlsAfterStatus(HWND dialog, const AdjustShape& shape, int enable);
void EnableAdjustValueFields(HWND dialog, const AdjustShape& shape);
// The printer's values; false (nothing more shown) when a row's channel count is not the model's.
bool ShowPrinterAdjustValues(HWND dialog, settings::JobSettings& settings, const AdjustShape& shape,
                             status::PrinterStatus& status);
void FillAdjustFieldsFromStore(HWND dialog, settings::JobSettings& settings, const AdjustShape& shape);
// The field texts as typed (at most 3 characters each).
void ReadAdjustFieldTexts(HWND dialog, const AdjustShape& shape, AdjustFieldTexts* out);
// The field checks of OK: 0 all good, else the limit (99 or 255) of the first failing group.
uint32_t ValidateAdjustFields(const AdjustShape& shape, const AdjustFieldTexts& texts);
// The field check of one control: 0 good or not a value field, else its limit.
uint32_t CheckAdjustField(HWND dialog, int control);
void ShowAdjustRangeError(HWND dialog, const pages::PageParam& param, uint32_t limit);
void FillInkSetList(HWND dialog, const pages::PageParam& param);
// Line 0 when the printer's ink set (from `status`, else the stored one) is the model's
// default ink set, else line 1; the list enabled with `enable`.
void SelectInkSetListItem(HWND dialog, settings::JobSettings& settings, status::PrinterStatus* status, int enable);
void UpdateCutterCheck(HWND dialog, PrinterAdjustState& state, bool from_printer);

}  // namespace kalimu::dialogs
