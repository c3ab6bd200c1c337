// Cell error diffusion for a horizontal resolution four times the vertical, 4 and 8 inks alike.
#include "tonvar/multi_level/diffusion_streams.h"
#include "tonvar/multi_level/square_bands.h"

namespace tonvar::multi_level {
namespace {

using diffusion::kDotWeight;
using diffusion::kFullCell;
using diffusion::PassCell;
using diffusion::PassState;
using diffusion::SubPixelDecision;

// Three sixteenths of the value to columns c - 4, c - 2 and c + 4 of the next row pair, the
// rest down-right and ahead.
void NoDot(PassState& s, int32_t* e, int32_t v) {
  const int32_t a = (v >> 3) + (v >> 4);
  e[-4] += a;
  e[-2] = s.pending_left + a;
  e[-1] = s.pending_right;
  e[4] += a;
  s.pending_left = (v >> 3) + s.pending_next;
  s.pending_next = v >> 3;
  s.carry_upper = a;
  s.pending_right = 0;
  s.carry_lower = 0;
}

// Shares of a single dot's error e.
enum Share : uint8_t {
  kNone,
  kE3,
  kE4,
  kE5,
  kNarrow,    // ((e >> 5) + (e >> 3)) >> 2
  kE6E5,      // e >> 6 + e >> 5
  kHalfE4E6,  // (e >> 4 + e >> 6) >> 1
  kE4mE6,
  kE4mE7,
  kE4pE7,
  kE4pE6,
  kE5pE4,
  kE6E7E4,
  kE3pE6,
  kE5pE3,
  kE3mE6,
};

int32_t ShareOf(Share share, int32_t e) {
  switch (share) {
    case kNone: return 0;
    case kE3: return e >> 3;
    case kE4: return e >> 4;
    case kE5: return e >> 5;
    case kNarrow: return ((e >> 5) + (e >> 3)) >> 2;
    case kE6E5: return (e >> 6) + (e >> 5);
    case kHalfE4E6: return ((e >> 4) + (e >> 6)) >> 1;
    case kE4mE6: return (e >> 4) - (e >> 6);
    case kE4mE7: return (e >> 4) - (e >> 7);
    case kE4pE7: return (e >> 4) + (e >> 7);
    case kE4pE6: return (e >> 4) + (e >> 6);
    case kE5pE4: return (e >> 5) + (e >> 4);
    case kE6E7E4: return (e >> 6) + (e >> 7) + (e >> 4);
    case kE3pE6: return (e >> 3) + (e >> 6);
    case kE5pE3: return (e >> 5) + (e >> 3);
    case kE3mE6: return (e >> 3) - (e >> 6);
  }
  return 0;
}

// Columns a single dot's error is added to, relative to the cell's left column.
constexpr int kSpreadColumns[16] = {-17, -15, -13, -11, -9, -7, -5, -3, 4, 6, 8, 10, 12, 14, 16, 18};

struct Spread {
  Share add[16];  // by kSpreadColumns
  Share left_down;     // added to the pending right value for column c - 1
  Share pending_left;  // added to the pending next value
  Share pending_right;
  Share pending_next;
  Share carry_upper;
  Share carry_lower;
};

// By density: 1-64, 65-128, 129-192, 193-256, 257-320, 321-448, 449-640. The sparser the cell,
// the farther a lone dot's error travels.
constexpr Spread kSpreads[7] = {
    {{kE5, kE5, kE5, kNarrow, kNarrow, kE6E5, kE6E5, kE6E5, kE4, kE4, kE6E5, kNarrow, kNarrow, kE5, kE5, kE5},
     kE4, kE4, kE4mE6, kE4, kE4, kE4mE6},
    {{kNone, kE5, kE5, kE6E5, kE6E5, kE6E5, kE6E5, kE6E5, kE4, kE4, kE6E5, kE6E5, kE6E5, kE5, kE5, kNone},
     kE4, kE4, kE4, kE4, kE4, kE4},
    {{kNone, kNone, kE5, kE6E5, kE6E5, kE6E5, kE6E5, kE6E5, kE4pE6, kE4pE6, kE4, kE4, kE6E5, kE5, kNone, kNone},
     kE4, kE4, kE4, kE4, kE4, kE4},
    {{kNone, kNone, kNone, kHalfE4E6, kE4mE6, kE4mE6, kE4mE7, kE4, kE5pE4, kE6E7E4, kE4pE6, kE4, kE4mE7, kNone,
      kNone, kNone},
     kE4, kE4, kE4, kE4, kE4, kE4},
    {{kNone, kNone, kNone, kNone, kE4mE6, kE4mE7, kE4, kE4pE7, kE5pE4, kE5pE4, kE4pE6, kE4, kNone, kNone, kNone,
      kNone},
     kE4, kE4pE6, kE4, kE4, kE3mE6, kE4},
    {{kNone, kNone, kNone, kNone, kNone, kE5, kE4mE6, kE4, kE3pE6, kE3mE6, kE4pE6, kNone, kNone, kNone, kNone,
      kNone},
     kE4pE6, kE5pE4, kE4pE6, kE4pE6, kE3, kE4pE6},
    {{kNone, kNone, kNone, kNone, kNone, kNone, kE5, kE4, kE5pE3, kE3, kE4, kNone, kNone, kNone, kNone, kNone},
     kE5pE4, kE4pE6, kE4pE6, kE4pE6, kE3pE6, kE4pE6},
};

int SpreadOf(int32_t d) {
  static constexpr int32_t kLimits[6] = {64, 128, 192, 256, 320, 448};
  int i = 0;
  while (i < 6 && d > kLimits[i]) ++i;
  return i;
}

struct FourToOne {
  static constexpr bool kDrawAtSetUp = false;
  static constexpr int32_t kIdleCount = 12;

  static void Idle(PassState& s, int32_t* e) { diffusion::Idle(s, e, NoDot); }

  template <bool kSmall>
  static uint32_t SingleDot(PassState& s, const PassCell& p) {
    int32_t* e = p.e;
    int32_t v = e[0] + e[1] + p.density + s.carry_lower + s.carry_upper;
    if (kSmall && p.occupied != 0) v -= kDotWeight;
    if (v <= p.base + diffusion::Jitter(p.r)) {
      NoDot(s, e, v);
      return 0;
    }
    const int32_t err = v - kDotWeight;
    const Spread& spread = kSpreads[SpreadOf(p.density)];
    for (int i = 0; i < 16; ++i) {
      if (spread.add[i] != kNone) e[kSpreadColumns[i]] += ShareOf(spread.add[i], err);
    }
    e[-2] = s.pending_left;
    e[-1] = s.pending_right + ShareOf(spread.left_down, err);
    s.pending_left = s.pending_next + ShareOf(spread.pending_left, err);
    s.pending_right = ShareOf(spread.pending_right, err);
    s.pending_next = ShareOf(spread.pending_next, err);
    s.carry_upper = ShareOf(spread.carry_upper, err);
    s.carry_lower = ShareOf(spread.carry_lower, err);
    return 1u << (p.r & 3);
  }

  enum Band { kD1, kD2, kD3, kD4, kD5, kD6 };

  template <Band band>
  static uint32_t SubPixels(PassState& s, const PassCell& p) {
    int32_t* e = p.e;
    const uint32_t* masks = band == kD5 ? kSameSubPixel : kAnyLastCell;
    const int32_t penalty = diffusion::Penalty(p.r);
    const auto threshold = [&](int i) { return p.base + ((s.history & masks[i]) != 0 ? penalty : 0); };
    SubPixelDecision sub;
    const int32_t e0 = sub.Decide(0, e[0] + p.t[0] + s.carry_upper, threshold(0), p.occupied);
    int32_t u1 = e[1] + p.t[1];
    switch (band) {
      case kD1: case kD2: case kD4: u1 += (e0 >> 2) + (e0 >> 4) + (e0 >> 5); break;
      case kD3: u1 += (e0 >> 2) + (e0 >> 3) + (e0 >> 5); break;
      case kD5: u1 += (e0 >> 2) + (e0 >> 3); break;
      case kD6: u1 += e0 >> 1; break;
    }
    const int32_t e1 = sub.Decide(1, u1, threshold(1), p.occupied);
    int32_t u2 = p.t[2] + s.carry_lower;
    switch (band) {
      case kD1: u2 += (e0 >> 3) + (e1 >> 2); break;
      case kD2: u2 += (e0 >> 4) + (e1 >> 3) + (e1 >> 4); break;
      case kD3: u2 += (e0 >> 4) + (e0 >> 5) + (e1 >> 4); break;
      case kD4: u2 += (e0 >> 3) + (e0 >> 5) + (e1 >> 2) + (e1 >> 3) + (e1 >> 5); break;
      case kD5: u2 += (e0 >> 2) + (e0 >> 3) + (e1 >> 2); break;
      case kD6: u2 += (e0 >> 2) + (e1 >> 2); break;
    }
    const int32_t e2 = sub.Decide(2, u2, threshold(2), p.occupied);
    int32_t h = e2 >> 1, g = e2 >> 2;
    if ((sub.flags & 4) != 0 && (p.r & 2) != 0) h = g = (e2 >> 2) + (e2 >> 3);
    int32_t u3 = p.t[3];
    switch (band) {
      case kD1: u3 += (e0 >> 2) + (e0 >> 3) + (e0 >> 4) + (e0 >> 5) + (e1 >> 2) + (e2 >> 3) + (e2 >> 4); break;
      case kD2: u3 += (e0 >> 1) + (e0 >> 5) + (e1 >> 2) + (e1 >> 4) + (e1 >> 5) + (e2 >> 3) + (e2 >> 4); break;
      case kD3: u3 += (e0 >> 2) + (e0 >> 3) + (e0 >> 4) + (e1 >> 2) + (e1 >> 3) + (e1 >> 5) + (e2 >> 3); break;
      case kD4: u3 += (e0 >> 2) + (e0 >> 3) + (e0 >> 4) + (e1 >> 2) + (e1 >> 5) + (e2 >> 3) + (e2 >> 4); break;
      case kD5: u3 += (e0 >> 2) + (e1 >> 2) + (e2 >> 2) + (e2 >> 5); break;
      case kD6: u3 += (e0 >> 2) + (e1 >> 3) + h; break;
    }
    const int32_t e3 = sub.Decide(3, u3, threshold(3), p.occupied);
    s.history = (s.history << 4) | sub.flags;
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    switch (band) {
      case kD1:
      case kD2:
        e[-2] = pending_left + (e3 >> 4);
        e[-1] = pending_right + (e2 >> 3) + (e3 >> 4);
        e[3] += (e0 >> 4) + (e1 >> 4) + (e2 >> 3) + (e2 >> 4) + (e3 >> 4);
        e[4] += (e1 >> 3) + (e3 >> 4);
        s.pending_left = pending_next + (e2 >> 3) + (e3 >> 3);
        s.pending_right = e3 >> 3;
        s.pending_next = e2 >> 4;
        s.carry_lower = (e1 >> 3) + (e1 >> 4) + (e2 >> 3) + (e3 >> 2);
        s.carry_upper = band == kD1 ? (e1 >> 3) + (e2 >> 3) + (e2 >> 4) + (e3 >> 2)
                                    : (e1 >> 4) + (e1 >> 5) + (e2 >> 3) + (e2 >> 4) + (e3 >> 2);
        break;
      case kD3:
        e[-2] = pending_left + (e3 >> 4);
        e[-1] = pending_right + (e2 >> 3) + (e2 >> 4) + (e3 >> 4);
        e[3] += (e0 >> 4) + (e1 >> 4) + (e2 >> 2) + (e3 >> 3);
        e[4] += (e1 >> 3) + (e1 >> 5) + (e3 >> 4);
        s.pending_left = pending_next + (e3 >> 4);
        s.pending_right = (e2 >> 4) + (e2 >> 5) + (e3 >> 3) + (e3 >> 4);
        s.pending_next = e2 >> 4;
        s.carry_lower = (e1 >> 3) + (e1 >> 5) + (e2 >> 4) + (e2 >> 5) + (e3 >> 2);
        s.carry_upper = (e1 >> 3) + (e1 >> 5) + (e2 >> 3) + (e2 >> 4) + (e3 >> 3) + (e3 >> 4);
        break;
      case kD4:
        e[-2] = pending_left + (e2 >> 4) + (e3 >> 4);
        e[-1] = pending_right + (e2 >> 2) + (e2 >> 4) + (e3 >> 4);
        e[3] += (e1 >> 4) + (e2 >> 3);
        e[4] += e1 >> 3;
        s.pending_left = pending_next + (e2 >> 3) + (e3 >> 3);
        s.pending_right = (e2 >> 4) + (e3 >> 3) + (e3 >> 4);
        s.pending_next = e3 >> 3;
        s.carry_lower = (e0 >> 4) + (e2 >> 3) + (e3 >> 2);
        s.carry_upper = (e1 >> 3) + (e3 >> 3) + (e3 >> 4);
        break;
      case kD5:
        diffusion::SpreadThirdWeights(s, e, e1, e2, e3);
        break;
      case kD6:
        e[-2] = pending_left;
        e[-1] = pending_right + g;
        s.pending_left = pending_next + (e2 >> 3) + (e3 >> 2);
        s.pending_right = (e2 >> 3) + (e3 >> 3);
        s.pending_next = e3 >> 3;
        s.carry_lower = (e1 >> 2) + (e3 >> 2);
        s.carry_upper = (e1 >> 2) + (e1 >> 3) + (e3 >> 2);
        break;
    }
    return sub.dots;
  }

  // Any dot in the last cell, or the sub-pixel's column two cells back; the same sub-pixel in
  // the last two cells.
  static constexpr uint32_t kAnyLastCell[4] = {0x1F, 0x3F, 0x4F, 0xCF};
  static constexpr uint32_t kSameSubPixel[4] = {0x11, 0x22, 0x44, 0x88};

  template <bool kSmall>
  static uint32_t Bands(PassState& s, const PassCell& p) {
    const int32_t d = p.density;
    if (d <= 640) return SingleDot<kSmall>(s, p);
    if (d <= 1472) return SubPixels<kD1>(s, p);
    if (d <= 1792) return SubPixels<kD2>(s, p);
    if (d <= 2880) return SubPixels<kD3>(s, p);
    if (d <= 5440) return SubPixels<kD4>(s, p);
    if (d <= 11520) return SubPixels<kD5>(s, p);
    if (d == kFullCell) {
      NoDot(s, p.e, p.e[0] + p.e[1] + s.carry_lower + s.carry_upper);
      return 0xF;
    }
    return SubPixels<kD6>(s, p);
  }
};

}  // namespace

void DiffuseCells4x1(const DiffusionCall& call) { diffusion::WalkCells<FourToOne>(call); }
void DiffuseInks4x1(const DiffusionCall* calls, int count) { diffusion::WalkInks<FourToOne>(calls, count); }

}  // namespace tonvar::multi_level
