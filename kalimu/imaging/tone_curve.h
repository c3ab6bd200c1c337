// A channel's 8-bit tone curve from the amounts: the black and white stretch, then the spline
// through the key points that contrast, brightness, highlight balance and gamma moved. Shared by
// the planner's preview curves and the table builder.
#pragma once

#include <cstdint>

#include "kalimu/imaging/correction_planner.h"

namespace kalimu::imaging {

struct KeyPoints {
  int32_t lo;
  int32_t mid;
  int32_t hi;
};

KeyPoints ToneKeyPoints(int32_t contrast, int32_t brightness, int32_t highlight_balance,
                        int32_t gamma);

// A double truncated toward zero and limited to lo..hi; anything not a number gives lo.
int32_t TruncateLimited(double v, int32_t lo, int32_t hi);

// How the stretch is written: the planner's preview, x * (255/e) + d * (-255/e), or the table
// builder's, (255/e) * x + (-255 d / e). The two can truncate differently at whole numbers.
enum class StretchForm { kPreview, kTables };

// curve[x] = the tone spline at the stretched x, limited to 0..255, for channel (0 red, 1 green,
// 2 blue); the channel offset is not applied.
void ChannelToneCurve(const CorrectionAmounts& amounts, int channel, StretchForm form, int32_t curve[256]);

}  // namespace kalimu::imaging
