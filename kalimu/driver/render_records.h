// The records handed to the driver's rendering library. The rendering library lies outside this
// library and reads every record by offset: each layout below is a contract, checked field by
// field. Lengths are device dots unless a field says otherwise; pointers are 64-bit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kalimu::driver {

// Size of every path and text buffer of the records.
inline constexpr size_t kRecordPathBytes = 260;

// The argument of CreateMelvoInfo, owned by the caller.
struct MelvoInfoParams {
  const void* dev_mode;       // the caller's record (1048 bytes are read)
  const void* job_options;    // 64-bit value at 0, 32-bit option flags at 8
  const char* text1;
  const char* text2;
  uint64_t caller_value;
  const char* printer_name;  // ANSI
};
static_assert(sizeof(MelvoInfoParams) == 48);
static_assert(offsetof(MelvoInfoParams, caller_value) == 32 && offsetof(MelvoInfoParams, printer_name) == 40);

// The caller's job-option record: 12 bytes, no padding after the flags.
#pragma pack(push, 4)
struct JobOptionRecord {
  uint64_t value;
  uint32_t flags;
};
#pragma pack(pop)
static_assert(sizeof(JobOptionRecord) == 12 && offsetof(JobOptionRecord, flags) == 8);
static_assert(std::is_trivially_copyable_v<JobOptionRecord>);

// Option flags of JobOptionRecord::flags.
inline constexpr uint32_t kOptionDuplexKind = 0x01;
inline constexpr uint32_t kOptionDuplexOption = 0x04;
inline constexpr uint32_t kOptionDefaultModeAtCreate = 0x10;
inline constexpr uint32_t kOption20 = 0x20;
inline constexpr uint32_t kOptionDefaultModeForRecords = 0x80;
inline constexpr uint32_t kOption100 = 0x100;

// Job flag word of MelvoJobRecord.
inline constexpr uint32_t kJobFlagHandle = 0x01;  // always set by CreateMelvoInfo
inline constexpr uint32_t kJobFlagDuplexKind = 0x02;
inline constexpr uint32_t kJobFlagDuplexOther = 0x04;
inline constexpr uint32_t kJobFlagDuplexOption = 0x08;
inline constexpr uint32_t kJobFlag10 = 0x10;
inline constexpr uint32_t kJobFlagDefaultMode = 0x80;
inline constexpr uint32_t kJobFlag100 = 0x100;

struct MelvoJobRecord {
  uint32_t zero0;
  uint32_t pad4;
  void* settings;  // the settings::JobSettings the records are built from
  uint32_t flags;
  uint32_t zero20;
  char* status_text;  // copy of the printer's "SB:" text, or null
  uint32_t status_text_length;
  uint32_t pad36;
  char* text1;
  uint32_t text1_length;
  uint32_t pad52;
  char* text2;
  uint32_t text2_length;
  uint32_t pad68;
  uint64_t caller_value;
  uint64_t option_value;
  uint32_t color;  // dmColor: 1 monochrome, 2 colour
  uint32_t zero92[3];
};
static_assert(sizeof(MelvoJobRecord) == 104);
static_assert(offsetof(MelvoJobRecord, settings) == 8 && offsetof(MelvoJobRecord, flags) == 16);
static_assert(offsetof(MelvoJobRecord, status_text) == 24 && offsetof(MelvoJobRecord, status_text_length) == 32);
static_assert(offsetof(MelvoJobRecord, text1) == 40 && offsetof(MelvoJobRecord, text1_length) == 48);
static_assert(offsetof(MelvoJobRecord, text2) == 56 && offsetof(MelvoJobRecord, text2_length) == 64);
static_assert(offsetof(MelvoJobRecord, caller_value) == 72 && offsetof(MelvoJobRecord, option_value) == 80);
static_assert(offsetof(MelvoJobRecord, color) == 88);

class StructBuilder;

struct MelvoInfo {
  StructBuilder* builder;
  MelvoJobRecord* job;
  HANDLE printer;
  uint32_t zero24;
  uint32_t zero28;
  uint32_t zero32;
  uint32_t pad36;
};
static_assert(sizeof(MelvoInfo) == 40);
static_assert(offsetof(MelvoInfo, job) == 8 && offsetof(MelvoInfo, printer) == 16 && offsetof(MelvoInfo, zero24) == 24);

// CreateStruct types and the record families they build.
inline constexpr uint32_t kStructColorHalftone = 0;  // family 2
inline constexpr uint32_t kStructJobLayout = 1;      // family 0
inline constexpr uint32_t kStructModulePaths = 2;    // family 1
inline constexpr uint32_t kStructModelValue = 10;
inline constexpr uint32_t kStructOutputModule = 20;

enum RecordFamily : int { kFamilyJobLayout = 0, kFamilyModulePaths = 1, kFamilyColorHalftone = 2 };

// Family 1.
struct ModulePathsStruct {
  char* engine_path;
  char* mw_path;
  char** output_resources;  // count pointers, then count name buffers, one block
  int32_t output_resource_count;
  uint32_t pad28;
  uint64_t caller_value;
  uint64_t option_value;
};
static_assert(sizeof(ModulePathsStruct) == 48);
static_assert(offsetof(ModulePathsStruct, output_resource_count) == 24 && offsetof(ModulePathsStruct, caller_value) == 32);
inline constexpr size_t kOutputResourceEntryBytes = sizeof(char*) + kRecordPathBytes;  // 268

// Family 0 and its sub-records.
struct LayoutOffsetBlock {
  uint16_t version;
  uint16_t kind;
  int32_t offset;
  int32_t length;
};
static_assert(sizeof(LayoutOffsetBlock) == 12);

#pragma pack(push, 2)
struct MediaTuningBlock {
  uint16_t version;
  uint16_t pad2;
  uint32_t flags;
  int32_t value1;
  int16_t value2;
  int16_t value3;
  int16_t value4;
  int16_t value5;
  int32_t value6;
  int16_t value7;
  int16_t value8;
  int16_t value9;
  int16_t value10;
};
#pragma pack(pop)
static_assert(sizeof(MediaTuningBlock) == 32);
static_assert(offsetof(MediaTuningBlock, value2) == 12 && offsetof(MediaTuningBlock, value6) == 20 &&
              offsetof(MediaTuningBlock, value7) == 24 && offsetof(MediaTuningBlock, value10) == 30);

struct InkTextBlock {
  uint16_t version;
  uint8_t pad2[6];
  uint8_t* ink_codes;
  uint32_t ink_code_count;
  uint32_t pad20;
  char* text1;
  uint32_t text1_length;
  uint32_t pad36;
  char* text2;
  uint32_t text2_length;
  uint32_t zero52;
  uint32_t zero56;
  uint32_t pad60;
};
static_assert(sizeof(InkTextBlock) == 64);
static_assert(offsetof(InkTextBlock, ink_codes) == 8 && offsetof(InkTextBlock, ink_code_count) == 16 &&
              offsetof(InkTextBlock, text1) == 24 && offsetof(InkTextBlock, text1_length) == 32 &&
              offsetof(InkTextBlock, text2) == 40 && offsetof(InkTextBlock, text2_length) == 48);

#pragma pack(push, 4)
struct PrintableAreaBlock {
  uint16_t version;
  uint16_t pad2;
  int32_t width_a;
  int32_t height_a;
  int32_t width_b;
  int32_t height_b;
  int32_t left_shift;
  int32_t top_shift;
};
#pragma pack(pop)
static_assert(sizeof(PrintableAreaBlock) == 28 && offsetof(PrintableAreaBlock, top_shift) == 24);

struct HtInfoBlock {
  uint16_t version;
  uint8_t pad2[6];
  uint8_t* data;  // 8 bytes: count, then up to 7 data bytes
};
static_assert(sizeof(HtInfoBlock) == 16);

struct BrsBlock {
  uint32_t version;
  uint32_t pad4;
  char* module_path;
  void* brs_block;
};
static_assert(sizeof(BrsBlock) == 24 && offsetof(BrsBlock, brs_block) == 16);

// A length of the fixed-size info blocks: count byte and seven data bytes.
inline constexpr size_t kInfoBlockBytes = 8;

struct JobLayoutStruct {
  uint16_t version;
  uint16_t pad2;
  int32_t colour_kind;
  int32_t mode_value_a;
  int32_t resolution_x;
  int32_t resolution_y;
  int32_t mode_value36_low;
  int32_t mode_value36_high;
  int32_t width;
  int32_t height;
  int32_t printable_width_a;
  int32_t printable_height_a;
  int32_t printable_width_b;
  int32_t printable_height_b;
  int32_t margin_balance;
  int32_t top_margin;
  uint32_t media_type;
  int32_t head_passes;
  int32_t copies;
  uint32_t print_flags;
  uint32_t job_options;
  int32_t zero80;
  int32_t default_source;
  int32_t output_paper;
  uint16_t word92;
  uint16_t pad94;
  int64_t zero96;
  int32_t mode_value_b;
  uint32_t pad108;
  LayoutOffsetBlock* layout_offset;
  int32_t roll_left_margin;
  uint32_t pad124;
  char* status_text;
  MediaTuningBlock* media_tuning;
  InkTextBlock* ink_text;
  PrintableAreaBlock* printable_area;
  int32_t paper_page_option;
  uint32_t pad164;
  HtInfoBlock* head_info;
  int32_t zero176;
  uint32_t pad180;
  char* output_module;
  BrsBlock* brs;
};
static_assert(sizeof(JobLayoutStruct) == 200);
static_assert(offsetof(JobLayoutStruct, colour_kind) == 4 && offsetof(JobLayoutStruct, width) == 28 &&
              offsetof(JobLayoutStruct, margin_balance) == 52 && offsetof(JobLayoutStruct, media_type) == 60 &&
              offsetof(JobLayoutStruct, print_flags) == 72 && offsetof(JobLayoutStruct, output_paper) == 88 &&
              offsetof(JobLayoutStruct, word92) == 92 && offsetof(JobLayoutStruct, zero96) == 96 &&
              offsetof(JobLayoutStruct, mode_value_b) == 104 && offsetof(JobLayoutStruct, layout_offset) == 112 &&
              offsetof(JobLayoutStruct, roll_left_margin) == 120 && offsetof(JobLayoutStruct, status_text) == 128 &&
              offsetof(JobLayoutStruct, media_tuning) == 136 && offsetof(JobLayoutStruct, ink_text) == 144 &&
              offsetof(JobLayoutStruct, printable_area) == 152 && offsetof(JobLayoutStruct, paper_page_option) == 160 &&
              offsetof(JobLayoutStruct, head_info) == 168 && offsetof(JobLayoutStruct, zero176) == 176 &&
              offsetof(JobLayoutStruct, output_module) == 184 && offsetof(JobLayoutStruct, brs) == 192);

// Family 2.
struct ToneBlock {
  uint32_t version;
  int32_t circle_x;
  int32_t circle_y;
  int32_t gamma;
  int32_t adjust[6];  // adjustment items 0, 1, 6, 7, 8 and 11
};
static_assert(sizeof(ToneBlock) == 40);

inline constexpr size_t kCwListBytes = 32;

struct ColorHalftoneStruct {
  uint16_t version;
  uint16_t pad2;
  int32_t mode_code;
  int32_t zero8;
  int32_t method;
  int32_t tone1;
  int32_t tone2;
  int32_t colour_tone[4];
  int32_t base_value;
  int32_t zero44;
  uint8_t* cw_list;     // kCwListBytes
  char* ccm_key_path;   // kRecordPathBytes
  uint8_t* iwf;         // kInfoBlockBytes
  uint8_t* high_precision_id;
  char* calibration_file;
  ToneBlock* tone;
};
static_assert(sizeof(ColorHalftoneStruct) == 96);
static_assert(offsetof(ColorHalftoneStruct, method) == 12 && offsetof(ColorHalftoneStruct, colour_tone) == 24 &&
              offsetof(ColorHalftoneStruct, base_value) == 40 && offsetof(ColorHalftoneStruct, cw_list) == 48 &&
              offsetof(ColorHalftoneStruct, ccm_key_path) == 56 && offsetof(ColorHalftoneStruct, iwf) == 64 &&
              offsetof(ColorHalftoneStruct, high_precision_id) == 72 &&
              offsetof(ColorHalftoneStruct, calibration_file) == 80 && offsetof(ColorHalftoneStruct, tone) == 88);

// DRVUIGetJobDataEx2's record (at least 310 bytes; bytes 20 to 279 are the caller's).
struct JobDataEx2Info {
  int32_t version;
  int32_t margins[4];  // left, top, right, bottom
  uint8_t callers[260];
  int32_t print_length;
  int32_t edges[4];  // left, top, right, bottom adjustments
  int32_t paper_handling;
  int32_t flag;
  uint16_t output_paper;
};
static_assert(offsetof(JobDataEx2Info, print_length) == 280 && offsetof(JobDataEx2Info, edges) == 284 &&
              offsetof(JobDataEx2Info, paper_handling) == 300 && offsetof(JobDataEx2Info, flag) == 304 &&
              offsetof(JobDataEx2Info, output_paper) == 308);
inline constexpr size_t kJobDataEx2Bytes = 310;

}  // namespace kalimu::driver
