// The message boxes of the pages and the settings dialogs: the fixed table, the numbered
// settings messages and the notices tied to media, mode and paper flags.
#pragma once

#include <windows.h>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

inline constexpr size_t kMessageCaptionChars = 260;
inline constexpr size_t kMessageTextChars = 520;

struct MessageText {
  char caption[kMessageCaptionChars];
  char text[kMessageTextChars];
};

// Shows row `row` (0 to 24) of the fixed table; answers MessageBoxA's answer, 0 for a row
// outside the table (nothing shown).
int ShowTableMessage(HWND window, const PageParam& param, int row);

// The caption and text of settings message `number` (strings that do not load stay empty).
void BuildSettingsMessage(const PageParam& param, int number, MessageText* out);
// Builds and shows settings message `number` with `style`; answers MessageBoxA's answer.
int ShowSettingsMessage(HWND window, const PageParam& param, UINT style, int number);

// The notices of the current media, mode and paper (each shows at most one box).
void ShowMediaInfoNotice(HWND window, const PageParam& param);
void ShowMediaSourceNotice(HWND window, const PageParam& param);
void ShowMediaNotice(HWND window, const PageParam& param);
void WarnPaperFlag(HWND window, const PageParam& param);
void WarnMediaFlag(HWND window, const PageParam& param);
// 1 when nothing was shown, else 0.
int CheckMediaPaperSize(HWND window, const PageParam& param);

// An error text of the resource library with its number: each "%d" of `text` becomes the number,
// "%%" a percent sign, and any other conversion is shown as written (a text from a file is never
// used as a format). The result is cut to size - 1 bytes on a whole character of the system code
// page and always terminated; nothing for a null or empty buffer.
void FormatErrorNumberText(const char* text, int number, char* out, size_t size);

// The support button of the main page: shown for a support key, enabled with an HTML viewer.
// 0 when the control does not exist, else 1.
int ShowSupportButton(HWND window, const PageParam& param, int control_id);
// Opens the problem-solver program or the support page the support key names, or tells why not.
void OpenSupportPage(HWND window, const PageParam& param);

}  // namespace kalimu::pages
