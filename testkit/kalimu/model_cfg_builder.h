// Builds model configuration files from a declarative description; the sample models a maker
// could ship, and one damaged model whose unset fields hold pattern bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/model/cfg_records.h"

namespace testkit {

namespace km = kalimu::model;

// Byte at `offset` of record `index` of the table or block numbered `table`: the filling of the
// damaged model's records (an accessor that reads the wrong offset sees a different value).
uint8_t PatternByte(int table, int index, uint32_t offset);

template <class Record>
Record PatternRecord(int table, int index) {
  Record record;
  auto* bytes = reinterpret_cast<uint8_t*>(&record);
  for (uint32_t o = 0; o < sizeof(Record); ++o) bytes[o] = PatternByte(table, index, o);
  return record;
}

// Table numbers for PatternRecord beyond the eight capability tables (0-7).
inline constexpr int kPatternHeader = 8;
inline constexpr int kPatternPreset = 9;
inline constexpr int kPatternInkSet = 10;
inline constexpr int kPatternLfp = 11;
inline constexpr int kPatternLfpHeader = 12;

struct ModelDescription {
  uint16_t cfg_version = km::kCfgFormatVersion;
  uint16_t user_settings_capacity = 0;
  uint16_t user_paper_capacity = 0;
  km::ModelHeader header{};  // version and counts are filled by the builder
  std::vector<km::InkSetRecord> ink_sets;
  std::vector<km::PresetRecord> presets[3];
  std::vector<km::PaperSizeRecord> papers;
  std::vector<km::CapTable2Record> margins;
  std::vector<km::PaperSourceRecord> sources;
  std::vector<km::CapTable4Record> table4;
  std::vector<km::CapTable5Record> table5;
  std::vector<km::MediaTypeRecord> media;
  std::vector<km::CapTable7Record> table7;
  std::vector<km::PrintModeRecord> modes;
  bool has_lfp = false;
  km::LfpHeader lfp{};  // record offset and count are filled by the builder
  std::vector<km::LfpRecord> lfp_records;
};

// A built file and where its blocks lie (for tests that damage or probe it).
struct BuiltCfgFile {
  std::vector<uint8_t> bytes;
  uint32_t version_offset = 0;
  uint32_t preset_offset = 0;
  uint32_t header_offset = 0;
  uint32_t ink_set_offset = 0;
  uint32_t table_offset[km::kCapTableCount] = {};
  uint32_t lfp_offset = 0;
  uint32_t lfp_records_offset = 0;
};

BuiltCfgFile BuildCfgFile(const ModelDescription& model);

// The file-name suffix of ink set `index` by the driver's rule (for naming variant files).
std::string InkSetSuffix(const ModelDescription& model, int index);

// Marker of a file in header byte 76: 0xB0 for the base file, 0x10 + k for the variant of ink
// set k.
inline constexpr uint8_t kBaseFileMarker = 0xB0;
ModelDescription VariantFor(const ModelDescription& model, int ink_set);

// The sample printers (every field the driver reads holds a value set on purpose, every
// capability table entry names papers, sources, media and modes that exist):
// Roll-and-sheet model, a 44-inch eight-ink printer: two ink sets (suffixes 010A4 and 010B4), a
// sheet feeder, a manual feed, a roll and a roll with auto cut (LFP records for 24 and 44 inch
// rolls), sheet papers, a borderless paper, a roll paper and the custom size, three media, print
// modes in all three variants, presets in all three groups.
ModelDescription RollPaperModel();
// Sheet model, an A3 two-cartridge printer: two ink sets (suffixes 0502 and 054, default ink set
// 1), a sheet feeder and a manual feed, no LFP block, an A-series paper set.
ModelDescription SheetModel();
// The roll-paper model as a hostile file would carry it: every field the model does not set
// holds pattern bytes (flag words with random bits, values out of their scales). For tests of
// how the driver copes with such data, never as a printer to show.
ModelDescription DamagedRollPaperModel();

}  // namespace testkit
