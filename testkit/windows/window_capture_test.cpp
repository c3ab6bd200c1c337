// The checks the screenshot run applies to a picture: a window that drew nothing, and a window
// whose title bar and frame stayed undrawn (rows are stored bottom-up, padded to 4 bytes).
#include "testkit/windows/window_capture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace testkit {
namespace {

constexpr int kWidth = 5;  // 15 bytes a row and one byte of padding
constexpr int kHeight = 8;
constexpr int kRow = 16;

// A kWidth x kHeight picture of one colour, its padding bytes set apart from the pixels.
WindowPicture Filled(uint8_t value, int title_strip) {
  WindowPicture picture;
  picture.width = kWidth;
  picture.height = kHeight;
  picture.title_strip = title_strip;
  picture.bits.assign(size_t{kRow} * kHeight, value);
  for (int y = 0; y < kHeight; ++y) picture.bits[size_t(y) * kRow + kRow - 1] = 0x5A;
  return picture;
}

// Sets the pixel at x and y counted from the top of the window.
void Paint(WindowPicture& picture, int x, int top_y) {
  uint8_t* p = picture.bits.data() + size_t(kHeight - 1 - top_y) * kRow + size_t(x) * 3;
  std::memset(p, 0xC8, 3);
}

TEST(WindowPicture, BlankWindowAndUndrawnTitleBar) {
  struct Case {
    const char* what;
    int title_strip;
    int painted_x;  // -1: nothing painted
    int painted_top_y;
    bool blank;
    bool title_blank;
  };
  const Case cases[] = {
      {"nothing drawn, no title bar", 0, -1, 0, true, false},
      {"client drawn, no title bar", 0, 2, 6, false, false},
      {"client drawn, title strip undrawn", 3, 2, 6, false, true},
      {"the bottom row drawn: still no title bar", 3, 4, kHeight - 1, false, true},
      {"caption drawn in the strip", 3, 1, 2, false, false},
      {"caption drawn in the strip's first row", 3, 0, 0, false, false},
      {"just below the strip is the client", 3, 2, 3, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindowPicture picture = Filled(0, c.title_strip);
    if (c.painted_x >= 0) Paint(picture, c.painted_x, c.painted_top_y);
    EXPECT_EQ(picture.Blank(), c.blank);
    EXPECT_EQ(picture.TitleBlank(), c.title_blank);
  }
}

TEST(WindowPicture, StripsOutsideThePictureAreNoTitleBar) {
  for (int strip : {-1, kHeight + 1}) {
    WindowPicture picture = Filled(0, strip);
    EXPECT_FALSE(picture.TitleBlank()) << strip;
  }
  EXPECT_TRUE(WindowPicture{}.Blank());
  EXPECT_FALSE(WindowPicture{}.TitleBlank());
}

}  // namespace
}  // namespace testkit
