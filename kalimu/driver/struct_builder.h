// The record builder of a rendering-library handle: reads the record versions the model allows,
// allocates the records and their sub-records as global-memory blocks, fills them from the
// handle's settings (under a temporary copy of the settings where a family asks for one) and
// frees them again. Its 72 bytes are reachable through the handle, and the rendering library
// may set builder flag 0x02 there.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/driver/render_records.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {

// Builder error word.
inline constexpr uint32_t kBuilderOk = 0;
inline constexpr uint32_t kBuilderBadRequest = 1;  // version, family, record or job record
inline constexpr uint32_t kBuilderNoMemory = 2;

// Builder flags.
inline constexpr uint32_t kBuilderReselectMode = 0x02;
inline constexpr uint32_t kBuilderReselectFailed = 0x1000;
inline constexpr uint32_t kBuilderBrsMade = 0x40000000;

class StructBuilder {
 public:
  // Unlocks and frees a block of AllocBlock (or any locked global block); null is ignored.
  static void FreeBlock(const void* block);

  // A zero-filled locked global block; null while the error word is set or for size 0. A failed
  // allocation sets error 2.
  void* AllocBlock(size_t size);

  // A request begins: the error of an earlier request is forgotten.
  void BeginRequest() { error = kBuilderOk; }

  // Reads the versions, checks them and allocates the empty record of a family; null (error 1
  // or 2) when it cannot.
  void* NewRecord(int family, MelvoJobRecord* job);
  // Fills a record made by NewRecord; its failures show only in the error word. 1 when filled.
  int FillRecord(int family, void* record, MelvoJobRecord* job);
  // Frees a record and every sub-record it holds.
  void FreeRecord(int family, void* record);

  void ReadVersions(settings::JobSettings& settings);

  // The fields, in their order and widths.
  uint32_t error;
  uint16_t version0;  // JobLayoutStruct, 1..9
  uint16_t version2;  // ColorHalftoneStruct, 1..3
  uint16_t layout_offset_version;
  uint16_t media_tuning_version;
  uint16_t ink_text_version;
  uint16_t printable_area_version;
  uint16_t head_info_version;
  uint16_t pad18;
  uint32_t tone_version;
  uint32_t brs_version;
  uint32_t pad28;
  settings::JobSettings* saved_settings;
  uint8_t* work_dev_mode;
  uint32_t flags;
  uint32_t pad52;
  void* spare_block;
  void* brs_block;

 private:
  // Families 0 and 2: the temporary settings the job flags and the roll rule ask for.
  void PrepareSettings(MelvoJobRecord* job);
  void RestoreSettings(MelvoJobRecord* job);

  // The families (job_layout_record.cpp, colour_halftone_record.cpp, module_paths_record.cpp).
  JobLayoutStruct* NewJobLayout();
  void FillJobLayout(JobLayoutStruct* record, MelvoJobRecord* job);
  void FreeJobLayout(JobLayoutStruct* record);
  ColorHalftoneStruct* NewColorHalftone();
  void FillColorHalftone(ColorHalftoneStruct* record, MelvoJobRecord* job);
  void FreeColorHalftone(ColorHalftoneStruct* record);
  ModulePathsStruct* NewModulePaths();
  void FillModulePaths(ModulePathsStruct* record, MelvoJobRecord* job);
  void FillOutputResourceList(ModulePathsStruct* record, settings::JobSettings& settings);
  void FreeModulePaths(ModulePathsStruct* record);

  // The sub-records of the job layout record.
  void FillMediaTuning(JobLayoutStruct* record, settings::JobSettings& settings);
  void FillInkText(JobLayoutStruct* record, settings::JobSettings& settings, const MelvoJobRecord& job);
  void FillHeadInfo(JobLayoutStruct* record, settings::JobSettings& settings);
  void FillBrs(JobLayoutStruct* record, settings::JobSettings& settings);
  // The blocks of the colour and halftone record.
  void FillCwList(ColorHalftoneStruct* record, settings::JobSettings& settings);
  void FillCcmKeyPath(ColorHalftoneStruct* record, settings::JobSettings& settings);
  void FillIwf(ColorHalftoneStruct* record, settings::JobSettings& settings);
  void FillHighPrecisionId(ColorHalftoneStruct* record, settings::JobSettings& settings);
  void FillCalibrationFile(ColorHalftoneStruct* record, settings::JobSettings& settings, const MelvoJobRecord& job);
  // A REG_SZ or binary stored value read whole into a new builder block; null when it cannot be.
  uint8_t* ReadStoredValueBlock(settings::JobSettings& settings, const char* sub_key, int id);
};
static_assert(sizeof(StructBuilder) == 72);
static_assert(offsetof(StructBuilder, version0) == 4 && offsetof(StructBuilder, head_info_version) == 16 &&
              offsetof(StructBuilder, tone_version) == 20 && offsetof(StructBuilder, brs_version) == 24 &&
              offsetof(StructBuilder, saved_settings) == 32 && offsetof(StructBuilder, work_dev_mode) == 40 &&
              offsetof(StructBuilder, flags) == 48 && offsetof(StructBuilder, spare_block) == 56 &&
              offsetof(StructBuilder, brs_block) == 64);

// The settings a job record's records are built from.
inline settings::JobSettings* JobSettingsOf(const MelvoJobRecord& job) {
  return static_cast<settings::JobSettings*>(job.settings);
}

}  // namespace kalimu::driver
