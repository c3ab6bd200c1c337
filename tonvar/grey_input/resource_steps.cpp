// The resource steps of the grey-input engine: the dot-curve block (step 0), the screen block
// (step 1) and the two blocks of the per-ink adjustment (steps 2 and 3).
#include <algorithm>
#include <cstring>

#include "tonvar/common/resource_view.h"
#include "tonvar/grey_input/grey_halftone_engine.h"
#include "tonvar/halftone_lines/line_tables.h"

namespace tonvar::grey_input {
namespace {

using common::ResourceView;

constexpr uint32_t kRandomKey[4] = {0x123, 0x234, 0x345, 0x456};
constexpr ResourceId kScreenIds[4] = {701, 702, 703, 704};
constexpr ResourceId kInkListId = 991;
constexpr uint32_t kTableKind = 3;
constexpr uint32_t kPerInkKind = 4;
constexpr uint8_t kScreenMagic[4] = {0xCF, 0xF9, 0x2E, 0x47};
constexpr uint64_t kLargestLineBlock = 0x7FFFFFFF;  // line and error buffers beyond it are refused

// Channel group of an ink identifier, or -1.
int GroupOfInk(uint32_t ink) {
  static constexpr int kGroups[12] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7};
  return ink < 12 ? kGroups[ink] : -1;
}

bool SampleBitsValid(int32_t bits) { return bits == 0 || bits == 8 || bits == 16; }

int32_t Sample(const ResourceView& b, uint64_t at, int bytes) {
  return bytes == 2 ? b.S16(at) : b.U8(at);
}

// ---- Dot curves ---------------------------------------------------------------------------

EngineStatus ReadKind3(GreyHalftoneEngine* engine, const ResourceView& b) {
  if (!b.Has(0, 32)) return kStatusBadResource;
  const int32_t columns = b.S16(16);
  const int32_t levels = b.S16(18);
  const int32_t bits = b.S16(20);
  // Three columns: the trailer's place depends on the count, and the rows hold three.
  if (levels != kDotLevels || !SampleBitsValid(bits) || columns != 3) return kStatusBadResource;
  const int bytes = bits == 16 ? 2 : 1;
  const uint64_t trailer = 36 + uint64_t(columns) * bits * kDotLevels / 8;
  if (!b.Has(32, uint64_t{kDotLevels} * 3 * bytes) || !b.Has(trailer, 6)) return kStatusBadResource;
  DotTable curve{};
  for (int l = 0; l < kDotLevels; ++l) {
    for (int c = 0; c < 3; ++c) curve.row[l][c] = Sample(b, 32 + (uint64_t(l) * 3 + c) * bytes, bytes);
  }
  std::memcpy(engine->curve_scratch[0], curve.row, sizeof(curve.row));
  std::memcpy(engine->curve_scratch[1], curve.row, sizeof(curve.row));
  const int32_t tail[3] = {b.S16(trailer), b.S16(trailer + 2), b.S16(trailer + 4)};
  EngineStatus status = kStatusOk;
  for (int g = 0; g < kInks; ++g) {
    std::copy(tail, tail + 3, engine->group_trailer[g]);
    engine->dot_tables[g][kInteriorTable] = curve;
    const EngineStatus built =
        InterpolateDotTable(curve, &engine->level_tables[g][kInteriorTable]);
    if (status == kStatusOk) status = built;
  }
  return status;
}

struct Kind4Entry {
  uint32_t ink;
  uint64_t offset;
  bool present[3];
};

// Directory entry e, checked: kind 3, medium and large columns present, small ones only
// missing for ink 0, and the samples within the block.
EngineStatus ReadKind4Entry(const ResourceView& b, int e, int bytes, Kind4Entry* entry) {
  entry->ink = b.U8(48 + 8 * uint64_t(e));
  entry->offset = b.U32(49 + 8 * uint64_t(e));
  if (!b.Has(entry->offset, 96)) return kStatusBadResource;
  if (b.U32(entry->offset + 8) != kTableKind) return kStatusBadResource;
  uint64_t columns = 0;
  for (int c = 0; c < 3; ++c) {
    entry->present[c] = b.U8(entry->offset + 16 + c) != 0;
    columns += entry->present[c] ? 1 : 0;
  }
  if (!entry->present[kMedium] || !entry->present[kLarge]) return kStatusBadResource;
  if (!entry->present[kSmall] && entry->ink != 0) return kStatusBadResource;
  if (!b.Has(entry->offset + 96, columns * kDotLevels * bytes)) return kStatusBadResource;
  return kStatusOk;
}

EngineStatus ReadKind4(GreyHalftoneEngine* engine, const ResourceView& b) {
  if (!b.Has(0, 48)) return kStatusBadResource;
  const int32_t levels = b.S16(18);
  const int32_t bits = b.S16(20);
  const int32_t count = b.S16(34);
  if (levels != kDotLevels || !SampleBitsValid(bits) || count < 0) return kStatusBadResource;
  if (!b.Has(48, uint64_t(count) * 8)) return kStatusBadResource;
  const int bytes = bits == 16 ? 2 : 1;
  static constexpr uint32_t kNeeded[] = {0, 1, 2, 3, 4, 5, 7, 11};
  bool found[12] = {};
  for (int e = 0; e < count; ++e) {
    Kind4Entry entry;
    const EngineStatus checked = ReadKind4Entry(b, e, bytes, &entry);
    if (checked != kStatusOk) return checked;
    if (entry.ink < 12) found[entry.ink] = true;
  }
  for (uint32_t ink : kNeeded) {
    if (!found[ink]) return kStatusBadResource;
  }
  EngineStatus status = kStatusOk;
  for (int e = 0; e < count; ++e) {
    Kind4Entry entry;
    ReadKind4Entry(b, e, bytes, &entry);
    const int g = GroupOfInk(entry.ink);
    if (g < 0) continue;
    DotTable& table = engine->dot_tables[g][kInteriorTable];
    table = DotTable{};
    uint64_t at = entry.offset + 96;
    for (int c = 0; c < 3; ++c) {
      if (!entry.present[c]) continue;
      for (int l = 0; l < kDotLevels; ++l) table.row[l][c] = Sample(b, at + uint64_t(l) * bytes, bytes);
      at += uint64_t{kDotLevels} * bytes;
    }
    for (int i = 0; i < 3; ++i) engine->group_trailer[g][i] = b.S16(entry.offset + 32 + 4 * i) / 10;
    if (entry.ink == 0 && !entry.present[kSmall]) engine->ink0_shifted = 1;
  }
  if (engine->ink0_shifted != 0) {
    // Ink 0 without small dots: group 8 carries its curve one size down.
    const DotTable& ink0 = engine->dot_tables[0][kInteriorTable];
    DotTable& shifted = engine->dot_tables[8][kInteriorTable];
    for (int l = 0; l < kDotLevels; ++l) {
      shifted.row[l][kSmall] = ink0.row[l][kMedium];
      shifted.row[l][kMedium] = ink0.row[l][kLarge];
      shifted.row[l][kLarge] = 0;
    }
  }
  for (int g = 0; g < kGroups; ++g) {
    const EngineStatus built =
        InterpolateDotTable(engine->dot_tables[g][kInteriorTable], &engine->level_tables[g][kInteriorTable]);
    if (status == kStatusOk) status = built;
  }
  return status;
}

// ---- Screen -------------------------------------------------------------------------------

EngineStatus ReadGreyDitherMatrix(const ResourceView& b) {
  if (!b.Matches(0, "0123", 4) || !b.Has(0, 8)) return kStatusMatrixMagic;
  if (b.U32(4) > halftone_lines::kMatrixCount512) return kStatusMatrixCount;
  // The "0123" form knows layouts for four and six or seven inks only.
  MatrixLayout layout{};
  return halftone_lines::SetMatrixLayout(&layout, b.At(0), kInks);
}

EngineStatus ReadScreenLayoutKind2(GreyHalftoneEngine* engine, const ResourceView& b) {
  MatrixLayout& layout = engine->layout;
  layout.width = b.S16(12);
  layout.height = b.S16(14);
  layout.sample_bytes_a = b.U8(22);
  layout.sample_bytes_b = b.U8(23);
  layout.layout_flag = b.U8(26);
  layout.storage = b.U8(25);
  for (int k = 0; k < kInks; ++k) layout.ink_phase[k] = {b.S16(100 + 4 * k), b.S16(102 + 4 * k)};
  return kStatusOk;
}

// Plain rows into row pairs: rows 2i and 2i + 1 alternate column by column; the first two
// samples repeat after the last.
EngineStatus ReadMatrixRowPairs(int16_t* matrix, const ResourceView& b, uint64_t offset,
                                 const MatrixLayout& layout) {
  const int64_t w = layout.width, h = layout.height;
  if (layout.sample_bytes_a + layout.sample_bytes_b != 2) return kStatusBadResource;
  if (!b.Has(offset, uint64_t(w * h) * 2)) return kStatusBadResource;
  for (int64_t r = 0; r < h; ++r) {
    for (int64_t c = 0; c < w; ++c) {
      const int32_t v = b.S16(offset + uint64_t(r * w + c) * 2);
      if (v < 0) return kStatusBadResource;
      matrix[(r & ~int64_t{1}) * w + 2 * c + (r & 1)] = static_cast<int16_t>(v);
    }
  }
  matrix[w * h] = matrix[0];
  matrix[w * h + 1] = matrix[1];
  return kStatusOk;
}

// ---- Step machine -------------------------------------------------------------------------

EngineStatus StepDotCurves(GreyHalftoneEngine* engine, ResourceBytes block, ResourceId* next_id) {
  engine->step = 1;
  engine->ink_count = kInks;
  engine->ink0_shifted = 0;
  const EngineStatus status = ReadGreyDotCurveBlock(engine, block);
  if (status != kStatusOk) return status;
  *next_id = kScreenIds[engine->ratio_class];
  return kStatusOk;
}

EngineStatus StepScreen(GreyHalftoneEngine* engine, ResourceBytes block, ResourceId* next_id) {
  engine->step = 2;
  EngineStatus status = ReadGreyScreenBlock(engine, block);
  if (status != kStatusOk) return status;
  status = AllocGreyLineBuffers(engine);
  if (status != kStatusOk) return status;
  BuildCellThresholds(engine->ratio_class, engine->args.bits_per_dot, engine->cell_thresholds);
  common::RandomInitByArray(kRandomKey, 4, &engine->random);
  std::fill(std::begin(engine->edge_widths), std::end(engine->edge_widths), 0);
  std::fill(std::begin(engine->transition_widths), std::end(engine->transition_widths), 0);
  static constexpr int32_t kBounds[12] = {0, 0, 0, kNoBound, kNoBound, kNoBound,
                                          0, 0, 0, kNoBound, kNoBound, kNoBound};
  std::copy(kBounds, kBounds + 12, engine->vertical_bounds);
  *next_id = engine->handover.list_flag == 1 ? kInkListId : kNoMoreResources;
  return kStatusOk;
}

EngineStatus StepHandoverLayout(GreyHalftoneEngine* engine, ResourceBytes block, ResourceId* next_id) {
  engine->step = 3;
  EngineStatus status = ReadHandoverLayoutBlock(block, &engine->handover);
  if (status == kStatusOk) status = ArrangeHandoverValues(&engine->handover);
  if (status != kStatusOk) return status;
  *next_id = engine->handover.ink_resource_id;
  return kStatusOk;
}

EngineStatus StepInkTables(GreyHalftoneEngine* engine, ResourceBytes block, ResourceId* next_id) {
  EngineStatus status = ReadInkTableBlock(block, &engine->ink_table_block);
  if (status == kStatusOk) status = ApplyInkTables(engine);
  if (status != kStatusOk) return status;
  *next_id = kNoMoreResources;
  return kStatusOk;
}

}  // namespace

EngineStatus InterpolateDotTable(const DotTable& dots, LevelTable* levels) {
  for (const auto& row : dots.row) {
    if (row[0] < 0 || row[1] < 0 || row[2] < 0) return kStatusBadResource;
    if (int64_t{row[0]} + row[1] + row[2] > kDotWeight) return kStatusBadResource;
  }
  // Level 128k + j lies (128 - j)/128 of the way back from row k + 1 to row k, the step
  // rounded toward zero (without a compare: the sign's mask adds 127 to a negative step); the
  // rows' differences are taken once per pair.
  auto step = [](int32_t difference, int32_t back) {
    const int32_t x = difference * back;
    return (x + ((x >> 31) & 127)) >> 7;
  };
  for (int k = 0; k + 1 < kDotLevels; ++k) {
    const int32_t* e0 = dots.row[k];
    const int32_t* e1 = dots.row[k + 1];
    const int32_t small = e1[kSmall], medium = e1[kMedium], large = e1[kLarge];
    const int32_t d_small = small - e0[kSmall], d_medium = medium - e0[kMedium], d_large = large - e0[kLarge];
    uint32_t(*entry)[3] = &levels->level[128 * k];
    for (int32_t back = -128; back < 0; ++back, ++entry) {
      const int32_t l = large + step(d_large, back);
      const int32_t ml = l + medium + step(d_medium, back);
      (*entry)[kLargeDot] = static_cast<uint32_t>(l);
      (*entry)[kMediumOrLarge] = static_cast<uint32_t>(ml);
      (*entry)[kAnyDot] = static_cast<uint32_t>(ml + small + step(d_small, back));
    }
  }
  // Amounts above the top one read as the top one.
  for (uint32_t l = kTopAmount + 1; l < kLevels; ++l) {
    std::copy(levels->level[kTopAmount], levels->level[kTopAmount] + 3, levels->level[l]);
  }
  return kStatusOk;
}

EngineStatus ReadGreyDotCurveBlock(GreyHalftoneEngine* engine, ResourceBytes block) {
  const ResourceView b(block);
  if (!b.Has(0, 12)) return kStatusBadResource;
  switch (b.U32(8)) {
    case kTableKind:
      return ReadKind3(engine, b);
    case kPerInkKind:
      return ReadKind4(engine, b);
    default:
      return kStatusBadResource;
  }
}

EngineStatus ReadGreyScreenBlock(GreyHalftoneEngine* engine, ResourceBytes block) {
  const ResourceView b(block);
  const bool screen_form =
      b.Has(0, 132) && b.Matches(4, kScreenMagic, sizeof kScreenMagic) && b.U8(8) == 3;
  if (!screen_form || b.U8(9) != 2 || b.U8(25) != 0) return ReadGreyDitherMatrix(b);
  ReadScreenLayoutKind2(engine, b);
  const MatrixLayout& layout = engine->layout;
  // The cell walk masks positions with W x H - 1 and rows with H - 2: other shapes are refused
  // before anything is allocated from them.
  if (!halftone_lines::MatrixShapeValid(layout.width, layout.height)) return kStatusBadResource;
  const int32_t offset = b.S16(10);
  if (offset < 0 || layout.sample_bytes_a + layout.sample_bytes_b != 2) return kStatusBadResource;
  const uint64_t samples = uint64_t(layout.width) * uint64_t(layout.height) + 2;
  EngineBuffer& buffer = engine->buffers[kMatrixBuffer];
  halftone_lines::FreeEngineBuffers(&buffer, 1);
  const EngineStatus allocated = halftone_lines::AllocEngineBuffer(&buffer, samples * 2, 1);
  if (allocated != kStatusOk) return allocated;
  auto* matrix = reinterpret_cast<int16_t*>(buffer.data);
  engine->layout.samples = matrix;
  return ReadMatrixRowPairs(matrix, b, static_cast<uint64_t>(offset), layout);
}

EngineStatus AllocGreyLineBuffers(GreyHalftoneEngine* engine) {
  const uint64_t w = engine->args.width;
  const uint64_t mask_bytes = (w / 8 + 1 + 4) & ~uint64_t{3};
  const uint64_t row_bytes = 4 * w + 4;
  const uint64_t line_bytes = mask_bytes + kInks * row_bytes;
  const uint64_t row_words = (w + 60 + 4) & ~uint64_t{3};
  const uint64_t error_bytes = 16 * 4 * row_words;
  if (line_bytes > kLargestLineBlock || error_bytes > kLargestLineBlock) return kStatusAllocFailed;
  EngineBuffer& line = engine->buffers[kLineBuffer];
  EngineBuffer& errors = engine->buffers[kErrorRowBuffer];
  halftone_lines::FreeEngineBuffers(&line, 1);
  halftone_lines::FreeEngineBuffers(&errors, 1);
  EngineStatus status = halftone_lines::AllocEngineBuffer(&line, line_bytes, 1);
  if (status != kStatusOk) return status;
  engine->line_mask = line.data;
  for (int k = 0; k < kInks; ++k) {
    engine->ink_line[k] = reinterpret_cast<uint32_t*>(line.data + mask_bytes + k * row_bytes);
  }
  status = halftone_lines::AllocEngineBuffer(&errors, error_bytes, 1);
  if (status != kStatusOk) return status;
  auto* base = reinterpret_cast<int32_t*>(errors.data);
  engine->error_rows_base = base;
  engine->error_rows_size = error_bytes;
  for (int i = 0; i < kInks; ++i) {
    engine->error_row_even[i] = base + (2 * i) * row_words + kErrorMargin;
    engine->error_row_odd[i] = base + (2 * i + 1) * row_words + kErrorMargin;
  }
  return kStatusOk;
}

void BuildCellThresholds(uint32_t ratio_class, uint32_t bits, uint32_t out[256]) {
  static constexpr int32_t kX0[] = {0, 1, 3, 6, 12, 13, 24, 35, 52, 53, 102, 125, 144, 160, 170, 190, 210, 255};
  static constexpr int32_t kY0[] = {89, 89, 148, 170, 254, 170, 238, 260, 260, 280, 330, 390, 410, 460, 510, 560, 550, 642};
  static constexpr int32_t kX1a[] = {0, 1, 2, 5, 8, 9, 14, 23, 40, 41, 48, 49, 102, 180, 255};
  static constexpr int32_t kY1a[] = {70, 80, 100, 183, 242, 150, 170, 190, 220, 280, 280, 290, 340, 550, 640};
  static constexpr int32_t kX1b[] = {0, 1, 2, 5, 8, 14, 23, 40, 41, 48, 49, 102, 180, 255};
  static constexpr int32_t kY1b[] = {70, 80, 100, 183, 242, 170, 190, 220, 280, 280, 290, 340, 550, 640};
  static constexpr int32_t kX2[] = {0, 5, 8, 9, 16, 17, 24, 28, 29, 38, 48, 49, 55, 70, 85, 100, 120, 135, 150, 165, 180, 200, 220, 230, 255};
  static constexpr int32_t kY2[] = {48, 127, 171, 204, 302, 208, 236, 241, 243, 271, 277, 294, 287, 294, 327, 341, 382, 402, 430, 482, 546, 549, 586, 605, 645};
  static constexpr int32_t kX3[] = {0, 5, 6, 10, 11, 16, 17, 24, 25, 29, 35, 45, 50, 55, 70, 85, 102, 125, 145, 160, 180, 200, 255};
  static constexpr int32_t kY3[] = {120, 195, 255, 292, 169, 201, 213, 237, 241, 250, 269, 295, 293, 286, 297, 324, 342, 390, 415, 463, 547, 550, 650};
  using halftone_lines::InterpolateBreakpoints;
  switch (ratio_class) {
    case 0:
      InterpolateBreakpoints(out, kX0, kY0, 2);
      break;
    case 1:
      if (bits == 1) InterpolateBreakpoints(out, kX1a, kY1a, 2);
      if (bits == 2) InterpolateBreakpoints(out, kX1b, kY1b, 2);
      break;
    case 2:
      InterpolateBreakpoints(out, kX2, kY2, 2);
      break;
    case 3:
      InterpolateBreakpoints(out, kX3, kY3, 2);
      break;
    default:
      break;
  }
}

EngineStatus StepGreyHalftoneResource(GreyHalftoneEngine* engine, ResourceBytes block,
                                      ResourceId* next_id) {
  switch (engine->step) {
    case 0:
      return StepDotCurves(engine, block, next_id);
    case 1:
      return StepScreen(engine, block, next_id);
    case 2:
      return StepHandoverLayout(engine, block, next_id);
    case 3:
      return StepInkTables(engine, block, next_id);
    default:
      return kStatusBadResource;
  }
}

}  // namespace tonvar::grey_input
