// Bounded reading of the model configuration file: every offset and count is checked
// against the file's size before a byte is taken.
#pragma once

#include <cstdint>
#include <span>

#include "kalimu/model/cfg_records.h"

namespace kalimu::model {

enum class CfgParseStatus {
  kOk,
  kCfgVersion,  // version block missing, outside the file, or not 1808 (also its presets)
  kDatVersion,  // header missing, outside the file, or not 1808 (also the tables and the LFP block)
};

// What the ink-set table load takes from the base file.
struct CfgInkSetImage {
  uint16_t ink_set_count = 0;
  uint16_t default_ink_set = 0;  // below ink_set_count, or 0
  uint32_t ink_code_mask = 0;
  uint32_t ink_id_length = 0;  // at most kInkCodeCount
  std::span<const uint8_t> records;  // ink_set_count InkSetRecord, inside the file
};

// What the full load takes from the variant file. The spans point into the file.
struct CfgImage {
  CfgVersionBlock version{};
  ModelHeader header{};
  std::span<const uint8_t> presets;  // group 0 + 1 + 2 PresetRecord
  std::span<const uint8_t> tables;   // the eight capability tables, back to back
  uint32_t table_start[kCapTableCount] = {};  // byte offset of each table inside `tables`
  bool has_lfp = false;
  LfpHeader lfp{};
  std::span<const uint8_t> lfp_records;  // lfp.record_count LfpRecord
};

// Ink-id length by the ink-word rule, clamped to the 16 code bytes a record holds.
uint32_t InkIdLengthFromWord(uint32_t ink_word);

CfgParseStatus ParseInkSetTable(std::span<const uint8_t> file, CfgInkSetImage* out);

// `base_ink_set_count`: the tables of a variant file start after as many ink-set records
// as its base file holds.
CfgParseStatus ParseCfgImage(std::span<const uint8_t> file, uint16_t base_ink_set_count, CfgImage* out);

}  // namespace kalimu::model
