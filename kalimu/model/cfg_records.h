// Byte layouts of the model configuration file and of the values derived from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kalimu::model {

inline constexpr uint16_t kCfgFormatVersion = 0x0710;  // 1808, every block of the file

#pragma pack(push, 1)

// First 16 bytes of the file: where the other blocks live.
struct CfgPrologue {
  uint32_t reserved;
  uint32_t header_offset;
  uint32_t version_block_offset;
  uint32_t lfp_offset;  // 0 = no LFP block
};
static_assert(sizeof(CfgPrologue) == 16);
static_assert(offsetof(CfgPrologue, header_offset) == 4);
static_assert(offsetof(CfgPrologue, version_block_offset) == 8);
static_assert(offsetof(CfgPrologue, lfp_offset) == 12);

// Followed directly by the preset records of groups 0, 1 and 2.
struct CfgVersionBlock {
  uint16_t version;
  uint16_t group_count[3];
  uint16_t user_settings_capacity;
  uint16_t user_paper_capacity;
  uint8_t reserved[4];
};
static_assert(sizeof(CfgVersionBlock) == 16);
static_assert(offsetof(CfgVersionBlock, group_count) == 2);
static_assert(offsetof(CfgVersionBlock, user_settings_capacity) == 8);
static_assert(offsetof(CfgVersionBlock, user_paper_capacity) == 10);

inline constexpr int kCapTableCount = 8;

// Followed directly by the ink-set records and then the eight capability tables.
struct ModelHeader {
  uint16_t reserved0;
  uint16_t version;
  uint8_t reserved4[8];
  uint32_t default_fields;  // dmFields of a new device mode
  uint32_t reserved16;
  uint32_t flags20;  // 0x80 = no watermarks
  uint32_t flags24;
  uint32_t flags28;
  uint32_t flags32;
  uint32_t ink_word;  // bits 0-7 ink count; bit 15 set: ink-id length in bits 24-31, else bits 0-7
  uint32_t flags40;
  uint16_t ink_set_count;
  uint16_t table_count[kCapTableCount];
  uint16_t watermark_capacity;
  int16_t value64;
  int16_t value66;
  uint32_t reserved68;
  uint32_t flags72;
  uint8_t byte76;
  uint8_t byte77;
  uint8_t byte78;
  uint8_t reserved79;
  uint8_t block80[16];
  uint8_t block96[16];
  uint16_t selected_ink_set;  // ink set whose codes identify the model
  uint16_t default_ink_set;
  uint32_t ink_code_mask;  // bit i: code byte i takes part in the file-name suffix
  uint8_t reserved120[8];
};
static_assert(sizeof(ModelHeader) == 128);
static_assert(offsetof(ModelHeader, version) == 2);
static_assert(offsetof(ModelHeader, default_fields) == 12);
static_assert(offsetof(ModelHeader, flags20) == 20);
static_assert(offsetof(ModelHeader, ink_word) == 36);
static_assert(offsetof(ModelHeader, flags40) == 40);
static_assert(offsetof(ModelHeader, ink_set_count) == 44);
static_assert(offsetof(ModelHeader, table_count) == 46);
static_assert(offsetof(ModelHeader, watermark_capacity) == 62);
static_assert(offsetof(ModelHeader, value64) == 64);
static_assert(offsetof(ModelHeader, flags72) == 72);
static_assert(offsetof(ModelHeader, byte76) == 76);
static_assert(offsetof(ModelHeader, block80) == 80);
static_assert(offsetof(ModelHeader, block96) == 96);
static_assert(offsetof(ModelHeader, selected_ink_set) == 112);
static_assert(offsetof(ModelHeader, default_ink_set) == 114);
static_assert(offsetof(ModelHeader, ink_code_mask) == 116);

inline constexpr int kInkCodeCount = 16;

struct InkSetRecord {
  uint8_t reserved0[8];
  uint8_t codes[kInkCodeCount];
  uint8_t reserved24[8];
};
static_assert(sizeof(InkSetRecord) == 32);
static_assert(offsetof(InkSetRecord, codes) == 8);

// Also the layout of the device mode's settings record and of a user preset's tail.
struct PresetRecord {
  int16_t value0;
  int16_t value2;
  int16_t value4;
  int16_t mode_id;
  int32_t media_id;
  int16_t value12;  // mode variant
  uint8_t reserved14[2];
  uint16_t value16;
  uint16_t value18;
  uint8_t reserved20[4];
  int32_t value24;
  uint8_t reserved28[8];
  int32_t value36;
  uint16_t flags40;
  uint16_t flags42;
  uint8_t reserved44[12];
  int16_t value56[7];  // offsets 56 to 68
  uint8_t reserved70[26];
  uint32_t value96;
  uint32_t value100;
  uint32_t value104;
  uint32_t value108;
  uint8_t reserved112[12];
  int16_t kind;  // 2 = a user entry in use
  uint8_t reserved126[2];
};
static_assert(sizeof(PresetRecord) == 128);
static_assert(offsetof(PresetRecord, mode_id) == 6);
static_assert(offsetof(PresetRecord, media_id) == 8);
static_assert(offsetof(PresetRecord, value16) == 16);
static_assert(offsetof(PresetRecord, value24) == 24);
static_assert(offsetof(PresetRecord, value36) == 36);
static_assert(offsetof(PresetRecord, flags40) == 40);
static_assert(offsetof(PresetRecord, value56) == 56);
static_assert(offsetof(PresetRecord, value96) == 96);
static_assert(offsetof(PresetRecord, value108) == 108);
static_assert(offsetof(PresetRecord, kind) == 124);

inline constexpr int16_t kCustomPaperId = 256;

// Table 1.
struct PaperSizeRecord {
  int16_t id;  // dmPaperSize; 256 = the custom size
  int16_t value2;
  int16_t value4;
  uint16_t kind;
  int32_t width;   // 1/360 inch
  int32_t length;  // 1/360 inch
  uint32_t source_flags;
  uint32_t flags20;
  uint32_t flags24;
  int16_t margin_index[9];  // offsets 28 to 44; negative = no margins
  uint8_t option;
  uint8_t reserved47[9];
};
static_assert(sizeof(PaperSizeRecord) == 56);
static_assert(offsetof(PaperSizeRecord, width) == 8);
static_assert(offsetof(PaperSizeRecord, source_flags) == 16);
static_assert(offsetof(PaperSizeRecord, margin_index) == 28);
static_assert(offsetof(PaperSizeRecord, option) == 46);

// Table 2: margins in 1/360 inch.
struct CapTable2Record {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
static_assert(sizeof(CapTable2Record) == 16);

// Table 3.
struct PaperSourceRecord {
  int16_t id;  // dmDefaultSource
  int16_t name_code;
  uint16_t value4;
  uint16_t value6;
  uint32_t flags8;
  uint32_t flags12;
  uint8_t reserved16[16];
  uint8_t value32[8];
  uint8_t value40[8];
  int32_t max_width;  // 1/360 inch
  uint8_t reserved52[12];
};
static_assert(sizeof(PaperSourceRecord) == 64);
static_assert(offsetof(PaperSourceRecord, flags8) == 8);
static_assert(offsetof(PaperSourceRecord, value32) == 32);
static_assert(offsetof(PaperSourceRecord, max_width) == 48);

struct CapTable4Record {
  int16_t value0;
  int16_t value2;
  uint32_t flags4;
  uint8_t reserved8[8];
};
static_assert(sizeof(CapTable4Record) == 16);
static_assert(offsetof(CapTable4Record, flags4) == 4);

struct CapTable5Record {
  int16_t value0;
  uint8_t reserved2[6];
};
static_assert(sizeof(CapTable5Record) == 8);

// Table 6.
struct MediaTypeRecord {
  int32_t id;  // dmMediaType
  uint32_t flags4;
  uint32_t flags8;
  int32_t value12;
  int16_t name_value;
  uint8_t value18[5];  // offsets 18 to 22
  uint8_t reserved23;
  int16_t value24;
  int16_t value26;
  uint8_t reserved28[2];
  int16_t value30[5];  // offsets 30 to 38
  uint8_t reserved40[8];
};
static_assert(sizeof(MediaTypeRecord) == 48);
static_assert(offsetof(MediaTypeRecord, name_value) == 16);
static_assert(offsetof(MediaTypeRecord, value18) == 18);
static_assert(offsetof(MediaTypeRecord, value24) == 24);
static_assert(offsetof(MediaTypeRecord, value30) == 30);

struct CapTable7Record {
  int16_t value0;
  int16_t value2;
  int16_t value4;
  uint8_t reserved6[2];
};
static_assert(sizeof(CapTable7Record) == 8);

// One column group of a print mode; the mode variant picks the group.
struct PrintModeColumns {
  int32_t value0;
  int32_t value4;
  int16_t value8[5];  // offsets 8 to 16
  uint16_t flags18;
  uint16_t value20;
  uint16_t flags22;
  uint16_t value24;
  int16_t value26;
  int16_t quality_mask;  // offset 28
  int16_t value30[8];    // offsets 30 to 44
  uint16_t flags46;
  uint16_t value48;
  uint8_t reserved50[2];
  uint32_t flags52;
  int32_t value56;
  uint8_t reserved60[4];
};
static_assert(sizeof(PrintModeColumns) == 64);
static_assert(offsetof(PrintModeColumns, flags18) == 18);
static_assert(offsetof(PrintModeColumns, quality_mask) == 28);
static_assert(offsetof(PrintModeColumns, flags46) == 46);
static_assert(offsetof(PrintModeColumns, flags52) == 52);
static_assert(offsetof(PrintModeColumns, value56) == 56);

// Table 8.
struct PrintModeRecord {
  int16_t id;
  int16_t value2;
  int16_t value4;
  int16_t value6;
  uint8_t reserved8[4];
  int32_t media_id;
  uint32_t flags16;
  uint32_t flags20;
  uint32_t flags24;  // 0x80 = hidden mode
  uint8_t reserved28[2];
  int16_t value30;
  int32_t value32;
  int32_t value36;
  uint16_t flags40;
  int16_t value42;
  int16_t value44;
  int16_t value46;
  PrintModeColumns groups[3];  // at 48, 112, 176
};
static_assert(sizeof(PrintModeRecord) == 240);
static_assert(offsetof(PrintModeRecord, media_id) == 12);
static_assert(offsetof(PrintModeRecord, flags24) == 24);
static_assert(offsetof(PrintModeRecord, value30) == 30);
static_assert(offsetof(PrintModeRecord, flags40) == 40);
static_assert(offsetof(PrintModeRecord, groups) == 48);

// Byte offset of the column group a device mode's mode variant selects:
// variant 1 reads the first group, variant 0 the second and variant 2 the third.
constexpr uint32_t PrintModeGroupOffset(int mode_variant) {
  return mode_variant == 1 ? 48u : mode_variant == 2 ? 176u : 112u;
}
static_assert(PrintModeGroupOffset(1) == offsetof(PrintModeRecord, groups[0]) &&
              PrintModeGroupOffset(0) == offsetof(PrintModeRecord, groups[1]) &&
              PrintModeGroupOffset(2) == offsetof(PrintModeRecord, groups[2]));

struct LfpHeader {
  uint16_t record_offset;  // from the start of the LFP block
  uint16_t present;
  uint32_t value;
  uint16_t record_count;
  uint8_t reserved10[6];
};
static_assert(sizeof(LfpHeader) == 16);
static_assert(offsetof(LfpHeader, value) == 4);
static_assert(offsetof(LfpHeader, record_count) == 8);

struct LfpRecord {
  uint16_t value0;
  uint16_t value2;  // name: resource string 1450 + value
  int32_t roll_width;  // 1/360 inch
  uint8_t reserved8[8];
};
static_assert(sizeof(LfpRecord) == 16);
static_assert(offsetof(LfpRecord, roll_width) == 4);

// Stored value "INKINF": the ink configuration in use.
struct InkInfoValue {
  uint32_t valid;
  uint32_t ink_id_length;
  uint8_t codes[kInkCodeCount];
  uint8_t reserved[8];
};
static_assert(sizeof(InkInfoValue) == 32);
static_assert(offsetof(InkInfoValue, codes) == 8);

// Filled for the printer-status object.
struct StatusModelInfo {
  int32_t ink_id_length;
  int32_t ink_count;
  uint16_t bytes_per_ink;
  uint8_t reserved10[2];
  int32_t zero;
};
static_assert(sizeof(StatusModelInfo) == 16);
static_assert(offsetof(StatusModelInfo, bytes_per_ink) == 8);
static_assert(offsetof(StatusModelInfo, zero) == 12);

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<ModelHeader> && std::is_trivially_copyable_v<PrintModeRecord>);

// The capability tables in file order, with their record sizes.
enum class CapTable : uint8_t {
  kPaperSize, kTable2, kPaperSource, kTable4, kTable5, kMediaType, kTable7, kPrintMode,
  // Not in the table block, but addressed the same way by the queries:
  kPreset, kLfp,
};
inline constexpr uint32_t kCapRecordSize[kCapTableCount] = {
    sizeof(PaperSizeRecord), sizeof(CapTable2Record), sizeof(PaperSourceRecord), sizeof(CapTable4Record),
    sizeof(CapTable5Record), sizeof(MediaTypeRecord), sizeof(CapTable7Record), sizeof(PrintModeRecord)};
static_assert(kCapRecordSize[0] == 56 && kCapRecordSize[2] == 64 && kCapRecordSize[7] == 240);

}  // namespace kalimu::model
