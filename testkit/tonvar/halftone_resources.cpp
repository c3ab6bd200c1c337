// Multi-level halftoning resources for tests, written from the block layouts the engine reads.
#include "testkit/tonvar/halftone_resources.h"

#include <algorithm>
#include <cstring>

namespace testkit {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

void PutSample(std::vector<uint8_t>& b, size_t at, int bits, uint32_t v) {
  if (bits == 16) {
    Put16(b, at, v);
  } else {
    if (b.size() < at + 1) b.resize(at + 1);
    b[at] = static_cast<uint8_t>(v);
  }
}

constexpr size_t kSetHeader = 224;  // directory and weights; entries start after it
constexpr size_t kEntrySamples = 96;

size_t PhaseOffset(uint8_t format, size_t inks) {
  switch (inks) {
    case 4: return format == 1 ? 31 : 32;
    case 6: return format == 1 ? 47 : 48;
    case 7: return format == 1 ? 71 : 72;
    default: return 100;
  }
}

}  // namespace

std::vector<uint8_t> BuildPlainMatrix(uint32_t count, const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> b = {'0', '1', '2', '3'};
  Put32(b, 4, count);
  b.resize(16);
  for (uint32_t i = 0; i < count; ++i) Put16(b, 16 + 2 * size_t{i}, i < samples.size() ? samples[i] : i % 4093);
  return b;
}

std::vector<MatrixPhasePair> SamplePhases(int ink_count) {
  std::vector<MatrixPhasePair> phases;
  for (int k = 0; k < ink_count; ++k) phases.push_back({static_cast<int16_t>(16 * k), static_cast<int16_t>(8 * k)});
  return phases;
}

std::vector<uint8_t> BuildMatrixBlock(const MatrixBlockShape& shape) {
  std::vector<uint8_t> b(132, 0);
  const uint8_t magic[4] = {0xCF, 0xF9, 0x2E, 0x47};
  std::copy(magic, magic + 4, b.begin() + 4);
  b[8] = 3;
  b[9] = shape.format;
  const size_t offset = shape.sample_offset < 0 ? 132 : static_cast<size_t>(shape.sample_offset);
  Put16(b, 10, offset);
  Put16(b, 12, static_cast<uint16_t>(shape.width));
  Put16(b, 14, static_cast<uint16_t>(shape.height));
  b[22] = shape.sample_bytes_a;
  b[23] = shape.sample_bytes_b;
  b[25] = shape.copy_mode;
  b[26] = shape.kind_byte;
  const size_t phases = PhaseOffset(shape.format, shape.phases.size());
  for (size_t k = 0; k < shape.phases.size(); ++k) {
    Put16(b, phases + 4 * k, static_cast<uint16_t>(shape.phases[k].x));
    Put16(b, phases + 4 * k + 2, static_cast<uint16_t>(shape.phases[k].y));
  }
  std::vector<int16_t> samples = shape.samples;
  if (samples.empty()) {
    const int w = std::max<int>(shape.width, 0), h = std::max<int>(shape.height, 0);
    if (shape.copy_mode == 1) {
      // The plain ramp r x w + c, already in row-pair order, and the two repeated samples.
      samples.resize(size_t(w) * h + 2);
      for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) samples[size_t(r - r % 2) * w + 2 * c + r % 2] = static_cast<int16_t>(r * w + c);
      }
      samples[size_t(w) * h] = samples[0];
      samples[size_t(w) * h + 1] = samples[1];
    } else {
      for (int i = 0; i < w * h; ++i) samples.push_back(static_cast<int16_t>(i));
    }
  }
  if (b.size() < offset) b.resize(offset);
  for (size_t i = 0; i < samples.size(); ++i) Put16(b, offset + 2 * i, static_cast<uint16_t>(samples[i]));
  return b;
}

std::vector<DotCurveRow> RampDotRows(int rows, int seed) {
  std::vector<DotCurveRow> out(rows);
  for (int level = 0; level < rows; ++level) {
    const int v = level * 255 / std::max(rows - 1, 1);
    out[level] = {static_cast<uint16_t>((v + seed) / 4 % 256), static_cast<uint16_t>((v + 2 * seed) / 8 % 256),
                  static_cast<uint16_t>((v + 3 * seed) / 16 % 256)};
  }
  return out;
}

std::vector<uint8_t> BuildDotCurveTable(const DotCurveTableShape& shape) {
  std::vector<uint8_t> b(32, 0);
  if (shape.magic) {
    const uint8_t magic[4] = {0xFB, 0x69, 0xF7, 0xDC};
    std::copy(magic, magic + 4, b.begin() + 4);
  }
  Put32(b, 8, 3);
  Put16(b, 16, static_cast<uint16_t>(shape.columns));
  Put16(b, 18, static_cast<uint16_t>(shape.rows));
  Put16(b, 20, static_cast<uint16_t>(shape.bits));
  Put16(b, 22, static_cast<uint16_t>(shape.fraction_bits));
  Put16(b, 24, static_cast<uint16_t>(shape.rescale));
  const std::vector<DotCurveRow> rows = shape.values.empty() ? RampDotRows(std::max<int>(shape.rows, 0)) : shape.values;
  const int bytes = shape.bits == 16 ? 2 : 1;
  size_t at = 32;
  for (const DotCurveRow& row : rows) {
    for (uint16_t v : {row.small, row.medium, row.large}) {
      PutSample(b, at, shape.bits, v);
      at += bytes;
    }
  }
  return b;
}

std::vector<uint8_t> BuildHeadlessDotCurveTable(std::vector<DotCurveRow> rows) {
  rows.resize(256);
  rows[0] = {0, 0, 0};
  rows[1].small = std::min<uint16_t>(rows[1].small, 20);
  rows[2].large = 3;  // byte 8
  rows[3] = {0, 0, 0};  // bytes 9 to 11
  std::vector<uint8_t> b;
  for (const DotCurveRow& row : rows) {
    for (uint16_t v : {row.small, row.medium, row.large}) b.push_back(static_cast<uint8_t>(v));
  }
  return b;
}

uint32_t DotCurveEntryOffset(const DotCurveSetShape& shape, size_t i) {
  const size_t bytes = shape.bits == 16 ? 2 : 1;
  return static_cast<uint32_t>(kSetHeader + i * (kEntrySamples + 3 * 512 * bytes));
}

std::vector<uint8_t> BuildDotCurveSet(const DotCurveSetShape& shape) {
  std::vector<uint8_t> b(kSetHeader, 0);
  Put32(b, 8, 4);
  Put16(b, 18, static_cast<uint16_t>(shape.levels));
  Put16(b, 20, static_cast<uint16_t>(shape.bits));
  Put16(b, 22, static_cast<uint16_t>(shape.fraction_bits));
  const int16_t count = shape.entry_count < 0 ? static_cast<int16_t>(shape.entries.size()) : shape.entry_count;
  Put16(b, 34, static_cast<uint16_t>(count));
  const int bytes = shape.bits == 16 ? 2 : 1;
  for (size_t i = 0; i < shape.entries.size(); ++i) {
    const DotCurveSetEntry& e = shape.entries[i];
    const uint32_t offset = DotCurveEntryOffset(shape, i);
    if (48 + 8 * i + 5 <= kSetHeader) {
      b[48 + 8 * i] = e.ink_id;
      Put32(b, 49 + 8 * i, offset);
    }
    b.resize(offset + kEntrySamples + 3 * 512 * bytes, 0);
    Put16(b, offset + 8, static_cast<uint16_t>(e.columns));
    for (int c = 0; c < 3; ++c) b[offset + 16 + c] = e.present[c] ? 1 : 0;
    const std::vector<DotCurveRow> rows = e.values.empty() ? RampDotRows(512, e.ink_id) : e.values;
    for (size_t level = 0; level < 512 && level < rows.size(); ++level) {
      const uint16_t v[3] = {rows[level].small, rows[level].medium, rows[level].large};
      for (int c = 0; c < 3; ++c) PutSample(b, offset + kEntrySamples + (c * 512 + level) * bytes, shape.bits, v[c]);
    }
  }
  return b;
}

std::vector<DotCurveSetEntry> DotCurveSetEntriesFor(uint32_t ink_set) {
  std::vector<uint8_t> ids;
  switch (ink_set) {
    case 3: ids = {0, 1, 2, 3, 4, 5}; break;
    case 4: ids = {0, 1, 2, 3, 4, 5, 6}; break;
    case 6: ids = {0, 1, 2, 3, 4, 5, 7}; break;
    case 7: ids = {0, 1, 2, 3, 8, 9, 10}; break;
    case 9: ids = {0, 1, 2, 3, 4, 5, 7, 11}; break;
    default: ids = {0, 1, 2, 3}; break;
  }
  std::vector<DotCurveSetEntry> entries;
  for (uint8_t id : ids) {
    DotCurveSetEntry e;
    e.ink_id = id;
    entries.push_back(e);
  }
  return entries;
}

std::vector<uint8_t> BuildHalftoneHeaderBlock(uint16_t version, int16_t id, uint32_t size) {
  const size_t at = version == 1 ? 6 : version == 2 ? 16 : 20;
  const uint32_t least = static_cast<uint32_t>(at + 2);
  std::vector<uint8_t> b(std::max(size, least), 0);
  Put32(b, 0, size == 0 ? least : size);
  Put16(b, 4, version);
  Put16(b, at, static_cast<uint16_t>(id));
  return b;
}

uint8_t NodeValue(uint32_t i, uint32_t j, uint32_t k, uint32_t c) {
  return static_cast<uint8_t>((i * 37 + j * 11 + k * 5 + c * 53 + (i ^ k) * 3) & 0xFF);
}

std::vector<uint8_t> EvenLevels(uint32_t points) {
  std::vector<uint8_t> levels(points);
  for (uint32_t p = 0; p < points; ++p) levels[p] = static_cast<uint8_t>(p * 255 / (points - 1));
  return levels;
}

std::vector<uint8_t> CubeNodeLevels() {
  return {0,   5,   10,  15,  20,  24,  28,  32,  37,  41,  45,  49,  54,  58,  62,  66,
          71,  75,  79,  83,  88,  92,  96,  100, 105, 109, 113, 117, 122, 126, 130, 134,
          139, 143, 147, 151, 156, 160, 164, 168, 173, 177, 181, 185, 190, 194, 198, 202,
          207, 211, 215, 219, 223, 227, 231, 234, 237, 240, 243, 246, 249, 251, 253, 255};
}

std::vector<uint32_t> IdentityCurve() {
  std::vector<uint32_t> curve(256);
  for (uint32_t i = 0; i < 256; ++i) curve[i] = 16 * i;
  return curve;
}

CubeTable::CubeTable(const CubeTableShape& shape) {
  const uint32_t n = shape.grid, m = shape.channels;
  const std::vector<uint8_t> levels = shape.levels.empty() ? EvenLevels(n) : shape.levels;
  lut_.channel_count = m;
  for (int axis = 0; axis < 3; ++axis) {
    lut_.grid_points[axis] = n;
    std::copy(levels.begin(), levels.begin() + std::min<size_t>(levels.size(), 64), lut_.grid[axis]);
  }
  lut_.grid_points[3] = 1;
  body_ = shape.body;
  if (body_.empty()) {
    body_.resize(size_t{n} * n * n * m);
    size_t at = 0;
    for (uint32_t i = 0; i < n; ++i)
      for (uint32_t j = 0; j < n; ++j)
        for (uint32_t k = 0; k < n; ++k)
          for (uint32_t c = 0; c < m; ++c) body_[at++] = NodeValue(i, j, k, c);
  }
  lut_.body = body_.data();
  lut_.density_b = shape.gain_none;
  lut_.density_a = shape.gain_full;
  lut_.first_halftone_id = shape.first_halftone_id;
  lut_.dot_curve_id = shape.dot_curve_id;
  lut_.bsmb_id = shape.edge_id;
  lut_.upper = shape.transitions[0];
  lut_.lower = shape.transitions[1];
  lut_.left = shape.transitions[2];
  lut_.right = shape.transitions[3];
  if (!shape.screening_block.empty()) {
    screening_ = shape.screening_block;
    lut_.screening_block = screening_.data();
  }
  if (!shape.grey_levels.empty()) {
    tone_.kind = tonvar::kToneTableKind;
    tone_.point_count = static_cast<uint32_t>(shape.grey_levels.size());
    tone_.channel_count = m;
    std::copy(shape.grey_levels.begin(), shape.grey_levels.end(), tone_.levels);
    grey_values_ = shape.grey_values;
    tone_.values = grey_values_.data();
    lut_.tone_table = &tone_;
  }
  if (!shape.curves.empty()) {
    curves_.count = static_cast<int32_t>(shape.curves.size());
    curves_.fraction_bits = shape.curve_shift;
    for (size_t k = 0; k < shape.curves.size() && k < tonvar::kInkCurveMax; ++k) {
      curves_.ink_ids[k] = shape.curves[k].first;
      std::copy(shape.curves[k].second.begin(), shape.curves[k].second.end(), curves_.curves[k]);
    }
    lut_.ink_curves_valid = 1;
    lut_.ink_curves = &curves_;
  }
}

}  // namespace testkit
