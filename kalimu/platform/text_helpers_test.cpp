// Bounded text helpers.
#include "kalimu/platform/text_helpers.h"

#include <gtest/gtest.h>

#include "kalimu/platform/debug_hook.h"

#include <cstring>
#include <string>

namespace kalimu::platform {
namespace {

// Counts the failures reported to the debug hook while it lives.
class HookCalls {
 public:
  HookCalls() : start_(GetDebugHookState().calls) {}
  unsigned long count() const { return GetDebugHookState().calls - start_; }

 private:
  unsigned long start_;
};

struct CopyCase {
  const char* name;
  size_t cch;
  const char* src;
  int result;
  const char* expected;  // null: dst untouched
};

TEST(CopyString, TableOfCases) {
  const CopyCase cases[] = {
      {"fits with room", 5, "abcd", 1, "abcd"},
      {"cut to cch-1", 4, "abcd", 0, "abc"},
      {"empty source", 1, "", 1, ""},
      {"one char buffer", 1, "a", 0, ""},
      {"zero count", 0, "abcd", 0, nullptr},
      {"over range", kMaxCch + 1, "abcd", 0, nullptr},
  };
  for (const CopyCase& c : cases) {
    char dst[16];
    std::memset(dst, '#', sizeof(dst));
    wchar_t wdst[16];
    std::wmemset(wdst, L'#', 16);
    const std::wstring wsrc(c.src, c.src + std::strlen(c.src));
    HookCalls hook;
    EXPECT_EQ(CopyStringA(dst, c.cch, c.src), c.result) << c.name;
    EXPECT_EQ(CopyStringW(wdst, c.cch, wsrc.c_str()), c.result) << c.name;
    EXPECT_EQ(hook.count(), c.result ? 0u : 2u) << c.name;
    if (c.expected == nullptr) {
      EXPECT_EQ(dst[0], '#') << c.name;
      EXPECT_EQ(wdst[0], L'#') << c.name;
    } else {
      EXPECT_STREQ(dst, c.expected) << c.name;
      EXPECT_EQ(std::wstring(wdst), std::wstring(c.expected, c.expected + std::strlen(c.expected)))
          << c.name;
      // Nothing written past the terminator.
      EXPECT_EQ(dst[std::strlen(c.expected) + 1], '#') << c.name;
    }
  }
}

TEST(CopyStringN, CopiesUnterminatedFixedFields) {
  char field[32];
  std::memset(field, 'n', sizeof(field));  // a 32-character name without terminator
  char dst[40];
  HookCalls hook;
  EXPECT_EQ(CopyStringNA(dst, 33, field, 32), 1);
  EXPECT_EQ(std::strlen(dst), 32u);
  EXPECT_EQ(CopyStringNA(dst, 32, field, 32), 0);
  EXPECT_EQ(std::strlen(dst), 31u);
  EXPECT_EQ(hook.count(), 1u);
  // A shorter source ends at its terminator.
  EXPECT_EQ(CopyStringNA(dst, 40, "abc", 32), 1);
  EXPECT_STREQ(dst, "abc");
  std::memset(dst, '#', sizeof(dst));
  EXPECT_EQ(CopyStringNA(dst, 0, field, 4), 0);
  EXPECT_EQ(CopyStringNA(dst, 8, field, kMaxCch + 1), 0);
  EXPECT_EQ(dst[0], '#');
  wchar_t wfield[4] = {L'w', L'x', L'y', L'z'};
  wchar_t wdst[8];
  EXPECT_EQ(CopyStringNW(wdst, 5, wfield, 4), 1);
  EXPECT_EQ(std::wstring(wdst), L"wxyz");
  EXPECT_EQ(CopyStringNW(wdst, 3, wfield, 4), 0);
  EXPECT_EQ(std::wstring(wdst), L"wx");
  EXPECT_EQ(hook.count(), 4u);
}

TEST(AppendString, BoundsAndMissingTerminator) {
  char dst[260];
  std::memset(dst, 'a', 259);
  dst[259] = 0;
  HookCalls hook;
  EXPECT_EQ(AppendStringA(dst, 260, "b"), 0);
  EXPECT_EQ(dst[259], 0);
  EXPECT_EQ(std::strlen(dst), 259u);

  char small[8] = "ab";
  EXPECT_EQ(AppendStringA(small, 8, "cd"), 1);
  EXPECT_STREQ(small, "abcd");
  EXPECT_EQ(AppendStringA(small, 8, "efgh"), 0);
  EXPECT_STREQ(small, "abcdefg");

  char unterminated[4] = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(AppendStringA(unterminated, 4, "q"), 0);
  EXPECT_EQ(std::memcmp(unterminated, "xyzw", 4), 0);

  wchar_t wide[6] = L"ab";
  EXPECT_EQ(AppendStringW(wide, 6, L"cdef"), 0);
  EXPECT_EQ(std::wstring(wide), L"abcde");
  EXPECT_EQ(hook.count(), 4u);
}

TEST(GetStringLength, EmptyTextIsNoFailureButMissingTerminatorIs) {
  HookCalls hook;
  EXPECT_EQ(GetStringLengthA("", 16), 0u);
  EXPECT_EQ(GetStringLengthA("abc", 16), 3u);
  EXPECT_EQ(GetStringLengthW(L"abcd", 5), 4u);
  EXPECT_EQ(hook.count(), 0u);
  char field[16];
  std::memset(field, 'f', sizeof(field));
  EXPECT_EQ(GetStringLengthA(field, 16), 0u);
  EXPECT_EQ(GetStringLengthA(nullptr, 16), 0u);
  EXPECT_EQ(GetStringLengthW(L"abc", kMaxCch + 1), 0u);
  EXPECT_EQ(hook.count(), 3u);
}

TEST(FormatString, StatusesAndTermination) {
  wchar_t dst[8];
  HookCalls hook;
  EXPECT_EQ(FormatStringW(dst, 8, L"%d-%ls", 42, L"ab"), S_OK);
  EXPECT_EQ(std::wstring(dst), L"42-ab");
  // Exactly cch-1 characters still fit.
  EXPECT_EQ(FormatStringW(dst, 8, L"%07d", 1234567), S_OK);
  EXPECT_EQ(std::wstring(dst), L"1234567");
  // Cut: the print itself reports a negative count; the helper answers insufficient buffer.
  EXPECT_EQ(FormatStringW(dst, 8, L"%d", 123456789), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::wstring(dst), L"1234567");
  EXPECT_EQ(FormatStringW(dst, 1, L"%d", 5), static_cast<HRESULT>(0x8007007A));
  EXPECT_EQ(dst[0], 0);
  EXPECT_EQ(FormatStringW(dst, 1, L"%ls", L""), S_OK);
  dst[0] = L'#';
  EXPECT_EQ(FormatStringW(dst, 0, L"x"), E_INVALIDARG);
  EXPECT_EQ(FormatStringW(dst, kMaxCch + 1, L"x"), E_INVALIDARG);
  EXPECT_EQ(dst[0], L'#');
  EXPECT_EQ(hook.count(), 0u);
  ReportStringError();
  EXPECT_EQ(hook.count(), 1u);
}

// Under code page 932 a cut never leaves half of a double-byte character.
TEST(CopyString, DoubleByteCutKeepsWholeCharacters) {
  if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (ja_JP run)";
  // "A" + three double-byte characters (hiragana a, i, u in Shift-JIS).
  const char text[] = "A\x82\xa0\x82\xa2\x82\xa4";
  char dst[8];
  std::memset(dst, '#', sizeof(dst));
  EXPECT_EQ(CopyStringA(dst, 5, text), 0);  // 4 bytes room: "A" + one char + half
  EXPECT_STREQ(dst, "A\x82\xa0");
  EXPECT_EQ(CopyStringA(dst, 4, text), 0);
  EXPECT_STREQ(dst, "A\x82\xa0");
  EXPECT_EQ(CopyStringA(dst, 3, text), 0);
  EXPECT_STREQ(dst, "A");
  char tail[6] = "\x82\xa0";
  EXPECT_EQ(AppendStringA(tail, 6, "\x82\xa2\x82\xa4"), 0);
  EXPECT_STREQ(tail, "\x82\xa0\x82\xa2");
  EXPECT_EQ(CopyStringNA(dst, 3, text + 1, 6), 0);
  EXPECT_STREQ(dst, "\x82\xa0");
}

struct TruncateCase {
  const char* name;
  const char* text;
  size_t size;
  size_t n;
  const char* expected;
};

TEST(TruncateAnsiString, ShortensFromTheEnd) {
  const TruncateCase cases[] = {
      {"longer than n", "abcdefgh", 16, 5, "abcde"},
      {"exactly n", "abcde", 16, 5, "abcde"},
      {"shorter than n", "abc", 16, 5, "abc"},
      {"to empty", "abc", 16, 0, ""},
      {"no terminator within size", "abcdefgh", 4, 2, "abcdefgh"},
  };
  for (const TruncateCase& c : cases) {
    char text[16] = {};
    std::strcpy(text, c.text);
    std::memset(text + std::strlen(text) + 1, '#', sizeof(text) - std::strlen(text) - 1);
    EXPECT_EQ(TruncateAnsiString(text, c.size, c.n), 0) << c.name;
    EXPECT_STREQ(text, c.expected) << c.name;
  }
}

// Under code page 932 a cut that would fall inside a character drops the whole character.
TEST(TruncateAnsiString, DoubleByteCutKeepsWholeCharacters) {
  if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (ja_JP run)";
  char text[16] = "A\x82\xa0\x82\xa2\x82\xa4";  // "A" + three double-byte characters
  TruncateAnsiString(text, sizeof(text), 4);  // the cut would split the second character
  EXPECT_STREQ(text, "A\x82\xa0");
  TruncateAnsiString(text, sizeof(text), 1);
  EXPECT_STREQ(text, "A");
}

}  // namespace
}  // namespace kalimu::platform
