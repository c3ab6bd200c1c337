// Cell error diffusion for a vertical resolution twice the horizontal, 4 and 8 inks.
#include "tonvar/multi_level/diffusion_streams.h"
#include "tonvar/multi_level/square_bands.h"

namespace tonvar::multi_level {
namespace {

using diffusion::kDotWeight;
using diffusion::kFullCell;
using diffusion::PassCell;
using diffusion::PassState;
using diffusion::SubPixelDecision;

constexpr int32_t kRandomLift = 1920;  // threshold lift of P0 and P1 in the cell-test band

// Half of the value straight down, a quarter down-left, an eighth down-right, an eighth ahead.
void NoDot(PassState& s, int32_t* e, int32_t v) {
  e[-2] = s.pending_left;
  e[-1] = s.pending_right + (v >> 2);
  s.pending_left = (v >> 1) + s.pending_next;
  s.pending_next = v >> 3;
  s.carry_upper = v >> 3;
  s.carry_lower = 0;
  s.pending_right = 0;
}

// The single-dot, cell-test and full bands place dots without looking at what the cell holds (a
// small dot on a medium one makes a large one); only the medium pass counts a larger dot already
// there against the total of S2 and G.
struct Tall {
  static constexpr bool kDrawAtSetUp = true;
  static constexpr int32_t kIdleCount = 4;

  static void Idle(PassState& s, int32_t* e) { diffusion::Idle(s, e, NoDot); }

  template <bool kSmall>
  static int32_t Total(const PassState& s, const PassCell& p, bool counts_occupied) {
    const int32_t v = p.e[0] + p.e[1] + p.density + s.carry_upper + s.carry_lower;
    return !kSmall && counts_occupied && p.occupied != 0 ? v - kDotWeight : v;
  }

  template <bool kSmall>
  static uint32_t SingleDot(PassState& s, const PassCell& p, bool second_band) {
    int32_t* e = p.e;
    const int32_t v = Total<kSmall>(s, p, second_band);
    if (v <= p.base + diffusion::Jitter(p.r)) {
      NoDot(s, e, v);
      return 0;
    }
    const uint32_t k = p.r & 3;
    const int32_t err = v - kDotWeight;
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    if (!second_band) {
      if (p.density <= 128 || k == 0) {
        e[-5] += err >> 4;
        e[-3] += err >> 4;
        e[4] += err >> 4;
        e[6] += err >> 4;
      } else {
        e[-3] += err >> 3;
        e[4] += err >> 3;
      }
      e[-2] = pending_left;
      e[-1] = pending_right + (err >> 3);
      s.pending_left = (err >> 3) + pending_next;
      s.pending_next = err >> 3;
      s.pending_right = err >> 3;
      s.carry_upper = err >> 3;
      s.carry_lower = err >> 3;
    } else if (k != 0) {
      e[-2] = pending_left;
      e[-1] = pending_right + (err >> 2);
      s.pending_left = (err >> 2) + (err >> 3) + pending_next;
      s.pending_next = err >> 3;
      s.carry_upper = err >> 2;
      s.pending_right = 0;
      s.carry_lower = 0;
    } else {
      e[-3] += err >> 3;
      e[4] += err >> 3;
      e[-2] = pending_left;
      e[-1] = pending_right + (err >> 3);
      s.pending_left = (err >> 3) + pending_next;
      s.pending_next = s.pending_right = s.carry_upper = s.carry_lower = err >> 3;
    }
    return 1u << k;
  }

  template <bool kSmall>
  static uint32_t CellTest(PassState& s, const PassCell& p) {
    int32_t* e = p.e;
    const int32_t v = Total<kSmall>(s, p, true);
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    if (v <= p.base) {
      s.history <<= 4;
      e[-2] = pending_left;
      e[-1] = pending_right + (v >> 2);
      s.pending_left = (v >> 2) + pending_next;
      s.pending_next = v >> 3;
      s.pending_right = v >> 3;
      s.carry_upper = v >> 2;
      s.carry_lower = 0;
      return 0;
    }
    const bool penalise = (p.r & 6) != 0;
    const int32_t penalty = diffusion::Penalty(p.r);
    const auto threshold = [&](uint32_t mask) {
      return p.base + (penalise && (s.history & mask) != 0 ? penalty : 0);
    };
    SubPixelDecision sub;  // no occupancy here: every sub-pixel is tested
    const int32_t e0 = sub.Decide(0, e[0] + p.t[0] + s.carry_upper, threshold(0x111) + ((p.r & 1) != 0 ? kRandomLift : 0), 0);
    const int32_t e1 =
        sub.Decide(1, e[1] + p.t[1] + (e0 >> 3) + (e0 >> 2), threshold(0x222) + ((p.r & 2) != 0 ? kRandomLift : 0), 0);
    const int32_t e2 = sub.Decide(2, (e0 >> 3) + (e0 >> 2) + (e1 >> 2) + p.t[2] + s.carry_lower, threshold(0x444), 0);
    const int32_t e3 = sub.Decide(3, (e0 >> 2) + (e1 >> 2) + (e2 >> 2) + p.t[3], threshold(0x888), 0);
    s.history = (s.history << 4) | sub.flags;
    e[-2] = pending_left;
    e[-1] = pending_right + (e2 >> 2);
    s.pending_left = (e2 >> 2) + (e3 >> 3) + pending_next;
    s.pending_right = (e2 >> 2) + (e3 >> 2);
    s.pending_next = e3 >> 2;
    s.carry_upper = (e1 >> 2) + (e3 >> 3);
    s.carry_lower = (e1 >> 2) + (e3 >> 2);
    return sub.dots;
  }

  enum Band { kE, kF, kH };

  template <Band band>
  static uint32_t SubPixels(PassState& s, const PassCell& p) {
    int32_t* e = p.e;
    const bool short_masks = band == kH || (band == kF && p.density > 2688);
    const uint32_t mask_step = short_masks ? 0x11 : 0x111;
    bool penalise = true;
    if (band == kE) penalise = (p.r & 6) != 0;
    if (band == kF && !short_masks) penalise = (p.r & 12) != 0;
    const int32_t penalty = diffusion::Penalty(p.r);
    const auto threshold = [&](int i) {
      return p.base + (penalise && (s.history & (mask_step << i)) != 0 ? penalty : 0);
    };
    SubPixelDecision sub;
    const int32_t e0 = sub.Decide(0, e[0] + p.t[0] + s.carry_upper, threshold(0), p.occupied);
    int32_t e1, e2, e3;
    if (band != kH) {
      e1 = sub.Decide(1, e[1] + p.t[1] + (e0 >> 2), threshold(1), p.occupied);
      e2 = sub.Decide(2, (e0 >> 1) + (e1 >> 3) + p.t[2] + s.carry_lower, threshold(2), p.occupied);
      e3 = sub.Decide(3, (e0 >> 2) + (e1 >> 1) + (e2 >> 2) + p.t[3], threshold(3), p.occupied);
    } else {
      e1 = sub.Decide(1, e[1] + p.t[1] + (e0 >> 3) + (e0 >> 2), threshold(1), p.occupied);
      e2 = sub.Decide(2, (e0 >> 3) + (e0 >> 2) + (e1 >> 2) + p.t[2] + s.carry_lower, threshold(2), p.occupied);
      e3 = sub.Decide(3, (e0 >> 2) + (e1 >> 2) + (e2 >> 2) + (e2 >> 5) + p.t[3], threshold(3), p.occupied);
    }
    s.history = (s.history << 4) | sub.flags;
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    e[-2] = pending_left;
    if (band == kE) {
      e[-1] = pending_right + (e2 >> 2);
      s.pending_left = pending_next + (e2 >> 3) + (e2 >> 2) + (e3 >> 3);
      s.pending_next = e3 >> 3;
      s.pending_right = (e2 >> 3) + (e3 >> 1);
      s.carry_upper = (e1 >> 2) + (e3 >> 3);
      s.carry_lower = (e1 >> 3) + (e3 >> 3);
    } else if (band == kF) {
      int32_t x, y, z;
      if ((sub.flags & 8) == 0) {
        x = e3 >> 1, y = 0, z = e3 >> 3;
      } else if ((p.r & 3) != 0) {
        x = e3 >> 2, y = e3 >> 3, z = e3 >> 2;
      } else {
        x = (e3 >> 3) + (e3 >> 2), y = e3 >> 3, z = e3 >> 3;
      }
      e[-1] = pending_right + (e2 >> 2);
      s.pending_left = pending_next + (e2 >> 3) + (e2 >> 2) + (e3 >> 2);
      s.pending_next = e3 >> 3;
      s.pending_right = (e2 >> 3) + x;
      s.carry_upper = (e1 >> 2) + y;
      s.carry_lower = (e1 >> 3) + z;
    } else {
      diffusion::SpreadThirdWeights(s, e, e1, e2, e3);
    }
    return sub.dots;
  }

  template <bool kSmall>
  static uint32_t Bands(PassState& s, const PassCell& p) {
    const int32_t d = p.density;
    if (d <= 384) return SingleDot<kSmall>(s, p, false);
    if (d <= 832) return SingleDot<kSmall>(s, p, true);
    if (d <= 1280) return CellTest<kSmall>(s, p);
    if (d <= 2048) return SubPixels<kE>(s, p);
    if (d == kFullCell) {
      NoDot(s, p.e, p.e[0] + p.e[1] + s.carry_upper + s.carry_lower);
      return 0xF;
    }
    if (d <= 6528 || d > 11520) return SubPixels<kF>(s, p);
    return SubPixels<kH>(s, p);
  }
};

}  // namespace

void DiffuseCells1x2(const DiffusionCall& call) { diffusion::WalkCells<Tall>(call); }
void DiffuseInks1x2(const DiffusionCall* calls, int count) { diffusion::WalkInks<Tall>(calls, count); }

}  // namespace tonvar::multi_level
