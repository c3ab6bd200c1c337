// Two small choosers of the paper page:
// - the source paper size dialog (template 2250): the output paper the job is scaled onto when
//   the chosen paper size does not fit the paper source (1 on OK, 0 on Cancel: the page then
//   goes back to its previous paper size);
// - the paper width dialog (template 2270): the roll width, one record of the model's LFP table.
#pragma once

#include <windows.h>

#include "kalimu/pages/page_records.h"

namespace kalimu::dialogs {

using pages::PageParam;

enum SourcePaperControl : int {
  kSourcePaperDialog = 2250,
  kSourcePaperText = 2251,
  kSourcePaperCombo = 2252,
  kPaperWidthDialog = 2270,
  kPaperWidthCombo = 2272,
};

INT_PTR CALLBACK SourcePaperSizeDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitSourcePaperDialog(HWND dialog, PageParam& param);
void OnSourcePaperSelect(HWND dialog, PageParam& param);
void ConfirmSourcePaper(HWND dialog, PageParam& param);
void CancelSourcePaper(HWND dialog, PageParam& param);
void DrawSourcePaperItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item);

INT_PTR CALLBACK PaperWidthDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void InitPaperWidthDialog(HWND dialog, PageParam& param);

}  // namespace kalimu::dialogs
