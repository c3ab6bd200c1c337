// Bounded text helpers: copy, append, length, formatting and the double-byte-safe cut.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstddef>

namespace kalimu::platform {

// Largest valid character count of a bounded buffer.
constexpr size_t kMaxCch = 0x7FFFFFFF;

// Bounded copy: 1 when src fitted whole, 0 otherwise (dst truncated and
// terminated; untouched when cch is out of range). A narrow cut never splits
// a double-byte character of the system code page.
int CopyStringA(char* dst, size_t cch, const char* src);
int CopyStringW(wchar_t* dst, size_t cch, const wchar_t* src);

// Copies at most cch_src characters of src (a field that need not be
// terminated) into dst of cch_dst characters and terminates.
int CopyStringNA(char* dst, size_t cch_dst, const char* src, size_t cch_src);
int CopyStringNW(wchar_t* dst, size_t cch_dst, const wchar_t* src, size_t cch_src);

// Appends src after dst's terminator, bounded by cch and always terminated.
int AppendStringA(char* dst, size_t cch, const char* src);
int AppendStringW(wchar_t* dst, size_t cch, const wchar_t* src);

// Characters before the terminator; 0 for a missing text, an out-of-range
// count or no terminator within cch_max (those three call the debug hook).
size_t GetStringLengthA(const char* str, size_t cch_max);
size_t GetStringLengthW(const wchar_t* str, size_t cch_max);

// The one double-byte-safe cut: the length in bytes of the longest start of text (ending at its
// terminator at the latest) that is at most max_bytes long and ends on a whole character of
// code_page. A lead byte followed by the terminator counts as a character of its own, as
// CharNextA counts it. 0 for a null text.
size_t WholeCharacterLength(const char* text, size_t max_bytes, UINT code_page = CP_ACP);

// Copies text into a fixed narrow field: its longest whole-character start of at most
// max_bytes bytes (WholeCharacterLength), then zeros up to field_bytes (so the field is always
// terminated when max_bytes < field_bytes). A null text gives an empty field.
void CutAnsiText(const char* text, char* field, size_t field_bytes, size_t max_bytes,
                 UINT code_page = CP_ACP);

// Shortens a narrow text (its length measured within size bytes) from its end, one whole
// character of the system code page at a time (CharPrevA), until it is at most n bytes long:
// a double-byte character is never cut in half. A text without a terminator within size is
// left alone. Answers 0.
int TruncateAnsiString(char* text, size_t size, size_t n);

// printf-style wide formatting into dst: S_OK, E_INVALIDARG for a bad count,
// 0x8007007A when the text was cut. Does not call the debug hook.
HRESULT FormatStringW(wchar_t* dst, size_t cch, const wchar_t* format, ...);
HRESULT FormatStringVW(wchar_t* dst, size_t cch, const wchar_t* format, va_list args);

// Reports a failed bounded formatted print to the debug hook.
void ReportStringError();

}  // namespace kalimu::platform
