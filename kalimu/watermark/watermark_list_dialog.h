// The watermark list dialog: the user's own watermarks listed, added from a name and a text or
// a BMP file, replaced and deleted, on a private copy of the entries that is handed back only
// when the user confirms. Files made on the way are deleted again on Cancel; files that
// replaced or deleted entries no longer need are deleted on OK.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "kalimu/storage/watermark_records.h"
#include "kalimu/watermark/watermark_list_state.h"

namespace kalimu::watermark {

// Runs dialog 2900 of the resource module over a copy of count entries (null: none). On OK,
// *selection and *count take the dialog's selection and count and the new array (count x 816
// bytes of moveable global memory, locked; the caller frees it with GlobalBlock::FreeLocked)
// is the result; null on Cancel, when the dialog could not be made, when every entry was
// deleted (the list stays as it was, files included) and without a resource module ("Couldn't
// Open Resource" over a non-null owner).
storage::WatermarkEntry* ManageWatermarksDialog(HWND owner, HMODULE module, const storage::WatermarkEntry* entries,
                                                int16_t* count, int16_t* selection, int16_t user_capacity,
                                                int32_t page_width, int32_t page_height, const int32_t margins[4],
                                                const void* reserved, const WatermarkHelpBlock* help);

INT_PTR CALLBACK WatermarkListDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The dialog's operations, each what one control or button does; tests call them too.
void InitWatermarkList(HWND dialog, WatermarkListState* state);
void FillWatermarkList(HWND dialog, const WatermarkListState& state);
void ShowListTextMode(HWND dialog, const WatermarkListState& state, int32_t index);
void ShowListBitmapMode(HWND dialog, const WatermarkListState& state, int32_t index);
void ResetListControls(HWND dialog, const WatermarkListState& state);
void OnListSelection(HWND dialog, WatermarkListState* state);
void OnNameChanged(HWND dialog, WatermarkListState* state);
void OnContentChanged(HWND dialog, WatermarkListState* state);
void OnListEditFocus(HWND dialog, WatermarkListState* state, int control, bool gained);
int AddOrReplaceWatermark(HWND dialog, WatermarkListState* state);
void OnAddOrReplace(HWND dialog, WatermarkListState* state);
void OnDeleteWatermark(HWND dialog, WatermarkListState* state);
// OK and button 2909: true when the dialog ended.
bool OnConfirmList(HWND dialog, WatermarkListState* state);
void OnCancelList(HWND dialog, WatermarkListState* state);
// The common open dialog for a BMP file; its path goes into the content edit. True when chosen.
bool BrowseForBitmap(HWND dialog, const WatermarkListState& state);
// The common open dialog for a BMP file (filter and title strings of the resource library):
// its path in file (size bytes). True when one was chosen.
bool ChooseBitmapFile(HWND owner, HMODULE module, char* file, size_t size);

// Text of a dialog control, whole.
std::string ControlText(HWND dialog, int control);
// Entry index (item data) of the selected name, or -1.
int32_t SelectedEntry(HWND dialog);

}  // namespace kalimu::watermark
