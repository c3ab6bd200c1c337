// The three key points (at 64, 128, 192) of a channel's tone curve after contrast, brightness,
// highlight balance and gamma; shared by the planner's preview curves and the table builder.
#pragma once

#include <cstdint>

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

}  // namespace kalimu::imaging
