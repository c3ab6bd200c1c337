// Bounded reading of the model configuration file.
#include "kalimu/model/cfg_parser.h"

#include <cstring>

namespace kalimu::model {
namespace {

// True when [offset, offset + length) lies inside a file of `size` bytes. The operands are
// at most 32-bit offsets plus products of 16-bit counts and small sizes: no overflow in 64 bits.
bool Fits(size_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

template <class T>
bool ReadAt(std::span<const uint8_t> file, uint64_t offset, T* out) {
  if (!Fits(file.size(), offset, sizeof(T))) return false;
  std::memcpy(out, file.data() + offset, sizeof(T));
  return true;
}

bool ReadHeader(std::span<const uint8_t> file, const CfgPrologue& prologue, ModelHeader* header) {
  return ReadAt(file, prologue.header_offset, header) && header->version == kCfgFormatVersion;
}

}  // namespace

uint32_t InkIdLengthFromWord(uint32_t ink_word) {
  const uint32_t length = (ink_word & 0x8000u) ? (ink_word >> 24) : (ink_word & 0xFFu);
  return length < kInkCodeCount ? length : kInkCodeCount;
}

CfgParseStatus ParseInkSetTable(std::span<const uint8_t> file, CfgInkSetImage* out) {
  *out = {};
  CfgPrologue prologue;
  ModelHeader header;
  if (!ReadAt(file, 0, &prologue) || !ReadHeader(file, prologue, &header)) return CfgParseStatus::kDatVersion;
  const uint64_t records_offset = uint64_t{prologue.header_offset} + sizeof(ModelHeader);
  const uint64_t records_size = uint64_t{header.ink_set_count} * sizeof(InkSetRecord);
  if (!Fits(file.size(), records_offset, records_size)) return CfgParseStatus::kDatVersion;
  out->ink_set_count = header.ink_set_count;
  out->default_ink_set = header.default_ink_set < header.ink_set_count ? header.default_ink_set : 0;
  out->ink_code_mask = header.ink_code_mask;
  out->ink_id_length = InkIdLengthFromWord(header.ink_word);
  out->records = file.subspan(records_offset, records_size);
  return CfgParseStatus::kOk;
}

CfgParseStatus ParseCfgImage(std::span<const uint8_t> file, uint16_t base_ink_set_count, CfgImage* out) {
  *out = {};
  CfgPrologue prologue;
  CfgVersionBlock version;
  if (!ReadAt(file, 0, &prologue) || !ReadAt(file, prologue.version_block_offset, &version) ||
      version.version != kCfgFormatVersion) {
    return CfgParseStatus::kCfgVersion;
  }
  ModelHeader header;
  if (!ReadHeader(file, prologue, &header)) return CfgParseStatus::kDatVersion;

  const uint64_t preset_offset = uint64_t{prologue.version_block_offset} + sizeof(CfgVersionBlock);
  const uint64_t preset_size =
      (uint64_t{version.group_count[0]} + version.group_count[1] + version.group_count[2]) * sizeof(PresetRecord);
  if (!Fits(file.size(), preset_offset, preset_size)) return CfgParseStatus::kCfgVersion;

  const uint64_t tables_offset =
      uint64_t{prologue.header_offset} + sizeof(ModelHeader) + uint64_t{base_ink_set_count} * sizeof(InkSetRecord);
  uint64_t tables_size = 0;
  for (int t = 0; t < kCapTableCount; ++t) {
    out->table_start[t] = static_cast<uint32_t>(tables_size);
    tables_size += uint64_t{header.table_count[t]} * kCapRecordSize[t];
  }
  if (!Fits(file.size(), tables_offset, tables_size)) return CfgParseStatus::kDatVersion;

  if (prologue.lfp_offset != 0) {
    LfpHeader lfp;
    if (!ReadAt(file, prologue.lfp_offset, &lfp)) return CfgParseStatus::kDatVersion;
    const uint64_t records_offset = uint64_t{prologue.lfp_offset} + lfp.record_offset;
    const uint64_t records_size = uint64_t{lfp.record_count} * sizeof(LfpRecord);
    if (!Fits(file.size(), records_offset, records_size)) return CfgParseStatus::kDatVersion;
    out->has_lfp = true;
    out->lfp = lfp;
    out->lfp_records = file.subspan(records_offset, records_size);
  }
  out->version = version;
  out->header = header;
  out->presets = file.subspan(preset_offset, preset_size);
  out->tables = file.subspan(tables_offset, tables_size);
  return CfgParseStatus::kOk;
}

}  // namespace kalimu::model
