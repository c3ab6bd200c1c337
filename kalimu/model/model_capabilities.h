// The printer model's capability database: loads the model configuration file on the first
// query and answers every capability question from the loaded tables.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <type_traits>

#include "kalimu/model/cfg_records.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::model {

// Getters widen a field to 32 bits: signed fields by sign into int32_t, unsigned ones by zero
// into uint32_t.
template <class T>
using QueryOut = std::conditional_t<std::is_signed_v<T>, int32_t, uint32_t>;

inline constexpr char kUiMessageCaption[] = "UI DLL Message";
inline constexpr char kCfgVersionMessage[] = "Version Error of cfg data. Please install again.";
inline constexpr char kDatVersionMessage[] = "Version Error of dat data. Please install again.";

class ModelCapabilities {
 public:
  ModelCapabilities() = default;
  virtual ~ModelCapabilities() = default;
  ModelCapabilities(const ModelCapabilities&) = delete;
  ModelCapabilities& operator=(const ModelCapabilities&) = delete;

  // The owner initialises both with the printer and driver names before the first query.
  storage::DriverModuleLocator& locator() { return locator_; }
  storage::DriverRegistry& registry() { return registry_; }

  // Load checks: (re)load the file while the version word, the header check word or the
  // LFP-present word is 0. Each answers 1.
  int EnsureCfgLoaded();
  int EnsureTablesLoaded();
  int EnsureLfpLoaded();

  // The queries. Every one answers 1 or 0; see model_query_list.inc for their fields.
#define KM_TEST_HEADER(name, offset, type, check) int name(uint32_t mask);
#define KM_TEST_LFP(name, offset, type, check) int name(uint32_t mask);
#define KM_TEST_ROW(name, table, offset, type, check) int name(int16_t index, uint32_t mask);
#define KM_TEST_ROW_LOW16(name, table, offset, type, check) int name(int16_t index, uint32_t mask);
#define KM_COUNT(name, expression) int name(uint32_t* out);
#define KM_GET_HEADER(name, offset, type) int name(QueryOut<type>* out);
#define KM_GET_HEADER_BYTES(name, offset, field_size) int name(void* out, uint32_t size);
#define KM_GET_LFP(name, offset, type) int name(QueryOut<type>* out);
#define KM_GET_ROW(name, table, offset, type) int name(uint16_t index, QueryOut<type>* out);
#define KM_GET_ROW_BYTES(name, table, offset, field_size) int name(uint16_t index, void* out, uint32_t size);
#define KM_SET_ROW(name, table, offset, type) int name(uint16_t index, const QueryOut<type>* in);
#define KM_SET_ROW_BYTES(name, table, offset, field_size) int name(uint16_t index, const void* in, uint32_t size);
#include "kalimu/model/model_query_list.inc"

  int GetPrintModeValue30(uint16_t index, int32_t* out);

  // Byte 16 of a preset record (model or user slot); null when the index is past the slots.
  uint8_t* GetPresetData(uint16_t index);
  // The ink-id length by the ink-word rule (at most 16) and the ink count (bits 0-7).
  uint32_t GetInkIdLength();
  uint32_t GetInkCount();
  int ComparePresetRecord(uint16_t index, const void* record, uint32_t size);
  void GetStatusModelInfo(StatusModelInfo* out);

  // Message box without owner, caption "UI DLL Message", error icon, OK button.
  virtual int ShowErrorMessage(const char* text);

  // Loading.
  void LoadCfgFile();
  // No buffer: the size of the current variant file (0 when it cannot be opened).
  // With a buffer: reads size bytes of it and answers 0.
  uint32_t ReadCfgFile(void* buffer, uint32_t size);
  int LoadInkSetTable();
  int ReloadInkSetTable();

  // Ink sets.
  int GetInkSetCodes(uint16_t index, uint8_t* out, uint32_t size);
  uint16_t FindInkSet(const uint8_t codes[kInkCodeCount]);
  void ReadInkInfo(InkInfoValue* out);
  uint16_t FindCurrentInkSet();
  // The base file's default ink set (0 when the table cannot be loaded).
  uint16_t GetDefaultInkSetIndex();
  void FormatInkSetSuffix(uint16_t index, char* out, size_t len);
  // Copies up to `count` code bytes of the header's selected ink set, those whose bit is set in
  // the ink-code mask, in rising order; answers the number copied.
  uint32_t GetSelectedInkCodes(uint8_t* buffer, uint16_t count);

  // Full paths of the current variant configuration file and user-settings file; 1.
  int GetVariantCfgFilePath(char* out, size_t len);
  int GetUcfFilePath(char* out, size_t len);

 protected:
  // Take the ink-set table from the bytes of the base file, the rest from the bytes of the
  // variant file. A bad or truncated file shows its version message and leaves nothing held.
  int AdoptInkSetTable(std::span<const uint8_t> base_file);
  void AdoptCfgImage(std::span<const uint8_t> variant_file);

 private:
  enum class LoadCheck { kCfg, kTables };

  void ClearTables();
  void ReportVersionError(const char* text);
  void Ensure(LoadCheck check);
  int FormatCurrentSuffix(char* out, size_t len);
  uint32_t RowCount(CapTable table) const;
  uint8_t* Row(CapTable table, uint32_t index) const;

  template <class T>
  int TestHeader(uint32_t offset, LoadCheck check, uint32_t mask);
  template <class T>
  int TestLfp(uint32_t offset, LoadCheck check, uint32_t mask);
  template <class T>
  int TestRow(CapTable table, uint32_t offset, LoadCheck check, int16_t index, uint32_t mask);
  template <class T>
  int GetHeader(uint32_t offset, QueryOut<T>* out);
  int GetHeaderBytes(uint32_t offset, uint32_t field_size, void* out, uint32_t size);
  template <class T>
  int GetLfp(uint32_t offset, QueryOut<T>* out);
  template <class T>
  int GetRow(CapTable table, uint32_t offset, uint16_t index, QueryOut<T>* out);
  int GetRowBytes(CapTable table, uint32_t offset, uint32_t field_size, uint16_t index, void* out, uint32_t size);
  template <class T>
  int SetRow(CapTable table, uint32_t offset, uint16_t index, const QueryOut<T>* in);
  int SetRowBytes(CapTable table, uint32_t offset, uint32_t field_size, uint16_t index, const void* in,
                  uint32_t size);
  int Count(uint32_t value, uint32_t* out);

  // Version block (version_ 0 = not loaded) and derived counts.
  uint16_t version_ = 0;
  uint16_t group_count_[3] = {};
  uint16_t user_settings_capacity_ = 0;
  uint16_t user_paper_capacity_ = 0;
  uint32_t preset_count_ = 0;
  uint32_t preset_slot_count_ = 0;
  uint32_t group01_count_ = 0;

  // Header (header_check_ 0 = not loaded) and the eight tables.
  uint16_t header_check_ = 0;
  platform::GlobalBlock header_;
  platform::GlobalBlock presets_;  // preset slots x 128: the model presets, then zeroed user slots
  platform::GlobalBlock tables_;
  uint16_t table_count_[kCapTableCount] = {};
  uint32_t table_start_[kCapTableCount] = {};

  // LFP block (lfp_present_ 0 = not loaded).
  platform::GlobalBlock lfp_header_;
  platform::GlobalBlock lfp_records_;
  uint16_t lfp_record_offset_ = 0;
  uint16_t lfp_present_ = 0;
  uint32_t lfp_value_ = 0;
  uint16_t lfp_record_count_ = 0;

  // Ink-set table of the base file.
  platform::GlobalBlock ink_sets_;
  uint16_t ink_set_count_ = 0;
  uint16_t default_ink_set_ = 0;
  uint32_t ink_code_mask_ = 0;
  uint32_t ink_id_length_ = 0;

  uint32_t cfg_value40_ = 0;  // never filled by loading

  // One load shows at most one version message.
  bool loading_ = false;
  bool load_message_shown_ = false;

  storage::DriverModuleLocator locator_;
  storage::DriverRegistry registry_;
};

}  // namespace kalimu::model
