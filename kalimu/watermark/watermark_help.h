// Help of the watermark dialogs: their help-id tables as data, and the help calls, which go
// through the page frame's help entry with the help file the layout page handed over.
#pragma once

#include <windows.h>

#include <array>
#include <span>

#include "kalimu/pages/page_frame.h"
#include "kalimu/watermark/watermark_list_state.h"

namespace kalimu::watermark {

using pages::HelpIdPair;

// {control id, help context} pairs of the list dialog (template 2900) and the edit dialog
// (template 2800), each ended by {0, 0}; pages::kNoHelp marks a control without help.
extern const std::array<HelpIdPair, 16> kWatermarkListHelpTable;
extern const std::array<HelpIdPair, 38> kWatermarkEditHelpTable;

// The help button: HELP_CONTEXT with the dialog's own context.
void ShowWatermarkHelpTopic(HWND dialog, const WatermarkHelpBlock& help, DWORD context);

// WM_HELP asks for the help request's item window (HELP_WM_HELP), WM_CONTEXTMENU for the dialog
// itself (HELP_CONTEXTMENU), both with the table. False for every other message.
bool HandleWatermarkHelp(HWND dialog, UINT message, LPARAM lparam, const WatermarkHelpBlock& help,
                         std::span<const HelpIdPair> table);

}  // namespace kalimu::watermark
