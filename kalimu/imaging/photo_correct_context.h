// The photo-correction context and the passes that run inside a process call.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kalimu/imaging/correction_plan.h"
#include "kalimu/imaging/correction_planner.h"
#include "kalimu/imaging/correction_tables.h"
#include "kalimu/imaging/image_records.h"

namespace kalimu::imaging {

constexpr int kFilterRows = 9;
constexpr int kFilterTaps = 9;

struct FilterState {
  int32_t strength;         // percent: 60, 40 or 20
  int32_t* column_sums[3];  // Width words each, red, green, blue
  int32_t taps[kFilterTaps];
  int32_t normaliser;
};

struct PatternState {
  int32_t flag;       // 1 for level 2, 0 for level 3
  int32_t tile;       // 128 or 256
  uint8_t table[256];
  int32_t strength;   // percent: 40, 60 or 80
  int32_t pivot;      // 187
  int32_t offset;     // 220
  const uint8_t* pattern;  // the tile's pixels inside its picture
};

// A pattern picture: an 8-bit BMP file image of 128 x 128 (level 2) or 256 x 256 (level 3).
struct PatternPicture {
  const uint8_t* bytes;
  size_t size;
};

struct PhotoCorrectContext {
  PhotoCorrectContext* self;
  CorrectionSettings settings;
  ImageDescriptor source;
  const uint8_t* source_bits;
  ImageDescriptor destination;
  uint8_t* destination_bits;
  PixelLayout pixel;
  CorrectionPlan plan;
  CorrectionTables tables;
  RowLayout row;
  ImageStatistics statistics;
  CorrectionParameters parameters;
  CorrectionAmounts amounts;
  FilterState filter;
  PatternState pattern;
  uint8_t* input_row;
  uint8_t* output_row;
  uint8_t* filter_rows[kFilterRows];
  void* pattern_resources[2];      // loaded resources of the pattern pictures (released at
  PatternPicture pattern_pictures[2];  // destroy); level 2, level 3. Nothing here sets them.
};

// Bytes of one working row: Width pixels of red, green, blue and five spare pixels.
size_t WorkingRowBytes(int32_t width);

// Row transport: a picture row into a working row and back (only red, green and blue bytes of
// the destination are written).
void UnpackRow(const PixelLayout& pixel, const uint8_t* picture_row, int32_t width, uint8_t* working_row);
void PackRow(const PixelLayout& pixel, const uint8_t* working_row, int32_t width, uint8_t* picture_row);

// Every source row into the destination as it is (red, green and blue bytes only): what a pass
// writes when it cannot run for want of memory.
void CopyRowsUnchanged(PhotoCorrectContext* context);

// Plans and builds the tables for the correction of this process call: 0, or the table
// builder's 1200 (the tables are then empty).
int32_t PrepareCorrection(PhotoCorrectContext* context);

// The passes; each answers 0, or 7 when it had to copy the rows unchanged for want of memory.
int32_t RunCorrectionPass(PhotoCorrectContext* context);
int32_t RunFilterPass(PhotoCorrectContext* context, bool correct);
int32_t RunPatternPass(PhotoCorrectContext* context, bool correct);

// Whether bytes hold an 8-bit BMP file of tile x tile pixels with its bits 1078 bytes in.
bool IsPatternPicture(const uint8_t* bytes, size_t size, int32_t tile);

// Attaches pattern pictures to a context (level 2, level 3); the pictures stay the caller's.
void AttachPatternPictures(PhotoCorrectContext* context, PatternPicture level2, PatternPicture level3);

}  // namespace kalimu::imaging
