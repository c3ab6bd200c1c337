// The message boxes of the watermark editor: each with its text and caption strings of the
// resource library and its buttons, declared once.
#pragma once

#include <windows.h>

namespace kalimu::watermark {

enum class WatermarkMessage {
  kFixedName,        // a name of a fixed watermark
  kCapacityReached,  // no room for another user watermark
  kCannotOpen,       // the bitmap file cannot be opened
  kTooLarge,         // the bitmap file is too large
  kCannotLoad,       // the bitmap cannot be loaded
  kReplace,          // replace the content of an existing watermark? (OK, Cancel)
  kDelete,           // delete the selected watermark? (OK, Cancel)
  kContentMissing,   // a name without text or path
  kNameMissing,      // a text or path without a name
};

struct WatermarkMessageRow {
  WatermarkMessage message;
  UINT text_id;
  UINT caption_id;
  UINT style;
};
const WatermarkMessageRow& GetWatermarkMessageRow(WatermarkMessage message);

// Shows the message over owner with the strings of the resource library; the box's result.
int ShowWatermarkMessage(HWND owner, HMODULE resources, WatermarkMessage message);

}  // namespace kalimu::watermark
