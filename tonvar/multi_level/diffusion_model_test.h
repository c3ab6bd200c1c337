// A second, literal model of the cell error-diffusion kernels for the tests: every band is
// written out as the kernels' rules state it, sub-pixel by sub-pixel, on plain integers, without
// the product's tables or walk. It keeps dots per pixel and packs them only at the end, so that
// the product's word handling is checked too.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tonvar/common/random_generator.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level::model {

enum class Kernel { k1x1Ink4, k1x1Ink8, k1x2, k2x1Ink4, k2x1Ink8, k4x1, kOneBit };

struct Carry {
  int32_t cu = 0, cl = 0, pl = 0, pr = 0, pn = 0;
  uint32_t hist = 0;
  int32_t idle = 0;
};

// Everything a kernel call reads, in plain form.
struct Job {
  Kernel kernel;
  HorizontalZone run[5];
  HorizontalZone zones[5];  // the job's (blend origins)
  const DotTableSlot* slot;
  int interior;  // I
  const uint32_t* thresholds;
  const int16_t* samples;
  uint32_t sample_mask;
  uint32_t m0;
  int first_pixel;  // dot position
  uint32_t first_dot, count;
  uint32_t words[2];
  std::vector<uint32_t> plane, flat;
};

struct Model {
  const Job& job;
  int32_t* medium;  // error rows by column
  int32_t* small;
  common::MtState* random;
  // Codes per pixel position counted from the first cell's left pixel (position first_pixel).
  std::vector<uint8_t> code[2];
  uint32_t r = 0;

  static int32_t S(int32_t v, int n) { return v >> n; }

  int32_t Value(int z, int c, uint32_t level, int column) const {
    static const int A[5] = {0, 1, 1, 0, 0}, B[5] = {0, 0, 1, 1, 0};
    const int32_t b = static_cast<int32_t>(job.slot->set[B[z] * job.interior].level[2 * level][column]);
    if (job.run[z].plain) return b;
    const int32_t a = static_cast<int32_t>(job.slot->set[A[z] * job.interior].level[2 * level][column]);
    const int32_t f = ((c - job.zones[z].start) * 32) / job.run[z].width;
    return (b * (32 - f) + a * f) / 32;
  }

  bool OneBit() const { return job.kernel == Kernel::kOneBit; }
  bool Ink8() const {
    return job.kernel == Kernel::k1x1Ink8 || job.kernel == Kernel::k2x1Ink8 || job.kernel == Kernel::kOneBit;
  }
  int IdleStart() const {
    switch (job.kernel) {
      case Kernel::k1x1Ink4: case Kernel::k1x1Ink8: return 5;
      case Kernel::k1x2: return 4;
      case Kernel::k4x1: return 12;
      default: return 7;
    }
  }

  // Pixel index (into code[]) of sub-pixel i of the cell whose left pixel has index p.
  uint8_t& Pixel(int p, int i) { return code[i >> 1][p + (i & 1)]; }
  bool Occupied(int p, int i) { return OneBit() ? false : (Pixel(p, i) & 2) != 0; }
  bool AnyOccupied(int p) {
    for (int i = 0; i < 4; ++i) {
      if (Occupied(p, i)) return true;
    }
    return false;
  }
  void Put(int p, int i, uint8_t c) { Pixel(p, i) |= c; }

  void NoDot(Carry& s, int32_t* e, int32_t v) {
    switch (job.kernel) {
      case Kernel::k1x1Ink4: case Kernel::k1x1Ink8:
        e[-2] = s.pl; e[-1] = s.pr + S(v, 2); s.pl = S(v, 2) + s.pn; s.pn = S(v, 2); s.cu = S(v, 2); s.pr = 0; s.cl = 0;
        break;
      case Kernel::k1x2:
        e[-2] = s.pl; e[-1] = s.pr + S(v, 2); s.pl = S(v, 1) + s.pn; s.pn = S(v, 3); s.cu = S(v, 3); s.cl = 0; s.pr = 0;
        break;
      case Kernel::k4x1: {
        const int32_t a = S(v, 3) + S(v, 4);
        e[-4] += a; e[-2] = s.pl + a; e[-1] = s.pr; e[4] += a; s.pl = S(v, 3) + s.pn; s.pn = S(v, 3); s.cu = a;
        s.pr = 0; s.cl = 0;
        break;
      }
      default:
        e[-2] = s.pl; e[-1] = s.pr + S(v, 2) + S(v, 3); s.pl = S(v, 3) + s.pn; s.pn = S(v, 3); s.cu = S(v, 2) + S(v, 3);
        s.pr = 0; s.cl = 0;
        break;
    }
  }

  void IdleRule(Carry& s, int32_t* e) {
    if (s.idle > 0) {
      s.idle -= 1;
      NoDot(s, e, e[0] + e[1] + s.cu + s.cl);
    } else {
      e[-2] = 0; e[-1] = 0; s.pl = 0; s.pn = 0; s.cu = 0;
    }
  }

  // Decision of sub-pixel i in a sub-pixel band (occupancy first).
  int32_t Decide(int p, int i, int32_t u, int32_t thr, uint32_t& flags, uint8_t dot, bool look) {
    if (look && Occupied(p, i)) { flags |= 1u << i; return u - 4080; }
    if (u > thr) { flags |= 1u << i; Put(p, i, dot); return u - 4080; }
    return u;
  }

  // The pass on one cell (left column c, pixel index p).
  void Pass(Carry& s, int32_t* e, int p, const int32_t t[4], bool small_pass, uint8_t dot);
  void Run(std::vector<uint8_t>& row0, std::vector<uint8_t>& row1);
};

// Packs the codes of a row into the call's output bytes as the kernels write them: words of 16
// two-bit (or 32 one-bit) dots, the leading word from the word pair.
std::vector<uint8_t> PackRow(const Job& job, const std::vector<uint8_t>& codes);

}  // namespace tonvar::multi_level::model
