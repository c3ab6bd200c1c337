// The capability queries: one generic operation per family, instantiated for every field
// declared in model_query_list.inc.
#include <cstring>

#include "kalimu/model/cfg_parser.h"
#include "kalimu/model/model_capabilities.h"

namespace kalimu::model {
namespace {

template <class T>
QueryOut<T> Widen(const uint8_t* field) {
  T value;
  std::memcpy(&value, field, sizeof(T));
  return static_cast<QueryOut<T>>(value);
}

template <class T>
void Narrow(uint8_t* field, QueryOut<T> value) {
  const T narrow = static_cast<T>(value);
  std::memcpy(field, &narrow, sizeof(T));
}

// Flag tests widen the field to 32 bits first (signed fields by sign) and test the mask.
template <class T>
int TestBits(const uint8_t* field, uint32_t mask) {
  return (static_cast<uint32_t>(Widen<T>(field)) & mask) != 0 ? 1 : 0;
}

}  // namespace

void ModelCapabilities::Ensure(LoadCheck check) {
  if (check == LoadCheck::kCfg) {
    EnsureCfgLoaded();
  } else {
    EnsureTablesLoaded();
  }
}

uint32_t ModelCapabilities::RowCount(CapTable table) const {
  switch (table) {
    case CapTable::kPreset:
      return presets_.held() ? preset_count_ : 0;
    case CapTable::kLfp:
      return lfp_records_.held() ? lfp_record_count_ : 0;
    default:
      return header_check_ != 0 ? table_count_[static_cast<int>(table)] : 0;
  }
}

uint8_t* ModelCapabilities::Row(CapTable table, uint32_t index) const {
  if (index >= RowCount(table)) return nullptr;
  switch (table) {
    case CapTable::kPreset:
      return presets_.data() + size_t{index} * sizeof(PresetRecord);
    case CapTable::kLfp:
      return lfp_records_.data() + size_t{index} * sizeof(LfpRecord);
    default: {
      const int t = static_cast<int>(table);
      return tables_.data() + table_start_[t] + size_t{index} * kCapRecordSize[t];
    }
  }
}

template <class T>
int ModelCapabilities::TestHeader(uint32_t offset, LoadCheck check, uint32_t mask) {
  Ensure(check);
  return header_.held() ? TestBits<T>(header_.data() + offset, mask) : 0;
}

template <class T>
int ModelCapabilities::TestLfp(uint32_t offset, LoadCheck check, uint32_t mask) {
  Ensure(check);
  return lfp_header_.held() ? TestBits<T>(lfp_header_.data() + offset, mask) : 0;
}

template <class T>
int ModelCapabilities::TestRow(CapTable table, uint32_t offset, LoadCheck check, int16_t index, uint32_t mask) {
  Ensure(check);
  const uint8_t* row = Row(table, static_cast<uint16_t>(index));
  return row != nullptr ? TestBits<T>(row + offset, mask) : 0;
}

template <class T>
int ModelCapabilities::GetHeader(uint32_t offset, QueryOut<T>* out) {
  if (out == nullptr) return 0;
  EnsureTablesLoaded();
  if (!header_.held()) return 0;
  *out = Widen<T>(header_.data() + offset);
  return 1;
}

int ModelCapabilities::GetHeaderBytes(uint32_t offset, uint32_t field_size, void* out, uint32_t size) {
  if (out == nullptr || size != field_size) return 0;
  EnsureTablesLoaded();
  if (!header_.held()) return 0;
  std::memcpy(out, header_.data() + offset, field_size);
  return 1;
}

template <class T>
int ModelCapabilities::GetLfp(uint32_t offset, QueryOut<T>* out) {
  if (out == nullptr) return 0;
  EnsureTablesLoaded();
  if (!lfp_header_.held()) return 0;
  *out = Widen<T>(lfp_header_.data() + offset);
  return 1;
}

template <class T>
int ModelCapabilities::GetRow(CapTable table, uint32_t offset, uint16_t index, QueryOut<T>* out) {
  if (out == nullptr) return 0;
  EnsureTablesLoaded();
  const uint8_t* row = Row(table, index);
  if (row == nullptr) return 0;
  *out = Widen<T>(row + offset);
  return 1;
}

int ModelCapabilities::GetRowBytes(CapTable table, uint32_t offset, uint32_t field_size, uint16_t index, void* out,
                                   uint32_t size) {
  if (out == nullptr || size != field_size) return 0;
  EnsureTablesLoaded();
  const uint8_t* row = Row(table, index);
  if (row == nullptr) return 0;
  std::memcpy(out, row + offset, field_size);
  return 1;
}

template <class T>
int ModelCapabilities::SetRow(CapTable table, uint32_t offset, uint16_t index, const QueryOut<T>* in) {
  if (in == nullptr) return 0;
  EnsureTablesLoaded();
  uint8_t* row = Row(table, index);
  if (row == nullptr) return 0;
  Narrow<T>(row + offset, *in);
  return 1;
}

int ModelCapabilities::SetRowBytes(CapTable table, uint32_t offset, uint32_t field_size, uint16_t index,
                                   const void* in, uint32_t size) {
  if (in == nullptr || size != field_size) return 0;
  EnsureTablesLoaded();
  uint8_t* row = Row(table, index);
  if (row == nullptr) return 0;
  std::memcpy(row + offset, in, field_size);
  return 1;
}

int ModelCapabilities::Count(uint32_t value, uint32_t* out) {
  if (out == nullptr) return 0;
  *out = value;
  return 1;
}

#define KM_TEST_HEADER(name, offset, type, check) \
  int ModelCapabilities::name(uint32_t mask) { return TestHeader<type>(offset, LoadCheck::check, mask); }
#define KM_TEST_LFP(name, offset, type, check) \
  int ModelCapabilities::name(uint32_t mask) { return TestLfp<type>(offset, LoadCheck::check, mask); }
#define KM_TEST_ROW(name, table, offset, type, check)                     \
  int ModelCapabilities::name(int16_t index, uint32_t mask) {             \
    return TestRow<type>(CapTable::table, offset, LoadCheck::check, index, mask); \
  }
#define KM_TEST_ROW_LOW16(name, table, offset, type, check)               \
  int ModelCapabilities::name(int16_t index, uint32_t mask) {             \
    return TestRow<type>(CapTable::table, offset, LoadCheck::check, index, mask & 0xFFFFu); \
  }
#define KM_COUNT(name, expression)               \
  int ModelCapabilities::name(uint32_t* out) {   \
    if (out == nullptr) return 0;                \
    EnsureTablesLoaded();                        \
    return Count(expression, out);               \
  }
#define KM_GET_HEADER(name, offset, type) \
  int ModelCapabilities::name(QueryOut<type>* out) { return GetHeader<type>(offset, out); }
#define KM_GET_HEADER_BYTES(name, offset, field_size) \
  int ModelCapabilities::name(void* out, uint32_t size) { return GetHeaderBytes(offset, field_size, out, size); }
#define KM_GET_LFP(name, offset, type) \
  int ModelCapabilities::name(QueryOut<type>* out) { return GetLfp<type>(offset, out); }
#define KM_GET_ROW(name, table, offset, type)                              \
  int ModelCapabilities::name(uint16_t index, QueryOut<type>* out) {       \
    return GetRow<type>(CapTable::table, offset, index, out);              \
  }
#define KM_GET_ROW_BYTES(name, table, offset, field_size)                  \
  int ModelCapabilities::name(uint16_t index, void* out, uint32_t size) {  \
    return GetRowBytes(CapTable::table, offset, field_size, index, out, size); \
  }
#define KM_SET_ROW(name, table, offset, type)                              \
  int ModelCapabilities::name(uint16_t index, const QueryOut<type>* in) {  \
    return SetRow<type>(CapTable::table, offset, index, in);               \
  }
#define KM_SET_ROW_BYTES(name, table, offset, field_size)                        \
  int ModelCapabilities::name(uint16_t index, const void* in, uint32_t size) {   \
    return SetRowBytes(CapTable::table, offset, field_size, index, in, size);    \
  }
#include "kalimu/model/model_query_list.inc"

int ModelCapabilities::GetPrintModeValue30(uint16_t index, int32_t* out) {
  return GetRow<int16_t>(CapTable::kPrintMode, 30, index, out);
}

uint8_t* ModelCapabilities::GetPresetData(uint16_t index) {
  EnsureCfgLoaded();
  if (!presets_.held() || index >= preset_slot_count_) return nullptr;
  return presets_.data() + size_t{index} * sizeof(PresetRecord) + 16;
}

uint32_t ModelCapabilities::GetInkIdLength() {
  EnsureCfgLoaded();
  return header_.held() ? InkIdLengthFromWord(reinterpret_cast<const ModelHeader*>(header_.data())->ink_word) : 0;
}

uint32_t ModelCapabilities::GetInkCount() {
  EnsureCfgLoaded();
  return header_.held() ? reinterpret_cast<const ModelHeader*>(header_.data())->ink_word & 0xFFu : 0;
}

int ModelCapabilities::ComparePresetRecord(uint16_t index, const void* record, uint32_t size) {
  if (record == nullptr || size != sizeof(PresetRecord)) return 0;
  EnsureTablesLoaded();
  const uint8_t* row = Row(CapTable::kPreset, index);
  return row != nullptr && std::memcmp(row, record, sizeof(PresetRecord)) == 0 ? 1 : 0;
}

void ModelCapabilities::GetStatusModelInfo(StatusModelInfo* out) {
  if (out == nullptr) return;
  out->ink_id_length = static_cast<int32_t>(GetInkIdLength());
  out->ink_count = static_cast<int32_t>(GetInkCount());
  out->bytes_per_ink = TestModelHeaderFlags36(0x4000) ? 2 : 1;
  out->zero = 0;
}

}  // namespace kalimu::model
