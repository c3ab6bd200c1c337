// The pattern pass: a tiled picture, steepened around its pivot, added to every channel.
#include <cstring>

#include "kalimu/imaging/correct_row.h"
#include "kalimu/imaging/curve_routines.h"
#include "kalimu/imaging/photo_correct_context.h"

namespace kalimu::imaging {
namespace {

constexpr size_t kPatternBitsOffset = 1078;  // file header, information header, 256 colours
constexpr int32_t kPatternPivot = 187;
constexpr int32_t kPatternOffset = 220;

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t ReadLe16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Contrast table that keeps the pivot and steepens the curve around it by p percent.
void BuildPatternTable(int32_t p, uint8_t table[256]) {
  if (p >= 100) {
    for (int32_t i = 0; i < 256; ++i) table[i] = i < kPatternPivot ? 0 : 255;
    return;
  }
  const int64_t d = (1024 * int64_t{p}) / 100;
  const int64_t g = 1048576 / (1024 - d);
  int64_t k = 1024;
  if (p > 97) {
    k = 973;
  } else if (p == 97) {
    k = 983;
  } else if (p == 96) {
    k = 950;
  } else if (p > 80) {
    k = 1008;
  }
  const int64_t pivot = int64_t{kPatternPivot} * 1024;
  const int64_t dk = k + d - 1024;
  const int64_t b = -(((dk * pivot) / 1024) * g) / 1024;
  for (int32_t i = 0; i < 256; ++i) {
    const int64_t v = (i * g * k / 1024 + b) / 1024;
    table[i] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
  }
}

}  // namespace

bool IsPatternPicture(const uint8_t* bytes, size_t size, int32_t tile) {
  if (bytes == nullptr || size < kPatternBitsOffset + size_t(tile) * size_t(tile)) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  if (ReadLe32(bytes + 10) != kPatternBitsOffset) return false;
  const uint8_t* info = bytes + 14;
  const int32_t width = int32_t(ReadLe32(info + 4));
  const int32_t height = int32_t(ReadLe32(info + 8));
  const uint32_t colours = ReadLe32(info + 32);
  return ReadLe32(info) == 40 && width == tile && (height == tile || height == -tile) &&
         ReadLe16(info + 12) == 1 && ReadLe16(info + 14) == 8 && ReadLe32(info + 16) == 0 &&
         (colours == 0 || colours == 256);
}

void AttachPatternPictures(PhotoCorrectContext* context, PatternPicture level2, PatternPicture level3) {
  context->pattern_pictures[0] = level2;
  context->pattern_pictures[1] = level3;
}

int32_t RunPatternPass(PhotoCorrectContext* context, bool correct) {
  PhotoCorrectContext& c = *context;
  PatternState& state = c.pattern;
  state.flag = c.settings.Level == 2 ? 1 : 0;
  state.tile = state.flag == 1 ? 128 : 256;
  state.strength = c.settings.Strength == 0 ? 40 : (c.settings.Strength == 5 ? 60 : 80);
  state.pivot = kPatternPivot;
  state.offset = kPatternOffset;
  BuildPatternTable(state.strength, state.table);
  // A missing or malformed picture is never read: the pass then adds no pattern.
  const PatternPicture& picture = c.pattern_pictures[state.flag == 1 ? 0 : 1];
  state.pattern = IsPatternPicture(picture.bytes, picture.size, state.tile)
                      ? picture.bytes + kPatternBitsOffset
                      : nullptr;
  const bool have_tables = !correct || PrepareCorrection(context) == kInnerOk;
  const int32_t width = c.source.Width;
  const uint8_t* source = c.source_bits;
  uint8_t* destination = c.destination_bits;
  const int32_t tile = state.tile;
  for (int32_t y = 0; y < c.source.Height; ++y) {
    UnpackRow(c.pixel, source, width, c.input_row);
    if (correct && have_tables) {
      CorrectRow(c.row, c.parameters, &c.tables, c.input_row, c.output_row);
    } else {
      std::memcpy(c.output_row, c.input_row, 3 * size_t(width));
    }
    if (state.pattern != nullptr) {
      const uint8_t* pattern_row = state.pattern + size_t(y % tile) * size_t(tile);
      for (int32_t x = 0; x < width; ++x) {
        const int32_t g = (int32_t(state.table[pattern_row[x % tile]]) - state.offset) >> 1;
        uint8_t* px = c.output_row + 3 * x;
        for (int ch = 0; ch < 3; ++ch) px[ch] = uint8_t(Limit(px[ch] + g, 0, 255));
      }
    }
    PackRow(c.pixel, c.output_row, width, destination);
    source += c.source.Stride;
    destination += c.destination.Stride;
  }
  if (correct) FreeCorrectionTables(&c.tables);
  return have_tables ? kImageOk : kImageNoMemory;
}

}  // namespace kalimu::imaging
