// The user paper size dialog (template 2550): the job's custom paper size and the named user
// paper sizes of the user-settings store, edited in 0.1 mm or 1/100 inch inside the limits of the
// current paper source. The paper page opens it; it ends with -1 for the custom size (and on
// Cancel), else with the list position of the chosen user paper (1 + its store index).
//
// The dialog procedure only turns messages into the calls below, which tests make too.
//   user_paper_sizes.cpp   limits, range texts, unit conversion, source masks, paper ids
//   user_paper_dialog.cpp  the dialog's controls, commands and drawing
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_records.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {

using pages::PageParam;
using settings::JobSettings;

// Controls of template 2550.
enum UserPaperControl : int {
  kUserPaperDialog = 2550,
  kUserPaperList = 2551,
  kUserPaperName = 2552,
  kUserPaperSave = 2553,
  kUserPaperDelete = 2554,
  kUserPaperLength = 2555,
  kUserPaperWidth = 2556,
  kUserPaperWidthSpin = 2557,
  kUserPaperLengthSpin = 2558,
  kUserPaperMetric = 2559,
  kUserPaperInch = 2560,
  kUserPaperWidthRange = 2561,
  kUserPaperLengthRange = 2562,
  kUserPaperNotice = 2563,
  kUserPaperHelp = 2569,
};

inline constexpr int kUserPaperNameBytes = 24;  // longest name the edit keeps
inline constexpr int kUserPaperIdBase = 768;    // user paper ids: 768 and up
inline constexpr int kNewSizeText = 256;        // string of list item 0 (also paper 256's name)
inline constexpr int kUnitMetric = 1;           // 0.1 mm
inline constexpr int kUnitInch = 2;             // 1/100 inch
inline constexpr COLORREF kUnusableText = RGB(0xD2, 0xD2, 0xD2);

// ---- Sizes (user_paper_sizes.cpp) --------------------------------------------------------------

struct SizeLimits {
  int32_t min_width;
  int32_t max_width;
  int32_t min_length;
  int32_t max_length;
};

// The limits of the current paper source in the current custom-size unit.
SizeLimits CurrentSizeLimits(JobSettings& settings);
// Below the minimum: the minimum; above the maximum: the maximum.
int32_t ClampSize(int32_t value, int32_t minimum, int32_t maximum);
// "[" minimum " ... " maximum "]", both right-aligned to 5 characters (longer ones not cut).
void FormatSizeRange(int32_t minimum, int32_t maximum, char* out, size_t size);
// A value in the other unit: to 0.1 mm (v * 254 + 50) / 100, to 1/100 inch (v * 100 + 127) / 254.
int32_t ConvertSizeUnit(int32_t value, int to_unit);
// The source mask of a size in `unit`: for every paper source i of the model, bits 2i and 2i+1
// set when the size lies inside that source's limits, else cleared; the result is ANDed with the
// source mask of the model's user-defined paper (id 256) when the model has one. The current
// custom-size unit is `unit` afterwards.
uint32_t UserPaperSourceMask(JobSettings& settings, int unit, int32_t width, int32_t length, uint32_t old_mask);
// The id of a new user paper at store index `index`: 768 + index, raised by one until no other
// user paper in use has it.
int16_t ChooseUserPaperId(JobSettings& settings, uint16_t index);
// The store index of the user paper named exactly `name`, or -1.
int FindUserPaper(JobSettings& settings, const char* name);
// 1 when `name` with its trailing blanks cut is the display name of a paper of the model.
int IsModelPaperName(const PageParam& param, const char* name);

// ---- The dialog (user_paper_dialog.cpp) -------------------------------------------------------

INT_PTR CALLBACK UserPaperSizeDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void InitUserPaperDialog(HWND dialog, PageParam& param);
// The name check: 1 when the name in the edit may be saved (buttons and selection follow it).
int CheckUserPaperName(HWND dialog, const PageParam& param);
void OnUserPaperNameChange(HWND dialog, PageParam& param);
void OnUserPaperSizeChange(HWND dialog, PageParam& param);
void OnUserPaperSizeKillFocus(HWND dialog, PageParam& param, int edit_id);
void OnUserPaperSpin(HWND dialog, PageParam& param, int spin_id, int code);
void OnUserPaperUnit(HWND dialog, PageParam& param, int radio_id);
void OnUserPaperSelect(HWND dialog, PageParam& param);
void SaveUserPaper(HWND dialog, PageParam& param);
void DeleteUserPaper(HWND dialog, PageParam& param);
// OK: 1 when the dialog ended, 0 when a size was corrected and the dialog stays open.
int ConfirmUserPaper(HWND dialog, PageParam& param);
void CancelUserPaper(HWND dialog, PageParam& param);
void DrawUserPaperItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item);

}  // namespace kalimu::dialogs
