// The settings dialogs the pages open from the resource library, as one table, and the call
// that opens a dialog template of the library with the page's PageParam.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

enum class SettingsDialog : uint8_t {
  kAdvanced,         // main page, button 2001
  kSourcePaperSize,  // the chosen paper does not take the current source
  kPaperWidth,       // paper page, button 2238
  kLevelSlider,      // paper page, buttons 2239 and 2260
  kPrinterAdjust,    // utility page, button 2314
  kPageOrder,        // layout page, button 2413
  kDriverOptions,    // utility page, button 2332
  kUserPaperSize,    // paper size editor
  kPosterPanel,      // layout page, button 2423
  kUserSettings,     // advanced dialog, button 2122
  kCount,
};

inline constexpr int16_t kNoToolTips = -1;

struct SettingsDialogEntry {
  SettingsDialog dialog;
  uint16_t template_id;
  int16_t tooltip_kind;  // kNoToolTips: the dialog has none
  const char* name;
};

inline constexpr SettingsDialogEntry kSettingsDialogs[] = {
    {SettingsDialog::kAdvanced, 2100, 4, "advanced settings"},
    {SettingsDialog::kSourcePaperSize, 2250, kNoToolTips, "source paper size"},
    {SettingsDialog::kPaperWidth, 2270, kNoToolTips, "paper width"},
    {SettingsDialog::kLevelSlider, 2280, 14, "level slider"},
    {SettingsDialog::kPrinterAdjust, 2350, 15, "printer adjustment"},
    {SettingsDialog::kPageOrder, 2450, 8, "page order"},
    {SettingsDialog::kDriverOptions, 2500, 9, "driver options"},
    {SettingsDialog::kUserPaperSize, 2550, 10, "user paper size"},
    {SettingsDialog::kPosterPanel, 2950, 11, "poster panel"},
    {SettingsDialog::kUserSettings, 2600, 5, "user settings"},
};
static_assert(std::size(kSettingsDialogs) == static_cast<size_t>(SettingsDialog::kCount));

constexpr const SettingsDialogEntry& SettingsDialogOf(SettingsDialog dialog) {
  return kSettingsDialogs[static_cast<size_t>(dialog)];
}

// Runs the library's dialog template `template_id` (low 16 bits) modally over `parent` with
// `procedure`, handing it the parent's PageParam; answers DialogBoxParamA's answer (-1 when the
// dialog could not be made).
INT_PTR ShowResourceDialog(HWND parent, DLGPROC procedure, int template_id);

// The entry point of a settings dialog, and the dialog run over `parent` through it.
DLGPROC SettingsDialogProcedure(SettingsDialog dialog);
INT_PTR ShowSettingsDialog(HWND parent, SettingsDialog dialog);

// A settings dialog without a procedure of its own yet has a stand-in that follows the dialogs'
// protocol (PageParam, tooltips; OK ends with 1, Cancel with 0). The entry point
// can be replaced (tests end a dialog with the result they choose); answers the previous one.
DLGPROC ReplaceSettingsDialogProcedure(SettingsDialog dialog, DLGPROC procedure);

}  // namespace kalimu::pages
