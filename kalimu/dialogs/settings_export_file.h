// Exported user settings (".csf" files): a header naming the printer model, then one record per
// exported entry, with the entry's texts as ANSI text. Plain computation over bytes, no Windows
// headers: the file is hostile input, so every text is read only within its own field and
// always comes out terminated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kalimu::dialogs {

#pragma pack(push, 1)

struct SettingsExportHeader {
  uint16_t cfg_version;   // the model file's configuration version
  uint16_t reserved2;     // 0
  uint16_t record_count;  // records that follow
  uint16_t reserved6;     // 0
  uint32_t refuse_flag;   // written as 0; non-zero: records marked at byte 296 are refused
  uint8_t ink_codes[16];  // the model's identifying ink set
  char driver_name[256];  // ANSI, terminated; the rest 0
};
static_assert(sizeof(SettingsExportHeader) == 284);
static_assert(offsetof(SettingsExportHeader, record_count) == 4);
static_assert(offsetof(SettingsExportHeader, refuse_flag) == 8);
static_assert(offsetof(SettingsExportHeader, ink_codes) == 12);
static_assert(offsetof(SettingsExportHeader, driver_name) == 28);

// A user-settings entry with its eight wide texts as ANSI text; the rest unchanged.
struct SettingsExportRecord {
  char name[64];
  char profile_names[6][32];
  uint8_t colour_tail[24];  // the rest of the colour settings block
  uint8_t preset[128];      // the preset record
};
static_assert(sizeof(SettingsExportRecord) == 408);
static_assert(offsetof(SettingsExportRecord, profile_names) == 64);
static_assert(offsetof(SettingsExportRecord, colour_tail) == 256);
static_assert(offsetof(SettingsExportRecord, preset) == 280);

#pragma pack(pop)

inline constexpr size_t kRecordRefuseMarkOffset = 296;  // uint16: 1 = refused under the flag
inline constexpr size_t kRecordStateOffset = 404;       // uint16: 2 = in use
inline constexpr uint16_t kImportedEntryState = 2;

// Bytes of a file holding `count` records.
constexpr size_t SettingsExportFileSize(size_t count) {
  return sizeof(SettingsExportHeader) + count * sizeof(SettingsExportRecord);
}
static_assert(SettingsExportFileSize(2) == 1100);

// What identifies the printer model a file belongs to.
struct SettingsExportIdentity {
  uint16_t cfg_version = 0;
  uint8_t ink_codes[16] = {};
  char driver_name[256] = {};  // terminated
};

enum class ExportFileStatus { kOk, kShortHeader, kShortRecord };

// Answers of the header check: the message-table row that explains a refusal.
enum class HeaderVerdict : int {
  kAccept = 0,
  kVersionDiffers = 21,
  kInkCodesDiffer = 22,
  kDriverDiffers = 23,
  kNoRoom = 24,
};

// The header that names the model and announces `count` records; the rest zero.
SettingsExportHeader MakeSettingsExportHeader(const SettingsExportIdentity& model, uint16_t count);

// The header from the first bytes of a file, its driver name terminated within its field.
ExportFileStatus ReadSettingsExportHeader(std::span<const uint8_t> bytes, SettingsExportHeader* out);
// Record `index` of a whole file's bytes, its texts terminated within their fields and the bytes
// after each terminator zero.
ExportFileStatus ReadSettingsExportRecord(std::span<const uint8_t> file, size_t index, SettingsExportRecord* out);
// The same for one record's own bytes.
ExportFileStatus DecodeSettingsExportRecord(std::span<const uint8_t> bytes, SettingsExportRecord* out);

// Whether the file may go into this model's store holding `in_use` of `capacity` entries; every
// record counts as new, also those that will overwrite an entry.
HeaderVerdict CheckSettingsExportHeader(const SettingsExportHeader& header, const SettingsExportIdentity& model,
                                        uint32_t in_use, uint32_t capacity);

// Whether the header's refuse flag keeps this record out.
bool IsRecordRefused(const SettingsExportHeader& header, const SettingsExportRecord& record);

uint16_t GetRecordState(const SettingsExportRecord& record);
void SetRecordState(SettingsExportRecord* record, uint16_t state);

// Copies text into a field of field_bytes, at most field_bytes - 1 bytes, zero-filling the rest.
void PutFieldText(char* field, size_t field_bytes, const char* text);

}  // namespace kalimu::dialogs
