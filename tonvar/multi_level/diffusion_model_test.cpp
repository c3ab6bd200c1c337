// The literal model of the diffusion kernels (see diffusion_model_test.h).
#include "tonvar/multi_level/diffusion_model_test.h"

namespace tonvar::multi_level::model {

void Model::Pass(Carry& s, int32_t* e, int p, const int32_t t[4], bool small_pass, uint8_t dot) {
  // The random step.
  r >>= 4;
  if (r == 0) r = common::RandomGenerate(random);
  const int32_t d = t[0] + t[1] + t[2] + t[3];
  const int32_t b = static_cast<int32_t>(job.thresholds[std::min<uint32_t>(static_cast<uint32_t>(d) >> 6, 255)]);
  const uint32_t k = r % 4;
  const int32_t jitter = static_cast<int32_t>(4 * (r % 16));
  const int32_t penalty = static_cast<int32_t>(32 * (r % 32) + 192);
  const bool ink8 = Ink8();
  if (d == 0) {
    IdleRule(s, e);
    return;
  }
  s.idle = IdleStart();
  const int32_t pl = s.pl, pr = s.pr, pn = s.pn;
  uint32_t flags = 0;
  auto masked = [&](uint32_t mask, bool gate_open) { return gate_open && (s.hist & mask) != 0 ? penalty : 0; };

  if (job.kernel == Kernel::k1x1Ink4 || job.kernel == Kernel::k1x1Ink8) {
    if (d <= 768) {
      const bool s2 = d > 384;
      int32_t v = e[0] + e[1] + d + s.cl + s.cu;
      if ((s2 || small_pass) && AnyOccupied(p)) v -= 4080;
      if (!(v > b + jitter)) { NoDot(s, e, v); return; }
      if (!(small_pass && Occupied(p, static_cast<int>(k)))) Put(p, static_cast<int>(k), dot);
      const int32_t er = v - 4080;
      if (!s2) {
        e[-2] = pl; e[-1] = pr + S(er, 3); e[-3] += S(er, 3); e[-5] += S(er, 4); e[4] += S(er, 4); e[6] += S(er, 4);
        s.pl = S(er, 3) + pn; s.pn = S(er, 3); s.cu = S(er, 3); s.pr = S(er, 3); s.cl = S(er, 4);
        if (ink8) {
          if (d <= 128) { e[-7] += S(er, 4); e[8] += S(er, 4); s.pr = S(er, 4); s.cl = 0; }
          if (d <= 64) { s.pr = 0; e[-9] += S(er, 5); e[10] += S(er, 5); }
        } else if (d <= 128) {
          e[-7] += S(er, 4); e[8] += S(er, 4); s.pr = S(er, 4); s.cl = 0;
          if (d <= 64 || k == 0) { s.pr = 0; e[-9] += S(er, 5); e[10] += S(er, 5); }
        } else if (k == 0) {
          e[-7] += S(er, 4); e[8] += S(er, 4); s.pr = S(er, 4); s.cl = 0;
        }
      } else {
        e[-2] = pl; e[-1] = pr + S(er, 3); e[-3] += S(er, 4); e[4] += S(er, 3);
        s.pl = S(er, 2) + S(er, 4) + pn; s.pn = S(er, 3); s.cu = S(er, 2); s.pr = 0; s.cl = 0;
        if (d <= 576 || k == 0) { e[6] += S(er, 4); s.pl = s.pl - S(er, 4); }
      }
      return;
    }
    if (d == 16320) {
      for (int i = 0; i < 4; ++i) {
        if (!(small_pass && Occupied(p, i))) Put(p, i, dot);
      }
      NoDot(s, e, e[0] + e[1] + s.cl + s.cu);
      return;
    }
    int band;  // 1..4
    if (d <= 1536) band = 1;
    else if (d <= 3392) band = 2;
    else if (d <= 6528 || d > 10240) band = 3;
    else band = 4;
    uint32_t m0, m1, m2, m3;
    if (band == 1) { m0 = ink8 ? 0x333 : 0x33333; m1 = 0x222; m2 = 0x444; m3 = ink8 ? 0x888 : 0x88888; }
    else if (band == 2) { m0 = 0x111; m1 = 0x222; m2 = 0x444; m3 = 0x888; }
    else if (band == 3) { m0 = 0x111; m1 = 0x22; m2 = 0x44; m3 = 0x88; }
    else { m0 = 0x11; m1 = 0x22; m2 = 0x44; m3 = 0x88; }
    const bool open = ink8 || band >= 3 || (r & 6) != 0;
    const int32_t e0 = Decide(p, 0, e[0] + t[0] + s.cu, b + masked(m0, open), flags, dot, true);
    const int32_t u1 = band == 2 ? e[1] + S(e0, 1) + t[1] : e[1] + S(e0, 3) + S(e0, 2) + t[1];
    const int32_t e1 = Decide(p, 1, u1, b + masked(m1, open), flags, dot, true);
    const int32_t u2 = band <= 2 ? S(e0, 2) + S(e1, 2) + t[2] + s.cl : S(e0, 3) + S(e0, 2) + S(e1, 2) + t[2] + s.cl;
    const int32_t e2 = Decide(p, 2, u2, b + masked(m2, open), flags, dot, true);
    int32_t h = S(e2, 1), g = S(e2, 2);
    if ((flags & 4) && (r & 2)) h = g = S(e2, 2) + S(e2, 3);
    int32_t u3;
    if (band == 1) u3 = S(e0, 3) + S(e0, 2) + S(e1, 3) + S(e2, 3) + S(e2, 2) + t[3];
    else if (band == 2) u3 = S(e0, 3) + S(e1, 3) + h + t[3];
    else u3 = S(e0, 2) + S(e1, 2) + S(e2, 2) + S(e2, 5) + t[3];
    const int32_t e3 = Decide(p, 3, u3, b + masked(m3, open), flags, dot, true);
    s.hist = (s.hist << 4) | flags;
    if (band == 1) {
      e[-2] = pl + S(e2, 3); e[-1] = pr + S(e3, 3); e[3] += S(e3, 3);
      s.pl = pn + S(e2, 3) + S(e3, 3); s.pr = S(e2, 2) + S(e3, 3); s.pn = S(e3, 3) + S(e3, 4);
      s.cl = S(e1, 2) + S(e3, 3) + S(e3, 4); s.cu = S(e1, 3) + S(e1, 2) + S(e2, 3) + S(e3, 3);
    } else if (band == 2) {
      e[-2] = pl; e[-1] = pr + g + S(e0, 3);
      s.pl = pn + S(e2, 3) + S(e3, 2); s.pr = S(e2, 3) + S(e3, 3); s.pn = S(e3, 3);
      s.cl = S(e1, 2) + S(e3, 2); s.cu = S(e1, 3) + S(e1, 2) + S(e3, 2);
    } else {
      e[-2] = pl; e[-1] = pr + S(e2, 2) - S(e2, 5);
      s.pl = pn + S(e2, 2) + S(e2, 5) + S(e3, 3); s.pr = S(e2, 2) - S(e2, 5) + S(e3, 2); s.pn = S(e3, 2);
      s.cl = S(e1, 2) + S(e3, 2); s.cu = S(e1, 2) + S(e3, 3);
    }
    return;
  }
  if (job.kernel == Kernel::k1x2) {
    auto total = [&](bool medium_subtracts) {
      int32_t v = e[0] + e[1] + d + s.cu + s.cl;
      if (!small_pass && medium_subtracts && AnyOccupied(p)) v -= 4080;
      return v;
    };
    if (d <= 384) {
      const int32_t v = total(false);
      if (!(v > b + jitter)) { NoDot(s, e, v); return; }
      Put(p, static_cast<int>(k), dot);
      const int32_t er = v - 4080;
      if (d <= 128 || k == 0) { e[-5] += S(er, 4); e[-3] += S(er, 4); e[4] += S(er, 4); e[6] += S(er, 4); }
      else { e[-3] += S(er, 3); e[4] += S(er, 3); }
      e[-2] = pl; e[-1] = pr + S(er, 3); s.pl = S(er, 3) + pn; s.pn = S(er, 3); s.pr = S(er, 3); s.cu = S(er, 3);
      s.cl = S(er, 3);
      return;
    }
    if (d <= 832) {
      const int32_t v = total(true);
      if (!(v > b + jitter)) { NoDot(s, e, v); return; }
      Put(p, static_cast<int>(k), dot);
      const int32_t er = v - 4080;
      if (k != 0) {
        e[-2] = pl; e[-1] = pr + S(er, 2); s.pl = S(er, 2) + S(er, 3) + pn; s.pn = S(er, 3); s.cu = S(er, 2);
        s.pr = 0; s.cl = 0;
      } else {
        e[-3] += S(er, 3); e[4] += S(er, 3); e[-2] = pl; e[-1] = pr + S(er, 3); s.pl = S(er, 3) + pn;
        s.pn = S(er, 3); s.pr = S(er, 3); s.cu = S(er, 3); s.cl = S(er, 3);
      }
      return;
    }
    if (d <= 1280) {
      const int32_t v = total(true);
      if (v <= b) {
        s.hist = s.hist << 4;
        e[-2] = pl; e[-1] = pr + S(v, 2); s.pl = S(v, 2) + pn; s.pn = S(v, 3); s.pr = S(v, 3); s.cu = S(v, 2); s.cl = 0;
        return;
      }
      const bool open = (r & 6) != 0;
      const int32_t e0 = Decide(p, 0, e[0] + t[0] + s.cu, b + masked(0x111, open) + ((r & 1) ? 1920 : 0), flags, dot, false);
      const int32_t e1 = Decide(p, 1, e[1] + t[1] + S(e0, 3) + S(e0, 2), b + masked(0x222, open) + ((r & 2) ? 1920 : 0), flags, dot, false);
      const int32_t e2 = Decide(p, 2, S(e0, 3) + S(e0, 2) + S(e1, 2) + t[2] + s.cl, b + masked(0x444, open), flags, dot, false);
      const int32_t e3 = Decide(p, 3, S(e0, 2) + S(e1, 2) + S(e2, 2) + t[3], b + masked(0x888, open), flags, dot, false);
      s.hist = (s.hist << 4) | flags;
      e[-2] = pl; e[-1] = pr + S(e2, 2); s.pl = S(e2, 2) + S(e3, 3) + pn; s.pr = S(e2, 2) + S(e3, 2); s.pn = S(e3, 2);
      s.cu = S(e1, 2) + S(e3, 3); s.cl = S(e1, 2) + S(e3, 2);
      return;
    }
    if (d == 16320) {
      for (int i = 0; i < 4; ++i) Put(p, i, dot);
      NoDot(s, e, e[0] + e[1] + s.cu + s.cl);
      return;
    }
    char band;
    if (d <= 2048) band = 'E';
    else if (d <= 6528 || d > 11520) band = 'F';
    else band = 'H';
    uint32_t m[4];
    bool open;
    if (band == 'E') { m[0] = 0x111; m[1] = 0x222; m[2] = 0x444; m[3] = 0x888; open = (r & 6) != 0; }
    else if (band == 'F' && d <= 2688) { m[0] = 0x111; m[1] = 0x222; m[2] = 0x444; m[3] = 0x888; open = (r & 12) != 0; }
    else { m[0] = 0x11; m[1] = 0x22; m[2] = 0x44; m[3] = 0x88; open = true; }
    const int32_t e0 = Decide(p, 0, e[0] + t[0] + s.cu, b + masked(m[0], open), flags, dot, true);
    int32_t e1, e2, e3;
    if (band != 'H') {
      e1 = Decide(p, 1, e[1] + t[1] + S(e0, 2), b + masked(m[1], open), flags, dot, true);
      e2 = Decide(p, 2, S(e0, 1) + S(e1, 3) + t[2] + s.cl, b + masked(m[2], open), flags, dot, true);
      e3 = Decide(p, 3, S(e0, 2) + S(e1, 1) + S(e2, 2) + t[3], b + masked(m[3], open), flags, dot, true);
    } else {
      e1 = Decide(p, 1, e[1] + t[1] + S(e0, 3) + S(e0, 2), b + masked(m[1], open), flags, dot, true);
      e2 = Decide(p, 2, S(e0, 3) + S(e0, 2) + S(e1, 2) + t[2] + s.cl, b + masked(m[2], open), flags, dot, true);
      e3 = Decide(p, 3, S(e0, 2) + S(e1, 2) + S(e2, 2) + S(e2, 5) + t[3], b + masked(m[3], open), flags, dot, true);
    }
    s.hist = (s.hist << 4) | flags;
    e[-2] = pl;
    if (band == 'E') {
      e[-1] = pr + S(e2, 2); s.pl = pn + S(e2, 3) + S(e2, 2) + S(e3, 3); s.pn = S(e3, 3); s.pr = S(e2, 3) + S(e3, 1);
      s.cu = S(e1, 2) + S(e3, 3); s.cl = S(e1, 3) + S(e3, 3);
    } else if (band == 'F') {
      int32_t x, y, z;
      if ((flags & 8) && k != 0) { x = S(e3, 2); y = S(e3, 3); z = S(e3, 2); }
      else if (flags & 8) { x = S(e3, 3) + S(e3, 2); y = S(e3, 3); z = S(e3, 3); }
      else { x = S(e3, 1); y = 0; z = S(e3, 3); }
      e[-1] = pr + S(e2, 2); s.pl = pn + S(e2, 3) + S(e2, 2) + S(e3, 2); s.pn = S(e3, 3); s.pr = S(e2, 3) + x;
      s.cu = S(e1, 2) + y; s.cl = S(e1, 3) + z;
    } else {
      e[-1] = pr + S(e2, 2) - S(e2, 5); s.pl = pn + S(e2, 2) + S(e2, 5) + S(e3, 3); s.pn = S(e3, 2);
      s.pr = S(e2, 2) - S(e2, 5) + S(e3, 2); s.cu = S(e1, 2) + S(e3, 3); s.cl = S(e1, 2) + S(e3, 2);
    }
    return;
  }

  if (job.kernel == Kernel::k2x1Ink4 || job.kernel == Kernel::k2x1Ink8 || job.kernel == Kernel::kOneBit) {
    const int32_t single_limit = OneBit() ? 575 : 576;
    if (d <= single_limit) {
      int32_t v = e[0] + e[1] + d + s.cl + s.cu;
      if (small_pass && AnyOccupied(p)) v -= 4080;
      if (!(v > b + jitter)) { NoDot(s, e, v); return; }
      if (!(small_pass && Occupied(p, static_cast<int>(k)))) Put(p, static_cast<int>(k), dot);
      const int32_t er = v - 4080;
      int w = d <= 64 ? 1 : d <= 128 ? 2 : d <= 320 ? 3 : 4;
      if (!ink8 && k == 0 && d > 64) w -= 1;
      if (w == 1 || w == 2) {
        const int cols1[] = {-11, -9, -7, -5, -3, 4, 6, 8, 10, 12, 14, 16};
        for (int i = 0; i < (w == 1 ? 12 : 10); ++i) e[cols1[i]] += S(er, 4);
        e[-2] = pl; e[-1] = pr + S(er, 4); s.pl = pn + S(er, 4); s.pn = S(er, 4);
        s.pr = w == 1 ? 0 : S(er, 4); s.cl = w == 1 ? 0 : S(er, 4); s.cu = S(er, 4);
      } else if (w == 3) {
        e[-7] += S(er, 4); e[-3] += S(er, 4); e[6] += S(er, 4); e[8] += S(er, 4); e[-5] += S(er, 3); e[4] += S(er, 3);
        e[-2] = pl; e[-1] = pr + S(er, 3); s.pl = pn + S(er, 4); s.pn = S(er, 4); s.pr = S(er, 4); s.cl = S(er, 4);
        s.cu = S(er, 3);
      } else {
        e[-5] += S(er, 4); e[-3] += S(er, 3); e[4] += S(er, 1);
        e[-2] = pl; e[-1] = pr + S(er, 3); s.pl = pn + S(er, 3); s.pn = 0; s.pr = 0; s.cl = 0; s.cu = S(er, 4);
      }
      return;
    }
    if (d <= 832) {
      int32_t v = d + e[0] + e[1] + s.cl + s.cu;
      if (AnyOccupied(p)) v -= 4080;
      const int32_t cell_thr = ink8 ? b + jitter : b;
      if (!(v > cell_thr)) { NoDot(s, e, v); return; }
      const bool open = ink8 || (r & 6) != 0;
      const uint32_t m0 = ink8 ? 0x333 : 0x11111, m1 = ink8 ? 0x222 : 0x22222, m2 = ink8 ? 0x444 : 0x44444,
                     m3 = ink8 ? 0x888 : 0x88888;
      auto decide = [&](int i, int32_t u, uint32_t mask) {
        if (u > cell_thr + masked(mask, open)) {
          flags |= 1u << i;
          if (!(small_pass && Occupied(p, i))) Put(p, i, dot);
          return u - 4080;
        }
        return u;
      };
      const int32_t e0 = decide(0, e[0] + t[0] + s.cu, m0);
      const int32_t e1 = decide(1, e[1] + S(e0, 3) + S(e0, 2) + t[1], m1);
      const int32_t e2 = decide(2, S(e0, 2) + S(e1, 2) + t[2] + s.cl, m2);
      const int32_t e3 = decide(3, S(e0, 3) + S(e0, 2) + S(e1, 4) + S(e1, 3) + S(e2, 3) + S(e2, 2) + t[3], m3);
      s.hist = (s.hist << 4) | flags;
      e[-4] += S(e2, 3); e[-2] = pl + S(e2, 3); e[-1] = pr + S(e3, 3); e[3] += S(e3, 3);
      s.pl = pn + S(e3, 3); s.pr = S(e2, 2) + S(e3, 3); s.pn = S(e3, 3); s.cl = S(e1, 4) + S(e1, 3) + S(e3, 2);
      s.cu = S(e1, 3) + S(e1, 2) + S(e2, 3) + S(e3, 3);
      return;
    }
    if (d == 16320) {
      for (int i = 0; i < 4; ++i) {
        if (!(small_pass && Occupied(p, i))) Put(p, i, dot);
      }
      NoDot(s, e, e[0] + e[1] + s.cl + s.cu);
      return;
    }
    int band;
    if (d <= 2560) band = 1;
    else if (d <= 3072) band = 2;
    else if (d <= 6528 || d > 11520) band = 3;
    else band = 4;
    uint32_t m[4];
    if (band == 1 && d <= 1600) { m[0] = 0x33333; m[1] = 0x222; m[2] = 0x444; m[3] = 0x88888; }
    else if (band == 1) { m[0] = 0x333; m[1] = 0x222; m[2] = 0x444; m[3] = 0x888; }
    else if (band == 2) { m[0] = 0x111; m[1] = 0x222; m[2] = 0x444; m[3] = 0x888; }
    else if (band == 3) { m[0] = 0x111; m[1] = 0x22; m[2] = 0x44; m[3] = 0x88; }
    else { m[0] = 0x11; m[1] = 0x22; m[2] = 0x44; m[3] = 0x88; }
    const bool open = ink8 || band >= 3 || (r & 6) != 0;
    const int32_t e0 = Decide(p, 0, e[0] + t[0] + s.cu, b + masked(m[0], open), flags, dot, true);
    const int32_t u1 = band == 2 ? e[1] + S(e0, 1) + t[1] : e[1] + S(e0, 3) + S(e0, 2) + t[1];
    const int32_t e1 = Decide(p, 1, u1, b + masked(m[1], open), flags, dot, true);
    const int32_t u2 = band <= 2 ? S(e0, 2) + S(e1, 2) + t[2] + s.cl : S(e0, 3) + S(e0, 2) + S(e1, 2) + t[2] + s.cl;
    const int32_t e2 = Decide(p, 2, u2, b + masked(m[2], open), flags, dot, true);
    int32_t h = S(e2, 1), g = S(e2, 2);
    if ((flags & 4) && (r & 2)) h = g = S(e2, 2) + S(e2, 3);
    int32_t u3;
    if (band == 1) u3 = S(e0, 3) + S(e0, 2) + S(e1, 3) + S(e2, 3) + S(e2, 2) + t[3];
    else if (band == 2) u3 = S(e0, 3) + S(e1, 3) + h + t[3];
    else u3 = S(e0, 2) + S(e1, 2) + S(e2, 2) + S(e2, 5) + t[3];
    const int32_t e3 = Decide(p, 3, u3, b + masked(m[3], open), flags, dot, true);
    s.hist = (s.hist << 4) | flags;
    if (band == 1) {
      e[-2] = pl + S(e2, 3); e[-1] = pr + S(e3, 3); e[3] += S(e3, 3);
      s.pl = pn + S(e2, 3) + S(e3, 3); s.pr = S(e2, 2) + S(e3, 3); s.pn = S(e3, 3) + S(e3, 4);
      s.cl = S(e1, 2) + S(e3, 3) + S(e3, 4); s.cu = S(e1, 3) + S(e1, 2) + S(e2, 3) + S(e3, 3);
    } else if (band == 2) {
      e[-2] = pl; e[-1] = pr + g + S(e0, 3);
      s.pl = pn + S(e2, 3) + S(e3, 2); s.pr = S(e2, 3) + S(e3, 3); s.pn = S(e3, 3);
      s.cl = S(e1, 2) + S(e3, 2); s.cu = S(e1, 3) + S(e1, 2) + S(e3, 2);
    } else {
      e[-2] = pl; e[-1] = pr + S(e2, 2) - S(e2, 5);
      s.pl = pn + S(e2, 2) + S(e2, 5) + S(e3, 3); s.pr = S(e2, 2) - S(e2, 5) + S(e3, 2); s.pn = S(e3, 2);
      s.cl = S(e1, 2) + S(e3, 2); s.cu = S(e1, 2) + S(e3, 3);
    }
    return;
  }

  // H = 4V.
  if (d <= 640) {
    int32_t v = e[0] + e[1] + d + s.cl + s.cu;
    if (small_pass && AnyOccupied(p)) v -= 4080;
    if (!(v > b + jitter)) { NoDot(s, e, v); return; }
    Put(p, static_cast<int>(k), dot);
    const int32_t er = v - 4080;
    const int32_t e3 = S(er, 3), e4 = S(er, 4), e5 = S(er, 5), e6 = S(er, 6), e7 = S(er, 7);
    const int32_t x = (e5 + e3) >> 2;
    const int sb = d <= 64 ? 0 : d <= 128 ? 1 : d <= 192 ? 2 : d <= 256 ? 3 : d <= 320 ? 4 : d <= 448 ? 5 : 6;
    switch (sb) {
      case 0:
        e[-17] += e5; e[-15] += e5; e[-13] += e5; e[-11] += x; e[-9] += x; e[-7] += e6 + e5; e[-5] += e6 + e5;
        e[-3] += e6 + e5; e[4] += e4; e[6] += e4; e[8] += e6 + e5; e[10] += x; e[12] += x; e[14] += e5; e[16] += e5;
        e[18] += e5;
        e[-2] = pl; e[-1] = pr + e4; s.pl = pn + e4; s.pr = e4 - e6; s.pn = e4; s.cu = e4; s.cl = e4 - e6;
        break;
      case 1:
        e[-15] += e5; e[-13] += e5; e[-11] += e6 + e5; e[-9] += e6 + e5; e[-7] += e6 + e5; e[-5] += e6 + e5;
        e[-3] += e6 + e5; e[4] += e4; e[6] += e4; e[8] += e6 + e5; e[10] += e6 + e5; e[12] += e6 + e5; e[14] += e5;
        e[16] += e5;
        e[-2] = pl; e[-1] = pr + e4; s.pl = pn + e4; s.pr = e4; s.pn = e4; s.cu = e4; s.cl = e4;
        break;
      case 2:
        e[-13] += e5; e[-11] += e6 + e5; e[-9] += e6 + e5; e[-7] += e6 + e5; e[-5] += e6 + e5; e[-3] += e6 + e5;
        e[4] += e4 + e6; e[6] += e4 + e6; e[8] += e4; e[10] += e4; e[12] += e6 + e5; e[14] += e5;
        e[-2] = pl; e[-1] = pr + e4; s.pl = pn + e4; s.pr = e4; s.pn = e4; s.cu = e4; s.cl = e4;
        break;
      case 3:
        e[-11] += (e4 + e6) >> 1; e[-9] += e4 - e6; e[-7] += e4 - e6; e[-5] += e4 - e7; e[-3] += e4;
        e[4] += e5 + e4; e[6] += e6 + e7 + e4; e[8] += e4 + e6; e[10] += e4; e[12] += e4 - e7;
        e[-2] = pl; e[-1] = pr + e4; s.pl = pn + e4; s.pr = e4; s.pn = e4; s.cu = e4; s.cl = e4;
        break;
      case 4:
        e[-9] += e4 - e6; e[-7] += e4 - e7; e[-5] += e4; e[-3] += e4 + e7; e[4] += e5 + e4; e[6] += e5 + e4;
        e[8] += e4 + e6; e[10] += e4;
        e[-2] = pl; e[-1] = pr + e4; s.pl = pn + e4 + e6; s.pr = e4; s.pn = e4; s.cu = e3 - e6; s.cl = e4;
        break;
      case 5:
        e[-7] += e5; e[-5] += e4 - e6; e[-3] += e4; e[4] += e3 + e6; e[6] += e3 - e6; e[8] += e4 + e6;
        e[-2] = pl; e[-1] = pr + e4 + e6; s.pl = pn + e5 + e4; s.pr = e4 + e6; s.pn = e4 + e6; s.cu = e3;
        s.cl = e4 + e6;
        break;
      default:
        e[-5] += e5; e[-3] += e4; e[4] += e5 + e3; e[6] += e3; e[8] += e4;
        e[-2] = pl; e[-1] = pr + e5 + e4; s.pl = pn + e6 + e4; s.pr = e6 + e4; s.pn = e6 + e4; s.cu = e6 + e3;
        s.cl = e6 + e4;
        break;
    }
    return;
  }
  if (d == 16320) {
    for (int i = 0; i < 4; ++i) Put(p, i, dot);
    NoDot(s, e, e[0] + e[1] + s.cl + s.cu);
    return;
  }
  int band;
  if (d <= 1472) band = 1;
  else if (d <= 1792) band = 2;
  else if (d <= 2880) band = 3;
  else if (d <= 5440) band = 4;
  else if (d <= 11520) band = 5;
  else band = 6;
  const uint32_t m[4] = {band == 5 ? 0x11u : 0x1Fu, band == 5 ? 0x22u : 0x3Fu, band == 5 ? 0x44u : 0x4Fu,
                         band == 5 ? 0x88u : 0xCFu};
  const int32_t e0 = Decide(p, 0, e[0] + t[0] + s.cu, b + masked(m[0], true), flags, dot, true);
  int32_t u1 = e[1] + t[1];
  if (band == 1 || band == 2 || band == 4) u1 += S(e0, 2) + S(e0, 4) + S(e0, 5);
  else if (band == 3) u1 += S(e0, 2) + S(e0, 3) + S(e0, 5);
  else if (band == 5) u1 += S(e0, 2) + S(e0, 3);
  else u1 += S(e0, 1);
  const int32_t e1 = Decide(p, 1, u1, b + masked(m[1], true), flags, dot, true);
  int32_t u2 = t[2] + s.cl;
  if (band == 1) u2 += S(e0, 3) + S(e1, 2);
  else if (band == 2) u2 += S(e0, 4) + S(e1, 3) + S(e1, 4);
  else if (band == 3) u2 += S(e0, 4) + S(e0, 5) + S(e1, 4);
  else if (band == 4) u2 += S(e0, 3) + S(e0, 5) + S(e1, 2) + S(e1, 3) + S(e1, 5);
  else if (band == 5) u2 += S(e0, 2) + S(e0, 3) + S(e1, 2);
  else u2 += S(e0, 2) + S(e1, 2);
  const int32_t e2 = Decide(p, 2, u2, b + masked(m[2], true), flags, dot, true);
  int32_t h = S(e2, 1), g = S(e2, 2);
  if ((flags & 4) && (r & 2)) h = g = S(e2, 2) + S(e2, 3);
  int32_t u3 = t[3];
  if (band == 1) u3 += S(e0, 2) + S(e0, 3) + S(e0, 4) + S(e0, 5) + S(e1, 2) + S(e2, 3) + S(e2, 4);
  else if (band == 2) u3 += S(e0, 1) + S(e0, 5) + S(e1, 2) + S(e1, 4) + S(e1, 5) + S(e2, 3) + S(e2, 4);
  else if (band == 3) u3 += S(e0, 2) + S(e0, 3) + S(e0, 4) + S(e1, 2) + S(e1, 3) + S(e1, 5) + S(e2, 3);
  else if (band == 4) u3 += S(e0, 2) + S(e0, 3) + S(e0, 4) + S(e1, 2) + S(e1, 5) + S(e2, 3) + S(e2, 4);
  else if (band == 5) u3 += S(e0, 2) + S(e1, 2) + S(e2, 2) + S(e2, 5);
  else u3 += S(e0, 2) + S(e1, 3) + h;
  const int32_t e3 = Decide(p, 3, u3, b + masked(m[3], true), flags, dot, true);
  s.hist = (s.hist << 4) | flags;
  if (band <= 2) {
    e[-2] = pl + S(e3, 4); e[-1] = pr + S(e2, 3) + S(e3, 4);
    e[3] += S(e0, 4) + S(e1, 4) + S(e2, 3) + S(e2, 4) + S(e3, 4); e[4] += S(e1, 3) + S(e3, 4);
    s.pl = pn + S(e2, 3) + S(e3, 3); s.pr = S(e3, 3); s.pn = S(e2, 4);
    s.cl = S(e1, 3) + S(e1, 4) + S(e2, 3) + S(e3, 2);
    s.cu = band == 1 ? S(e1, 3) + S(e2, 3) + S(e2, 4) + S(e3, 2) : S(e1, 4) + S(e1, 5) + S(e2, 3) + S(e2, 4) + S(e3, 2);
  } else if (band == 3) {
    e[-2] = pl + S(e3, 4); e[-1] = pr + S(e2, 3) + S(e2, 4) + S(e3, 4);
    e[3] += S(e0, 4) + S(e1, 4) + S(e2, 2) + S(e3, 3); e[4] += S(e1, 3) + S(e1, 5) + S(e3, 4);
    s.pl = pn + S(e3, 4); s.pr = S(e2, 4) + S(e2, 5) + S(e3, 3) + S(e3, 4); s.pn = S(e2, 4);
    s.cl = S(e1, 3) + S(e1, 5) + S(e2, 4) + S(e2, 5) + S(e3, 2);
    s.cu = S(e1, 3) + S(e1, 5) + S(e2, 3) + S(e2, 4) + S(e3, 3) + S(e3, 4);
  } else if (band == 4) {
    e[-2] = pl + S(e2, 4) + S(e3, 4); e[-1] = pr + S(e2, 2) + S(e2, 4) + S(e3, 4);
    e[3] += S(e1, 4) + S(e2, 3); e[4] += S(e1, 3);
    s.pl = pn + S(e2, 3) + S(e3, 3); s.pr = S(e2, 4) + S(e3, 3) + S(e3, 4); s.pn = S(e3, 3);
    s.cl = S(e0, 4) + S(e2, 3) + S(e3, 2); s.cu = S(e1, 3) + S(e3, 3) + S(e3, 4);
  } else if (band == 5) {
    e[-2] = pl; e[-1] = pr + S(e2, 2) - S(e2, 5);
    s.pl = pn + S(e2, 2) + S(e2, 5) + S(e3, 3); s.pr = S(e2, 2) - S(e2, 5) + S(e3, 2); s.pn = S(e3, 2);
    s.cl = S(e1, 2) + S(e3, 2); s.cu = S(e1, 2) + S(e3, 3);
  } else {
    e[-2] = pl; e[-1] = pr + g;
    s.pl = pn + S(e2, 3) + S(e3, 2); s.pr = S(e2, 3) + S(e3, 3); s.pn = S(e3, 3);
    s.cl = S(e1, 2) + S(e3, 2); s.cu = S(e1, 2) + S(e1, 3) + S(e3, 2);
  }
}

void Model::Run(std::vector<uint8_t>& row0, std::vector<uint8_t>& row1) {
  int cells = 0;
  for (int z = 0; z < 5; ++z) {
    if (job.run[z].start < job.run[z].end) cells += (job.run[z].end - job.run[z].start + 1) / 2;
  }
  const int pixels = job.first_pixel + 2 * cells;
  code[0].assign(static_cast<size_t>(pixels), 0);
  code[1].assign(static_cast<size_t>(pixels), 0);
  const bool one_bit = OneBit();
  // The leading dots come from the word pair.
  for (int q = 0; q < job.first_pixel; ++q) {
    for (int row = 0; row < 2; ++row) {
      if (one_bit) {
        const int bit = (7 - q % 8) + 8 * (q / 8);
        code[row][q] = static_cast<uint8_t>((job.words[row] >> bit) & 1);
      } else {
        const int shift = 8 * (q / 4) + 6 - 2 * (q % 4);
        code[row][q] = static_cast<uint8_t>((job.words[row] >> shift) & 3);
      }
    }
  }
  const bool draws_first = job.kernel == Kernel::k1x1Ink4 || job.kernel == Kernel::k1x2 || job.kernel == Kernel::k2x1Ink4;
  r = draws_first ? common::RandomGenerate(random) : 0;
  Carry med, sml;
  med.idle = sml.idle = IdleStart();
  uint32_t m = job.m0;
  int cell = 0;
  int p = job.first_pixel;
  int32_t max_end = 0;
  for (int z = 0; z < 5; ++z) {
    max_end = std::max(max_end, job.run[z].end);
    for (int c = job.run[z].start; c < job.run[z].end; c += 2, ++cell, p += 2) {
      m = (m + 4) & job.sample_mask;
      const uint32_t entry = job.plane[static_cast<size_t>(cell)];
      const bool detailed = (job.flat[static_cast<size_t>(cell / 32)] >> (cell % 32)) & 1;
      uint32_t level[4];
      for (int i = 0; i < 4; ++i) level[i] = detailed ? (entry >> (24 - 8 * i)) & 255 : entry;
      if (!detailed && entry == 0) {
        if (one_bit) {
          IdleRule(med, medium + c);
        } else {
          IdleRule(med, medium + c);
          IdleRule(sml, small + c);
        }
        continue;
      }
      if (one_bit) {
        int32_t t[4];
        for (int i = 0; i < 4; ++i) t[i] = Value(z, c, level[i], 2);
        Pass(med, medium + c, p, t, false, 1);
        continue;
      }
      const int offsets[4] = {0, 2, 1, 3};
      for (int i = 0; i < 4; ++i) {
        if (Value(z, c, level[i], 2) > job.samples[m + static_cast<uint32_t>(offsets[i])]) Put(p, i, 3);
      }
      int32_t tm[4], ts[4];
      for (int i = 0; i < 4; ++i) {
        tm[i] = Value(z, c, level[i], 1);
        ts[i] = Value(z, c, level[i], 0);
      }
      Pass(med, medium + c, p, tm, false, 2);
      Pass(sml, small + c, p, ts, true, 1);
    }
  }
  medium[max_end - 2] = med.pl;
  medium[max_end - 1] = med.pr;
  if (!one_bit) {
    small[max_end - 2] = sml.pl;
    small[max_end - 1] = sml.pr;
  }
  row0 = code[0];
  row1 = code[1];
}

std::vector<uint8_t> PackRow(const Job& job, const std::vector<uint8_t>& codes) {
  // Every full group becomes whole bytes; the last group keeps the bytes the band covers.
  const bool one_bit = job.kernel == Kernel::kOneBit;
  const int per_byte = one_bit ? 8 : 4;
  const int group = one_bit ? 32 : 16;
  const int pixels = static_cast<int>(codes.size());
  int bytes = pixels / group * (group / per_byte);
  if (pixels % group != 0) {
    bytes += static_cast<int>(((job.first_dot + job.count) % static_cast<uint32_t>(group) + per_byte - 1) /
                              static_cast<uint32_t>(per_byte));
  }
  std::vector<uint8_t> out(static_cast<size_t>(bytes), 0);
  for (int q = 0; q < pixels && q / per_byte < bytes; ++q) {
    const int shift = one_bit ? 7 - q % 8 : 6 - 2 * (q % 4);
    out[static_cast<size_t>(q / per_byte)] |= static_cast<uint8_t>(codes[static_cast<size_t>(q)] << shift);
  }
  return out;
}

}  // namespace tonvar::multi_level::model
