// The pass of the cell error diffusion for a horizontal resolution twice the vertical, shared by
// the four-level kernels and the one-bit core.
#pragma once

#include "tonvar/multi_level/square_bands.h"

namespace tonvar::multi_level::diffusion {

// Three eighths of the value ahead, three eighths down-right, an eighth each down-left and down.
inline void WideNoDot(PassState& s, int32_t* e, int32_t v) {
  e[-2] = s.pending_left;
  e[-1] = s.pending_right + (v >> 2) + (v >> 3);
  s.pending_left = (v >> 3) + s.pending_next;
  s.pending_next = v >> 3;
  s.carry_upper = (v >> 2) + (v >> 3);
  s.pending_right = 0;
  s.carry_lower = 0;
}

// kInk8: no draw at the set-up, no gated penalty, single-dot spreads by density alone, the cell
// test against b + jitter with three-cell masks. kOneBit (with kInk8): no occupancy and a
// single-dot band one step shorter.
template <bool kInk8, bool kOneBit = false>
struct Wide {
  static_assert(kInk8 || !kOneBit);
  static constexpr bool kDrawAtSetUp = !kInk8;
  static constexpr int32_t kIdleCount = 7;
  static constexpr int32_t kSingleDotLimit = kOneBit ? 575 : 576;

  static void Idle(PassState& s, int32_t* e) { diffusion::Idle(s, e, WideNoDot); }

  template <bool kSmall>
  static uint32_t SingleDot(PassState& s, const PassCell& p) {
    int32_t* e = p.e;
    const int32_t d = p.density;
    int32_t v = e[0] + e[1] + d + s.carry_lower + s.carry_upper;
    if (kSmall && p.occupied != 0) v -= kDotWeight;
    if (v <= p.base + Jitter(p.r)) {
      WideNoDot(s, e, v);
      return 0;
    }
    const uint32_t k = p.r & 3;
    const int32_t err = v - kDotWeight;
    int spread = d <= 64 ? 1 : d <= 128 ? 2 : d <= 320 ? 3 : 4;
    if (!kInk8 && k == 0 && spread > 1) --spread;
    const int32_t e3 = err >> 3, e4 = err >> 4;
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    e[-2] = pending_left;
    switch (spread) {
      case 1:
      case 2:
        e[-11] += e4, e[-9] += e4, e[-7] += e4, e[-5] += e4, e[-3] += e4;
        e[4] += e4, e[6] += e4, e[8] += e4, e[10] += e4, e[12] += e4;
        if (spread == 1) e[14] += e4, e[16] += e4;
        e[-1] = pending_right + e4;
        s.pending_left = pending_next + e4;
        s.pending_next = e4;
        s.pending_right = spread == 1 ? 0 : e4;
        s.carry_lower = spread == 1 ? 0 : e4;
        s.carry_upper = e4;
        break;
      case 3:
        e[-7] += e4, e[-3] += e4, e[6] += e4, e[8] += e4;
        e[-5] += e3, e[4] += e3;
        e[-1] = pending_right + e3;
        s.pending_left = pending_next + e4;
        s.pending_next = e4;
        s.pending_right = e4;
        s.carry_lower = e4;
        s.carry_upper = e3;
        break;
      default:
        e[-5] += e4;
        e[-3] += e3;
        e[4] += err >> 1;
        e[-1] = pending_right + e3;
        s.pending_left = pending_next + e3;
        s.pending_next = 0;
        s.pending_right = 0;
        s.carry_lower = 0;
        s.carry_upper = e4;
        break;
    }
    return kSmall ? (1u << k) & ~p.occupied : 1u << k;
  }

  template <bool kSmall>
  static uint32_t CellTest(PassState& s, const PassCell& p) {
    int32_t* e = p.e;
    int32_t v = p.density + e[0] + e[1] + s.carry_lower + s.carry_upper;
    if (p.occupied != 0) v -= kDotWeight;
    const int32_t cell_threshold = kInk8 ? p.base + Jitter(p.r) : p.base;
    if (v <= cell_threshold) {
      WideNoDot(s, e, v);
      return 0;
    }
    static constexpr uint32_t kMasks[4] = {kInk8 ? 0x333u : 0x11111u, kInk8 ? 0x222u : 0x22222u,
                                           kInk8 ? 0x444u : 0x44444u, kInk8 ? 0x888u : 0x88888u};
    const bool penalise = kInk8 || (p.r & 6) != 0;
    const int32_t penalty = Penalty(p.r);
    const auto threshold = [&](int i) {
      return cell_threshold + (penalise && (s.history & kMasks[i]) != 0 ? penalty : 0);
    };
    SubPixelDecision sub;  // decided without looking at what the cell holds
    const int32_t e0 = sub.Decide(0, e[0] + p.t[0] + s.carry_upper, threshold(0), 0);
    const int32_t e1 = sub.Decide(1, e[1] + (e0 >> 3) + (e0 >> 2) + p.t[1], threshold(1), 0);
    const int32_t e2 = sub.Decide(2, (e0 >> 2) + (e1 >> 2) + p.t[2] + s.carry_lower, threshold(2), 0);
    const int32_t e3 =
        sub.Decide(3, (e0 >> 3) + (e0 >> 2) + (e1 >> 4) + (e1 >> 3) + (e2 >> 3) + (e2 >> 2) + p.t[3], threshold(3), 0);
    s.history = (s.history << 4) | sub.flags;
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    e[-4] += e2 >> 3;
    e[-2] = pending_left + (e2 >> 3);
    e[-1] = pending_right + (e3 >> 3);
    e[3] += e3 >> 3;
    s.pending_left = pending_next + (e3 >> 3);
    s.pending_right = (e2 >> 2) + (e3 >> 3);
    s.pending_next = e3 >> 3;
    s.carry_lower = (e1 >> 4) + (e1 >> 3) + (e3 >> 2);
    s.carry_upper = (e1 >> 3) + (e1 >> 2) + (e2 >> 3) + (e3 >> 3);
    return kSmall ? sub.dots & ~p.occupied : sub.dots;
  }

  // The sub-pixel bands of the equal-resolution kernels, with this ratio's masks.
  template <SquareBand band>
  static uint32_t SubPixels(PassState& s, const PassCell& p) {
    const bool long_masks = band == kSquareD1 && p.density <= 1600;
    const uint32_t masks[4][4] = {
        {long_masks ? 0x33333u : 0x333u, 0x222, 0x444, long_masks ? 0x88888u : 0x888u},
        {0x111, 0x222, 0x444, 0x888},
        {0x111, 0x22, 0x44, 0x88},
        {0x11, 0x22, 0x44, 0x88},
    };
    return SquareSubPixels<band>(s, p, masks[band], kInk8 || band >= kSquareD3 || (p.r & 6) != 0);
  }

  template <bool kSmall>
  static uint32_t Bands(PassState& s, const PassCell& p) {
    const int32_t d = p.density;
    if (d <= kSingleDotLimit) return SingleDot<kSmall>(s, p);
    if (d <= 832) return CellTest<kSmall>(s, p);
    if (d <= 2560) return SubPixels<kSquareD1>(s, p);
    if (d <= 3072) return SubPixels<kSquareD2>(s, p);
    if (d == kFullCell) {
      WideNoDot(s, p.e, p.e[0] + p.e[1] + s.carry_lower + s.carry_upper);
      return kSmall ? 0xFu & ~p.occupied : 0xFu;
    }
    if (d <= 6528 || d > 11520) return SubPixels<kSquareD3>(s, p);
    return SubPixels<kSquareD4>(s, p);
  }
};

}  // namespace tonvar::multi_level::diffusion
