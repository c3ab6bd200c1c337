// Cell error diffusion for equal horizontal and vertical resolution, 4 and 8 inks.
#include "tonvar/multi_level/diffusion_streams.h"
#include "tonvar/multi_level/square_bands.h"

namespace tonvar::multi_level {
namespace {

using diffusion::kDotWeight;
using diffusion::kFullCell;
using diffusion::PassCell;
using diffusion::PassState;

// A quarter of the value down-left, a quarter down, a quarter down-right, a quarter ahead.
void NoDot(PassState& s, int32_t* e, int32_t v) {
  e[-2] = s.pending_left;
  e[-1] = s.pending_right + (v >> 2);
  s.pending_left = (v >> 2) + s.pending_next;
  s.pending_next = v >> 2;
  s.carry_upper = v >> 2;
  s.pending_right = 0;
  s.carry_lower = 0;
}

// The 8-ink kernel starts without a draw, never gates the penalty, keeps P0 and P3 of its first
// sub-pixel band to three cells, and spreads a single dot by density alone.
template <bool kInk8>
struct Square {
  static constexpr bool kDrawAtSetUp = !kInk8;
  static constexpr int32_t kIdleCount = 5;

  static void Idle(PassState& s, int32_t* e) { diffusion::Idle(s, e, NoDot); }

  template <bool kSmall>
  static uint32_t SingleDot(PassState& s, const PassCell& p, bool wide_band) {
    int32_t* e = p.e;
    const int32_t d = p.density;
    int32_t v = e[0] + e[1] + d + s.carry_lower + s.carry_upper;
    if ((wide_band || kSmall) && p.occupied != 0) v -= kDotWeight;
    if (v <= p.base + diffusion::Jitter(p.r)) {
      NoDot(s, e, v);
      return 0;
    }
    const uint32_t k = p.r & 3;
    const uint32_t dot = kSmall ? (1u << k) & ~p.occupied : 1u << k;
    const int32_t err = v - kDotWeight;
    const int32_t pending_left = s.pending_left, pending_right = s.pending_right, pending_next = s.pending_next;
    if (!wide_band) {
      e[-2] = pending_left;
      e[-1] = pending_right + (err >> 3);
      e[-3] += err >> 3;
      e[-5] += err >> 4;
      e[4] += err >> 4;
      e[6] += err >> 4;
      s.pending_left = (err >> 3) + pending_next;
      s.pending_next = err >> 3;
      s.carry_upper = err >> 3;
      s.pending_right = err >> 3;
      s.carry_lower = err >> 4;
      const bool sparse = d <= 128;
      if (sparse || (!kInk8 && k == 0)) {
        e[-7] += err >> 4;
        e[8] += err >> 4;
        s.pending_right = err >> 4;
        s.carry_lower = 0;
      }
      if (sparse && (d <= 64 || (!kInk8 && k == 0))) {
        s.pending_right = 0;
        e[-9] += err >> 5;
        e[10] += err >> 5;
      }
    } else {
      e[-2] = pending_left;
      e[-1] = pending_right + (err >> 3);
      e[-3] += err >> 4;
      e[4] += err >> 3;
      s.pending_left = (err >> 2) + (err >> 4) + pending_next;
      s.pending_next = err >> 3;
      s.carry_upper = err >> 2;
      s.pending_right = 0;
      s.carry_lower = 0;
      if (d <= 576 || k == 0) {
        e[6] += err >> 4;
        s.pending_left -= err >> 4;
      }
    }
    return dot;
  }

  template <diffusion::SquareBand band>
  static uint32_t SubPixels(PassState& s, const PassCell& p) {
    static constexpr uint32_t kMasks[4][4] = {
        {kInk8 ? 0x333u : 0x33333u, 0x222, 0x444, kInk8 ? 0x888u : 0x88888u},
        {0x111, 0x222, 0x444, 0x888},
        {0x111, 0x22, 0x44, 0x88},
        {0x11, 0x22, 0x44, 0x88},
    };
    const bool gated = !kInk8 && band <= diffusion::kSquareD2;
    return diffusion::SquareSubPixels<band>(s, p, kMasks[band], !gated || (p.r & 6) != 0);
  }

  template <bool kSmall>
  static uint32_t Bands(PassState& s, const PassCell& p) {
    const int32_t d = p.density;
    if (d <= 384) return SingleDot<kSmall>(s, p, false);
    if (d <= 768) return SingleDot<kSmall>(s, p, true);
    if (d <= 1536) return SubPixels<diffusion::kSquareD1>(s, p);
    if (d <= 3392) return SubPixels<diffusion::kSquareD2>(s, p);
    if (d == kFullCell) {
      NoDot(s, p.e, p.e[0] + p.e[1] + s.carry_lower + s.carry_upper);
      return kSmall ? 0xFu & ~p.occupied : 0xFu;
    }
    if (d <= 6528 || d > 10240) return SubPixels<diffusion::kSquareD3>(s, p);
    return SubPixels<diffusion::kSquareD4>(s, p);
  }
};

}  // namespace

void DiffuseCells1x1Ink4(const DiffusionCall& call) { diffusion::WalkCells<Square<false>>(call); }
void DiffuseCells1x1Ink8(const DiffusionCall& call) { diffusion::WalkCells<Square<true>>(call); }
void DiffuseInks1x1Ink4(const DiffusionCall* calls, int count) { diffusion::WalkInks<Square<false>>(calls, count); }
void DiffuseInks1x1Ink8(const DiffusionCall* calls, int count) { diffusion::WalkInks<Square<true>>(calls, count); }

}  // namespace tonvar::multi_level
