// Bounded copy, append, length and formatting of narrow and wide text.
#include "kalimu/platform/text_helpers.h"

#include "kalimu/platform/debug_hook.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace kalimu::platform {
namespace {

bool ValidCch(size_t cch) { return cch >= 1 && cch <= kMaxCch; }

// Copies up to max_chars of src (stopping at its terminator) into dst of cch
// characters; answers 1 when all of it fitted.
template <typename Char>
int CopyBounded(Char* dst, size_t cch, const Char* src, size_t max_chars) {
  size_t n = 0;
  while (n < max_chars && src[n] != 0 && n + 1 < cch) ++n;
  const bool whole = n == max_chars || src[n] == 0;
  if constexpr (sizeof(Char) == 1) {
    if (!whole) n = WholeCharacterLength(src, n);
  }
  for (size_t i = 0; i < n; ++i) dst[i] = src[i];
  dst[n] = 0;
  return whole ? 1 : 0;
}

template <typename Char>
int CopyN(Char* dst, size_t cch_dst, const Char* src, size_t cch_src) {
  if (!ValidCch(cch_dst) || cch_src > kMaxCch || dst == nullptr) {
    DebugBreakIfEnabled();
    return 0;
  }
  if (src == nullptr) {
    dst[0] = 0;
    DebugBreakIfEnabled();
    return 0;
  }
  const int ok = CopyBounded(dst, cch_dst, src, cch_src);
  if (!ok) DebugBreakIfEnabled();
  return ok;
}

template <typename Char>
int Copy(Char* dst, size_t cch, const Char* src) {
  return CopyN(dst, cch, src, kMaxCch);
}

template <typename Char>
int Append(Char* dst, size_t cch, const Char* src) {
  if (!ValidCch(cch) || dst == nullptr) {
    DebugBreakIfEnabled();
    return 0;
  }
  size_t used = 0;
  while (used < cch && dst[used] != 0) ++used;
  if (used == cch) {
    DebugBreakIfEnabled();
    return 0;
  }
  if (src == nullptr) {
    DebugBreakIfEnabled();
    return 0;
  }
  const int ok = CopyBounded(dst + used, cch - used, src, kMaxCch);
  if (!ok) DebugBreakIfEnabled();
  return ok;
}

template <typename Char>
size_t Length(const Char* str, size_t cch_max) {
  if (str == nullptr || cch_max > kMaxCch) {
    DebugBreakIfEnabled();
    return 0;
  }
  for (size_t i = 0; i < cch_max; ++i) {
    if (str[i] == 0) return i;
  }
  DebugBreakIfEnabled();
  return 0;
}

}  // namespace

int CopyStringA(char* dst, size_t cch, const char* src) { return Copy(dst, cch, src); }
int CopyStringW(wchar_t* dst, size_t cch, const wchar_t* src) { return Copy(dst, cch, src); }

int CopyStringNA(char* dst, size_t cch_dst, const char* src, size_t cch_src) {
  return CopyN(dst, cch_dst, src, cch_src);
}
int CopyStringNW(wchar_t* dst, size_t cch_dst, const wchar_t* src, size_t cch_src) {
  return CopyN(dst, cch_dst, src, cch_src);
}

int AppendStringA(char* dst, size_t cch, const char* src) { return Append(dst, cch, src); }
int AppendStringW(wchar_t* dst, size_t cch, const wchar_t* src) {
  return Append(dst, cch, src);
}

size_t GetStringLengthA(const char* str, size_t cch_max) { return Length(str, cch_max); }
size_t GetStringLengthW(const wchar_t* str, size_t cch_max) { return Length(str, cch_max); }

size_t WholeCharacterLength(const char* text, size_t max_bytes, UINT code_page) {
  if (text == nullptr) return 0;
  size_t length = 0;
  while (length < max_bytes && text[length] != '\0') {
    const bool lead = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(text[length])) != 0;
    const size_t width = lead && text[length + 1] != '\0' ? 2 : 1;
    if (length + width > max_bytes) break;  // keep a double-byte character whole
    length += width;
  }
  return length;
}

void CutAnsiText(const char* text, char* field, size_t field_bytes, size_t max_bytes,
                 UINT code_page) {
  if (field == nullptr || field_bytes == 0) return;
  if (max_bytes >= field_bytes) max_bytes = field_bytes - 1;
  const size_t length = WholeCharacterLength(text, max_bytes, code_page);
  if (length > 0) std::memcpy(field, text, length);
  std::memset(field + length, 0, field_bytes - length);
}

int TruncateAnsiString(char* text, size_t size, size_t n) {
  if (text == nullptr || size == 0) return 0;
  size_t length = 0;
  while (length < size && text[length] != 0) ++length;
  if (length == size) return 0;  // no terminator within size: not a text we may shorten
  if (length <= n) return 0;
  const size_t keep = WholeCharacterLength(text, n);
  std::memset(text + keep, 0, length - keep);
  return 0;
}

HRESULT FormatStringVW(wchar_t* dst, size_t cch, const wchar_t* format, va_list args) {
  if (cch == 0 || cch > kMaxCch || dst == nullptr || format == nullptr) return E_INVALIDARG;
  const size_t room = cch - 1;
  va_list measure;
  va_copy(measure, args);
  const int needed = _vscwprintf(format, measure);
  va_end(measure);
  if (room > 0) _vsnwprintf(dst, room, format, args);
  // A negative count is a text that cannot be formatted: reported like a cut.
  if (needed < 0 || static_cast<size_t>(needed) > room) {
    dst[needed < 0 ? 0 : room] = 0;
    return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  }
  dst[needed] = 0;
  return S_OK;
}

HRESULT FormatStringW(wchar_t* dst, size_t cch, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const HRESULT hr = FormatStringVW(dst, cch, format, args);
  va_end(args);
  return hr;
}

void ReportStringError() { DebugBreakIfEnabled(); }

}  // namespace kalimu::platform
