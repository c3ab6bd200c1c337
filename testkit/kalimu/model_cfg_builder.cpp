// Model configuration file builder and the sample models.
#include "testkit/kalimu/model_cfg_builder.h"

namespace testkit {
namespace {

void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t size) {
  const size_t at = out.size();
  out.resize(at + size);
  if (size != 0) std::memcpy(out.data() + at, data, size);
}

template <class Record>
void Append(std::vector<uint8_t>& out, const std::vector<Record>& records) {
  AppendBytes(out, records.data(), records.size() * sizeof(Record));
}

template <class Record>
void AppendOne(std::vector<uint8_t>& out, const Record& record) {
  AppendBytes(out, &record, sizeof(Record));
}

void Pad(std::vector<uint8_t>& out, size_t multiple, uint8_t fill) {
  while (out.size() % multiple != 0) out.push_back(fill);
}

km::InkSetRecord InkSet(int index, std::initializer_list<uint8_t> codes) {
  auto record = PatternRecord<km::InkSetRecord>(kPatternInkSet, index);
  std::memset(record.codes, 0, sizeof(record.codes));
  int i = 0;
  for (uint8_t c : codes) record.codes[i++] = c;
  return record;
}

km::PaperSizeRecord Paper(int index, int16_t id, int32_t width, int32_t length, uint32_t source_mask,
                          int16_t margin) {
  auto record = PatternRecord<km::PaperSizeRecord>(0, index);
  record.id = id;
  record.width = width;
  record.length = length;
  record.source_flags = source_mask;
  for (int16_t& m : record.margin_index) m = margin;
  return record;
}

km::PaperSourceRecord Source(int index, int16_t id, int16_t name_code, uint32_t capability, uint32_t feed,
                             int32_t max_width) {
  auto record = PatternRecord<km::PaperSourceRecord>(2, index);
  record.id = id;
  record.name_code = name_code;
  record.flags8 = capability;
  record.flags12 = feed;
  record.max_width = max_width;
  return record;
}

km::MediaTypeRecord Media(int index, int32_t id, uint32_t source_mask, int16_t name_value) {
  auto record = PatternRecord<km::MediaTypeRecord>(5, index);
  record.id = id;
  record.flags4 = source_mask;
  record.name_value = name_value;
  return record;
}

// A print mode of `media_id` offered in the variants of `variant_bits` (1 variant 0, 2 variant 1,
// 8 variant 2); `alternatives` are the mode ids used for variants 1, 0 and 2.
km::PrintModeRecord Mode(int index, int16_t id, int32_t media_id, uint32_t source_mask, uint32_t flags24,
                         uint16_t variant_bits, int16_t alt1, int16_t alt0, int16_t alt2) {
  auto record = PatternRecord<km::PrintModeRecord>(7, index);
  record.id = id;
  record.media_id = media_id;
  record.flags16 = source_mask;
  record.flags24 = flags24;
  record.value30 = alt0;
  record.flags40 = variant_bits;
  record.value42 = alt1;
  record.value44 = alt0;
  record.value46 = alt2;
  return record;
}

km::PresetRecord Preset(int index, int16_t name, int16_t mode_id, int32_t media_id, int16_t variant,
                        uint32_t source_mask) {
  auto record = PatternRecord<km::PresetRecord>(kPatternPreset, index);
  record.value0 = name;
  record.mode_id = mode_id;
  record.media_id = media_id;
  record.value12 = variant;
  record.value96 = source_mask;
  return record;
}

km::ModelHeader Header(uint32_t ink_word, uint32_t ink_code_mask, uint16_t default_ink_set,
                       uint16_t selected_ink_set) {
  auto header = PatternRecord<km::ModelHeader>(kPatternHeader, 0);
  header.ink_word = ink_word;
  header.ink_code_mask = ink_code_mask;
  header.default_ink_set = default_ink_set;
  header.selected_ink_set = selected_ink_set;
  header.flags20 &= ~0x80u;  // the samples have watermarks
  header.watermark_capacity = 6;
  header.byte76 = kBaseFileMarker;
  return header;
}

}  // namespace

uint8_t PatternByte(int table, int index, uint32_t offset) {
  return static_cast<uint8_t>((offset * 0x9Du) ^ (index * 0x3Bu) ^ (table * 0x51u) ^ 0x5A);
}

BuiltCfgFile BuildCfgFile(const ModelDescription& model) {
  BuiltCfgFile built;
  std::vector<uint8_t>& out = built.bytes;
  out.resize(sizeof(km::CfgPrologue));

  built.version_offset = static_cast<uint32_t>(out.size());
  km::CfgVersionBlock version{};
  version.version = model.cfg_version;
  for (int g = 0; g < 3; ++g) version.group_count[g] = static_cast<uint16_t>(model.presets[g].size());
  version.user_settings_capacity = model.user_settings_capacity;
  version.user_paper_capacity = model.user_paper_capacity;
  AppendOne(out, version);
  built.preset_offset = static_cast<uint32_t>(out.size());
  for (const auto& group : model.presets) Append(out, group);
  Pad(out, 16, 0xEE);

  built.header_offset = static_cast<uint32_t>(out.size());
  km::ModelHeader header = model.header;
  header.version = km::kCfgFormatVersion;
  header.ink_set_count = static_cast<uint16_t>(model.ink_sets.size());
  const size_t counts[km::kCapTableCount] = {model.papers.size(), model.margins.size(), model.sources.size(),
                                             model.table4.size(), model.table5.size(),  model.media.size(),
                                             model.table7.size(), model.modes.size()};
  for (int t = 0; t < km::kCapTableCount; ++t) header.table_count[t] = static_cast<uint16_t>(counts[t]);
  AppendOne(out, header);
  built.ink_set_offset = static_cast<uint32_t>(out.size());
  Append(out, model.ink_sets);
  uint32_t at = static_cast<uint32_t>(out.size());
  for (int t = 0; t < km::kCapTableCount; ++t) {
    built.table_offset[t] = at;
    at += static_cast<uint32_t>(counts[t] * km::kCapRecordSize[t]);
  }
  Append(out, model.papers);
  Append(out, model.margins);
  Append(out, model.sources);
  Append(out, model.table4);
  Append(out, model.table5);
  Append(out, model.media);
  Append(out, model.table7);
  Append(out, model.modes);

  if (model.has_lfp) {
    Pad(out, 16, 0xEE);
    built.lfp_offset = static_cast<uint32_t>(out.size());
    km::LfpHeader lfp = model.lfp;
    lfp.record_offset = 32;  // a gap between the block header and the records
    lfp.record_count = static_cast<uint16_t>(model.lfp_records.size());
    AppendOne(out, lfp);
    out.resize(out.size() + 16, 0xEE);
    built.lfp_records_offset = static_cast<uint32_t>(out.size());
    Append(out, model.lfp_records);
  }

  km::CfgPrologue prologue{0x4B434647u, built.header_offset, built.version_offset, built.lfp_offset};
  std::memcpy(out.data(), &prologue, sizeof(prologue));
  return built;
}

std::string InkSetSuffix(const ModelDescription& model, int index) {
  const uint32_t word = model.header.ink_word;
  uint32_t length = (word & 0x8000u) ? (word >> 24) : (word & 0xFFu);
  if (length > 16) length = 16;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string suffix;
  for (uint32_t i = 0; i < length; ++i) {
    if ((model.header.ink_code_mask & (1u << i)) == 0) continue;
    const uint8_t code = model.ink_sets[index].codes[i];
    if (code < 0x10) {
      suffix += '0';
      suffix += kHex[code];
    } else {
      suffix += kHex[code >> 4];
    }
  }
  return suffix;
}

ModelDescription VariantFor(const ModelDescription& model, int ink_set) {
  ModelDescription variant = model;
  variant.header.byte76 = static_cast<uint8_t>(0x10 + ink_set);
  // The variant of the second ink set offers one media type less.
  if (ink_set == 1 && !variant.media.empty()) variant.media.pop_back();
  return variant;
}

ModelDescription DamagedRollPaperModel() {
  ModelDescription m;
  m.user_settings_capacity = 10;
  m.user_paper_capacity = 20;
  // Ink-id length 3 in bits 24-31 (bit 15 set), 8 inks; all three code bytes name the file.
  m.header = Header(0x03008008u, 0x7u, 0, 1);
  m.ink_sets = {InkSet(0, {0x01, 0x0A, 0x4B}), InkSet(1, {0x01, 0x0B, 0x4B})};
  // Sources: sheet feeder (index 0), manual feed (1), roll (2), roll with an LFP record (3).
  m.sources = {Source(0, 7, 1, 0x2000, 0x01, 12240), Source(1, 4, 2, 0x4000, 0x02, 12240),
               Source(2, 256, 3, 0x40000, 0x10, 15840), Source(3, 257, 4, 0x40000, 0x50, 15840)};
  const uint32_t all_sources = 0x55u, sheets = 0x05u, rolls = 0x50u;
  m.margins = {{0, 0, 0, 0}, {108, 108, 108, 198}, {72, 72, 72, 72}};
  m.papers = {Paper(0, 9, 2976, 4209, sheets, 1),        // A4
              Paper(1, 8, 4209, 5953, sheets, 1),        // A3
              Paper(2, 1, 3060, 3960, sheets, 2),        // Letter
              Paper(3, 300, 2976, 4209, all_sources, 0),  // A4 borderless
              Paper(4, 301, 8640, 15840, rolls, 2),       // roll 24 inch
              Paper(5, km::kCustomPaperId, 3600, 3600, all_sources, 1)};
  m.papers[3].flags20 = 0x400;  // borderless
  m.papers[5].value4 = 1;
  m.table4 = {PatternRecord<km::CapTable4Record>(3, 0), PatternRecord<km::CapTable4Record>(3, 1)};
  m.table4[0].value0 = 1;
  m.table4[1].value0 = 2;
  m.table5 = {PatternRecord<km::CapTable5Record>(4, 0), PatternRecord<km::CapTable5Record>(4, 1)};
  m.table5[0].value0 = 16;
  m.table5[1].value0 = 14;
  m.media = {Media(0, 101, all_sources, 1), Media(1, 102, sheets, 2), Media(2, 103, rolls, 105)};
  m.table7 = {PatternRecord<km::CapTable7Record>(6, 0), PatternRecord<km::CapTable7Record>(6, 1),
              PatternRecord<km::CapTable7Record>(6, 2), PatternRecord<km::CapTable7Record>(6, 3)};
  // Modes: 1 and 2 are alternatives of each other; 3 is hidden; 4 is monochrome only; 5 roll only.
  m.modes = {Mode(0, 1, 101, all_sources, 0x400, 0x0B, 1, 2, 1), Mode(1, 2, 101, all_sources, 0x100, 0x01, 1, 2, 1),
             Mode(2, 3, 102, sheets, 0x80, 0x0A, 3, 3, 3), Mode(3, 4, 102, sheets, 0x400, 0x01, 3, 4, 3),
             Mode(4, 5, 103, rolls, 0x400, 0x0B, 5, 5, 5)};
  m.presets[0] = {Preset(0, 1, 1, 101, 1, all_sources), Preset(1, 2, 2, 101, 0, all_sources)};
  m.presets[1] = {Preset(2, 3, 4, 102, 0, sheets)};
  m.presets[2] = {Preset(3, 4, 5, 103, 2, rolls)};
  m.has_lfp = true;
  m.lfp = PatternRecord<km::LfpHeader>(kPatternLfpHeader, 0);
  m.lfp.present = 1;
  m.lfp.value = 0x00010003u;
  m.lfp_records = {PatternRecord<km::LfpRecord>(kPatternLfp, 0), PatternRecord<km::LfpRecord>(kPatternLfp, 1)};
  m.lfp_records[0].value2 = 1;
  m.lfp_records[0].roll_width = 8640;
  m.lfp_records[1].value2 = 2;
  m.lfp_records[1].roll_width = 15840;
  return m;
}

}  // namespace testkit
