// Four-level cell error diffusion of the grey-input engine (2 bits per dot): large dots from the
// matrix, medium dots from a first diffusion pass and small dots from a second, each pass with
// its own error row, carries and dot history. One member per resolution class; they differ in
// the idle countdown, the close without a dot and the density bands.
#include "tonvar/grey_input/grey_line.h"

namespace tonvar::grey_input {
namespace {

constexpr int32_t kFullCell = 4 * kDotWeight;
constexpr uint32_t kBit[4] = {1, 2, 4, 8};  // history bits of A, B, C, D

struct HistoryMasks {
  uint32_t a, b, c, d;
};

// One pass over one cell: its quantities, error row, carries and the dots of the cell so far.
// The carries and the two row words are worked on in copies (they cannot alias the error row)
// and handed back when the pass ends.
template <CellKernel kKernel>
class Pass {
 public:
  Pass(Carries& st, int32_t* e, int32_t x, const int32_t q[4], uint32_t* row,
       int p, const uint32_t* code, const uint32_t* medium, bool small, uint32_t r, int32_t t0,
       int32_t noise)
      : carries_(st), E(e + x), q_(q), rows_(row), row_{row[0], row[1]}, p_(p), code_(code),
        medium_(medium), small_(small), r_(r), t0_(t0), n_(noise) {
    S = q[0] + q[1] + q[2] + q[3];
    CopyCarries(st, st_);
  }

  [[gnu::always_inline]] void Run() {
    if constexpr (kKernel == CellKernel::k1x1) {
      Bands1x1();
    } else if constexpr (kKernel == CellKernel::k2x1) {
      Bands2x1();
    } else {
      Bands4x1();
    }
    CopyCarries(st_, carries_);
    rows_[0] = row_[0];
    rows_[1] = row_[1];
  }

 private:
  // Field by field: the fields were just stored one by one, and a wide copy would wait for them.
  [[gnu::always_inline]] static void CopyCarries(const Carries& from, Carries& to) {
    to.C = from.C;
    to.P = from.P;
    to.Q = from.Q;
    to.R = from.R;
    to.U = from.U;
    to.H = from.H;
    to.K = from.K;
  }
  [[gnu::always_inline]] uint32_t& RowOf(int s) { return row_[s >> 1]; }
  [[gnu::always_inline]] int PositionOf(int s) const { return p_ + (s & 1); }
  [[gnu::always_inline]] bool MediumSet(int s) { return (RowOf(s) & medium_[PositionOf(s)]) != 0; }
  [[gnu::always_inline]] static uint32_t Mask(bool b) { return 0u - static_cast<uint32_t>(b); }
  [[gnu::always_inline]] bool AnyMediumSet() { return MediumSet(kA) || MediumSet(kB) || MediumSet(kC) || MediumSet(kD); }
  [[gnu::always_inline]] void SetCode(int s) { RowOf(s) |= code_[PositionOf(s)]; }
  // The pass's code, but never a small dot over a medium or large one.
  [[gnu::always_inline]] void SetCodeKeepingLarger(int s) {
    if (!small_ || !MediumSet(s)) SetCode(s);
  }
  [[gnu::always_inline]] int32_t Jitter() const { return t0_ + static_cast<int32_t>(r_ & 15) * 4; }
  [[gnu::always_inline]] int32_t Noise(uint32_t history_mask) const {
    return n_ & static_cast<int32_t>(Mask((st_.H & history_mask) != 0));
  }

  // Sequential placement: a dot of the other pass (or a large one) counts as placed. Without
  // branches: whether a dot is placed is as good as random.
  [[gnu::always_inline]] void Place(int s, int32_t& u, uint32_t history_mask) {
    const bool set = MediumSet(s);
    const bool passes = u > t0_ + Noise(history_mask);
    const uint32_t placed = Mask(set || passes);
    RowOf(s) |= code_[PositionOf(s)] & Mask(passes && !set);
    new_bits_ |= kBit[s] & placed;
    u -= kDotWeight & static_cast<int32_t>(placed);
  }
  // Placement against a gate threshold without the medium-bit count (2x1 gated band).
  [[gnu::always_inline]] void PlaceGated(int s, int32_t& u, int32_t threshold, uint32_t history_mask) {
    const bool passes = u > threshold + Noise(history_mask);
    const uint32_t placed = Mask(passes);
    RowOf(s) |= code_[PositionOf(s)] & placed & Mask(!small_ || !MediumSet(s));
    new_bits_ |= kBit[s] & placed;
    u -= kDotWeight & static_cast<int32_t>(placed);
  }
  [[gnu::always_inline]] void EndSequential() { st_.H = (st_.H << 4) | new_bits_; }
  [[gnu::always_inline]] int32_t StartValue() const { return st_.C + E[0] + E[1] + st_.R; }

  [[gnu::always_inline]] void Close(int32_t v) {
    if constexpr (kKernel == CellKernel::k1x1) {
      const int32_t c = v >> 2;
      E[-2] = st_.P;
      E[-1] = st_.U + c;
      st_.P = st_.Q + c;
      st_.Q = c;
      st_.C = c;
    } else if constexpr (kKernel == CellKernel::k2x1) {
      E[-2] = st_.P;
      E[-1] = st_.U + (v >> 3) + (v >> 2);
      st_.P = st_.Q + (v >> 3);
      st_.Q = v >> 3;
      st_.C = (v >> 3) + (v >> 2);
    } else {
      const int32_t s = (v >> 4) + (v >> 3);
      E[-4] += s;
      E[-2] = st_.P + s;
      E[-1] = st_.U;
      E[4] += s;
      st_.P = st_.Q + (v >> 3);
      st_.Q = v >> 3;
      st_.C = s;
    }
    st_.R = 0;
    st_.U = 0;
  }

  [[gnu::always_inline]] void Idle() {
    if (st_.K > 0) {
      st_.K -= 1;
      Close(StartValue());
    } else {
      E[-2] = 0;
      E[-1] = 0;
      st_.P = st_.Q = st_.C = 0;
    }
  }

  [[gnu::always_inline]] void Full() {
    for (int s = kA; s <= kD; ++s) SetCodeKeepingLarger(s);
    Close(StartValue());
  }

  // Entry of the single-dot bands: the cell's value and whether it passes; a passing cell gets
  // its dot at the sub-pixel of the reservoir's two low bits.
  [[gnu::always_inline]] bool SingleDot(bool both_passes_count_medium, int32_t* v) {
    *v = StartValue() + S;
    if ((small_ || both_passes_count_medium) && AnyMediumSet()) *v -= kDotWeight;
    if (*v <= Jitter()) return false;
    SetCodeKeepingLarger(static_cast<int>(r_ & 3));
    return true;
  }

  // ---- 1x1 ----

  [[gnu::always_inline]] void Band4(HistoryMasks m) {
    int32_t a = st_.C + E[0] + q_[kA];
    Place(kA, a, m.a);
    int32_t b = E[1] + (a >> 3) + (a >> 2) + q_[kB];
    Place(kB, b, m.b);
    int32_t c = (a >> 2) + (b >> 2) + st_.R + q_[kC];
    Place(kC, c, m.c);
    int32_t d = (a >> 3) + (a >> 2) + (b >> 3) + (c >> 3) + (c >> 2) + q_[kD];
    Place(kD, d, m.d);
    E[3] += d >> 3;
    E[-2] = st_.P + (c >> 3);
    E[-1] = st_.U + (d >> 3);
    st_.P = st_.Q + (c >> 3) + (d >> 3);
    st_.Q = (d >> 4) + (d >> 3);
    st_.R = st_.Q + (b >> 2);
    st_.U = (d >> 3) + (c >> 2);
    st_.C = (c >> 3) + (d >> 3) + (b >> 3) + (b >> 2);
    EndSequential();
  }

  [[gnu::always_inline]] void Band5() {
    int32_t a = st_.C + E[0] + q_[kA];
    Place(kA, a, 0x111);
    int32_t b = E[1] + (a >> 1) + q_[kB];
    Place(kB, b, 0x222);
    int32_t c = (a >> 2) + (b >> 2) + st_.R + q_[kC];
    Place(kC, c, 0x444);
    int32_t s = c >> 1, g = c >> 2;
    if ((new_bits_ & kBit[kC]) != 0 && (r_ & 2) != 0) s = g = (c >> 2) + (c >> 3);
    int32_t d = s + (b >> 3) + (a >> 3) + q_[kD];
    Place(kD, d, 0x888);
    E[-2] = st_.P;
    E[-1] = st_.U + g + (a >> 3);
    st_.P = st_.Q + (c >> 3) + (d >> 2);
    st_.Q = d >> 3;
    st_.R = (d >> 2) + (b >> 2);
    st_.U = (c >> 3) + (d >> 3);
    st_.C = (b >> 3) + (b >> 2) + (d >> 2);
    EndSequential();
  }

  [[gnu::always_inline]] void Band7(HistoryMasks m) {
    int32_t a = st_.C + E[0] + q_[kA];
    Place(kA, a, m.a);
    int32_t b = E[1] + (a >> 3) + (a >> 2) + q_[kB];
    Place(kB, b, m.b);
    int32_t c = (a >> 3) + (a >> 2) + (b >> 2) + st_.R + q_[kC];
    Place(kC, c, m.c);
    int32_t d = (a >> 2) + (b >> 2) + (c >> 2) + (c >> 5) + q_[kD];
    Place(kD, d, m.d);
    E[-2] = st_.P;
    E[-1] = st_.U + (c >> 2) - (c >> 5);
    st_.P = st_.Q + (c >> 5) + (c >> 2) + (d >> 3);
    st_.Q = d >> 2;
    st_.R = (d >> 2) + (b >> 2);
    st_.U = (d >> 2) + (c >> 2) - (c >> 5);
    st_.C = (b >> 2) + (d >> 3);
    EndSequential();
  }

  [[gnu::always_inline]] void Bands1x1() {
    if (S == 0) return Idle();
    st_.K = 5;
    if (S <= 384) {
      int32_t v;
      if (!SingleDot(false, &v)) return Close(v);
      const int32_t e = v - kDotWeight;
      E[-2] = st_.P;
      E[-5] += e >> 4;
      E[-3] += e >> 3;
      E[4] += e >> 4;
      E[6] += e >> 4;
      E[-1] = st_.U + (e >> 3);
      st_.P = st_.Q + (e >> 3);
      st_.Q = e >> 3;
      st_.R = e >> 4;
      st_.U = e >> 3;
      st_.C = e >> 3;
      if (S <= 128) {
        E[-7] += e >> 4;
        E[8] += e >> 4;
        st_.U = e >> 4;
        st_.R = 0;
        if (S <= 64) {
          E[-9] += e >> 5;
          E[10] += e >> 5;
          st_.U = 0;
        }
      }
      return;
    }
    if (S <= 768) {
      int32_t v;
      if (!SingleDot(true, &v)) return Close(v);
      const int32_t e = v - kDotWeight;
      E[-3] += e >> 4;
      E[4] += e >> 3;
      E[-2] = st_.P;
      E[-1] = st_.U + (e >> 3);
      st_.P = st_.Q + (e >> 4) + (e >> 2);
      st_.Q = e >> 3;
      st_.R = 0;
      st_.U = 0;
      st_.C = e >> 2;
      if (S <= 576 || (r_ & 3) == 0) {
        E[6] += e >> 4;
        st_.P -= e >> 4;
      }
      return;
    }
    if (S <= 1536) return Band4({0x333, 0x222, 0x444, 0x888});
    if (S <= 3392) return Band5();
    if (S == kFullCell) return Full();
    if (S >= 6529 && S <= 10240) return Band7({0x11, 0x22, 0x44, 0x88});
    return Band7({0x111, 0x22, 0x44, 0x88});
  }

  // ---- 2x1 ----

  [[gnu::always_inline]] void Gated2x1() {
    int32_t v = StartValue() + S;
    if (AnyMediumSet()) v -= kDotWeight;
    const int32_t t = Jitter();
    if (v <= t) return Close(v);
    int32_t a = E[0] + st_.C + q_[kA];
    PlaceGated(kA, a, t, 0x333);
    int32_t b = E[1] + (a >> 3) + (a >> 2) + q_[kB];
    PlaceGated(kB, b, t, 0x222);
    int32_t c = (a >> 2) + (b >> 2) + st_.R + q_[kC];
    PlaceGated(kC, c, t, 0x444);
    int32_t d = (a >> 3) + (a >> 2) + (b >> 4) + (b >> 3) + (c >> 3) + (c >> 2) + q_[kD];
    PlaceGated(kD, d, t, 0x888);
    E[-4] += c >> 3;
    E[3] += d >> 3;
    E[-2] = st_.P + (c >> 3);
    E[-1] = st_.U + (d >> 3);
    st_.P = st_.Q + (d >> 3);
    st_.Q = d >> 3;
    st_.R = (d >> 2) + (b >> 4) + (b >> 3);
    st_.U = (d >> 3) + (c >> 2);
    st_.C = (c >> 3) + (d >> 3) + (b >> 3) + (b >> 2);
    EndSequential();
  }

  [[gnu::always_inline]] void Bands2x1() {
    if (S == 0) return Idle();
    st_.K = 7;
    if (S <= 576) {
      int32_t v;
      if (!SingleDot(false, &v)) return Close(v);
      const int32_t e = v - kDotWeight;
      const int32_t e4 = e >> 4, e3 = e >> 3;
      st_.C = e4;
      if (S >= 321) {
        E[-5] += e4;
        E[-3] += e3;
        E[4] += e >> 1;
        E[-2] = st_.P;
        E[-1] = st_.U + e3;
        st_.P = st_.Q + e3;
        st_.Q = 0;
        st_.R = 0;
        st_.U = 0;
      } else if (S <= 64) {
        for (int i : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12, 14, 16}) E[i] += e4;
        E[-2] = st_.P;
        E[-1] = st_.U + e4;
        st_.P = st_.Q + e4;
        st_.Q = e4;
        st_.R = 0;
        st_.U = 0;
      } else if (S >= 129) {
        for (int i : {-7, -3, 6, 8}) E[i] += e4;
        E[-5] += e3;
        E[4] += e3;
        E[-2] = st_.P;
        E[-1] = st_.U + e3;
        st_.P = st_.Q + e4;
        st_.Q = e4;
        st_.R = e4;
        st_.U = e4;
        st_.C = e3;
      } else {
        for (int i : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12}) E[i] += e4;
        E[-2] = st_.P;
        E[-1] = st_.U + e4;
        st_.P = st_.Q + e4;
        st_.Q = e4;
        st_.R = e4;
        st_.U = e4;
      }
      return;
    }
    if (S <= 832) return Gated2x1();
    if (S <= 2560) {
      return S <= 1600 ? Band4({0x33333, 0x222, 0x444, 0x88888}) : Band4({0x333, 0x222, 0x444, 0x888});
    }
    if (S <= 3072) return Band5();
    if (S == kFullCell) return Full();
    if (S >= 6529 && S <= 11520) return Band7({0x11, 0x22, 0x44, 0x88});
    return Band7({0x111, 0x22, 0x44, 0x88});
  }

  // ---- 4x1 ----

  // The single-dot sub-bands store E[x-2] = P and E[x-1] = U + u, then P = Q + p.
  [[gnu::always_inline]] void SingleStores(int32_t u, int32_t p) {
    E[-2] = st_.P;
    E[-1] = st_.U + u;
    st_.P = st_.Q + p;
  }

  [[gnu::always_inline]] void Single4x1(int32_t e) {
    const int32_t e3 = e >> 3, e4 = e >> 4, e5 = e >> 5, e6 = e >> 6, e7 = e >> 7;
    st_.C = e4;
    if (S <= 64) {
      for (int i : {-15, -13, 14, 16, -17, 18}) E[i] += e5;
      E[4] += e4;
      E[6] += e4;
      for (int i : {-7, -5, -3, 8}) E[i] += e6 + e5;
      for (int i : {-11, -9, 10, 12}) E[i] += (e5 + e3) >> 2;
      SingleStores(e4, e4);
      st_.Q = e4;
      st_.R = e4 - e6;
      st_.U = e4 - e6;
    } else if (S <= 128) {
      for (int i : {-15, -13, 14, 16}) E[i] += e5;
      E[4] += e4;
      E[6] += e4;
      for (int i : {-11, -9, -7, -5, -3, 8, 10, 12}) E[i] += e6 + e5;
      SingleStores(e4, e4);
      st_.Q = st_.R = st_.U = e4;
    } else if (S <= 192) {
      E[-13] += e5;
      E[14] += e5;
      E[8] += e4;
      E[10] += e4;
      for (int i : {-11, -9, -7, -5, -3, 12}) E[i] += e6 + e5;
      E[4] += e4 + e6;
      E[6] += e4 + e6;
      SingleStores(e4, e4);
      st_.Q = st_.R = st_.U = e4;
    } else if (S <= 256) {
      E[-3] += e4;
      E[10] += e4;
      E[-11] += (e4 + e6) >> 1;
      E[-9] += e4 - e6;
      E[-7] += e4 - e6;
      E[-5] += e4 - e7;
      E[12] += e4 - e7;
      E[4] += e4 + e5;
      E[6] += e7 + e6 + e4;
      E[8] += e4 + e6;
      SingleStores(e4, e4);
      st_.Q = st_.R = st_.U = e4;
    } else if (S <= 320) {
      E[-5] += e4;
      E[10] += e4;
      E[-9] += e4 - e6;
      E[-7] += e4 - e7;
      E[-3] += e7 + e4;
      E[4] += e4 + e5;
      E[6] += e4 + e5;
      E[8] += e6 + e4;
      SingleStores(e4, e6 + e4);
      st_.Q = st_.R = st_.U = e4;
      st_.C = e3 - e6;
    } else if (S <= 448) {
      E[-3] += e4;
      E[-7] += e5;
      E[-5] += e4 - e6;
      E[8] += e6 + e4;
      E[4] += e3 + e6;
      E[6] += e3 - e6;
      SingleStores(e6 + e4, e5 + e4);
      st_.Q = st_.R = st_.U = e6 + e4;
      st_.C = e3;
    } else {
      E[-3] += e4;
      E[8] += e4;
      E[-5] += e5;
      E[6] += e3;
      E[4] += e5 + e3;
      SingleStores(e5 + e4, e6 + e4);
      st_.Q = st_.R = st_.U = e6 + e4;
      st_.C = e6 + e3;
    }
  }

  [[gnu::always_inline]] void Sequential4x1() {
    int32_t a = st_.C + E[0] + q_[kA];
    Place(kA, a, 0x1F);
    if (S <= 1472) {
      int32_t b = E[1] + (a >> 2) + (a >> 4) + (a >> 5) + q_[kB];
      Place(kB, b, 0x3F);
      int32_t c = (b >> 2) + (a >> 3) + st_.R + q_[kC];
      Place(kC, c, 0x4F);
      int32_t d = (c >> 4) + (c >> 3) + (b >> 2) + (a >> 2) + (a >> 3) + (a >> 4) + (a >> 5) + q_[kD];
      Place(kD, d, 0xCF);
      E[-2] = st_.P + (d >> 4);
      E[-1] = st_.U + (d >> 4) + (c >> 3);
      E[3] += (d >> 4) + (c >> 4) + (c >> 3) + (b >> 4) + (a >> 4);
      E[4] += (b >> 3) + (d >> 4);
      st_.P = st_.Q + (d >> 3) + (c >> 3);
      st_.Q = c >> 4;
      st_.R = (d >> 2) + (c >> 3) + (b >> 4) + (b >> 3);
      st_.U = d >> 3;
      st_.C = (c >> 4) + (c >> 3) + (b >> 3) + (d >> 2);
    } else if (S <= 1792) {
      int32_t b = E[1] + (a >> 2) + (a >> 4) + (a >> 5) + q_[kB];
      Place(kB, b, 0x3F);
      int32_t c = (b >> 4) + (b >> 3) + (a >> 4) + st_.R + q_[kC];
      Place(kC, c, 0x4F);
      int32_t d = (a >> 1) + (a >> 5) + (b >> 2) + (b >> 4) + (b >> 5) + (c >> 3) + (c >> 4) + q_[kD];
      Place(kD, d, 0xCF);
      E[-2] = st_.P + (d >> 4);
      E[-1] = st_.U + (d >> 4) + (c >> 3);
      E[3] += (d >> 4) + (c >> 4) + (c >> 3) + (b >> 4) + (a >> 4);
      E[4] += (d >> 4) + (b >> 3);
      st_.P = st_.Q + (d >> 3) + (c >> 3);
      st_.Q = c >> 4;
      st_.R = (c >> 3) + (d >> 2) + (b >> 4) + (b >> 3);
      st_.U = d >> 3;
      st_.C = (b >> 5) + (b >> 4) + (c >> 4) + (c >> 3) + (d >> 2);
    } else if (S <= 2880) {
      int32_t b = E[1] + (a >> 2) + (a >> 3) + (a >> 5) + q_[kB];
      Place(kB, b, 0x3F);
      int32_t c = (b >> 4) + (a >> 4) + (a >> 5) + st_.R + q_[kC];
      Place(kC, c, 0x4F);
      int32_t d = (a >> 2) + (a >> 3) + (a >> 4) + (b >> 2) + (b >> 3) + (b >> 5) + (c >> 3) + q_[kD];
      Place(kD, d, 0xCF);
      E[-2] = st_.P + (d >> 4);
      E[-1] = st_.U + (d >> 4) + (c >> 4) + (c >> 3);
      E[3] += (c >> 2) + (d >> 3) + (b >> 4) + (a >> 4);
      E[4] += (b >> 5) + (b >> 3) + (d >> 4);
      st_.P = st_.Q + (d >> 4);
      st_.Q = c >> 4;
      st_.R = (c >> 5) + (c >> 4) + (d >> 2) + (b >> 5) + (b >> 3);
      st_.U = (c >> 5) + (c >> 4) + (d >> 4) + (d >> 3);
      st_.C = (b >> 5) + (b >> 3) + (c >> 4) + (c >> 3) + (d >> 4) + (d >> 3);
    } else {
      int32_t b = E[1] + (a >> 2) + (a >> 4) + (a >> 5) + q_[kB];
      Place(kB, b, 0x3F);
      int32_t c = (b >> 2) + (b >> 3) + (b >> 5) + (a >> 3) + (a >> 5) + st_.R + q_[kC];
      Place(kC, c, 0x4F);
      int32_t d = (a >> 2) + (a >> 3) + (a >> 4) + (b >> 2) + (b >> 5) + (c >> 3) + (c >> 4) + q_[kD];
      Place(kD, d, 0xCF);
      E[4] += b >> 3;
      E[-2] = st_.P + (d >> 4) + (c >> 4);
      E[-1] = st_.U + (c >> 2) + (c >> 4) + (d >> 4);
      E[3] += (b >> 4) + (c >> 3);
      st_.P = st_.Q + (c >> 3) + (d >> 3);
      st_.Q = d >> 3;
      st_.R = (c >> 3) + (d >> 2) + (a >> 4);
      st_.U = (d >> 4) + (d >> 3) + (c >> 4);
      st_.C = (d >> 4) + (d >> 3) + (b >> 3);
    }
    EndSequential();
  }

  [[gnu::always_inline]] void Dense4x1() {
    int32_t a = st_.C + E[0] + q_[kA];
    Place(kA, a, 0x1F);
    int32_t b = E[1] + (a >> 1) + q_[kB];
    Place(kB, b, 0x3F);
    int32_t c = (a >> 2) + (b >> 2) + st_.R + q_[kC];
    Place(kC, c, 0x4F);
    int32_t s = c >> 1, g = c >> 2;
    if ((new_bits_ & kBit[kC]) != 0 && (r_ & 2) != 0) s = g = (c >> 2) + (c >> 3);
    int32_t d = s + (b >> 3) + (a >> 2) + q_[kD];
    Place(kD, d, 0xCF);
    E[-2] = st_.P;
    E[-1] = st_.U + g;
    st_.P = st_.Q + (c >> 3) + (d >> 2);
    st_.Q = d >> 3;
    st_.R = (b >> 2) + (d >> 2);
    st_.U = (c >> 3) + (d >> 3);
    st_.C = (b >> 3) + (b >> 2) + (d >> 2);
    EndSequential();
  }

  [[gnu::always_inline]] void Bands4x1() {
    if (S == 0) return Idle();
    st_.K = 12;
    if (S <= 640) {
      int32_t v;
      if (!SingleDot(false, &v)) return Close(v);
      return Single4x1(v - kDotWeight);
    }
    if (S == kFullCell) return Full();
    if (S <= 5440) return Sequential4x1();
    if (S <= 11520) return Band7({0x11, 0x22, 0x44, 0x88});
    return Dense4x1();
  }

  Carries& carries_;
  Carries st_;
  int32_t* E;  // the error row at the cell's left column
  const int32_t* q_;
  uint32_t* rows_;
  uint32_t row_[2];
  int p_;
  const uint32_t* code_;
  const uint32_t* medium_;
  bool small_;
  uint32_t r_;
  int32_t t0_;
  int32_t n_;
  int32_t S;
  uint32_t new_bits_ = 0;
};

}  // namespace

DiffusionCarries::DiffusionCarries(CellKernel kernel) {
  medium.K = small.K = kernel == CellKernel::k1x1 ? 5 : kernel == CellKernel::k2x1 ? 7 : 12;
}

namespace {

template <CellKernel kKernel>
[[gnu::always_inline]] inline void DiffuseCellPasses(GreyHalftoneEngine& e, DiffusionCarries& st, int32_t x, int p, const int32_t (&q)[2][4],
                       uint32_t (&rows)[2], int32_t* medium_errors, int32_t* small_errors,
                       const DotMasks2Bit& masks) {
  auto pass = [&](bool small, Carries& carries, int32_t* errors, const uint32_t* code, const int32_t(&q_pass)[4])
                  __attribute__((always_inline)) {
    st.r >>= 4;
    if (st.r == 0) st.r = common::RandomGenerate(&e.random);
    const int32_t noise = static_cast<int32_t>((st.r & 31) << 5) + 192;
    const int32_t sum = q_pass[0] + q_pass[1] + q_pass[2] + q_pass[3];
    const int32_t t0 = static_cast<int32_t>(e.cell_thresholds[(sum >> 6) & 255]);
    Pass<kKernel>(carries, errors, x, q_pass, rows, p, code, masks.medium, small, st.r, t0, noise).Run();
  };
  pass(false, st.medium, medium_errors, masks.medium, q[0]);
  pass(true, st.small, small_errors, masks.small, q[1]);
}

}  // namespace

void StoreDiffusionCarries(const DiffusionCarries& st, const HorizontalZone plan[kZoneCount],
                           int32_t* medium_errors, int32_t* small_errors) {
  const int32_t end = PlanEnd(plan);
  medium_errors[end - 2] = st.medium.P;
  medium_errors[end - 1] = st.medium.U;
  small_errors[end - 2] = st.small.P;
  small_errors[end - 1] = st.small.U;
}

namespace {

template <CellKernel kKernel>
void DiffuseCellsOf(const SpanArgs& a, int32_t* medium_errors, int32_t* small_errors, const DotMasks2Bit& masks) {
  GreyHalftoneEngine& e = *a.engine;
  const int16_t* matrix = e.layout.samples;
  DiffusionCarries st(kKernel);
  WalkSpanCells<16>(a, [&](int32_t x, int p, int32_t phi, const int32_t (&t)[4][3], uint32_t (&rows)[2]) {
    for (int s = 0; s < 4; ++s) {
      if (t[s][kLargeDot] > matrix[phi + kMatrixOffset[s]]) rows[s >> 1] |= masks.large[p + (s & 1)];
    }
    const int32_t q[2][4] = {{t[0][kMediumOrLarge], t[1][kMediumOrLarge], t[2][kMediumOrLarge], t[3][kMediumOrLarge]},
                             {t[0][kAnyDot], t[1][kAnyDot], t[2][kAnyDot], t[3][kAnyDot]}};
    DiffuseCellPasses<kKernel>(e, st, x, p, q, rows, medium_errors, small_errors, masks);
  });
  StoreDiffusionCarries(st, a.plan, medium_errors, small_errors);
}

// The slot's cells from their grey levels: the large dots as the side-by-side dither coded them,
// the passes' thresholds from the slot's table by grey level.
template <CellKernel kKernel>
[[gnu::flatten]] void DiffuseLevelsOf(const SpanArgs& a, int slot, const uint8_t* greys, const uint8_t* large_codes,
                     int32_t* medium_errors, int32_t* small_errors, const DotMasks2Bit& masks) {
  GreyHalftoneEngine& e = *a.engine;
  const auto& q = e.grey_diffusion_thresholds[slot];
  DiffusionCarries st(kKernel);
  uint32_t rows[2] = {a.pending[0], a.pending[1]};
  int p = a.position;
  int64_t offset = 0;
  int64_t cell = 0;
  for (int z = 0; z < kZoneCount; ++z) {
    const HorizontalZone& zone = a.plan[z];
    for (int32_t x = zone.start; x < zone.end; x += 2, ++cell) {
      const uint8_t* g = greys + 4 * cell;
      const uint32_t large = large_codes[8 * cell + slot];
      const int shift = 2 * ((p + 1) ^ 3);
      rows[0] |= (large & 15) << shift;
      rows[1] |= (large >> 4) << shift;
      const int32_t passes[2][4] = {{q[g[0]][0], q[g[1]][0], q[g[2]][0], q[g[3]][0]},
                                    {q[g[0]][1], q[g[1]][1], q[g[2]][1], q[g[3]][1]}};
      DiffuseCellPasses<kKernel>(e, st, x, p, passes, rows, medium_errors, small_errors, masks);
      p += 2;
      if (p == 16) {
        WriteWord(a.out[1] + offset, rows[1], 4);
        WriteWord(a.out[0] + offset, rows[0], 4);
        offset += 4;
        p = 0;
        rows[0] = rows[1] = 0;
      }
    }
  }
  const int bytes = ((e.call.count + e.call.first_bit) % 16 + 3) / 4;
  if (bytes > 0 && p != 0) {
    WriteWord(a.out[1] + offset, rows[1], bytes);
    WriteWord(a.out[0] + offset, rows[0], bytes);
  }
  StoreDiffusionCarries(st, a.plan, medium_errors, small_errors);
}

}  // namespace

void GreyDiffuseLevels(CellKernel kernel, const SpanArgs& a, int slot, const uint8_t* greys,
                       const uint8_t* large_codes, int32_t* medium_errors, int32_t* small_errors,
                       const DotMasks2Bit& masks) {
  switch (kernel) {
    case CellKernel::k1x1: return DiffuseLevelsOf<CellKernel::k1x1>(a, slot, greys, large_codes, medium_errors, small_errors, masks);
    case CellKernel::k2x1: return DiffuseLevelsOf<CellKernel::k2x1>(a, slot, greys, large_codes, medium_errors, small_errors, masks);
    case CellKernel::k4x1: return DiffuseLevelsOf<CellKernel::k4x1>(a, slot, greys, large_codes, medium_errors, small_errors, masks);
  }
}

void GreyDiffuseCells(CellKernel kernel, const SpanArgs& a, int32_t* medium_errors,
                      int32_t* small_errors, const DotMasks2Bit& masks) {
  switch (kernel) {
    case CellKernel::k1x1: return DiffuseCellsOf<CellKernel::k1x1>(a, medium_errors, small_errors, masks);
    case CellKernel::k2x1: return DiffuseCellsOf<CellKernel::k2x1>(a, medium_errors, small_errors, masks);
    case CellKernel::k4x1: return DiffuseCellsOf<CellKernel::k4x1>(a, medium_errors, small_errors, masks);
  }
}

}  // namespace tonvar::grey_input
