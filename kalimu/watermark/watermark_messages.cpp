// Message table of the watermark editor.
#include "kalimu/watermark/watermark_messages.h"

#include <array>

namespace kalimu::watermark {
namespace {

constexpr std::array<WatermarkMessageRow, 9> kRows = {{
    {WatermarkMessage::kFixedName, 8065, 8036, MB_OK},
    {WatermarkMessage::kCapacityReached, 8053, 8036, MB_OK},
    {WatermarkMessage::kCannotOpen, 8037, 8036, MB_OK},
    {WatermarkMessage::kTooLarge, 8052, 8025, MB_OK},
    {WatermarkMessage::kCannotLoad, 8038, 8036, MB_OK},
    {WatermarkMessage::kReplace, 8021, 8018, MB_OKCANCEL},
    {WatermarkMessage::kDelete, 8019, 8020, MB_OKCANCEL},
    {WatermarkMessage::kContentMissing, 8067, 8036, MB_OK},
    {WatermarkMessage::kNameMissing, 8066, 8036, MB_OK},
}};
static_assert([] {
  for (size_t i = 0; i < kRows.size(); ++i) {
    if (static_cast<size_t>(kRows[i].message) != i) return false;
  }
  return true;
}());

}  // namespace

const WatermarkMessageRow& GetWatermarkMessageRow(WatermarkMessage message) {
  return kRows[static_cast<size_t>(message)];
}

int ShowWatermarkMessage(HWND owner, HMODULE resources, WatermarkMessage message) {
  const WatermarkMessageRow& row = GetWatermarkMessageRow(message);
  char text[512] = {};
  char caption[256] = {};
  LoadStringA(resources, row.text_id, text, sizeof(text));
  LoadStringA(resources, row.caption_id, caption, sizeof(caption));
  return MessageBoxA(owner, text, caption, row.style);
}

}  // namespace kalimu::watermark
