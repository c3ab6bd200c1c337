// The field operations of the user-settings store, instantiated from the operation list.
#include <cstring>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/user_settings_store.h"

namespace kalimu::storage {

template <class T>
int UserSettingsStore::TestField(Array array, uint32_t offset, uint16_t index, uint32_t mask) {
  model::QueryOut<T> value{};
  if (!GetField<T>(array, offset, index, &value)) return 0;
  return (static_cast<uint32_t>(value) & mask) != 0 ? 1 : 0;
}

template <class T>
int UserSettingsStore::GetField(Array array, uint32_t offset, uint16_t index, model::QueryOut<T>* out) {
  if (out == nullptr || !EnsureLoaded()) return 0;
  if (index >= (array == Array::kSettings ? settings_in_use_ : papers_in_use_)) return 0;
  const uint8_t* entry = Entry(array, index);
  if (entry == nullptr) return 0;
  T value;
  std::memcpy(&value, entry + offset, sizeof(T));
  *out = static_cast<model::QueryOut<T>>(value);
  return 1;
}

template <class T>
int UserSettingsStore::SetField(Array array, uint32_t offset, uint16_t index, const model::QueryOut<T>* in) {
  if (in == nullptr || !EnsureLoaded()) return 0;
  if (index >= (array == Array::kSettings ? settings_in_use_ : papers_in_use_)) return 0;
  uint8_t* entry = Entry(array, index);
  if (entry == nullptr) return 0;
  const T value = static_cast<T>(*in);
  std::memcpy(entry + offset, &value, sizeof(T));
  return 1;
}

int UserSettingsStore::GetBytes(Array array, uint32_t offset, uint32_t field_size, uint16_t index, void* out,
                                uint32_t size) {
  if (out == nullptr || size != field_size || !EnsureLoaded()) return 0;
  if (index >= (array == Array::kSettings ? settings_in_use_ : papers_in_use_)) return 0;
  const uint8_t* entry = Entry(array, index);
  if (entry == nullptr) return 0;
  std::memcpy(out, entry + offset, field_size);
  return 1;
}

int UserSettingsStore::SetBytes(Array array, uint32_t offset, uint32_t field_size, uint16_t index, const void* in,
                                uint32_t size) {
  if (in == nullptr || size != field_size || !EnsureLoaded()) return 0;
  if (index >= (array == Array::kSettings ? settings_in_use_ : papers_in_use_)) return 0;
  uint8_t* entry = Entry(array, index);
  if (entry == nullptr) return 0;
  std::memcpy(entry + offset, in, field_size);
  return 1;
}

int UserSettingsStore::GetWideText(uint32_t offset, uint32_t chars, uint16_t index, wchar_t* out, size_t len) {
  if (out == nullptr || !EnsureLoaded() || index >= settings_in_use_) return 0;
  const uint8_t* entry = Entry(Array::kSettings, index);
  if (entry == nullptr) return 0;
  wchar_t field[32];
  std::memcpy(field, entry + offset, chars * sizeof(wchar_t));
  platform::CopyStringNW(out, len, field, chars);
  return 1;
}

int UserSettingsStore::SetWideText(uint32_t offset, uint32_t chars, uint16_t index, const wchar_t* text,
                                   size_t text_length) {
  if (text == nullptr || !EnsureLoaded() || index >= settings_in_use_) return 0;
  uint8_t* entry = Entry(Array::kSettings, index);
  if (entry == nullptr) return 0;
  wchar_t field[32] = {};
  platform::CopyStringNW(field, chars, text, text_length);
  std::memcpy(entry + offset, field, chars * sizeof(wchar_t));
  return 1;
}

int UserSettingsStore::GetPaperName(uint16_t index, char* out, size_t len) {
  if (out == nullptr || !EnsureLoaded() || index >= papers_in_use_) return 0;
  const auto* entry = reinterpret_cast<const UserPaperEntry*>(Entry(Array::kPapers, index));
  if (entry == nullptr) return 0;
  platform::CopyStringNA(out, len, entry->name, sizeof(entry->name));
  return 1;
}

int UserSettingsStore::SetPaperName(uint16_t index, const char* text, size_t text_length) {
  if (text == nullptr || !EnsureLoaded() || index >= papers_in_use_) return 0;
  auto* entry = reinterpret_cast<UserPaperEntry*>(Entry(Array::kPapers, index));
  if (entry == nullptr) return 0;
  char field[sizeof(entry->name)] = {};
  platform::CopyStringNA(field, sizeof(field), text, text_length);
  std::memcpy(entry->name, field, sizeof(field));
  return 1;
}

int UserSettingsStore::CompareSettingsEntry(uint16_t index, const void* entry, uint32_t size) {
  if (entry == nullptr || size != sizeof(UserSettingsEntry) || !EnsureLoaded() || index >= settings_in_use_) return 0;
  const uint8_t* held = Entry(Array::kSettings, index);
  return held != nullptr && std::memcmp(held, entry, size) == 0 ? 1 : 0;
}

#define US_TEST(name, array, offset, type) \
  int UserSettingsStore::name(uint16_t index, uint32_t mask) { return TestField<type>(Array::array, offset, index, mask); }
#define US_GET(name, array, offset, type)                                \
  int UserSettingsStore::name(uint16_t index, model::QueryOut<type>* out) {     \
    return GetField<type>(Array::array, offset, index, out);             \
  }
#define US_SET(name, array, offset, type)                                \
  int UserSettingsStore::name(uint16_t index, const model::QueryOut<type>* in) { \
    return SetField<type>(Array::array, offset, index, in);              \
  }
#define US_GET_BYTES(name, array, offset, field_size)                         \
  int UserSettingsStore::name(uint16_t index, void* out, uint32_t size) {     \
    return GetBytes(Array::array, offset, field_size, index, out, size);      \
  }
#define US_SET_BYTES(name, array, offset, field_size)                         \
  int UserSettingsStore::name(uint16_t index, const void* in, uint32_t size) { \
    return SetBytes(Array::array, offset, field_size, index, in, size);       \
  }
#define US_GET_WTEXT(name, offset, chars) \
  int UserSettingsStore::name(uint16_t index, wchar_t* out, size_t len) { return GetWideText(offset, chars, index, out, len); }
#define US_SET_WTEXT(name, offset, chars)                                                  \
  int UserSettingsStore::name(uint16_t index, const wchar_t* text, size_t text_length) {   \
    return SetWideText(offset, chars, index, text, text_length);                           \
  }
#include "kalimu/storage/user_settings_query_list.inc"

}  // namespace kalimu::storage
