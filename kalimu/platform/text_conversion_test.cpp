// Conversion between the system code page and UTF-16.
#include "kalimu/platform/text_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace kalimu::platform {
namespace {

TEST(TextConversion, RoundTripsThroughGlobalMemory) {
  wchar_t* wide = AllocWideFromAnsi("Printer 7");
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::wstring(wide), L"Printer 7");
  EXPECT_EQ(GlobalSize(wide), sizeof(L"Printer 7"));
  char* narrow = AllocAnsiFromWide(wide);
  ASSERT_NE(narrow, nullptr);
  EXPECT_STREQ(narrow, "Printer 7");
  FreeGlobalBlock(wide);
  FreeGlobalBlock(narrow);
  EXPECT_EQ(AllocWideFromAnsi(nullptr), nullptr);
  EXPECT_EQ(AllocAnsiFromWide(nullptr), nullptr);
}

// Every unit is converted, a zero inside the text included (a stored value counts its
// terminator); an empty text is no failure.
TEST(TextConversion, ConvertsEveryUnitOfACountedText) {
  using namespace std::string_literals;
  EXPECT_EQ(WideFromAnsi("").value(), L"");
  EXPECT_EQ(AnsiFromWide(L"").value(), "");
  EXPECT_EQ(WideFromAnsi("ab\0"s).value(), L"ab\0"s);
  EXPECT_EQ(AnsiFromWide(L"ab\0c"s).value(), "ab\0c"s);
}

}  // namespace
}  // namespace kalimu::platform
