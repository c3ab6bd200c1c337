// The routines the pages and the settings dialogs share: list filling from the model's
// capabilities, the enabling rules of sources, papers, media and modes, the colour-correction
// and gamma controls, ink names and a few small services.
//
// Split by concern:
//   paper_helpers.cpp   paper sizes and paper sources
//   media_helpers.cpp   media types, media names and print modes
//   colour_helpers.cpp  colour correction and gamma
//   ink_helpers.cpp     ink positions, names and texts
//   misc_helpers.cpp    presets by name, control state, the HTML viewer, scale notice, roll fit
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/model/cfg_records.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {

using settings::JobSettings;

// --- Paper sizes and paper sources (paper_helpers.cpp) ------------------------------------
inline constexpr int kPaperSizeCombo = 2201;
inline constexpr int kSourceFeedText = 2233;
inline constexpr uint16_t kNoPosition = 0xFFFF;

void FillPaperSizeCombo(HWND window, const PageParam& param);
int ChoosePaperSize(HWND window, int32_t paper_index, int combo_id, const PageParam& param);
void EditUserPaperSize(HWND window, int32_t paper_index, const PageParam& param, int combo_flag);
void StoreCustomPaperExtent(const PageParam& param, uint16_t paper_index);
uint32_t GetCurrentPaperFlags(const PageParam& param);
void ShowSourceFeedText(HWND window, const PageParam& param, uint16_t source_index);
uint16_t FindSourceGroupPosition(JobSettings& settings, uint16_t source_index);
// The settings message of a source conflict (media or mode), or 0.
int GetSourceConflictMessage(const PageParam& param, uint16_t source_index);
// The code for a conflict (16 media, 32 mode) on a source with these feed flags; 0 for neither.
int SourceConflictCode(uint32_t conflict, uint32_t feed_flags);
uint16_t GetSourceCaptionId(JobSettings& settings);
int TestSourceOptionBit17(JobSettings& settings);
int UpdatePaperOptionControls(HWND window, const PageParam& param, int apply);
int DisableSourceOptionControl(HWND window, const PageParam& param);

// --- Media and print modes (media_helpers.cpp) --------------------------------------------
int FillMediaTypeCombo(HWND window, const PageParam& param, int fill_case);
void FillMediaNameCombo(HWND window, const PageParam& param);
int IsMediaNameInModes(const PageParam& param, int32_t media_name_value);
uint32_t GetMediaVariantFlags(JobSettings& settings);
uint32_t GetMediaPresetFlags(JobSettings& settings);
int IsMediaSelectable(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index);
int IsMediaAllowedForSource(HWND window, const PageParam& param, int32_t value, int32_t source_id);
int ApplyMediaSourceRule(const PageParam& param, uint16_t media_index);
int ApplyCurrentMediaSourceRule(const PageParam& param);
int IsMediaFlag2000000(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index);
int IsMediaFlag4(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index);
int ExtendMediaOptionBits(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index);
int ClearMediaOptionBits(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index);
int IsSilentOptionAllowed(const PageParam& param);
void UpdateMediaOptionCheck(HWND window, const PageParam& param, int apply);
void UpdateColorModeOptionCheck(HWND window, const PageParam& param);

// --- Colour correction and gamma (colour_helpers.cpp) -------------------------------------
inline constexpr size_t kGammaTextChars = 16;
void StoreAdjustEditState(int control_id, const PageParam& param, uint16_t value);
// SetColorAdjustValue (the edits' and sign boxes' adjustment items) is with the drawing helpers.
void UpdateCorrectionOptionChecks(HWND window, const PageParam& param);
void FillCorrectionModeCombo(HWND window, const PageParam& param);
void UpdateCorrectionLevelControls(HWND window, const PageParam& param);
void InitCorrectionStrengthSlider(HWND window, const PageParam& param);
void ShowGammaControls(HWND window, const PageParam& param, int show);
void FillGammaCombo(HWND window, const PageParam& param);
void FormatGammaText(int32_t value, char* buffer, size_t size, const PageParam& param);
uint16_t GetDefaultGammaIndex(const PageParam& param);
int IsMonoPhotoMode(JobSettings& settings);

// --- Inks (ink_helpers.cpp) ---------------------------------------------------------------
inline constexpr uint8_t kNoInk = 255;
inline constexpr size_t kInkInfoChars = 32;
int GetInkInfoText(int ink_index, const PageParam& param, char* buffer, size_t size);
uint8_t GetInkPositionCode(JobSettings& settings, int position);
uint16_t GetInkNameStringId(JobSettings& settings, int position);
// An ink-set record {valid, count, 16 codes}: 1 when one of its first count codes (at most 16)
// differs from the settings' model identifier.
int IsInkSetDifferent(JobSettings& settings, const model::InkInfoValue& ink_set);

// --- Miscellaneous (misc_helpers.cpp) -----------------------------------------------------
uint16_t FindCustomPresetByName(const PageParam& param, const wchar_t* name);
int IsDlgItemEnabled(HWND window, int control_id);
void EnableShowDlgItem(HWND window, int control_id, int flag);
int IsHtmlViewerAvailable();
int ClampScaleWithNotice(HWND window, const PageParam& param, int ignored);
int ShowScaleClampNotice(HWND window, const PageParam& param, int32_t scale);
void UpdateRollFit(JobSettings& settings);
inline int ReturnZero() { return 0; }
inline int IsPageAspectUnderTwo(JobSettings& settings) { return settings.IsNearlySquarePaper(); }
inline int IsPageWide(JobSettings& settings) { return settings.IsPaperWiderThanLong(); }

}  // namespace kalimu::pages
