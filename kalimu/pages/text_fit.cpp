// Text cut to a control's width with an ellipsis.
#include <windows.h>

#include <cstring>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::pages {

namespace {

int TextWidth(HDC dc, const char* text) {
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &extent);
  return extent.cx;
}

}  // namespace

int FitTextWithEllipsis(HWND dialog, HDC dc, char* text, size_t size, int control_id) {
  if (text == nullptr || size == 0) return 1;
  text[size - 1] = 0;
  RECT client{};
  GetClientRect(GetDlgItem(dialog, control_id), &client);
  POINT corner{client.right, client.bottom};
  DPtoLP(dc, &corner, 1);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int room = corner.x - metrics.tmMaxCharWidth;
  if (TextWidth(dc, text) <= room) return 1;

  static constexpr char kEllipsis[] = "...";
  const size_t ellipsis = sizeof(kEllipsis) - 1;
  if (size <= ellipsis) {  // no room for a character and the ellipsis: as much "..." as fits
    std::memcpy(text, kEllipsis, size - 1);
    text[size - 1] = 0;
    return 1;
  }
  // The text without its ellipsis, shortened one whole character at a time. Every turn removes at
  // least one byte, so the loop ends when the text is empty at the latest.
  char kept[1024];
  size_t length = std::strlen(text);
  if (length + 1 > sizeof(kept)) length = sizeof(kept) - 1;
  std::memcpy(kept, text, length);
  kept[length] = 0;
  platform::TruncateAnsiString(kept, sizeof(kept), size - 1 - ellipsis);
  for (;;) {
    length = std::strlen(kept);
    std::memcpy(text, kept, length);
    std::memcpy(text + length, kEllipsis, ellipsis + 1);
    if (length == 0 || TextWidth(dc, text) <= room) return 1;
    platform::TruncateAnsiString(kept, sizeof(kept), length - 1);
  }
}

}  // namespace kalimu::pages
