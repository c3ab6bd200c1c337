// Family 2: the colour and halftone record: mode code, method, tone values, the ink-correction
// lines, the colour-correction key, and from version 3 on the printer's identification, the
// calibration file and the monochrome tone block.
#include <cstdio>
#include <cstring>

#include "kalimu/driver/job_layout_geometry.h"
#include "kalimu/driver/struct_builder.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/storage/driver_registry.h"
#include "kalimu/storage/registry_views.h"

namespace kalimu::driver {
namespace {

using MC = model::ModelCapabilities;

constexpr int32_t kBaseTone = 180;
constexpr int32_t kBaseToneDark = 220;
constexpr uint8_t kCwKindDefault = 1;
constexpr uint8_t kCwInkDefault = '2';
constexpr uint8_t kCwLineEnd = 0xFE;
constexpr uint8_t kCwListEnd = 0xFF;
constexpr size_t kHeadIdEntries = 10;  // entries of each array of the stored head identification
constexpr uint8_t kIwfDefault = 50;
constexpr char kCcmKeyBase[] = "SOFTWARE\\NORVA\\PRINTER\\CCM\\";
constexpr char kCcmKeyTail[] = "\\XXXXXXXXXXXXXXXXXX";

// Stored head identification (value 116): valid word, then two arrays of 32-bit entries.
struct StoredHeadId {
  uint32_t valid;
  uint32_t length;
  uint32_t first[kHeadIdEntries];
  uint32_t words48[6];
  uint32_t second[kHeadIdEntries];
};
static_assert(sizeof(StoredHeadId) == 112 && offsetof(StoredHeadId, first) == 8 &&
              offsetof(StoredHeadId, second) == 72);

int32_t CodeOfValue(int32_t d) {
  switch (d) {
    case 0: return 10;
    case 1: return 0;
    case 2: return 2;
    case 3: return 4;
    case 4: return 5;
    case 5: return 11;
    case 6: return 6;
    case 7: return 4;
    case 8:
    case 9:
    case 10: return 6;
    case 11: return 7;
    default: return 4;
  }
}

int32_t ModeCode(settings::JobSettings& s, const MelvoJobRecord& job) {
  if ((job.flags & kJobFlagHandle) && s.IsProfileSelectionValid()) return 4;
  const int32_t k = s.GetColorMode();
  const int32_t q = s.GetQualityLevel();
  const int32_t base = ModeValueByVariant<int32_t>(s, &MC::GetPrintModeValue206, &MC::GetPrintModeValue78,
                                                   &MC::GetPrintModeValue142);
  auto value = [&](int (MC::*v2)(uint16_t, int32_t*), int (MC::*v1)(uint16_t, int32_t*),
                   int (MC::*v0)(uint16_t, int32_t*)) { return ModeValueByVariant<int32_t>(s, v2, v1, v0); };
  const bool borderless_base = s.TestPaperOptionBits(1) && s.TestPaperOptionBits(0x100);
  const bool use_base = borderless_base || (job.flags & kJobFlag100);
  switch (k) {
    case 0:
      // Qualities 7 and above 10 take the mode's base value; the others map as values do.
      return CodeOfValue(q == 7 || q > 10 ? base : q);
    case 1: return CodeOfValue(value(&MC::GetPrintModeValue210, &MC::GetPrintModeValue82, &MC::GetPrintModeValue146));
    case 2:
      return CodeOfValue(use_base ? base
                                  : value(&MC::GetPrintModeValue208, &MC::GetPrintModeValue80, &MC::GetPrintModeValue144));
    case 3: return CodeOfValue(value(&MC::GetPrintModeValue212, &MC::GetPrintModeValue84, &MC::GetPrintModeValue148));
    case 4: return 4;
    case 5: return CodeOfValue(value(&MC::GetPrintModeValue208, &MC::GetPrintModeValue80, &MC::GetPrintModeValue144));
    case 6:
      return CodeOfValue(use_base ? base
                                  : value(&MC::GetPrintModeValue214, &MC::GetPrintModeValue86, &MC::GetPrintModeValue150));
    case 7: return CodeOfValue(value(&MC::GetPrintModeValue216, &MC::GetPrintModeValue88, &MC::GetPrintModeValue152));
    default: return CodeOfValue(base);
  }
}

int32_t Method(uint32_t choice) {
  switch (choice) {
    case 0: return 0;
    case 1: return 2;
    case 2: return 3;
    default: return 1;
  }
}

void ToneValues(settings::JobSettings& s, ColorHalftoneStruct* r) {
  r->base_value = kBaseTone;
  const int32_t w16 = s.GetColorMode();
  const int32_t w18 = s.GetQualityLevel();
  const int32_t w22 = s.GetGamma();
  const bool variant2 = s.TestModelHeaderFlags24(0x8000) && s.GetModeVariant() == 2;
  const bool special =
      !variant2 && s.GetColor() == 2 &&
      s.TestPrintModeFlags76(static_cast<int16_t>(s.FindModeIndexForVariant1(s.GetCurrentModeIndex())), 0x40) &&
      s.IsSpecialQualityLevel();
  if (w16 != 0) {
    if (w16 == 3) r->base_value = kBaseToneDark;
    return;
  }
  if (special || w18 == 8 || w18 == 9) return;
  r->tone1 = s.GetAdjustItem0();
  r->tone2 = s.GetAdjustItem1();
  if (w22 != 0) r->base_value = w22;
  if (s.GetColor() == 2 && w18 != 3) {
    r->colour_tone[0] = s.GetAdjustItem2();
    r->colour_tone[1] = s.GetAdjustItem3();
    r->colour_tone[2] = s.GetAdjustItem4();
    r->colour_tone[3] = s.GetAdjustItem5();
  }
}

uint8_t CwKind(uint32_t id_length) {
  switch (id_length) {
    case 4: return 2;
    case 6: return 3;
    case 7: return 4;
    default: return kCwKindDefault;
  }
}

// A stored switch value (HPIInfo, CRIInfo): on when it can be read and bit 0 or bit 1 is set.
bool StoredValueEnables(settings::JobSettings& s, int id) {
  uint32_t value = 0;
  DWORD size = sizeof(value);
  return s.ReadRegistryValue(nullptr, nullptr, id, &value, &size, storage::kViewDefault) == ERROR_SUCCESS &&
         (value & 3) != 0;
}

}  // namespace

ColorHalftoneStruct* StructBuilder::NewColorHalftone() {
  auto* record = static_cast<ColorHalftoneStruct*>(AllocBlock(sizeof(ColorHalftoneStruct)));
  if (record == nullptr) return nullptr;
  record->cw_list = static_cast<uint8_t*>(AllocBlock(kCwListBytes));
  record->ccm_key_path = static_cast<char*>(AllocBlock(kRecordPathBytes));
  record->iwf = static_cast<uint8_t*>(AllocBlock(kInfoBlockBytes));
  if (record->cw_list == nullptr || record->ccm_key_path == nullptr || record->iwf == nullptr) {
    FreeRecord(kFamilyColorHalftone, record);
    return nullptr;
  }
  return record;
}

void StructBuilder::FillColorHalftone(ColorHalftoneStruct* r, MelvoJobRecord* job) {
  settings::JobSettings& s = *JobSettingsOf(*job);
  r->version = version2;
  r->mode_code = ModeCode(s, *job);
  r->method = Method(s.GetRenderMethod());
  ToneValues(s, r);
  FillCwList(r, s);
  FillCcmKeyPath(r, s);
  FillIwf(r, s);
  if (version2 <= 2) return;
  FillHighPrecisionId(r, s);
  FillCalibrationFile(r, s, *job);
  if (tone_version == 1 && s.TestModelHeaderFlags24(0x8000) && s.GetModeVariant() == 2) {
    if (auto* tone = static_cast<ToneBlock*>(AllocBlock(sizeof(ToneBlock)))) {
      *tone = {tone_version,
               s.GetAdjustItem9(),
               s.GetAdjustItem10(),
               static_cast<int32_t>(s.GetGamma()),
               {s.GetAdjustItem0(), s.GetAdjustItem1(), s.GetAdjustItem6(), s.GetAdjustItem7(), s.GetAdjustItem8(),
                s.GetAdjustItem11()}};
      r->tone = tone;
    }
  }
}

void StructBuilder::FillCwList(ColorHalftoneStruct* r, settings::JobSettings& s) {
  if (r->cw_list == nullptr) return;
  const uint32_t inks = s.TestModelHeaderFlags36(0x100) ? s.GetInkCount() : 0;
  const uint32_t lines = s.TestModelHeaderFlags20(0x2000) ? 2 : 1;
  // The lines and the end byte must fit the block.
  if (inks == 0 || (inks + 5) * lines + 1 > kCwListBytes) {
    FreeBlock(r->cw_list);
    r->cw_list = nullptr;
    return;
  }
  StoredHeadId head{};
  DWORD size = sizeof(head);
  const bool stored = s.ReadRegistryValue(nullptr, nullptr, storage::kValueRxHeadId, &head, &size,
                                          storage::kViewDefault) == ERROR_SUCCESS &&
                      head.valid == 1;
  const bool second_only = s.TestModelHeaderFlags36(0x4000) &&
                           s.TestPrintModeFlags20(static_cast<int16_t>(s.GetCurrentModeIndex()), 0x400000);
  const uint8_t kind = CwKind(s.GetInkIdLength());
  uint8_t list[kCwListBytes] = {};
  size_t at = 0;
  for (uint32_t line = 0; line < lines; ++line) {
    const uint32_t* entries = (second_only || line == 1) ? head.second : head.first;
    list[at++] = 'C';
    list[at++] = 'W';
    list[at++] = ':';
    list[at++] = kind;
    for (uint32_t i = 0; i < inks; ++i) {
      list[at++] = stored && i < kHeadIdEntries ? static_cast<uint8_t>(entries[i] & 0xFF) : kCwInkDefault;
    }
    list[at++] = kCwLineEnd;
  }
  list[at] = kCwListEnd;
  std::memcpy(r->cw_list, list, kCwListBytes);
}

void StructBuilder::FillCcmKeyPath(ColorHalftoneStruct* r, settings::JobSettings& s) {
  if (r->ccm_key_path == nullptr) return;
  uint16_t flag = 0;
  DWORD size = sizeof(flag);
  if (s.ReadRegistryValue(nullptr, nullptr, storage::kValueCalibrationFlag, &flag, &size, storage::kView32) ==
          ERROR_SUCCESS &&
      (flag & 3)) {
    char model_name[kRecordPathBytes] = {};
    s.GetModelName(model_name, sizeof(model_name));
    platform::CopyStringA(r->ccm_key_path, kRecordPathBytes, kCcmKeyBase);
    platform::AppendStringA(r->ccm_key_path, kRecordPathBytes, model_name);
    platform::AppendStringA(r->ccm_key_path, kRecordPathBytes, kCcmKeyTail);
    return;
  }
  FreeBlock(r->ccm_key_path);
  r->ccm_key_path = nullptr;
}

void StructBuilder::FillIwf(ColorHalftoneStruct* r, settings::JobSettings& s) {
  if (r->iwf == nullptr) return;
  uint32_t count = 0;
  s.GetModelHeaderByte77(&count);
  // The block holds a count byte and seven data bytes: a larger count is refused.
  if (!s.TestModelHeaderFlags40(1) || count == 0 || count >= kInfoBlockBytes) {
    FreeBlock(r->iwf);
    r->iwf = nullptr;
    return;
  }
  uint8_t stored[kInfoBlockBytes] = {};
  DWORD size = sizeof(stored);
  if (s.ReadRegistryValue(nullptr, nullptr, storage::kValueKvIwfInfo, stored, &size, storage::kViewDefault) !=
          ERROR_SUCCESS ||
      stored[0] != count) {
    std::memset(stored, 0, sizeof(stored));
    stored[0] = static_cast<uint8_t>(count);
    std::memset(stored + 1, kIwfDefault, count);
  }
  std::memcpy(r->iwf, stored, count + 1);
}

uint8_t* StructBuilder::ReadStoredValueBlock(settings::JobSettings& s, const char* sub_key, int id) {
  const int view = sub_key != nullptr ? storage::kView32 : storage::kViewDefault;
  uint8_t probe = 0;
  DWORD size = sizeof(probe);
  const LONG asked = s.ReadRegistryValue(sub_key, nullptr, id, &probe, &size, view);
  if ((asked != ERROR_SUCCESS && asked != ERROR_MORE_DATA) || size == 0) return nullptr;
  // One byte more than the value: a text always ends in its terminator.
  auto* block = static_cast<uint8_t*>(AllocBlock(size + 1));
  if (block == nullptr) return nullptr;
  if (s.ReadRegistryValue(sub_key, nullptr, id, block, &size, view) != ERROR_SUCCESS) {
    FreeBlock(block);
    return nullptr;
  }
  return block;
}

void StructBuilder::FillHighPrecisionId(ColorHalftoneStruct* r, settings::JobSettings& s) {
  if (!s.TestModelHeaderFlags24(0x10000)) return;
  if (!StoredValueEnables(s, storage::kValueHpiInfo)) return;
  r->high_precision_id = ReadStoredValueBlock(s, nullptr, storage::kValueHighPrecisionId);
}

void StructBuilder::FillCalibrationFile(ColorHalftoneStruct* r, settings::JobSettings& s, const MelvoJobRecord& job) {
  if (!(job.flags & kJobFlagHandle) || !s.TestModelHeaderFlags24(0x20000) ||
      (s.TestModelHeaderFlags24(0x8000) && s.GetModeVariant() == 2) || s.GetColor() != 2) {
    return;
  }
  if (!StoredValueEnables(s, storage::kValueCriInfo)) return;
  uint8_t* serial = ReadStoredValueBlock(s, nullptr, storage::kValueSerialNo);
  if (serial == nullptr) return;
  int32_t mode_value = 0;
  s.GetPrintModeValue104(s.FindModeIndexForVariant1(s.GetCurrentModeIndex()), &mode_value);
  char sub_key[kRecordPathBytes] = {};
  if (mode_value != 0) {
    char number[20] = {};
    std::snprintf(number, sizeof(number), "%06d\\", mode_value);
    platform::CopyStringA(sub_key, sizeof(sub_key), reinterpret_cast<const char*>(serial));
    platform::AppendStringA(sub_key, sizeof(sub_key), "\\");
    platform::AppendStringA(sub_key, sizeof(sub_key), number);
  }
  FreeBlock(serial);
  if (mode_value == 0) return;
  uint32_t flag = 0;
  DWORD size = sizeof(flag);
  if (s.ReadRegistryValue(sub_key, nullptr, storage::kValueYantraFlag, &flag, &size, storage::kView32) !=
          ERROR_SUCCESS ||
      flag != 1) {
    return;
  }
  auto* file_name = reinterpret_cast<char*>(ReadStoredValueBlock(s, sub_key, storage::kValueCalFn));
  if (file_name == nullptr) return;
  platform::UniqueFileHandle file(CreateFileA(file_name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    FreeBlock(file_name);
    return;
  }
  r->calibration_file = file_name;
}

void StructBuilder::FreeColorHalftone(ColorHalftoneStruct* r) {
  FreeBlock(r->cw_list);
  FreeBlock(r->ccm_key_path);
  FreeBlock(r->iwf);
  FreeBlock(r->high_precision_id);
  FreeBlock(r->calibration_file);
  FreeBlock(r->tone);
}

}  // namespace kalimu::driver
