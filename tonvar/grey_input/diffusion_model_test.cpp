// The diffusion kernels against literal models: each model below is the kernel's description
// transcribed step by step (dots kept as codes per position, carries as named variables), run on
// the same amounts, matrix, thresholds, error rows and generator state as the product; the
// output bytes, both error rows and the generator's next draw must agree exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "tonvar/grey_input/grey_line.h"
#include "tonvar/grey_input/test_engine.h"

namespace tonvar::grey_input {
namespace {

constexpr int kMargin = 30;
constexpr int kCells = 96;  // cells of the span in each trial

// Dot curve whose rows visit every density band of both passes, including full cells.
int32_t BandVisitingDot(uint32_t row, uint32_t size) {
  int32_t s = 0, m = 0, l = 0;
  if (row < 64) {
    s = int32_t(row) * 2;
  } else if (row < 192) {
    s = 1000, m = int32_t(row - 64) * 8;
  } else if (row < 320) {
    s = 800, m = 1200, l = int32_t(row - 192) * 10;
  } else if (row < 448) {
    s = int32_t(row - 320) * 8, m = 1000, l = 2000;
  } else if (row < 464) {
    m = 4080;
  } else if (row < 480) {
    s = 2040, m = 2040;
  } else if (row < 496) {
    s = 4080;
  } else {
    l = 4080;
  }
  return size == 0 ? s : size == 1 ? m : l;
}

// ---- Literal model of the 2-bit kernels -------------------------------------------------------

struct ModelInput {
  CellKernel member;
  const int16_t* M;
  int32_t mask;
  const uint32_t* cell_thresholds;
  const LevelTable* table;      // the interior sub-table of the ink's group
  std::vector<uint32_t> ink;    // two words per cell
  int start_position;           // 0, 2 or 4
  int32_t phase;
  int32_t x0;                   // first column
  int32_t count, first_bit;
};

struct ModelOutput {
  std::vector<uint8_t> rows[2];  // bytes from the output pointer
  std::vector<int32_t> errors[2];
};

// codes[row][position]: 0 none, 1 small, 2 medium, 3 large.
ModelOutput ModelTwoBit(const ModelInput& in, std::vector<int32_t> e_medium, std::vector<int32_t> e_small,
                        common::MtState* mt, const uint8_t first_bytes[2]) {
  std::vector<int> codes[2];
  for (int row = 0; row < 2; ++row) {
    codes[row].assign(4096, 0);
    for (int p = 0; p < in.start_position; ++p) codes[row][p] = (first_bytes[row] >> (6 - 2 * p)) & 3;
  }
  int32_t* E_rows[2] = {e_medium.data() + kMargin, e_small.data() + kMargin};
  // Per pass: C, P, Q, R, U, H, K.
  int32_t C[2] = {0, 0}, P[2] = {0, 0}, Q[2] = {0, 0}, R[2] = {0, 0}, U[2] = {0, 0}, K[2];
  uint32_t H[2] = {0, 0};
  const int32_t k_start = in.member == CellKernel::k1x1 ? 5 : in.member == CellKernel::k2x1 ? 7 : 12;
  K[0] = K[1] = k_start;
  uint32_t r = 0;
  int32_t phi = in.phase;
  int pos = in.start_position;
  for (int n = 0; n < int(in.ink.size() / 2); ++n) {
    const int32_t x = in.x0 + 2 * n;
    const int p = pos;
    pos += 2;
    phi = (phi + 4) & in.mask;
    const int32_t mv[4] = {in.M[phi], in.M[phi + 2], in.M[phi + 1], in.M[phi + 3]};
    const uint32_t lv[4] = {in.ink[2 * n] >> 16, in.ink[2 * n] & 0xFFFF, in.ink[2 * n + 1] >> 16,
                            in.ink[2 * n + 1] & 0xFFFF};
    int32_t c0[4], c1[4], c2[4];
    for (int s = 0; s < 4; ++s) {
      c0[s] = int32_t(in.table->level[lv[s]][0]);
      c1[s] = int32_t(in.table->level[lv[s]][1]);
      c2[s] = int32_t(in.table->level[lv[s]][2]);
    }
    // Where each sub-pixel's dot lives.
    auto code_at = [&](int s) -> int& { return codes[s / 2][p + s % 2]; };
    for (int s = 0; s < 4; ++s) {
      if (c2[s] > mv[s]) code_at(s) = 3;
    }
    for (int pass = 0; pass < 2; ++pass) {
      const bool small = pass == 1;
      const int pass_code = small ? 1 : 2;
      int32_t* E = E_rows[pass];
      const int32_t q[4] = {small ? c0[0] : c1[0], small ? c0[1] : c1[1], small ? c0[2] : c1[2],
                            small ? c0[3] : c1[3]};
      r = r >> 4;
      if (r == 0) r = common::RandomGenerate(mt);
      const int32_t N = int32_t((r & 31) << 5) + 192;
      const int32_t S = q[0] + q[1] + q[2] + q[3];
      const int32_t T0 = int32_t(in.cell_thresholds[S >> 6]);
      auto medium_bit = [&](int s) { return (code_at(s) & 2) != 0; };
      auto any_medium = [&] { return medium_bit(0) || medium_bit(1) || medium_bit(2) || medium_bit(3); };
      auto set_code = [&](int s) { code_at(s) |= pass_code; };
      uint32_t newbits = 0;
      const uint32_t bit[4] = {1, 2, 4, 8};
      // Sequential placement with the medium-bit count.
      auto place = [&](int s, int32_t& u, uint32_t m) {
        if (medium_bit(s)) {
          newbits |= bit[s];
          u -= 4080;
        } else if (u > T0 + ((H[pass] & m) != 0 ? N : 0)) {
          set_code(s);
          newbits |= bit[s];
          u -= 4080;
        }
      };
      auto single_code = [&](int s) {
        if (!(small && medium_bit(s))) set_code(s);
      };
      auto close = [&](int32_t v) {
        if (in.member == CellKernel::k1x1) {
          const int32_t c = v >> 2;
          E[x - 2] = P[pass];
          E[x - 1] = U[pass] + c;
          P[pass] = Q[pass] + c;
          Q[pass] = c;
          R[pass] = 0;
          U[pass] = 0;
          C[pass] = c;
        } else if (in.member == CellKernel::k2x1) {
          E[x - 2] = P[pass];
          E[x - 1] = U[pass] + (v >> 3) + (v >> 2);
          P[pass] = Q[pass] + (v >> 3);
          Q[pass] = v >> 3;
          R[pass] = 0;
          U[pass] = 0;
          C[pass] = (v >> 3) + (v >> 2);
        } else {
          const int32_t s4 = (v >> 4) + (v >> 3);
          E[x - 4] += s4;
          E[x - 2] = P[pass] + s4;
          E[x - 1] = U[pass];
          E[x + 4] += s4;
          P[pass] = Q[pass] + (v >> 3);
          Q[pass] = v >> 3;
          R[pass] = 0;
          U[pass] = 0;
          C[pass] = s4;
        }
      };
      int32_t& Cp = C[pass];
      int32_t& Pp = P[pass];
      int32_t& Qp = Q[pass];
      int32_t& Rp = R[pass];
      int32_t& Up = U[pass];
      const int32_t oldP = Pp, oldQ = Qp, oldU = Up;

      if (S == 0) {
        if (K[pass] > 0) {
          K[pass] -= 1;
          close(Cp + E[x] + E[x + 1] + Rp);
        } else {
          E[x - 2] = 0;
          E[x - 1] = 0;
          Pp = 0;
          Qp = 0;
          Cp = 0;
        }
        continue;
      }
      K[pass] = k_start;

      // Sequential bands the members share.
      auto band4 = [&](uint32_t ma, uint32_t md) {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, ma);
        int32_t b = E[x + 1] + (a >> 3) + (a >> 2) + q[1];
        place(1, b, 0x222);
        int32_t c = (a >> 2) + (b >> 2) + Rp + q[2];
        place(2, c, 0x444);
        int32_t d = (a >> 3) + (a >> 2) + (b >> 3) + (c >> 3) + (c >> 2) + q[3];
        place(3, d, md);
        E[x + 3] += d >> 3;
        E[x - 2] = oldP + (c >> 3);
        E[x - 1] = oldU + (d >> 3);
        Pp = oldQ + (c >> 3) + (d >> 3);
        Qp = (d >> 4) + (d >> 3);
        Rp = Qp + (b >> 2);
        Up = (d >> 3) + (c >> 2);
        Cp = (c >> 3) + (d >> 3) + (b >> 3) + (b >> 2);
        H[pass] = (H[pass] << 4) | newbits;
      };
      auto band7 = [&](uint32_t ma) {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, ma);
        int32_t b = E[x + 1] + (a >> 3) + (a >> 2) + q[1];
        place(1, b, 0x22);
        int32_t c = (a >> 3) + (a >> 2) + (b >> 2) + Rp + q[2];
        place(2, c, 0x44);
        int32_t d = (a >> 2) + (b >> 2) + (c >> 2) + (c >> 5) + q[3];
        place(3, d, 0x88);
        E[x - 2] = oldP;
        E[x - 1] = oldU + (c >> 2) - (c >> 5);
        Pp = oldQ + (c >> 5) + (c >> 2) + (d >> 3);
        Qp = d >> 2;
        Rp = (d >> 2) + (b >> 2);
        Up = (d >> 2) + (c >> 2) - (c >> 5);
        Cp = (b >> 2) + (d >> 3);
        H[pass] = (H[pass] << 4) | newbits;
      };
      // Entry of the wide members' single-dot band: the small pass's extra 4080 only.
      auto single_value = [&] {
        int32_t v = Cp + E[x] + E[x + 1] + Rp + S;
        if (small && any_medium()) v -= 4080;
        return v;
      };

      auto band5 = [&] {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, 0x111);
        int32_t b = E[x + 1] + (a >> 1) + q[1];
        place(1, b, 0x222);
        int32_t c = (a >> 2) + (b >> 2) + Rp + q[2];
        place(2, c, 0x444);
        int32_t sv = c >> 1, g = c >> 2;
        if ((newbits & 4) && (r & 2)) sv = g = (c >> 2) + (c >> 3);
        int32_t d = sv + (b >> 3) + (a >> 3) + q[3];
        place(3, d, 0x888);
        E[x - 2] = oldP;
        E[x - 1] = oldU + g + (a >> 3);
        Pp = oldQ + (c >> 3) + (d >> 2);
        Qp = d >> 3;
        Rp = (d >> 2) + (b >> 2);
        Up = (c >> 3) + (d >> 3);
        Cp = (b >> 3) + (b >> 2) + (d >> 2);
        H[pass] = (H[pass] << 4) | newbits;
      };
      if (in.member == CellKernel::k1x1) {
        if (S <= 384) {
          int32_t v = Cp + E[x] + E[x + 1] + Rp + S;
          if (small && any_medium()) v -= 4080;
          if (v > T0 + int32_t(r & 15) * 4) {
            single_code(int(r & 3));
            const int32_t e = v - 4080;
            E[x - 2] = oldP;
            E[x - 5] += e >> 4;
            E[x - 3] += e >> 3;
            E[x + 4] += e >> 4;
            E[x + 6] += e >> 4;
            E[x - 1] = oldU + (e >> 3);
            Pp = oldQ + (e >> 3);
            Qp = e >> 3;
            Rp = e >> 4;
            Up = e >> 3;
            Cp = e >> 3;
            if (S <= 128) {
              E[x - 7] += e >> 4;
              E[x + 8] += e >> 4;
              Up = e >> 4;
              Rp = 0;
              if (S <= 64) {
                E[x - 9] += e >> 5;
                E[x + 10] += e >> 5;
                Up = 0;
              }
            }
          } else {
            close(v);
          }
        } else if (S <= 768) {
          int32_t v = Cp + E[x] + E[x + 1] + Rp + S;
          if (any_medium()) v -= 4080;
          if (v > T0 + int32_t(r & 15) * 4) {
            single_code(int(r & 3));
            const int32_t e = v - 4080;
            E[x - 3] += e >> 4;
            E[x + 4] += e >> 3;
            E[x - 2] = oldP;
            E[x - 1] = oldU + (e >> 3);
            Pp = oldQ + (e >> 4) + (e >> 2);
            Qp = e >> 3;
            Rp = 0;
            Up = 0;
            Cp = e >> 2;
            if (S <= 576 || (r & 3) == 0) {
              E[x + 6] += e >> 4;
              Pp -= e >> 4;
            }
          } else {
            close(v);
          }
        } else if (S <= 1536) {
          band4(0x333, 0x888);
        } else if (S <= 3392) {
          band5();
        } else if (S == 16320) {
          for (int s = 0; s < 4; ++s) single_code(s);
          close(Cp + E[x] + E[x + 1] + Rp);
        } else {
          band7(S >= 6529 && S <= 10240 ? 0x11 : 0x111);
        }
        continue;
      }

      if (in.member == CellKernel::k2x1) {
        if (S <= 576) {
          const int32_t v = single_value();
          if (!(v > T0 + int32_t(r & 15) * 4)) {
            close(v);
            continue;
          }
          single_code(int(r & 3));
          const int32_t e = v - 4080;
          Cp = e >> 4;
          if (S >= 321) {
            E[x - 5] += e >> 4;
            E[x - 3] += e >> 3;
            E[x + 4] += e >> 1;
            E[x - 2] = oldP;
            E[x - 1] = oldU + (e >> 3);
            Pp = oldQ + (e >> 3);
            Qp = 0;
            Rp = 0;
            Up = 0;
          } else if (S <= 64) {
            for (int o : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12, 14, 16}) E[x + o] += e >> 4;
            E[x - 2] = oldP;
            E[x - 1] = oldU + (e >> 4);
            Pp = oldQ + (e >> 4);
            Qp = e >> 4;
            Rp = 0;
            Up = 0;
          } else if (S >= 129) {
            for (int o : {-7, -3, 6, 8}) E[x + o] += e >> 4;
            for (int o : {-5, 4}) E[x + o] += e >> 3;
            E[x - 2] = oldP;
            E[x - 1] = oldU + (e >> 3);
            Pp = oldQ + (e >> 4);
            Qp = e >> 4;
            Rp = e >> 4;
            Up = e >> 4;
            Cp = e >> 3;
          } else {
            for (int o : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12}) E[x + o] += e >> 4;
            E[x - 2] = oldP;
            E[x - 1] = oldU + (e >> 4);
            Pp = oldQ + (e >> 4);
            Qp = e >> 4;
            Rp = e >> 4;
            Up = e >> 4;
          }
        } else if (S <= 832) {
          int32_t v = Cp + E[x] + E[x + 1] + Rp + S;
          if (any_medium()) v -= 4080;
          const int32_t T = T0 + int32_t(r & 15) * 4;
          if (v <= T) {
            close(v);
            continue;
          }
          auto gated = [&](int s, int32_t& u, uint32_t m) {
            if (u > T + ((H[pass] & m) != 0 ? N : 0)) {
              single_code(s);
              newbits |= bit[s];
              u -= 4080;
            }
          };
          int32_t a = E[x] + Cp + q[0];
          gated(0, a, 0x333);
          int32_t b = E[x + 1] + (a >> 3) + (a >> 2) + q[1];
          gated(1, b, 0x222);
          int32_t c = (a >> 2) + (b >> 2) + Rp + q[2];
          gated(2, c, 0x444);
          int32_t d = (a >> 3) + (a >> 2) + (b >> 4) + (b >> 3) + (c >> 3) + (c >> 2) + q[3];
          gated(3, d, 0x888);
          E[x - 4] += c >> 3;
          E[x + 3] += d >> 3;
          E[x - 2] = oldP + (c >> 3);
          E[x - 1] = oldU + (d >> 3);
          Pp = oldQ + (d >> 3);
          Qp = d >> 3;
          Rp = (d >> 2) + (b >> 4) + (b >> 3);
          Up = (d >> 3) + (c >> 2);
          Cp = (c >> 3) + (d >> 3) + (b >> 3) + (b >> 2);
          H[pass] = (H[pass] << 4) | newbits;
        } else if (S <= 2560) {
          if (S <= 1600) {
            band4(0x33333, 0x88888);
          } else {
            band4(0x333, 0x888);
          }
        } else if (S <= 3072) {
          band5();
        } else if (S == 16320) {
          for (int s = 0; s < 4; ++s) single_code(s);
          close(Cp + E[x] + E[x + 1] + Rp);
        } else {
          band7(S >= 6529 && S <= 11520 ? 0x11 : 0x111);
        }
        continue;
      }

      // 4x1.
      if (S <= 640) {
        const int32_t v = single_value();
        if (!(v > T0 + int32_t(r & 15) * 4)) {
          close(v);
          continue;
        }
        single_code(int(r & 3));
        const int32_t e = v - 4080;
        const int32_t e3 = e >> 3, e4 = e >> 4, e5 = e >> 5, e6 = e >> 6, e7 = e >> 7;
        int32_t amount_u = 0, amount_p = 0;
        Cp = e4;
        if (S <= 64) {
          for (int o : {-15, -13, 14, 16, -17, 18}) E[x + o] += e5;
          for (int o : {4, 6}) E[x + o] += e4;
          for (int o : {-7, -5, -3, 8}) E[x + o] += e6 + e5;
          for (int o : {-11, -9, 10, 12}) E[x + o] += (e5 + e3) >> 2;
          amount_u = e4, amount_p = e4;
          Qp = e4, Rp = e4 - e6, Up = e4 - e6;
        } else if (S <= 128) {
          for (int o : {-15, -13, 14, 16}) E[x + o] += e5;
          for (int o : {4, 6}) E[x + o] += e4;
          for (int o : {-11, -9, -7, -5, -3, 8, 10, 12}) E[x + o] += e6 + e5;
          amount_u = e4, amount_p = e4;
          Qp = e4, Rp = e4, Up = e4;
        } else if (S <= 192) {
          for (int o : {-13, 14}) E[x + o] += e5;
          for (int o : {8, 10}) E[x + o] += e4;
          for (int o : {-11, -9, -7, -5, -3, 12}) E[x + o] += e6 + e5;
          for (int o : {4, 6}) E[x + o] += e4 + e6;
          amount_u = e4, amount_p = e4;
          Qp = e4, Rp = e4, Up = e4;
        } else if (S <= 256) {
          for (int o : {-3, 10}) E[x + o] += e4;
          E[x - 11] += (e4 + e6) >> 1;
          for (int o : {-9, -7}) E[x + o] += e4 - e6;
          for (int o : {-5, 12}) E[x + o] += e4 - e7;
          E[x + 4] += e4 + e5;
          E[x + 6] += e7 + e6 + e4;
          E[x + 8] += e4 + e6;
          amount_u = e4, amount_p = e4;
          Qp = e4, Rp = e4, Up = e4;
        } else if (S <= 320) {
          for (int o : {-5, 10}) E[x + o] += e4;
          E[x - 9] += e4 - e6;
          E[x - 7] += e4 - e7;
          E[x - 3] += e7 + e4;
          for (int o : {4, 6}) E[x + o] += e4 + e5;
          E[x + 8] += e6 + e4;
          amount_u = e4, amount_p = e6 + e4;
          Qp = e4, Rp = e4, Up = e4;
          Cp = e3 - e6;
        } else if (S <= 448) {
          E[x - 3] += e4;
          E[x - 7] += e5;
          E[x - 5] += e4 - e6;
          E[x + 8] += e6 + e4;
          E[x + 4] += e3 + e6;
          E[x + 6] += e3 - e6;
          amount_u = e6 + e4, amount_p = e5 + e4;
          Qp = Rp = Up = e6 + e4;
          Cp = e3;
        } else {
          for (int o : {-3, 8}) E[x + o] += e4;
          E[x - 5] += e5;
          E[x + 6] += e3;
          E[x + 4] += e5 + e3;
          amount_u = e5 + e4, amount_p = e6 + e4;
          Qp = Rp = Up = e6 + e4;
          Cp = e6 + e3;
        }
        E[x - 2] = oldP;
        E[x - 1] = oldU + amount_u;
        Pp = oldQ + amount_p;
      } else if (S == 16320) {
        for (int s = 0; s < 4; ++s) single_code(s);
        close(Cp + E[x] + E[x + 1] + Rp);
      } else if (S <= 1472) {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, 0x1F);
        int32_t b = E[x + 1] + (a >> 2) + (a >> 4) + (a >> 5) + q[1];
        place(1, b, 0x3F);
        int32_t c = (b >> 2) + (a >> 3) + Rp + q[2];
        place(2, c, 0x4F);
        int32_t d = (c >> 4) + (c >> 3) + (b >> 2) + (a >> 2) + (a >> 3) + (a >> 4) + (a >> 5) + q[3];
        place(3, d, 0xCF);
        E[x - 2] = oldP + (d >> 4);
        E[x - 1] = oldU + (d >> 4) + (c >> 3);
        E[x + 3] += (d >> 4) + (c >> 4) + (c >> 3) + (b >> 4) + (a >> 4);
        E[x + 4] += (b >> 3) + (d >> 4);
        Pp = oldQ + (d >> 3) + (c >> 3);
        Qp = c >> 4;
        Rp = (d >> 2) + (c >> 3) + (b >> 4) + (b >> 3);
        Up = d >> 3;
        Cp = (c >> 4) + (c >> 3) + (b >> 3) + (d >> 2);
        H[pass] = (H[pass] << 4) | newbits;
      } else if (S <= 1792) {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, 0x1F);
        int32_t b = E[x + 1] + (a >> 2) + (a >> 4) + (a >> 5) + q[1];
        place(1, b, 0x3F);
        int32_t c = (b >> 4) + (b >> 3) + (a >> 4) + Rp + q[2];
        place(2, c, 0x4F);
        int32_t d = (a >> 1) + (a >> 5) + (b >> 2) + (b >> 4) + (b >> 5) + (c >> 3) + (c >> 4) + q[3];
        place(3, d, 0xCF);
        E[x - 2] = oldP + (d >> 4);
        E[x - 1] = oldU + (d >> 4) + (c >> 3);
        E[x + 3] += (d >> 4) + (c >> 4) + (c >> 3) + (b >> 4) + (a >> 4);
        E[x + 4] += (d >> 4) + (b >> 3);
        Pp = oldQ + (d >> 3) + (c >> 3);
        Qp = c >> 4;
        Rp = (c >> 3) + (d >> 2) + (b >> 4) + (b >> 3);
        Up = d >> 3;
        Cp = (b >> 5) + (b >> 4) + (c >> 4) + (c >> 3) + (d >> 2);
        H[pass] = (H[pass] << 4) | newbits;
      } else if (S >= 2881 && S <= 5440) {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, 0x1F);
        int32_t b = E[x + 1] + (a >> 2) + (a >> 4) + (a >> 5) + q[1];
        place(1, b, 0x3F);
        int32_t c = (b >> 2) + (b >> 3) + (b >> 5) + (a >> 3) + (a >> 5) + Rp + q[2];
        place(2, c, 0x4F);
        int32_t d = (a >> 2) + (a >> 3) + (a >> 4) + (b >> 2) + (b >> 5) + (c >> 3) + (c >> 4) + q[3];
        place(3, d, 0xCF);
        E[x + 4] += b >> 3;
        E[x - 2] = oldP + (d >> 4) + (c >> 4);
        E[x - 1] = oldU + (c >> 2) + (c >> 4) + (d >> 4);
        E[x + 3] += (b >> 4) + (c >> 3);
        Pp = oldQ + (c >> 3) + (d >> 3);
        Qp = d >> 3;
        Rp = (c >> 3) + (d >> 2) + (a >> 4);
        Up = (d >> 4) + (d >> 3) + (c >> 4);
        Cp = (d >> 4) + (d >> 3) + (b >> 3);
        H[pass] = (H[pass] << 4) | newbits;
      } else if (S >= 1793 && S <= 2880) {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, 0x1F);
        int32_t b = E[x + 1] + (a >> 2) + (a >> 3) + (a >> 5) + q[1];
        place(1, b, 0x3F);
        int32_t c = (b >> 4) + (a >> 4) + (a >> 5) + Rp + q[2];
        place(2, c, 0x4F);
        int32_t d = (a >> 2) + (a >> 3) + (a >> 4) + (b >> 2) + (b >> 3) + (b >> 5) + (c >> 3) + q[3];
        place(3, d, 0xCF);
        E[x - 2] = oldP + (d >> 4);
        E[x - 1] = oldU + (d >> 4) + (c >> 4) + (c >> 3);
        E[x + 3] += (c >> 2) + (d >> 3) + (b >> 4) + (a >> 4);
        E[x + 4] += (b >> 5) + (b >> 3) + (d >> 4);
        Pp = oldQ + (d >> 4);
        Qp = c >> 4;
        Rp = (c >> 5) + (c >> 4) + (d >> 2) + (b >> 5) + (b >> 3);
        Up = (c >> 5) + (c >> 4) + (d >> 4) + (d >> 3);
        Cp = (b >> 5) + (b >> 3) + (c >> 4) + (c >> 3) + (d >> 4) + (d >> 3);
        H[pass] = (H[pass] << 4) | newbits;
      } else if (S <= 11520) {
        band7(0x11);
      } else {
        int32_t a = Cp + E[x] + q[0];
        place(0, a, 0x1F);
        int32_t b = E[x + 1] + (a >> 1) + q[1];
        place(1, b, 0x3F);
        int32_t c = (a >> 2) + (b >> 2) + Rp + q[2];
        place(2, c, 0x4F);
        int32_t sv = c >> 1, g = c >> 2;
        if ((newbits & 4) && (r & 2)) sv = g = (c >> 2) + (c >> 3);
        int32_t d = sv + (b >> 3) + (a >> 2) + q[3];
        place(3, d, 0xCF);
        E[x - 2] = oldP;
        E[x - 1] = oldU + g;
        Pp = oldQ + (c >> 3) + (d >> 2);
        Qp = d >> 3;
        Rp = (b >> 2) + (d >> 2);
        Up = (c >> 3) + (d >> 3);
        Cp = (b >> 3) + (b >> 2) + (d >> 2);
        H[pass] = (H[pass] << 4) | newbits;
      }
    }
  }
  const int32_t xe = in.x0 + 2 * int32_t(in.ink.size() / 2);
  for (int pass = 0; pass < 2; ++pass) {
    E_rows[pass][xe - 2] = P[pass];
    E_rows[pass][xe - 1] = U[pass];
  }
  ModelOutput out;
  const int bytes = (in.first_bit + in.count + 3) / 4;
  for (int row = 0; row < 2; ++row) {
    for (int b = 0; b < bytes; ++b) {
      uint8_t v = 0;
      for (int d = 0; d < 4; ++d) v = uint8_t(v | (codes[row][4 * b + d] << (6 - 2 * d)));
      out.rows[row].push_back(v);
    }
  }
  out.errors[0] = std::move(e_medium);
  out.errors[1] = std::move(e_small);
  return out;
}

// ---- Literal model of the 1-bit kernel ------------------------------------------------------

ModelOutput ModelOneBit(const ModelInput& in, std::vector<int32_t> errors, common::MtState* mt,
                        const uint8_t first_bytes[2]) {
  std::vector<int> dots[2];
  for (int row = 0; row < 2; ++row) {
    dots[row].assign(4096, 0);
    for (int p = 0; p < in.start_position; ++p) dots[row][p] = (first_bytes[row] >> (7 - p)) & 1;
  }
  int32_t* E = errors.data() + kMargin;
  int32_t c0 = 0, c2 = 0, h2 = 0, h1 = 0, h0 = 0, K = 7;
  uint32_t H = 0, r = 0;
  int pos = in.start_position;
  for (int n = 0; n < int(in.ink.size() / 2); ++n) {
    const int32_t p = in.x0 + 2 * n;  // the cell's column
    const int at = pos;
    pos += 2;
    const uint32_t lv[4] = {in.ink[2 * n] >> 16, in.ink[2 * n] & 0xFFFF, in.ink[2 * n + 1] >> 16,
                            in.ink[2 * n + 1] & 0xFFFF};
    int32_t t[4];
    for (int s = 0; s < 4; ++s) t[s] = int32_t(in.table->level[lv[s]][2]);
    r = r >> 4;
    if (r == 0) r = common::RandomGenerate(mt);
    const int32_t N = int32_t((r & 31) << 5) + 192;
    const int32_t D = t[0] + t[1] + t[2] + t[3];
    const int32_t T = int32_t(in.cell_thresholds[D >> 6]);
    auto dot = [&](int s) { dots[s / 2][at + s % 2] = 1; };
    uint32_t bits = 0;
    auto decide = [&](int s, int32_t& v, int32_t thr, uint32_t m) {
      if (v > ((H & m) ? thr + N : thr)) {
        dot(s);
        bits |= 1u << s;
        v -= 4080;
      }
    };
    auto no_dot = [&](int32_t s) {
      E[p - 2] = h2;
      E[p - 1] = h1 + (s >> 3) + (s >> 2);
      h2 = h0 + (s >> 3);
      h0 = s >> 3;
      h1 = 0;
      c0 = (s >> 2) + (s >> 3);
      c2 = 0;
    };
    if (D == 0) {
      if (K > 0) {
        K -= 1;
        no_dot(E[p] + E[p + 1] + c2 + c0);
      } else {
        E[p - 2] = 0;
        E[p - 1] = 0;
        h2 = 0;
        h0 = 0;
        c0 = 0;
      }
      continue;
    }
    K = 7;
    if (D < 576) {
      const int32_t s = D + E[p] + E[p + 1] + c2 + c0;
      if (s > T + int32_t(r & 15) * 4) {
        dot(int(r & 3));
        const int32_t s2 = s - 4080;
        const int32_t q4 = s2 >> 4, q3 = s2 >> 3, q1 = s2 >> 1;
        E[p - 2] = h2;
        const int32_t oh1 = h1, oh0 = h0;
        if (D >= 321) {
          E[p - 5] += q4, E[p - 3] += q3, E[p + 4] += q1;
          E[p - 1] = oh1 + q3, h2 = oh0 + q3, h0 = 0, h1 = 0, c2 = 0, c0 = q4;
        } else if (D >= 129) {
          for (int o : {-7, -3, 6, 8}) E[p + o] += q4;
          for (int o : {-5, 4}) E[p + o] += q3;
          E[p - 1] = oh1 + q3, h2 = oh0 + q4, h0 = q4, h1 = q4, c2 = q4, c0 = q3;
        } else if (D >= 65) {
          for (int o : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12}) E[p + o] += q4;
          E[p - 1] = oh1 + q4, h2 = oh0 + q4, h0 = q4, h1 = q4, c2 = q4, c0 = q4;
        } else {
          for (int o : {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12, 14, 16}) E[p + o] += q4;
          E[p - 1] = oh1 + q4, h2 = oh0 + q4, h0 = q4, h1 = 0, c2 = 0, c0 = q4;
        }
      } else {
        no_dot(s);
      }
    } else if (D <= 832) {
      const int32_t s = D + E[p] + E[p + 1] + c2 + c0;
      const int32_t T2 = T + int32_t(r & 15) * 4;
      if (s <= T2) {
        no_dot(s);
        continue;
      }
      int32_t s0 = E[p] + c0 + t[0];
      decide(0, s0, T2, 0x333);
      int32_t s1 = E[p + 1] + (s0 >> 3) + (s0 >> 2) + t[1];
      decide(1, s1, T2, 0x222);
      int32_t s2 = (s1 >> 2) + (s0 >> 2) + c2 + t[2];
      decide(2, s2, T2, 0x444);
      int32_t s3 = (s2 >> 2) + (s2 >> 3) + (s1 >> 4) + (s1 >> 3) + (s0 >> 3) + (s0 >> 2) + t[3];
      decide(3, s3, T2, 0x888);
      E[p - 4] += s2 >> 3;
      E[p + 3] += s3 >> 3;
      E[p - 2] = h2 + (s2 >> 3);
      E[p - 1] = h1 + (s3 >> 3);
      h2 = h0 + (s3 >> 3);
      h0 = s3 >> 3;
      h1 = (s3 >> 3) + (s2 >> 2);
      c2 = (s3 >> 2) + (s1 >> 4) + (s1 >> 3);
      c0 = (s3 >> 3) + (s2 >> 3) + (s1 >> 3) + (s1 >> 2);
      H = (H << 4) | bits;
    } else if (D <= 2560) {
      int32_t s0 = E[p] + c0 + t[0];
      decide(0, s0, T, D <= 1600 ? 0x33333 : 0x333);
      int32_t s1 = E[p + 1] + (s0 >> 3) + (s0 >> 2) + t[1];
      decide(1, s1, T, 0x222);
      int32_t s2 = (s1 >> 2) + (s0 >> 2) + c2 + t[2];
      decide(2, s2, T, 0x444);
      int32_t s3 = (s2 >> 3) + (s2 >> 2) + (s1 >> 3) + (s0 >> 3) + (s0 >> 2) + t[3];
      decide(3, s3, T, D <= 1600 ? 0x88888 : 0x888);
      E[p + 3] += s3 >> 3;
      E[p - 2] = h2 + (s2 >> 3);
      E[p - 1] = h1 + (s3 >> 3);
      h2 = h0 + (s3 >> 3) + (s2 >> 3);
      h1 = (s3 >> 3) + (s2 >> 2);
      h0 = (s3 >> 4) + (s3 >> 3);
      c2 = (s3 >> 4) + (s3 >> 3) + (s1 >> 2);
      c0 = (s3 >> 3) + (s2 >> 3) + (s1 >> 3) + (s1 >> 2);
      H = (H << 4) | bits;
    } else if (D <= 3072) {
      int32_t s0 = E[p] + c0 + t[0];
      decide(0, s0, T, 0x111);
      int32_t s1 = E[p + 1] + (s0 >> 1) + t[1];
      decide(1, s1, T, 0x222);
      int32_t s2 = (s0 >> 2) + (s1 >> 2) + c2 + t[2];
      decide(2, s2, T, 0x444);
      int32_t u = s2 >> 2, w = s2 >> 1;
      if ((bits & 4) && (r & 2)) u = w = (s2 >> 2) + (s2 >> 3);
      int32_t s3 = w + (s1 >> 3) + (s0 >> 3) + t[3];
      decide(3, s3, T, 0x888);
      E[p - 2] = h2;
      E[p - 1] = h1 + u + (s0 >> 3);
      h2 = h0 + (s3 >> 2) + (s2 >> 3);
      h1 = (s3 >> 3) + (s2 >> 3);
      h0 = s3 >> 3;
      c2 = (s3 >> 2) + (s1 >> 2);
      c0 = (s3 >> 2) + (s1 >> 3) + (s1 >> 2);
      H = (H << 4) | bits;
    } else if (D == 16320) {
      for (int s = 0; s < 4; ++s) dot(s);
      no_dot(E[p] + E[p + 1] + c2 + c0);
    } else {
      const bool y = D >= 6529 && D <= 11520;
      int32_t s0 = E[p] + c0 + t[0];
      decide(0, s0, T, y ? 0x11 : 0x111);
      int32_t s1 = E[p + 1] + (s0 >> 3) + (s0 >> 2) + t[1];
      decide(1, s1, T, 0x22);
      int32_t s2 = (s1 >> 2) + (s0 >> 3) + (s0 >> 2) + c2 + t[2];
      decide(2, s2, T, 0x44);
      int32_t s3 = (s2 >> 5) + (s2 >> 2) + (s1 >> 2) + (s0 >> 2) + t[3];
      decide(3, s3, T, 0x88);
      E[p - 2] = h2;
      E[p - 1] = h1 + (s2 >> 2) - (s2 >> 5);
      h2 = h0 + (s2 >> 5) + (s3 >> 3) + (s2 >> 2);
      h0 = s3 >> 2;
      h1 = (s3 >> 2) - (s2 >> 5) + (s2 >> 2);
      c2 = (s3 >> 2) + (s1 >> 2);
      c0 = (s3 >> 3) + (s1 >> 2);
      H = (H << 4) | bits;
    }
  }
  const int32_t end = in.x0 + 2 * int32_t(in.ink.size() / 2);
  E[end - 2] = h2;
  E[end - 1] = h1;
  ModelOutput out;
  const int bytes = (in.first_bit + in.count + 7) / 8;
  for (int row = 0; row < 2; ++row) {
    for (int b = 0; b < bytes; ++b) {
      uint8_t v = 0;
      for (int d = 0; d < 8; ++d) v = uint8_t(v | (dots[row][8 * b + d] << (7 - d)));
      out.rows[row].push_back(v);
    }
  }
  out.errors[0] = std::move(errors);
  return out;
}

// ---- Trials ---------------------------------------------------------------------------------

// Ink amounts in runs of similar cells, so that every band, long blank stretches and full cells
// all occur.
std::vector<uint32_t> TrialInk(std::mt19937& rng, int cells) {
  // Rows on band bounds (exact amounts): 8, 16, 48 (small pass 64, 128, 384), 76, 88, 112
  // (medium pass 384, 768, 1536).
  static constexpr uint32_t kRows[] = {0, 1, 8, 12, 16, 20, 28, 36, 40, 48, 52, 63, 76, 88, 100, 112, 150, 191, 250, 300, 350, 400, 447,
                                       455, 470, 488, 500, 511};
  std::vector<uint32_t> ink;
  while (int(ink.size()) < 2 * cells) {
    const int run = 1 + int(rng() % 16);
    const uint32_t row = kRows[rng() % std::size(kRows)];
    const bool mixed = rng() % 3 == 0;
    const bool exact = rng() % 2 == 0;
    for (int i = 0; i < run && int(ink.size()) < 2 * cells; ++i) {
      uint32_t a[4];
      for (uint32_t& v : a) {
        const uint32_t r2 = mixed ? kRows[rng() % std::size(kRows)] : row;
        v = r2 == 0 ? 0 : std::min<uint32_t>(65535, r2 * 128 + (exact ? 0 : rng() % 128));
      }
      ink.push_back((a[0] << 16) | a[1]);
      ink.push_back((a[2] << 16) | a[3]);
    }
  }
  return ink;
}

class DiffusionModelTest : public GreyEngineTest {
 protected:
  void SetUpEngine(uint32_t bits, uint32_t h, uint32_t v) {
    testkit::GreyDotCurveKind3Shape dots;
    dots.sample = BandVisitingDot;
    Ready(GreyJob(bits, h, v, 1, 512), {}, testkit::BuildGreyDotCurveKind3(dots));
  }

  // One span through the product's kernel and through the model; all results compared.
  void Trial(std::mt19937& rng, CellKernel member, bool one_bit) {
    GreyHalftoneEngine& e = Engine();
    const int start_position = one_bit ? int(rng() % 4) * 2 : int(rng() % 3) * 2;
    const int32_t x0 = 40 + 2 * int32_t(rng() % 8);
    const int cells = kCells - int(rng() % 4);
    // A start after a leading half cell (odd first bit) or after kept dots (even first bit).
    const bool leading = start_position > 0 && (rng() % 2 == 0 || (!one_bit && start_position == 4));
    e.call.first_bit = start_position - (leading ? 1 : 0);
    // Pixels of the call: the leading one and a span of whole cells, or one pixel short.
    e.call.count = 2 * cells - int(rng() % 2) + (leading ? 1 : 0);
    HorizontalZone plan[kZoneCount] = {};
    plan[halftone_lines::kCentre] = {x0, x0 + 2 * cells, 2 * cells, 1};
    e.zones[halftone_lines::kCentre] = {0, 4096, 4096, 1};
    const int group = 4 + int(rng() % 3);
    std::vector<uint32_t> ink = TrialInk(rng, cells);
    const size_t row_words = 512 + 64;
    std::vector<int32_t> errors[2];
    for (auto& row : errors) {
      row.resize(row_words);
      const int32_t spread = rng() % 2 == 0 ? 500 : 3000;
      for (int32_t& v : row) v = int32_t(rng() % uint32_t(2 * spread + 1)) - spread;
    }
    const uint8_t first_bytes[2] = {uint8_t(rng()), uint8_t(rng())};
    uint32_t pending[2] = {};
    const int per_byte = one_bit ? 8 : 4;
    for (int row = 0; row < 2; ++row) {
      const int keep_bits = start_position * (8 / per_byte);
      pending[row] = first_bytes[row] & uint32_t(0xFF00 >> keep_bits) & 0xFF;
    }
    const int32_t phase = int32_t(rng() % 256) * 4 - 4;
    common::MtState model_mt = e.random;
    if (e.random.next != nullptr) model_mt.next = model_mt.words + (e.random.next - e.random.words);

    SpanArgs a{};
    a.engine = &e;
    a.plan = plan;
    a.pending[0] = pending[0];
    a.pending[1] = pending[1];
    a.group = group;
    a.v = kInteriorTable;
    a.position = start_position;
    a.phase = phase;
    a.ink_line = ink.data();
    std::vector<uint8_t> out[2];
    for (auto& row : out) row.assign(512, 0xEE);
    a.out[0] = out[0].data();
    a.out[1] = out[1].data();
    std::vector<int32_t> product_errors[2] = {errors[0], errors[1]};
    if (one_bit) {
      GreyDiffuseSpan1Bit(a, product_errors[1].data() + kMargin, DotMask1Bit());
    } else {
      GreyDiffuseCells(member, a, product_errors[0].data() + kMargin, product_errors[1].data() + kMargin,
                       Masks2Bit());
    }

    ModelInput in{member, e.layout.samples, e.layout.width * e.layout.height - 1, e.cell_thresholds,
                  &e.level_tables[group][kInteriorTable], ink, start_position, phase, x0,
                  e.call.count, e.call.first_bit};
    const uint8_t kept[2] = {uint8_t(pending[0]), uint8_t(pending[1])};
    if (one_bit) {
      const ModelOutput m = ModelOneBit(in, errors[1], &model_mt, kept);
      for (int row = 0; row < 2; ++row) {
        ASSERT_EQ(std::vector<uint8_t>(out[row].begin(), out[row].begin() + m.rows[row].size()), m.rows[row])
            << "row " << row;
        EXPECT_EQ(out[row][m.rows[row].size()], 0xEE) << "nothing after the span's last byte";
      }
      ASSERT_EQ(product_errors[1], m.errors[0]);
    } else {
      const ModelOutput m = ModelTwoBit(in, errors[0], errors[1], &model_mt, kept);
      for (int row = 0; row < 2; ++row) {
        ASSERT_EQ(std::vector<uint8_t>(out[row].begin(), out[row].begin() + m.rows[row].size()), m.rows[row])
            << "row " << row;
        EXPECT_EQ(out[row][m.rows[row].size()], 0xEE) << "nothing after the span's last byte";
      }
      ASSERT_EQ(product_errors[0], m.errors[0]) << "medium error row";
      ASSERT_EQ(product_errors[1], m.errors[1]) << "small error row";
    }
    ASSERT_EQ(common::RandomGenerate(&e.random), common::RandomGenerate(&model_mt)) << "generator state";
  }
};

TEST_F(DiffusionModelTest, CellKernelsMatchTheirModels) {
  const struct {
    CellKernel member;
    uint32_t h, v;
  } members[] = {{CellKernel::k1x1, 720, 720}, {CellKernel::k2x1, 1440, 720}, {CellKernel::k4x1, 1440, 360}};
  for (const auto& m : members) {
    SCOPED_TRACE(m.h / m.v);
    common::faults::ScopedReset each;
    SetUpEngine(2, m.h, m.v);
    std::mt19937 rng(1234 + m.h / m.v);
    for (int trial = 0; trial < 200; ++trial) {
      SCOPED_TRACE(trial);
      Trial(rng, m.member, false);
      if (HasFatalFailure()) return;
    }
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(DiffusionModelTest, OneBitKernelMatchesItsModel) {
  SetUpEngine(1, 1440, 720);
  std::mt19937 rng(99);
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    Trial(rng, CellKernel::k2x1, true);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace tonvar::grey_input
