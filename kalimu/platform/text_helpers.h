// Bounded text helpers, text conversion in global memory and the debug hook.
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

// Conversions between the system code page and UTF-16 into zero-filled fixed
// global-memory blocks, freed with FreeGlobalBlock. Null on failure.
wchar_t* AllocWideFromAnsi(const char* text);
char* AllocAnsiFromWide(const wchar_t* text);
void FreeGlobalBlock(void* block);

// Copies dmSize bytes of the public part and dmDriverExtra bytes after it;
// with dmSize 0 only the first 8 bytes.
void CopyDevModeRecord(const DEVMODEW* source, DEVMODEW* destination);

// OpenPrinterW on the UTF-16 form of an ANSI name, without defaults.
BOOL OpenPrinterByAnsiName(const char* printer_name, HANDLE* out_handle);

// Message box without owner, caption "Dlg DLL Message", OK button.
int ShowDlgDllMessage(const char* text);

// Called on every failure of a bounded helper. Reads HKLM
// "SOFTWARE\NORVA\PRINTER" "KVDRV_DEBUG" once per process; with bit 0 set it
// breaks into an attached debugger (never without one).
void DebugBreakIfEnabled();

// Read-only view of the debug hook's process state, for diagnostics.
struct DebugHookState {
  int read_flag;
  int break_flag;
  unsigned long calls;  // failures reported since the process started
};
DebugHookState GetDebugHookState();
// Forgets the setting so that the next failure reads it again.
void ResetDebugHook();

}  // namespace kalimu::platform
