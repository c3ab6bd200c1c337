// The 1-bit bitmap file (".WBF") a text watermark is printed from: its text rendered in black
// on white so that the text's diagonal is 1500 pixels (a stamp: a 1500 x 1500 square with the
// circle), written into the shared folder with world access.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/storage/watermark_records.h"

namespace kalimu::watermark {

inline constexpr int kWbfDiagonal = 1500;
inline constexpr char kWbfPrefix[] = "WAT";
inline constexpr char kWbfExtension[] = ".WBF";

// What the renderer reads of a text watermark; the edit dialog's state embeds it.
struct WatermarkTextStyle {
  LOGFONTA font;    // lfHeight as asked for, lfEscapement the text angle (tenths of a degree)
  char text[MAX_PATH];
  double angle;     // radians, clockwise
  int32_t stamp;    // circle around the text
  int32_t frame;    // rectangle around the text
};

// Renders the style into the file at path (MAX_PATH, in/out): an empty path is first replaced
// by a new unique name in folder; a missing file is created with world access; the file is
// rewritten from its start and cut to the new length. 1 written; 0 when nothing could be
// fitted (an empty text), no name or file could be had, or a write failed.
int RenderWatermarkBitmapFile(const WatermarkTextStyle& style, char* path, const char* folder);

// Renders a stored entry's text (font block, text, angle, stamp and frame) into the file at
// path, in the path's own folder. 1 or 0 as above.
int RenderEntryBitmapFile(const storage::WatermarkEntry& entry, char* path);

// The LOGFONTA at the start of an entry's font block, and back.
LOGFONTA EntryFont(const storage::WatermarkEntry& entry);
void SetEntryFont(storage::WatermarkEntry& entry, const LOGFONTA& font);

}  // namespace kalimu::watermark
