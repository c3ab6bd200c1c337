// The filter pass: a nine-by-nine weighted average that a pixel takes only where it is
// brighter than the pixel itself.
#include "kalimu/imaging/correct_row.h"
#include "kalimu/imaging/curve_routines.h"
#include "kalimu/imaging/image_memory.h"
#include "kalimu/imaging/photo_correct_context.h"

namespace kalimu::imaging {
namespace {

void SetFilterStrength(int32_t strength_setting, FilterState* filter) {
  filter->strength = strength_setting == 0 ? 60 : (strength_setting == 5 ? 40 : 20);
  const int32_t k = filter->strength == 60 ? 1 : (filter->strength == 40 ? 3 : 10);
  int32_t sum = 0;
  for (int32_t i = 0; i < 4; ++i) {
    filter->taps[i] = i / k + 1;
    filter->taps[kFilterTaps - 1 - i] = filter->taps[i];
    sum += 2 * filter->taps[i];
  }
  filter->taps[4] = 4 / k;
  sum += filter->taps[4];
  filter->normaliser = sum * sum;
}

}  // namespace

int32_t RunFilterPass(PhotoCorrectContext* context, bool correct) {
  PhotoCorrectContext& c = *context;
  FilterState& filter = c.filter;
  SetFilterStrength(c.settings.Strength, &filter);
  const int32_t width = c.source.Width;
  const int32_t height = c.source.Height;
  bool ready = true;
  for (int32_t*& sums : filter.column_sums) {
    sums = static_cast<int32_t*>(ImageBlockAlloc(sizeof(int32_t) * size_t(width), 1));
    ready &= sums != nullptr;
  }
  if (ready && correct) ready = PrepareCorrection(context) == kInnerOk;
  if (!ready) {
    CopyRowsUnchanged(context);
  } else {
    // The window holds source rows y-4 .. y+4, the picture's first and last rows standing in
    // beyond its edges; each source row enters once, in order, into slot (row mod 9).
    int32_t loaded = 0;
    auto load_through = [&](int32_t last) {
      for (; loaded <= last && loaded < height; ++loaded) {
        uint8_t* slot = c.filter_rows[loaded % kFilterRows];
        UnpackRow(c.pixel, c.source_bits + size_t(loaded) * size_t(c.source.Stride), width, slot);
        if (correct) CorrectRow(c.row, c.parameters, &c.tables, slot, slot);
      }
    };
    const int32_t n = filter.normaliser;
    uint8_t* destination = c.destination_bits;
    for (int32_t y = 0; y < height; ++y) {
      load_through(y + 4);
      const uint8_t* window[kFilterTaps];
      for (int32_t k = 0; k < kFilterTaps; ++k) {
        const int32_t source_row = Limit(y + k - 4, 0, height - 1);
        window[k] = c.filter_rows[source_row % kFilterRows];
      }
      for (int32_t x = 0; x < width; ++x) {
        for (int ch = 0; ch < 3; ++ch) {
          int32_t sum = 0;
          for (int32_t k = 0; k < kFilterTaps; ++k) sum += filter.taps[k] * window[k][3 * x + ch];
          filter.column_sums[ch][x] = sum;
        }
      }
      const uint8_t* centre = window[4];
      for (int32_t x = 0; x < width; ++x) {
        int32_t average[3];
        for (int ch = 0; ch < 3; ++ch) {
          int32_t sum = 0;
          for (int32_t k = 0; k < kFilterTaps; ++k) {
            sum += filter.taps[k] * filter.column_sums[ch][Limit(x + k - 4, 0, width - 1)];
          }
          average[ch] = sum / n;
        }
        const uint8_t* own = centre + 3 * x;
        uint8_t* out = c.output_row + 3 * x;
        const bool brighter = own[0] + own[1] + own[2] < average[0] + average[1] + average[2];
        for (int ch = 0; ch < 3; ++ch) out[ch] = brighter ? uint8_t(average[ch]) : own[ch];
      }
      PackRow(c.pixel, c.output_row, width, destination);
      destination += c.destination.Stride;
    }
  }
  if (correct) FreeCorrectionTables(&c.tables);
  for (int32_t*& sums : filter.column_sums) {
    ImageBlockFree(sums);
    sums = nullptr;
  }
  return ready ? kImageOk : kImageNoMemory;
}

}  // namespace kalimu::imaging
