// Dot-curve block readers of kinds 3 and 4.
#include "tonvar/common/dot_curve_blocks.h"

#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/level_expansion.h"

namespace tonvar::common {
namespace {

constexpr uint64_t kKind4WeightsAt = 208;     // three 16-bit weights in tenths, 4 bytes apart
constexpr uint64_t kKind4DirectoryAt = 48;
constexpr uint64_t kSamplesAt = 32;           // kind 3: rows of three samples
constexpr uint64_t kEntrySamplesAt = 96;      // kind 4: from block + entry offset

int32_t Signed16(const uint8_t* p) { return static_cast<int16_t>(ReadWord(p)); }

bool Fits(uint64_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

bool HasSignature(const uint8_t* block, uint64_t size) {
  return Fits(size, 4, 4) && std::memcmp(block + 4, kDotCurveSignature, 4) == 0;
}

uint32_t SampleBytes(int32_t width) { return width == 16 ? 2 : 1; }

uint32_t Sample(const uint8_t* p, int32_t width) {
  return width == 16 ? static_cast<uint32_t>(Signed16(p)) : p[0];
}

void ReadTriples8(DotGroupTable* table, uint32_t rows, const uint8_t* samples) {
  for (uint32_t l = 0; l < rows; ++l) {
    for (int c = 0; c < 3; ++c) (*table)[l][c] = samples[3 * l + c];
  }
}

}  // namespace

uint32_t DotCurveInksNeeded(uint32_t ink_set) {
  switch (ink_set) {
    case 1:
    case 5: return 0x00F;
    case 3: return 0x03F;
    case 4: return 0x07F;
    case 6: return 0x0BF;
    case 7: return 0x70F;
    case 9: return 0x8BF;
    default: return 0;
  }
}

int32_t DotCurveGroupOf(uint32_t ink_id) {
  static constexpr int8_t kGroups[12] = {0, 1, 2, 3, 4, 5, 6, 6, 4, 5, 6, 7};
  return ink_id < 12 ? kGroups[ink_id] : -1;
}

uint64_t DotCurveBlockSize(ResourceBytes block) {
  if (block.data == nullptr) return 0;
  if (block.size != kUnboundedSize) return block.size;
  return ReadDword(block.data);
}

bool BuildDotCurveHeader(ResourceBytes block, DotCurveHeader* header) {
  std::memset(header, 0, sizeof *header);
  const uint64_t size = DotCurveBlockSize(block);
  if (!Fits(size, 0, kKind4WeightsAt + 10)) return false;
  const uint8_t* b = block.data;
  header->block_size = size;
  header->kind = ReadDword(b + 8);
  header->levels = Signed16(b + 18);
  header->sample_width = Signed16(b + 20);
  header->value_22 = Signed16(b + 22);
  header->value_24 = Signed16(b + 24);
  header->entry_count = Signed16(b + 34);
  const int32_t entries = header->entry_count < 0 ? 0
                          : header->entry_count > static_cast<int32_t>(kDotCurveMaxEntries)
                              ? static_cast<int32_t>(kDotCurveMaxEntries)
                              : header->entry_count;
  for (int32_t k = 0; k < entries; ++k) {
    DotCurveEntry& e = header->entries[k];
    const uint8_t* at = b + kKind4DirectoryAt + 8 * k;
    e.ink_id = at[0];
    e.offset = ReadDword(at + 1);
    const uint64_t table = uint64_t{8} + e.offset;
    if (!Fits(size, table, 11)) return false;
    e.column_count = ReadDword(b + table);
    std::memcpy(e.present, b + table + 8, 3);
  }
  return true;
}

EngineStatus CheckDotCurveHeader(const DotCurveHeader* header, uint32_t ink_set) {
  if (header->levels != static_cast<int32_t>(kDotCurveLevels)) return kStatusBadResource;
  const int32_t width = header->sample_width;
  if (width != 0 && width != 8 && width != 16) return kStatusBadResource;
  if (header->entry_count < 0 || header->entry_count > static_cast<int32_t>(kDotCurveMaxEntries)) {
    return kStatusBadResource;
  }
  uint32_t present = 0;
  for (int32_t k = 0; k < header->entry_count; ++k) {
    if (header->entries[k].ink_id > 11) return kStatusBadResource;
    present |= 1u << header->entries[k].ink_id;
  }
  const uint32_t needed = DotCurveInksNeeded(ink_set);
  if (needed == 0 || (present & needed) != needed) return kStatusBadResource;
  const uint64_t column_bytes = uint64_t{kDotCurveLevels} * SampleBytes(width);
  for (int32_t k = 0; k < header->entry_count; ++k) {
    const DotCurveEntry& e = header->entries[k];
    if (e.column_count != 3 || e.present[1] == 0 || e.present[2] == 0) return kStatusBadResource;
    if (e.present[0] == 0 && e.ink_id != 0) return kStatusBadResource;
    // The samples of the three columns must lie inside the block.
    if (!Fits(header->block_size, uint64_t{e.offset} + kEntrySamplesAt, 3 * column_bytes)) {
      return kStatusBadResource;
    }
  }
  return kStatusOk;
}

void ExpandDotCurve(const uint8_t* block, DotGroupTable* table, const DotCurveHeader* header,
                    int32_t entry) {
  std::memset(table, 0, sizeof *table);
  const DotCurveEntry& e = header->entries[entry];
  const int32_t width = header->sample_width;
  if (width != 0 && width != 8 && width != 16) return;
  const uint32_t bytes = SampleBytes(width);
  const uint8_t* samples = block + uint64_t{e.offset} + kEntrySamplesAt;
  for (uint32_t c = 0; c < 3; ++c) {
    if (e.present[c] == 0) continue;
    const uint8_t* column = samples + uint64_t{c} * kDotCurveLevels * bytes;
    for (uint32_t l = 0; l < kDotCurveLevels; ++l) (*table)[l][c] = Sample(column + l * bytes, width);
  }
}

void CopyDotTable(const uint8_t* first_sample, DotGroupTable* tables, int32_t sample_width) {
  if (sample_width != 0 && sample_width != 8 && sample_width != 16) return;
  const uint32_t bytes = SampleBytes(sample_width);
  for (uint32_t l = 0; l < kDotCurveLevels; ++l) {
    for (int c = 0; c < 3; ++c) {
      const uint32_t v = Sample(first_sample + (3 * l + c) * bytes, sample_width);
      tables[0][l][c] = v;
      tables[1][l][c] = v;
    }
  }
}

void ReadDotTriples16(DotGroupTable* table, uint32_t rows, const uint8_t* samples) {
  for (uint32_t l = 0; l < rows; ++l) {
    for (int c = 0; c < 3; ++c) (*table)[l][c] = static_cast<uint32_t>(Signed16(samples + 2 * (3 * l + c)));
  }
}

EngineStatus ReadDotCurveTable(DotGroupTable* table, ResourceBytes block, DotTableFormat* format) {
  const uint64_t size = DotCurveBlockSize(block);
  const uint8_t* b = block.data;
  uint64_t samples_at = kSamplesAt;
  DotTableFormat f{};
  if (HasSignature(b, size)) {
    if (!Fits(size, 0, kSamplesAt)) return kStatusDotCurveFormat;
    switch (Signed16(b + 8)) {
      case 0:
        f = {Signed16(b + 16), Signed16(b + 18), 8, 0, 0};
        break;
      case 2:
        f = {b[16], Signed16(b + 18), b[20] * 8, 0, 0};
        break;
      case 3:
        f = {Signed16(b + 16), Signed16(b + 18), Signed16(b + 20), Signed16(b + 22), Signed16(b + 24)};
        break;
      default:
        return kStatusDotCurveFormat;
    }
  } else {
    // Untagged: 256 rows of three bytes from the start, whose first word is small.
    if (!Fits(size, 0, 4) || b[0] != 0 || b[1] != 0 || b[2] != 0 || b[3] > 20) {
      return kStatusDotCurveFormat;
    }
    f = {3, 256, 8, 0, 0};
    samples_at = 0;
  }
  *format = f;
  if (f.channels != 3) return kStatusDotCurveFormat;
  if (f.sample_width != 8 && f.sample_width != 16) return kStatusDotCurveFormat;
  if (f.reserved != 0) return kStatusDotCurveValues;
  // A negative shift would scale the samples past 32 bits.
  if (f.shift > 4 || f.shift < 0) return kStatusDotCurveValues;
  if (f.levels != 256 && f.levels != 512) return kStatusDotCurveValues;
  const uint32_t rows = static_cast<uint32_t>(f.levels);
  const uint64_t bytes = uint64_t{rows} * 3 * (f.sample_width / 8);
  if (!Fits(size, samples_at, bytes)) return kStatusDotCurveFormat;
  if (f.sample_width == 8) {
    ReadTriples8(table, rows, b + samples_at);
  } else {
    ReadDotTriples16(table, rows, b + samples_at);
  }
  const uint32_t scale = 1u << (4 - f.shift);
  for (uint32_t l = 0; l < rows; ++l) {
    for (int c = 0; c < 3; ++c) (*table)[l][c] *= scale;
  }
  if (rows == 256) return ExpandLevels256To512(&(*table)[0][0], 256, 512);
  return kStatusOk;
}

EngineStatus ReadDotCurveKind4(ResourceBytes block, uint32_t ink_set, DotCurveTables* tables,
                               int32_t weights[3]) {
  DotCurveHeader header;
  if (!BuildDotCurveHeader(block, &header)) return kStatusBadResource;
  const EngineStatus status = CheckDotCurveHeader(&header, ink_set);
  if (status != kStatusOk) return status;
  for (int32_t k = 0; k < header.entry_count; ++k) {
    ExpandDotCurve(block.data, &tables->group[DotCurveGroupOf(header.entries[k].ink_id)], &header, k);
  }
  for (int i = 0; i < 3; ++i) weights[i] = Signed16(block.data + kKind4WeightsAt + 4 * i) / 10;
  return kStatusOk;
}

EngineStatus ReadDotCurveKind3(ResourceBytes block, uint32_t ink_set, DotCurveTables* tables,
                               int32_t weights[3]) {
  (void)ink_set;
  const uint64_t size = DotCurveBlockSize(block);
  const uint8_t* b = block.data;
  if (!Fits(size, 0, kSamplesAt)) return kStatusDotCurveFormat;
  DotTableFormat f{Signed16(b + 16), Signed16(b + 18), Signed16(b + 20), Signed16(b + 22),
                   Signed16(b + 24)};
  if (f.levels == static_cast<int32_t>(kDotCurveLevels) &&
      (f.sample_width == 0 || f.sample_width == 8 || f.sample_width == 16)) {
    // The fast form: the weights follow the three channels' samples, so a block whose width
    // or channel count would put them elsewhere cannot be read this way.
    if (f.channels != 3 || f.sample_width == 0) return kStatusDotCurveFormat;
    if (!Fits(size, kSamplesAt, uint64_t{kDotCurveLevels} * 3 * (f.sample_width / 8))) {
      return kStatusDotCurveFormat;
    }
    CopyDotTable(b + kSamplesAt, &tables->group[0], f.sample_width);
  } else {
    const EngineStatus status = ReadDotCurveTable(&tables->group[0], block, &f);
    if (status != kStatusOk) return status;
  }
  for (uint32_t g = 1; g < kDotCurveGroups; ++g) {
    std::memcpy(tables->group[g], tables->group[0], sizeof(DotGroupTable));
  }
  const uint64_t at = 36 + uint64_t(f.channels) * uint64_t(f.sample_width) * uint64_t(f.levels) / 8;
  if (!Fits(size, at, 6)) return kStatusDotCurveFormat;
  for (int i = 0; i < 3; ++i) weights[i] = Signed16(b + at + 2 * i);
  return kStatusOk;
}

EngineStatus ReadDotCurveBlock(ResourceBytes block, uint32_t ink_set, DotCurveTables* tables,
                               int32_t weights[3]) {
  if (block.data == nullptr || !Fits(DotCurveBlockSize(block), 0, 12)) return kStatusBadResource;
  switch (ReadDword(block.data + 8)) {
    case kDotCurveKind3: return ReadDotCurveKind3(block, ink_set, tables, weights);
    case kDotCurveKind4: return ReadDotCurveKind4(block, ink_set, tables, weights);
    default: return kStatusBadResource;
  }
}

}  // namespace tonvar::common
