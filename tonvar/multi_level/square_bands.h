// The sub-pixel bands D1 to D4 of the equal-resolution kernels, which the kernels for a
// horizontal resolution twice the vertical reuse with masks of their own.
#pragma once

#include "tonvar/multi_level/diffusion_walk.h"

namespace tonvar::multi_level::diffusion {

enum SquareBand { kSquareD1, kSquareD2, kSquareD3, kSquareD4 };

// The spread of the third weights: P1's error to the next cell and below, P2's and P3's mostly to
// the row pair below.
inline void SpreadThirdWeights(PassState& s, int32_t* e, int32_t e1, int32_t e2, int32_t e3) {
  e[-2] = s.pending_left;
  e[-1] = s.pending_right + (e2 >> 2) - (e2 >> 5);
  s.pending_left = s.pending_next + (e2 >> 2) + (e2 >> 5) + (e3 >> 3);
  s.pending_right = (e2 >> 2) - (e2 >> 5) + (e3 >> 2);
  s.pending_next = e3 >> 2;
  s.carry_lower = (e1 >> 2) + (e3 >> 2);
  s.carry_upper = (e1 >> 2) + (e3 >> 3);
}

// Decides P0 to P3 with the band's inputs, each against the base threshold raised by the penalty
// when the history matches the sub-pixel's mask and `penalise` holds, then spreads the errors.
template <SquareBand band>
[[gnu::noinline]] uint32_t SquareSubPixels(PassState& s, const PassCell& p, const uint32_t masks[4], bool penalise) {
  int32_t* e = p.e;
  const int32_t penalty = Penalty(p.r);
  const auto threshold = [&](int i) { return p.base + (penalise && (s.history & masks[i]) != 0 ? penalty : 0); };
  SubPixelDecision sub;
  const int32_t e0 = sub.Decide(0, e[0] + p.t[0] + s.carry_upper, threshold(0), p.occupied);
  const int32_t u1 = band == kSquareD2 ? e[1] + (e0 >> 1) + p.t[1] : e[1] + (e0 >> 3) + (e0 >> 2) + p.t[1];
  const int32_t e1 = sub.Decide(1, u1, threshold(1), p.occupied);
  const int32_t u2 = band >= kSquareD3 ? (e0 >> 3) + (e0 >> 2) + (e1 >> 2) + p.t[2] + s.carry_lower
                                       : (e0 >> 2) + (e1 >> 2) + p.t[2] + s.carry_lower;
  const int32_t e2 = sub.Decide(2, u2, threshold(2), p.occupied);
  int32_t h = e2 >> 1, g = e2 >> 2;
  if ((sub.flags & 4) != 0 && (p.r & 2) != 0) h = g = (e2 >> 2) + (e2 >> 3);
  int32_t u3;
  if constexpr (band == kSquareD1) {
    u3 = (e0 >> 3) + (e0 >> 2) + (e1 >> 3) + (e2 >> 3) + (e2 >> 2) + p.t[3];
  } else if constexpr (band == kSquareD2) {
    u3 = (e0 >> 3) + (e1 >> 3) + h + p.t[3];
  } else {
    u3 = (e0 >> 2) + (e1 >> 2) + (e2 >> 2) + (e2 >> 5) + p.t[3];
  }
  const int32_t e3 = sub.Decide(3, u3, threshold(3), p.occupied);
  s.history = (s.history << 4) | sub.flags;
  const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
  if constexpr (band == kSquareD1) {
    e[-2] = pending_left + (e2 >> 3);
    e[-1] = pending_right + (e3 >> 3);
    e[3] += e3 >> 3;
    s.pending_left = pending_next + (e2 >> 3) + (e3 >> 3);
    s.pending_right = (e2 >> 2) + (e3 >> 3);
    s.pending_next = (e3 >> 3) + (e3 >> 4);
    s.carry_lower = (e1 >> 2) + (e3 >> 3) + (e3 >> 4);
    s.carry_upper = (e1 >> 3) + (e1 >> 2) + (e2 >> 3) + (e3 >> 3);
  } else if constexpr (band == kSquareD2) {
    e[-2] = pending_left;
    e[-1] = pending_right + g + (e0 >> 3);
    s.pending_left = pending_next + (e2 >> 3) + (e3 >> 2);
    s.pending_right = (e2 >> 3) + (e3 >> 3);
    s.pending_next = e3 >> 3;
    s.carry_lower = (e1 >> 2) + (e3 >> 2);
    s.carry_upper = (e1 >> 3) + (e1 >> 2) + (e3 >> 2);
  } else {
    SpreadThirdWeights(s, e, e1, e2, e3);
  }
  return sub.dots;
}

}  // namespace tonvar::multi_level::diffusion
