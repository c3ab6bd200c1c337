// Conversion between the system code page (CP_ACP) and UTF-16.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace kalimu::platform {

// The one conversion: every unit of text (a terminator or other zero inside it included)
// converted; an empty text gives an empty result; none when the text cannot be converted.
std::optional<std::wstring> WideFromAnsi(std::string_view text);
std::optional<std::string> AnsiFromWide(std::wstring_view text);

// The same conversions of a terminated text into a new zero-filled fixed global-memory block,
// terminator included, freed with FreeGlobalBlock. Null for a null text or on failure.
wchar_t* AllocWideFromAnsi(const char* text);
char* AllocAnsiFromWide(const wchar_t* text);
void FreeGlobalBlock(void* block);

}  // namespace kalimu::platform
