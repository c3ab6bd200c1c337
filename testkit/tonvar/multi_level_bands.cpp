// Multi-level bands and their ordered-dither model.
#include "testkit/tonvar/multi_level_bands.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/halftone_resources.h"
#include "testkit/tonvar/screening_resources.h"
#include "tonvar/interface/lut_descriptor.h"

namespace testkit {
namespace {

constexpr uint32_t kTableId = 3300;
constexpr uint32_t kFirstId = 700;
constexpr uint32_t kDotTableId = 733;
constexpr int kMatrixSide = 16;
constexpr int kCubeAxis = 64;

uint32_t InkSetOf(int inks) { return inks == 8 ? 9 : 1; }

// Matrix samples of plain rows: a scrambled spread over 0..1799, one matrix per resolution class.
int16_t MatrixSample(int r, int c, int variant) {
  return static_cast<int16_t>(((r * 7 + c * 11 + variant * 5) * 97 + r * c * (13 + variant)) % 1800);
}

// The matrix id each resolution class asks for: 701 H=V, 702 H=2V, 703 H=4V, 704 V=2H.
uint32_t MatrixIdOf(const MultiLevelBand& band) {
  if (band.h_dpi == band.v_dpi) return 701;
  if (band.h_dpi == 2 * band.v_dpi) return 702;
  if (band.h_dpi == 4 * band.v_dpi) return 703;
  return 704;
}

// Colour-table node bytes: a smooth function of the node with white (the last node) empty.
uint8_t BodyByte(int i, int j, int k, int c) {
  if (i == kCubeAxis - 1 && j == kCubeAxis - 1 && k == kCubeAxis - 1) return 0;
  const int v = (255 - 4 * i) * (c % 3 == 0) + (255 - 4 * j) * (c % 3 == 1) + (255 - 4 * k) * (c % 3 == 2);
  return static_cast<uint8_t>(std::clamp(v / (1 + c / 3) + (i + j + k + c * 5) % 7, 0, 255));
}

std::map<uint32_t, std::vector<uint8_t>> BandResources(const MultiLevelBand& band) {
  std::map<uint32_t, std::vector<uint8_t>> map;
  ModeTableShape desc;
  desc.version = 510;
  desc.smb_columns = true;
  ModeRowShape row;
  row.table_id = kTableId;
  row.first_halftone_id = kFirstId;
  row.colour_dot_curve_id = kDotTableId;
  row.mono_dot_curve_id = kDotTableId + 1;
  row.h_res = static_cast<int32_t>(band.h_dpi);
  row.v_res = static_cast<int32_t>(band.v_dpi);
  row.upper = band.transitions[0];
  row.lower = band.transitions[1];
  row.left = band.transitions[2];
  row.right = band.transitions[3];
  desc.rows = {row};
  desc.table_a_offsets = {};
  map[0] = TextBytes(BuildModeTable(desc));
  ColourTableShape table;
  table.grid = kCubeAxis;
  table.channels = static_cast<uint32_t>(band.inks);
  table.coords = CubeNodeLevels();
  table.body.resize(size_t{kCubeAxis} * kCubeAxis * kCubeAxis * table.channels);
  size_t at = 0;
  for (int i = 0; i < kCubeAxis; ++i) {
    for (int j = 0; j < kCubeAxis; ++j) {
      for (int k = 0; k < kCubeAxis; ++k) {
        for (int c = 0; c < band.inks; ++c) table.body[at++] = BodyByte(i, j, k, c);
      }
    }
  }
  map[kTableId] = BuildTaggedColourTable(table);

  map[kFirstId] = std::vector<uint8_t>(16, 0);
  for (uint32_t id : {701u, 702u, 703u, 704u}) {
    MatrixBlockShape matrix;
    matrix.width = matrix.height = kMatrixSide;
    matrix.phases = SamplePhases(band.inks);
    for (int r = 0; r < kMatrixSide; ++r) {
      for (int c = 0; c < kMatrixSide; ++c) matrix.samples.push_back(MatrixSample(r, c, static_cast<int>(id - 701)));
    }
    map[id] = BuildMatrixBlock(matrix);
  }
  DotCurveSetShape dots;
  dots.entries = DotCurveSetEntriesFor(InkSetOf(band.inks));
  map[kDotTableId] = BuildDotCurveSet(dots);
  map[kDotTableId + 1] = BuildDotCurveTable({});  // one edge table for every ink
  return map;
}

// ---- The model ----------------------------------------------------------------------------

// The published MT19937 generator, seeded by init_by_array.
class Mt19937 {
 public:
  explicit Mt19937(const std::vector<uint32_t>& key) {
    mt_[0] = 19650218u;
    for (int i = 1; i < 624; ++i) mt_[i] = 1812433253u * (mt_[i - 1] ^ (mt_[i - 1] >> 30)) + i;
    int i = 1, j = 0;
    for (size_t k = std::max<size_t>(624, key.size()); k > 0; --k) {
      mt_[i] = (mt_[i] ^ ((mt_[i - 1] ^ (mt_[i - 1] >> 30)) * 1664525u)) + key[j] + j;
      if (++i >= 624) { mt_[0] = mt_[623]; i = 1; }
      if (++j >= static_cast<int>(key.size())) j = 0;
    }
    for (int k = 623; k > 0; --k) {
      mt_[i] = (mt_[i] ^ ((mt_[i - 1] ^ (mt_[i - 1] >> 30)) * 1566083941u)) - i;
      if (++i >= 624) { mt_[0] = mt_[623]; i = 1; }
    }
    mt_[0] = 0x80000000u;
  }
  uint32_t Next() {
    if (index_ >= 624) {
      for (int k = 0; k < 624; ++k) {
        const uint32_t y = (mt_[k] & 0x80000000u) | (mt_[(k + 1) % 624] & 0x7FFFFFFFu);
        mt_[k] = mt_[(k + 397) % 624] ^ (y >> 1) ^ ((y & 1) ? 0x9908B0DFu : 0u);
      }
      index_ = 0;
    }
    uint32_t y = mt_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    return y ^ (y >> 18);
  }

 private:
  uint32_t mt_[624];
  int index_ = 624;
};

struct Pixel {
  int c[3];
};

class Model {
 public:
  Model(const MultiLevelBand& band, const tonvar::LutDescriptor& table)
      : band_(band), table_(table), random_({0x123, 0x234, 0x345, 0x456}) {
    const std::vector<uint8_t> t = CubeNodeLevels();
    for (int v = 0, j = 0; v < 256; ++v) {
      if (v == t[j]) {
        ramp_[v] = 256 * j++;
      } else {
        ramp_[v] = 256 * j + ((v - t[j]) * 255) / (t[j] - t[j - 1]);
      }
    }
    // Interior dot tables: each ink's kind-4 entry, cumulative, in 1/16 of a step.
    const int slot_of_id[12] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7};
    for (const DotCurveSetEntry& e : DotCurveSetEntriesFor(InkSetOf(band.inks))) {
      const std::vector<DotCurveRow> rows = RampDotRows(512, e.ink_id);
      for (int v = 0; v < 512; ++v) {
        const int s = rows[v].small * 16, m = rows[v].medium * 16, l = rows[v].large * 16;
        T(kInterior, slot_of_id[e.ink_id], v)[0] = s + m + l;
        T(kInterior, slot_of_id[e.ink_id], v)[1] = m + l;
        T(kInterior, slot_of_id[e.ink_id], v)[2] = l;
      }
    }
    // Edge tables: the kind-3 table, the same for every ink.
    const std::vector<DotCurveRow> edge_rows = RampDotRows(512);
    for (int slot = 0; slot < 8; ++slot) {
      for (int v = 0; v < 512; ++v) {
        const int s = edge_rows[v].small * 16, m = edge_rows[v].medium * 16, l = edge_rows[v].large * 16;
        T(kEdge, slot, v)[0] = s + m + l;
        T(kEdge, slot, v)[1] = m + l;
        T(kEdge, slot, v)[2] = l;
      }
    }
    // Edge and transition widths in dots, rounded up to even, for the enabled edges.
    int32_t e[4], tr[4];
    for (int i = 0; i < 4; ++i) {
      const bool on = (band.edge_mask & (8u >> i)) != 0;
      e[i] = on ? band.edges[i] + (band.edges[i] & 1) : 0;
      tr[i] = on ? band.transitions[i] + (band.transitions[i] & 1) : 0;
    }
    // Vertical bounds: top edge, top transition, interior, bottom transition, bottom edge.
    const int32_t height = (band.edge_mask & 4) != 0 ? static_cast<int32_t>(band.lines) : 0x7FFFFFFE;
    const int32_t b = height + (height & 1);
    const int32_t bounds[6] = {0, e[0], e[0] + tr[0], b - e[1] - tr[1], b - e[1], b};
    std::copy(bounds, bounds + 6, bounds_);
    std::copy(bounds, bounds + 6, used_);
    if (used_[3] < used_[2]) used_[2] = used_[3] = Even((used_[2] + used_[3]) / 2);
    // Horizontal zones of the line: edge, transition, centre, transition, edge.
    const int32_t w = static_cast<int32_t>(band.width + (band.width & 1));
    const int32_t starts[5] = {0, e[2], e[2] + tr[2], w - e[3] - tr[3], w - e[3]};
    const int32_t ends[5] = {e[2], e[2] + tr[2], w - e[3] - tr[3], w - e[3], w};
    for (int z = 0; z < 5; ++z) {
      zones_[z] = {starts[z], ends[z], ends[z] - starts[z]};
      spans_[z] = zones_[z];
    }
    // Overlapping transitions: no centre, and the two meet at their even midpoint.
    if (zones_[3].start < zones_[1].end) {
      spans_[2] = {0, 0, 0};
      spans_[1].end = spans_[3].start = Even((zones_[1].end + zones_[3].start) / 2);
    }
  }

  // One call on `line`; output plane k of row r at out[r] + k * stride.
  void Call(const std::vector<const uint8_t*>& in, const std::vector<uint8_t*>& out, uint32_t line) {
    const uint32_t fd = band_.first_dot;
    const int code = band_.replication;
    const int pattern_of[4][5] = {{2, 2, 2, 2, -1}, {1, 1, 1, 1, -1}, {0, 1, 0, 1, -1}, {-1}};
    const int* pattern = pattern_of[code == 0 ? 0 : code == 1 ? 1 : code == 3 ? 2 : 3];
    uint32_t r = Raise(random_.Next());
    const int offset = static_cast<int>((r >> 24) & 0xFE);
    const int32_t ln = static_cast<int32_t>(line);
    if (ln < used_[1] || (ln >= used_[4] && ln < used_[5])) {
      kind_ = kEdge;
    } else if (ln >= used_[2] && ln < used_[3]) {
      kind_ = kInterior;
    } else {
      // A vertical transition: from the edge table at its outer end towards the interior.
      const bool bottom = ln >= used_[2];
      const int32_t f = bottom ? (bounds_[4] - ln) * 32 / (bounds_[4] - bounds_[3])
                               : (bounds_[2] - ln) * 32 / (bounds_[2] - bounds_[1]);
      const int32_t edge_weight = bottom ? 32 - f : f;
      for (int slot = 0; slot < 8; ++slot) {
        for (int v = 0; v < 512; ++v) {
          for (int j = 0; j < 3; ++j) {
            T(kBlend, slot, v)[j] = (T(kEdge, slot, v)[j] * edge_weight + T(kInterior, slot, v)[j] * (32 - edge_weight)) / 32;
          }
        }
      }
      kind_ = kBlend;
    }
    const int64_t run_end = int64_t{band_.x_start} + band_.count;
    // Matrix positions of the call's cells.
    int32_t position[8];
    for (int k = 0; k < 8; ++k) {
      int64_t a = 16 * k + band_.x_start, ln = line;  // phases (16k, 8k)
      while (a < 0) { a += 2 * kMatrixSide; ln -= 2; }
      int64_t row = 8 * k + 2 * (a / kMatrixSide) + ln;
      while (row < 0) row += kMatrixSide;
      position[k] = static_cast<int32_t>((row & (kMatrixSide - 2)) * kMatrixSide + 2 * (a % kMatrixSide) - 4);
    }
    // Dot codes of the call, by dot index in the first byte's word.
    const size_t dots = fd + band_.count + 2;
    std::vector<std::vector<uint8_t>> codes(2 * band_.inks, std::vector<uint8_t>(dots, 0));
    const uint8_t* row_in[2] = {in[0], in.size() > 1 ? in[1] : in[0]};
    int index = 0;
    if (fd % 2 == 1) {
      Pixel p[2];
      for (int rr = 0; rr < 2; ++rr) {
        if (code == -1) {
          p[rr] = Darker(row_in[rr], row_in[rr] + 4);
          row_in[rr] += 8;
        } else {
          p[rr] = Read(row_in[rr]);
          if (pattern[0] != 0) row_in[rr] += 4;
        }
      }
      Advance(position);
      for (int k = 0; k < band_.inks; ++k) {
        const int top = 2 * Lookup(p[0], offset, k), bottom = 2 * Lookup(p[1], offset, k);
        const int lead_x = static_cast<int>(band_.x_start + (fd == 3 ? 1 : 0));
        const int zone = ZoneOf(band_.x_start, run_end, lead_x);
        codes[2 * k][fd] = Decide(k, top, position[k] + 2, zone, lead_x);
        codes[2 * k + 1][fd] = Decide(k, bottom, position[k] + 3, zone, lead_x);
      }
      index = fd == 3 ? 2 : 1;
    } else if (fd == 2) {
      index = 1;
    }
    if (code == -1 || pattern[index] < 0) index = 0;

    // The run's cells.
    const int64_t x0 = band_.x_start + fd % 2, end = int64_t{band_.x_start} + band_.count;
    uint32_t s = Raise(random_.Next());
    bool previous_flat = false;
    Pixel previous_tl{};
    int previous[8] = {};
    size_t dot = fd == 0 ? 0 : fd == 3 ? 4 : 2;
    for (int64_t x = x0; x < end; x += 2, dot += 2) {
      const int o = static_cast<int>((s >> 24) & 0xFE);
      const int bit = static_cast<int>((s >> 1) & 1);
      Pixel px[4];  // TL, TR, BL, BR
      for (int rr = 0; rr < 2; ++rr) {
        if (code == -1) {
          px[2 * rr] = Darker(row_in[rr], row_in[rr] + 4);
          px[2 * rr + 1] = x == end - 1 ? Pixel{{255, 255, 255}} : Darker(row_in[rr] + 8, row_in[rr] + 12);
          row_in[rr] += x == end - 1 ? 8 : 16;
        } else if (code == 0 && x != end - 1) {
          px[2 * rr] = Read(row_in[rr]);
          px[2 * rr + 1] = Read(row_in[rr] + 4);
          row_in[rr] += 8;
        } else {
          px[2 * rr] = px[2 * rr + 1] = Read(row_in[rr]);
          if (pattern[index] != 0) row_in[rr] += 4;
        }
      }
      if (code != -1 && !(code == 0 && x != end - 1)) {
        if (pattern[++index] < 0) index = 0;
      }
      int level[4][8];
      bool flat = true;
      for (int c = 0; c < 3; ++c) {
        flat = flat && std::abs(px[0].c[c] - px[3].c[c]) <= 25 && std::abs(px[1].c[c] - px[0].c[c]) <= 25 &&
               std::abs(px[1].c[c] - px[2].c[c]) <= 25;
      }
      if (flat) {
        Pixel mean;
        for (int c = 0; c < 3; ++c) mean.c[c] = (px[0].c[c] + px[1].c[c] + px[2].c[c] + px[3].c[c]) / 4;
        const bool similar = previous_flat && std::abs(px[0].c[0] - previous_tl.c[0]) <= 8 &&
                             std::abs(px[0].c[1] - previous_tl.c[1]) <= 8 &&
                             std::abs(px[0].c[2] - previous_tl.c[2]) <= 20;
        for (int k = 0; k < band_.inks; ++k) {
          int v = Lookup(mean, o, k);
          if (similar && k != 2) v = (v + previous[k] + bit) / 2;
          previous[k] = v;
          for (int p = 0; p < 4; ++p) level[p][k] = 2 * v;
        }
        previous_tl = px[0];
      } else {
        for (int p = 0; p < 4; ++p) {
          for (int k = 0; k < band_.inks; ++k) level[p][k] = 2 * Lookup(px[p], o, k);
        }
      }
      Advance(position);
      const int zone = ZoneOf(x0, end, static_cast<int>(x));
      const int cx = static_cast<int>(x);
      for (int k = 0; k < band_.inks; ++k) {
        if (flat && level[0][k] == 0) continue;
        codes[2 * k][dot] = Decide(k, level[0][k], position[k], zone, cx);
        codes[2 * k][dot + 1] = Decide(k, level[1][k], position[k] + 2, zone, cx);
        codes[2 * k + 1][dot] = Decide(k, level[2][k], position[k] + 1, zone, cx);
        codes[2 * k + 1][dot + 1] = Decide(k, level[3][k], position[k] + 3, zone, cx);
      }
      previous_flat = flat;
      s = s * 17 - 1;
    }

    // Bytes: the dots before the first dot keep what the output held; a one-row call keeps
    // row 0's codes.
    const size_t bytes = (fd + band_.count + 3) / 4;
    for (int k = 0; k < band_.inks; ++k) {
      for (size_t r_out = 0; r_out < out.size(); ++r_out) {
        const std::vector<uint8_t>& c = codes[2 * k + (out.size() == 2 ? r_out : 0)];
        uint8_t* plane = out[r_out] + k * band_.Stride();
        for (size_t b = 0; b < bytes; ++b) {
          uint8_t v = 0;
          for (size_t d = 0; d < 4; ++d) {
            const size_t i = 4 * b + d;
            const uint8_t two = i < fd ? (plane[b] >> (6 - 2 * d)) & 3 : i < dots ? c[i] : 0;
            v = static_cast<uint8_t>(v | two << (6 - 2 * d));
          }
          plane[b] = v;
        }
      }
    }
  }

 private:
  static uint32_t Raise(uint32_t r) {
    while (r < 0x1000000) r = r * 17 - 1;
    return r;
  }
  static Pixel Read(const uint8_t* p) { return {{p[0], p[1], p[2]}}; }
  static Pixel Darker(const uint8_t* a, const uint8_t* b) {
    return 4 * b[0] + 8 * b[1] + b[2] < 4 * a[0] + 8 * a[1] + a[2] ? Read(b) : Read(a);
  }
  static void Advance(int32_t position[8]) {
    for (int k = 0; k < 8; ++k) position[k] = (position[k] + 4) & (kMatrixSide * kMatrixSide - 1);
  }
  // Ink plane k's node byte: planes take channels 0..3 (4 inks) or 0, 2, 4, 5, 1, 3, 6, 7.
  int Lookup(const Pixel& p, int offset, int k) const {
    const int channel_of[8] = {0, 2, 4, 5, 1, 3, 6, 7};
    const int channel = band_.inks == 4 ? k : channel_of[k];
    const int i = (ramp_[p.c[0]] + offset) >> 8, j = (ramp_[p.c[1]] + offset) >> 8, n = (ramp_[p.c[2]] + offset) >> 8;
    const uint32_t m = table_.channel_count;
    const int v = table_.body[((size_t(i) * kCubeAxis + j) * kCubeAxis + n) * m + channel];
    // With six channels or more, a 1 in channel 0, 2 or 5 is no ink.
    return m >= 6 && v == 1 && (channel == 0 || channel == 2 || channel == 5) ? 0 : v;
  }
  // Matrix sample at a storage index: row pairs, then the first two samples again.
  int Sample(int32_t index) const {
    const int n = kMatrixSide * kMatrixSide;
    if (index >= n) index -= n;
    const int pair = index / (2 * kMatrixSide), within = index % (2 * kMatrixSide);
    return MatrixSample(2 * pair + within % 2, within / 2, static_cast<int>(MatrixIdOf(band_) - 701));
  }
  static int32_t Even(int32_t v) { return v + (v & 1); }
  // The zone of a cell at column c of the run [x, end): the zones cut to the run, each of odd
  // length taking one more pixel from the next.
  int ZoneOf(int64_t x, int64_t end, int64_t c) const {
    int64_t next = x;
    for (int z = 0; z < 5; ++z) {
      const int64_t s = std::max<int64_t>({spans_[z].start, x, next}), e = std::min<int64_t>(spans_[z].end, end);
      if (s >= e) continue;
      const int64_t evened = e + ((e - s) & 1);
      if (c < evened) return z;
      next = evened;
    }
    return 4;
  }
  // Plain zones: the edge table or the line's table; transitions blend the two by the column.
  uint8_t Decide(int k, int level, int32_t index, int zone, int x) const {
    const int slot = std::array<int, 8>{1, 2, 3, 0, 4, 5, 6, 7}[k];
    const int b_set[5] = {kEdge, kEdge, kind_, kind_, kEdge};
    const int a_set[5] = {kEdge, kind_, kind_, kEdge, kEdge};
    const int* tb = T(b_set[zone], slot, level);
    const int* ta = T(a_set[zone], slot, level);
    int t[3] = {tb[0], tb[1], tb[2]};
    if (zone == 1 || zone == 3) {
      const int f = (x - zones_[zone].start) * 32 / zones_[zone].width;
      for (int j = 0; j < 3; ++j) t[j] = (tb[j] * (32 - f) + ta[j] * f) / 32;
    }
    const int m = Sample(index);
    return t[2] > m ? 3 : t[1] > m ? 2 : t[0] > m ? 1 : 0;
  }

  const MultiLevelBand& band_;
  const tonvar::LutDescriptor& table_;
  Mt19937 random_;
  int ramp_[256];
  enum { kEdge, kInterior, kBlend };
  struct Zone {
    int32_t start, end, width;
  };
  int* T(int set, int slot, int level) { return &tables_[((set * 8 + slot) * 512 + level) * 3]; }
  const int* T(int set, int slot, int level) const { return &tables_[((set * 8 + slot) * 512 + level) * 3]; }
  std::vector<int> tables_ = std::vector<int>(3 * 8 * 512 * 3, 0);  // by set, slot, level
  int kind_ = kInterior;
  int32_t bounds_[6], used_[6];
  Zone zones_[5];  // as set up for the job
  Zone spans_[5];  // where the zones lie on the line
};

BandRows PoisonedRows(const MultiLevelBand& band) {
  return BandRows(band.lines, std::vector<uint8_t>(band.RowBytes(), kOutputPoison));
}

// Plane 0 of a row buffer (the last plane in memory with a negative stride).
uint8_t* PlaneZero(const MultiLevelBand& band, std::vector<uint8_t>& row) {
  return row.data() + (band.negative_stride ? size_t(band.inks - 1) * band.PlaneBytes() : 0);
}

}  // namespace

tonvar::RasterJob MultiLevelBand::Job() const {
  tonvar::RasterJob job = ColourJob().job;
  job.resolution_x_dpi = h_dpi;
  job.resolution_y_dpi = v_dpi;
  job.ink_set = InkSetOf(inks);
  job.replication = static_cast<uint32_t>(replication);
  job.width_pixels = width;
  job.height_lines = lines;
  job.edge_mask = edge_mask;
  job.edge_unit = 16;
  job.edge_top = edges[0];
  job.edge_bottom = edges[1];
  job.edge_left = edges[2];
  job.edge_right = edges[3];
  return job;
}

std::vector<MultiLevelBand> MultiLevelBands() {
  std::vector<MultiLevelBand> bands;
  const uint32_t classes[4][2] = {{720, 720}, {720, 1440}, {1440, 720}, {2880, 720}};
  const char* class_names[4] = {"H=V", "V=2H", "H=2V", "H=4V"};
  for (int inks : {4, 8}) {
    for (int c = 0; c < 4; ++c) {
      MultiLevelBand b;
      b.name = std::to_string(inks) + " inks " + class_names[c];
      b.h_dpi = classes[c][0];
      b.v_dpi = classes[c][1];
      b.inks = inks;
      bands.push_back(b);
    }
  }
  auto add = [&](const char* name, int inks, int cls, int32_t code, uint32_t fd, uint32_t rows, uint32_t x,
                 uint32_t count, bool negative = false) {
    MultiLevelBand b;
    b.name = name;
    b.h_dpi = classes[cls][0];
    b.v_dpi = classes[cls][1];
    b.inks = inks;
    b.replication = code;
    b.first_dot = fd;
    b.rows_per_call = rows;
    b.x_start = x;
    b.count = count;
    b.negative_stride = negative;
    bands.push_back(b);
  };
  add("4 inks H=V, 2:1 reduction, first dot 1", 4, 0, -1, 1, 2, 3, 40);
  add("8 inks H=2V, code 1, first dot 2, one row", 8, 2, 1, 2, 1, 6, 37);
  add("4 inks V=2H, code 3", 4, 1, 3, 0, 2, 8, 50);
  add("8 inks H=4V, first dot 3, one row", 8, 3, 0, 3, 1, 5, 33);
  add("8 inks H=V, 2:1 reduction, first dot 3", 8, 0, -1, 3, 2, 1, 20);
  add("4 inks H=2V, first dot 1, one dot", 4, 2, 0, 1, 1, 7, 1);
  add("8 inks H=V, negative plane stride", 8, 0, 0, 2, 2, 10, 61, true);
  add("4 inks H=4V, code 1, first dot 0, odd run", 4, 3, 1, 0, 2, 2, 21);
  // Edges on all four sides with transitions beside them, on 24 lines.
  auto edges = [&](const char* name, int inks, int cls, uint32_t fd, uint32_t rows, uint32_t x, uint32_t count,
                   std::array<int32_t, 4> e, std::array<int32_t, 4> t) {
    add(name, inks, cls, 0, fd, rows, x, count);
    MultiLevelBand& b = bands.back();
    b.lines = 24;
    b.edge_mask = 15;
    std::copy(e.begin(), e.end(), b.edges);
    std::copy(t.begin(), t.end(), b.transitions);
  };
  edges("4 inks H=V, edges and transitions", 4, 0, 0, 2, 0, 101, {4, 4, 10, 6}, {6, 4, 16, 12});
  edges("8 inks H=2V, overlapping transitions, first dot 1, one row", 8, 2, 1, 1, 3, 90, {2, 2, 8, 8},
        {20, 20, 60, 60});
  // Checksums of the bands in the order above (the host build and the Windows DLL alike).
  const uint64_t golden[] = {
      0x37aa8e3cddf85f21ull, 0x1b691b930ecf3416ull, 0x1cfdf2f7d04a875aull, 0xd9e9e6eb754fcbe3ull,
      0xc40076bf73d11beeull, 0x4f2d0f45c1922a2dull, 0xe17a06ca6673849aull, 0x5786dca5d6643e66ull,
      0x8393aa75cdaebcc9ull, 0x23ff2992f868c2dfull, 0x163f94d0a4d62b76ull, 0xd6fb9add179b158eull,
      0x6fab3fe8559bee4cull, 0xf0568dee7fe10625ull, 0x7e0589cd0800ee18ull, 0x54cd0b044d443149ull,
      0xc3c2af26a42cd2a7ull, 0x8a45848c4d0bbf39ull,
  };
  for (size_t i = 0; i < bands.size() && i < std::size(golden); ++i) bands[i].golden = golden[i];
  return bands;
}

std::vector<std::vector<uint8_t>> MultiLevelInput(const MultiLevelBand& band, bool blank) {
  std::vector<std::vector<uint8_t>> rows(band.lines, std::vector<uint8_t>(4 * size_t{band.InputPixels()}, 255));
  for (uint32_t y = 0; y < band.lines; ++y) {
    for (uint32_t x = 0; x < band.InputPixels(); ++x) {
      uint8_t* px = rows[y].data() + 4 * x;
      px[3] = x % 3 == 0 ? 3 : 0;
      if (blank) continue;
      const uint32_t patch = x / 6;
      if (patch % 3 == 0) {
        // Flat patches, some drifting slowly (smoothing), some of one colour.
        px[0] = static_cast<uint8_t>(40 + patch * 23 + (patch % 2) * x);
        px[1] = static_cast<uint8_t>(200 - patch * 7);
        px[2] = static_cast<uint8_t>(90 + y);
      } else if (patch % 3 == 1) {
        px[0] = static_cast<uint8_t>(x * 5 + y * 3);
        px[1] = static_cast<uint8_t>(255 - x * 3);
        px[2] = static_cast<uint8_t>((x * 37 + y * 11) & 0xFF);
      } else {
        px[0] = static_cast<uint8_t>(x % 2 ? 20 : 230);
        px[1] = static_cast<uint8_t>(y * 40);
        px[2] = static_cast<uint8_t>(128 + (x % 4) * 30);
      }
    }
  }
  return rows;
}

std::map<uint32_t, std::vector<uint8_t>> MultiLevelResources(const MultiLevelBand& band) {
  return BandResources(band);
}

MultiLevelChain::MultiLevelChain(const EngineCalls& calls, const MultiLevelBand& band)
    : calls_(calls), band_(band), resources_(BandResources(band)), job_(band.Job()) {}

MultiLevelChain::~MultiLevelChain() {
  if (halftone_ != nullptr) calls_.halftone_delete(halftone_);
  if (cm_ != nullptr) calls_.cm_delete(cm_);
}

uint32_t MultiLevelChain::Feed(uint32_t (*set)(void*, const uint8_t*, uint32_t*), void* handle, uint32_t id) {
  for (int guard = 0; guard < 32 && id != 0xFFFFFFFF; ++guard) {
    const auto it = resources_.find(id);
    if (it == resources_.end()) return 0xFFFFFFFE;
    const uint32_t status = set(handle, it->second.data(), &id);
    if (status != 0) return status;
  }
  return 0;
}

uint32_t MultiLevelChain::Open() {
  const ColourJob colour;
  uint32_t first = 0;
  uint32_t status = calls_.cm_new(&colour.params, &job_, 0, &first, &cm_);
  if (status == 0) status = Feed(calls_.cm_set_resource, cm_, first);
  if (status != 0) return status;
  tonvar::CmLutInfo* luts[2] = {calls_.cm_get_lut(cm_), nullptr};
  // The colour table is the same for every halftoning method and depth.
  tonvar::RasterJob halftone_job = job_;
  halftone_job.method = band_.method;
  halftone_job.bits_per_dot = band_.bits_per_dot;
  status = calls_.halftone_new(&halftone_job, luts, 0, &first, &halftone_);
  if (status != 0) return status;
  return Feed(calls_.halftone_set_resource, halftone_, first);
}

uint32_t MultiLevelChain::Call(const uint8_t* const* input, uint8_t* const* plane0, uint32_t line, uint32_t rows) {
  return calls_.halftone(halftone_, input, plane0, band_.Stride(), band_.first_dot, band_.count, band_.x_start,
                         rows, line, 0, 0);
}

const tonvar::LutDescriptor* MultiLevelChain::Table() const {
  const tonvar::CmLutInfo* info = calls_.cm_get_lut(cm_);
  return info == nullptr ? nullptr : static_cast<const tonvar::LutDescriptor*>(info->table);
}

uint64_t BandChecksum(const BandRows& rows) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (const auto& row : rows) h = Fnv1a(row.data(), row.size(), h);
  return h;
}

uint32_t RunOnChain(MultiLevelChain& chain, const MultiLevelBand& band, bool blank, BandRows* out) {
  const auto input = MultiLevelInput(band, blank);
  *out = PoisonedRows(band);
  for (uint32_t line = 0; line < band.lines; line += band.rows_per_call) {
    const uint32_t rows = std::min(band.rows_per_call, band.lines - line);
    const uint8_t* in[2] = {input[line].data(), input[line + rows - 1].data()};
    uint8_t* planes[2] = {PlaneZero(band, (*out)[line]), PlaneZero(band, (*out)[line + rows - 1])};
    const uint32_t status = chain.Call(in, planes, line, rows);
    if (status != 0) return status;
  }
  return 0;
}

uint32_t RunMultiLevelBand(const EngineCalls& calls, const MultiLevelBand& band, bool blank, BandRows* out) {
  MultiLevelChain chain(calls, band);
  const uint32_t status = chain.Open();
  return status != 0 ? status : RunOnChain(chain, band, blank, out);
}

BandRows ModelMultiLevelBand(const MultiLevelBand& band, const tonvar::LutDescriptor& table, bool blank) {
  const auto input = MultiLevelInput(band, blank);
  BandRows out = PoisonedRows(band);
  Model model(band, table);
  for (uint32_t line = 0; line < band.lines; line += band.rows_per_call) {
    const uint32_t rows = std::min(band.rows_per_call, band.lines - line);
    std::vector<const uint8_t*> in = {input[line].data()};
    std::vector<uint8_t*> planes = {PlaneZero(band, out[line])};
    if (rows == 2) {
      in.push_back(input[line + 1].data());
      planes.push_back(PlaneZero(band, out[line + 1]));
    }
    model.Call(in, planes, line);
  }
  return out;
}

}  // namespace testkit
