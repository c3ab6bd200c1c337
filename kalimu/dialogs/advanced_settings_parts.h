// The advanced settings dialog's routines, shared between its source files. Each takes the
// dialog and its PageParam; none keeps state of its own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/dialogs/advanced_settings_dialog.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs::advanced {

using settings::JobSettings;

// Model header word 24 flag of the monochrome-photo (toning) capability.
inline constexpr uint32_t kToningCapability = 0x8000;
// The mode-variant combo (filled and selected by the main page's helpers).
inline constexpr int kAdvancedVariantCombo = 8120;
// Model header word 20 flag that hides the quality combo.
inline constexpr uint32_t kNoQualityCombo = 0x8000000;

bool HasToning(JobSettings& settings);
// Clears the user-entry words: the dialog's values no longer are a loaded user-settings entry.
void ClearUserEntry(const PageParam& param);
void Repaint(HWND dialog, int control_id, bool erase = true);
void ShowItem(HWND dialog, int control_id, bool show);
void EnableItem(HWND dialog, int control_id, bool enable);
void CheckItem(HWND dialog, int control_id, bool checked);
bool IsChecked(HWND dialog, int control_id);
// The item data of a combo's selection; false when nothing is selected.
bool SelectedData(HWND dialog, int combo_id, LPARAM* data);
void SendTrackBar(HWND dialog, int control_id, WPARAM command, LPARAM argument);

// ---- Frame (advanced_settings_dialog.cpp) ----
void ApplyAdvancedWidthRule(HWND dialog, const PageParam& param);
void ShowColorModeLayout(HWND dialog, const PageParam& param);
void ShowCorrectionGroup(HWND dialog, const PageParam& param, int show);
void EnableColorAdjustRows(HWND dialog, const PageParam& param, int rows_case);

// ---- Colour-adjust rows (advanced_settings_adjust.cpp) ----
// A 0..50 custom track bar at the position, its centre marked.
void InitAdjustSlider(HWND dialog, const PageParam& param, int slider, int32_t position);
void InitColorAdjustRows(HWND dialog, const PageParam& param);
void ShowColorAdjustRowValues(HWND dialog, const PageParam& param);
void OnColorAdjustEdit(HWND dialog, const PageParam& param, int control_id, int code);
void OnColorAdjustSignClick(HWND dialog, const PageParam& param, int control_id);
void OnColorAdjustSlider(HWND dialog, const PageParam& param, int row);
// The shown value of an adjust edit or sign box (the marker stays the marker), and the write.
int32_t ShownAdjustValue(const PageParam& param, int control_id);
void StoreShownAdjustValue(const PageParam& param, int control_id, int32_t value);

// ---- Print-mode controls (advanced_settings_print_mode.cpp) ----
void FillRenderMethodCombo(HWND dialog, const PageParam& param);
void ApplyColorModeAllowance(HWND dialog, const PageParam& param, bool with_changes);
void FillRenderOptionCombo(HWND dialog, const PageParam& param, uint32_t flags);
void UpdateOptionCheck2154(HWND dialog, const PageParam& param);
void UpdateModeOptionChecks(HWND dialog, const PageParam& param, int fill_case);
void CheckColorModeRadio(HWND dialog, const PageParam& param);
bool OnPrintModeCommand(HWND dialog, const PageParam& param, int control_id, int code);

// ---- Colour management (advanced_settings_management.cpp) ----
void UpdateColorManagementGroup(HWND dialog, const PageParam& param);
bool OnColorManagementCommand(HWND dialog, const PageParam& param, int control_id, int code);

// ---- Monochrome toning (advanced_settings_toning.cpp) ----
void ShowToningGroup(HWND dialog, const PageParam& param, bool show);
void InitToningControls(HWND dialog, const PageParam& param);
// The preset label and combo: shown in colour mode 7 with the stored preset selected (the custom
// item is listed only while it is the stored preset).
void ShowTonePresetGroup(HWND dialog, const PageParam& param);
void ShowToningValues(HWND dialog, const PageParam& param);
bool OnToningCommand(HWND dialog, const PageParam& param, int control_id, int code);
void OnToningSlider(HWND dialog, const PageParam& param, int row);
void OnToningSpin(HWND dialog, const PageParam& param, int spin_id, int code);
void OnToningCircleClick(HWND dialog, const PageParam& param, POINT client);
void RedrawToningCross(HWND dialog, const PageParam& param);
void UpdateToningCursor(HWND dialog, const PageParam& param, POINT client);

// ---- Owner-draw (advanced_settings_draw.cpp) ----
void DrawAdvancedItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item);
int GetAdvancedPictureId(const PageParam& param, int control_id);
// The toned sample: 1 and a bitmap of the device context, or 0 with *bitmap untouched.
int RenderMonoSample(const PageParam& param, HBITMAP* bitmap, HDC dc);

}  // namespace kalimu::dialogs::advanced
