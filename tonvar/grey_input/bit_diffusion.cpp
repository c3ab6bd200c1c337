// One-bit cell error diffusion of the grey-input engine: each 2 x 2 cell's large-dot thresholds
// add up to the cell density, which chooses how the cell is treated: light cells get at most
// one dot at a random sub-pixel, denser cells decide sub-pixel by sub-pixel against the cell
// threshold, raised by noise where recent cells put dots at the same place.
#include "tonvar/grey_input/grey_line.h"

namespace tonvar::grey_input {
namespace {

constexpr int32_t kFullCell = 4 * kDotWeight;
constexpr uint32_t kBit[4] = {1, 2, 4, 8};

struct BitState {
  int32_t c0 = 0, c2 = 0, h2 = 0, h1 = 0, h0 = 0;
  int32_t K = 7;
  uint32_t H = 0;
};

class BitCell {
 public:
  BitCell(BitState& st, int32_t* e, const int32_t t[4], uint32_t* row, const uint32_t* dot_mask,
          int p, uint32_t r, int32_t threshold, int32_t noise)
      : st_(st), E(e), t_(t), row_(row), mask_(dot_mask), p_(p), r_(r), T(threshold), N(noise) {
    D = t[0] + t[1] + t[2] + t[3];
  }

  void Run() {
    if (D == 0) return Empty();
    st_.K = 7;
    if (D < 576) return Light();
    if (D <= 832) return Medium();
    if (D <= 2560) return Heavy1();
    if (D <= 3072) return Heavy2();
    if (D == kFullCell) return Full();
    if (D >= 6529 && D <= 11520) return Dense(0x11);
    return Dense(0x111);
  }

 private:
  void Dot(int s) { row_[s >> 1] |= mask_[p_ + (s & 1)]; }
  void Decide(int s, int32_t& u, int32_t threshold, uint32_t history_mask) {
    const int32_t limit = (st_.H & history_mask) != 0 ? threshold + N : threshold;
    if (u > limit) {
      Dot(s);
      bits_ |= kBit[s];
      u -= kDotWeight;
    }
  }
  void EndCell() { st_.H = (st_.H << 4) | bits_; }

  // The close without a dot (also the empty and full cells').
  void Pass(int32_t s) {
    E[-2] = st_.h2;
    E[-1] = st_.h1 + (s >> 3) + (s >> 2);
    st_.h2 = st_.h0 + (s >> 3);
    st_.h0 = s >> 3;
    st_.h1 = 0;
    st_.c0 = (s >> 2) + (s >> 3);
    st_.c2 = 0;
  }

  int32_t Incoming() const { return E[0] + E[1] + st_.c2 + st_.c0; }

  void Empty() {
    if (st_.K > 0) {
      st_.K -= 1;
      Pass(Incoming());
    } else {
      E[-2] = 0;
      E[-1] = 0;
      st_.h2 = 0;
      st_.h0 = 0;
      st_.c0 = 0;
    }
  }

  void Full() {
    for (int s = kA; s <= kD; ++s) Dot(s);
    Pass(Incoming());
  }

  void Light() {
    const int32_t s = D + Incoming();
    if (s <= T + static_cast<int32_t>(r_ & 15) * 4) return Pass(s);
    Dot(static_cast<int>(r_ & 3));
    const int32_t e = s - kDotWeight;
    const int32_t q4 = e >> 4, q3 = e >> 3, q1 = e >> 1;
    E[-2] = st_.h2;
    const int32_t h0 = st_.h0, h1 = st_.h1;
    if (D >= 321) {
      E[-5] += q4;
      E[-3] += q3;
      E[4] += q1;
      E[-1] = h1 + q3;
      st_.h2 = h0 + q3;
      st_.h0 = 0;
      st_.h1 = 0;
      st_.c2 = 0;
      st_.c0 = q4;
    } else if (D >= 129) {
      for (int i : {-7, -3, 6, 8}) E[i] += q4;
      E[-5] += q3;
      E[4] += q3;
      E[-1] = h1 + q3;
      st_.h2 = h0 + q4;
      st_.h0 = q4;
      st_.h1 = q4;
      st_.c2 = q4;
      st_.c0 = q3;
    } else if (D >= 65) {
      for (int i : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12}) E[i] += q4;
      E[-1] = h1 + q4;
      st_.h2 = h0 + q4;
      st_.h0 = q4;
      st_.h1 = q4;
      st_.c2 = q4;
      st_.c0 = q4;
    } else {
      for (int i : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12, 14, 16}) E[i] += q4;
      E[-1] = h1 + q4;
      st_.h2 = h0 + q4;
      st_.h0 = q4;
      st_.h1 = 0;
      st_.c2 = 0;
      st_.c0 = q4;
    }
  }

  void Medium() {
    const int32_t sum = D + Incoming();
    const int32_t t = T + static_cast<int32_t>(r_ & 15) * 4;
    if (sum <= t) return Pass(sum);
    int32_t s0 = E[0] + st_.c0 + t_[kA];
    Decide(kA, s0, t, 0x333);
    int32_t s1 = E[1] + (s0 >> 3) + (s0 >> 2) + t_[kB];
    Decide(kB, s1, t, 0x222);
    int32_t s2 = (s1 >> 2) + (s0 >> 2) + st_.c2 + t_[kC];
    Decide(kC, s2, t, 0x444);
    int32_t s3 = (s2 >> 2) + (s2 >> 3) + (s1 >> 4) + (s1 >> 3) + (s0 >> 3) + (s0 >> 2) + t_[kD];
    Decide(kD, s3, t, 0x888);
    E[-4] += s2 >> 3;
    E[3] += s3 >> 3;
    E[-2] = st_.h2 + (s2 >> 3);
    E[-1] = st_.h1 + (s3 >> 3);
    st_.h2 = st_.h0 + (s3 >> 3);
    st_.h0 = s3 >> 3;
    st_.h1 = (s3 >> 3) + (s2 >> 2);
    st_.c2 = (s3 >> 2) + (s1 >> 4) + (s1 >> 3);
    st_.c0 = (s3 >> 3) + (s2 >> 3) + (s1 >> 3) + (s1 >> 2);
    EndCell();
  }

  void Heavy1() {
    const bool light = D <= 1600;
    int32_t s0 = E[0] + st_.c0 + t_[kA];
    Decide(kA, s0, T, light ? 0x33333 : 0x333);
    int32_t s1 = E[1] + (s0 >> 3) + (s0 >> 2) + t_[kB];
    Decide(kB, s1, T, 0x222);
    int32_t s2 = (s1 >> 2) + (s0 >> 2) + st_.c2 + t_[kC];
    Decide(kC, s2, T, 0x444);
    int32_t s3 = (s2 >> 3) + (s2 >> 2) + (s1 >> 3) + (s0 >> 3) + (s0 >> 2) + t_[kD];
    Decide(kD, s3, T, light ? 0x88888 : 0x888);
    E[3] += s3 >> 3;
    E[-2] = st_.h2 + (s2 >> 3);
    E[-1] = st_.h1 + (s3 >> 3);
    st_.h2 = st_.h0 + (s3 >> 3) + (s2 >> 3);
    st_.h1 = (s3 >> 3) + (s2 >> 2);
    st_.h0 = (s3 >> 4) + (s3 >> 3);
    st_.c2 = (s3 >> 4) + (s3 >> 3) + (s1 >> 2);
    st_.c0 = (s3 >> 3) + (s2 >> 3) + (s1 >> 3) + (s1 >> 2);
    EndCell();
  }

  void Heavy2() {
    int32_t s0 = E[0] + st_.c0 + t_[kA];
    Decide(kA, s0, T, 0x111);
    int32_t s1 = E[1] + (s0 >> 1) + t_[kB];
    Decide(kB, s1, T, 0x222);
    int32_t s2 = (s0 >> 2) + (s1 >> 2) + st_.c2 + t_[kC];
    Decide(kC, s2, T, 0x444);
    int32_t u = s2 >> 2, w = s2 >> 1;
    if ((bits_ & kBit[kC]) != 0 && (r_ & 2) != 0) u = w = (s2 >> 2) + (s2 >> 3);
    int32_t s3 = w + (s1 >> 3) + (s0 >> 3) + t_[kD];
    Decide(kD, s3, T, 0x888);
    E[-2] = st_.h2;
    E[-1] = st_.h1 + u + (s0 >> 3);
    st_.h2 = st_.h0 + (s3 >> 2) + (s2 >> 3);
    st_.h1 = (s3 >> 3) + (s2 >> 3);
    st_.h0 = s3 >> 3;
    st_.c2 = (s3 >> 2) + (s1 >> 2);
    st_.c0 = (s3 >> 2) + (s1 >> 3) + (s1 >> 2);
    EndCell();
  }

  void Dense(uint32_t mask_a) {
    int32_t s0 = E[0] + st_.c0 + t_[kA];
    Decide(kA, s0, T, mask_a);
    int32_t s1 = E[1] + (s0 >> 3) + (s0 >> 2) + t_[kB];
    Decide(kB, s1, T, 0x22);
    int32_t s2 = (s1 >> 2) + (s0 >> 3) + (s0 >> 2) + st_.c2 + t_[kC];
    Decide(kC, s2, T, 0x44);
    int32_t s3 = (s2 >> 5) + (s2 >> 2) + (s1 >> 2) + (s0 >> 2) + t_[kD];
    Decide(kD, s3, T, 0x88);
    E[-2] = st_.h2;
    E[-1] = st_.h1 + (s2 >> 2) - (s2 >> 5);
    st_.h2 = st_.h0 + (s2 >> 5) + (s3 >> 3) + (s2 >> 2);
    st_.h0 = s3 >> 2;
    st_.h1 = (s3 >> 2) - (s2 >> 5) + (s2 >> 2);
    st_.c2 = (s3 >> 2) + (s1 >> 2);
    st_.c0 = (s3 >> 3) + (s1 >> 2);
    EndCell();
  }

  BitState& st_;
  int32_t* E;  // the error row at the cell's column
  const int32_t* t_;
  uint32_t* row_;
  const uint32_t* mask_;
  int p_;
  uint32_t r_;
  int32_t T;
  int32_t N;
  int32_t D;
  uint32_t bits_ = 0;
};

}  // namespace

void GreyDiffuseSpan1Bit(const SpanArgs& a, int32_t* errors, const uint32_t* dot_mask) {
  GreyHalftoneEngine& e = *a.engine;
  BitState st;
  uint32_t r = 0;
  WalkSpanCells<32>(a, [&](int32_t p, int position, int32_t, const int32_t (&t)[4][3], uint32_t (&rows)[2]) {
    const int32_t large[4] = {t[0][kLargeDot], t[1][kLargeDot], t[2][kLargeDot], t[3][kLargeDot]};
    r >>= 4;
    if (r == 0) r = common::RandomGenerate(&e.random);
    const int32_t noise = static_cast<int32_t>((r & 31) << 5) + 192;
    const int32_t density = large[0] + large[1] + large[2] + large[3];
    const int32_t threshold = static_cast<int32_t>(e.cell_thresholds[(density >> 6) & 255]);
    BitCell(st, errors + p, large, rows, dot_mask, position, r, threshold, noise).Run();
  });
  const int32_t end = PlanEnd(a.plan);
  errors[end - 2] = st.h2;
  errors[end - 1] = st.h1;
}

}  // namespace tonvar::grey_input
