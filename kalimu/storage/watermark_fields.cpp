// Counts, entry fields and whole-entry operations of the watermark store.
#include <cstring>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/watermark_store.h"

namespace kalimu::storage {

WatermarkEntry* WatermarkStore::Entry(uint16_t index) {
  if (!Ready() || index >= total_ || index >= built_in_ + capacity_) return nullptr;
  return reinterpret_cast<WatermarkEntry*>(entries_.data()) + index;
}

template <class T, class Out>
int WatermarkStore::GetField(uint16_t index, size_t offset, Out* out) {
  if (out == nullptr) return 0;
  const WatermarkEntry* entry = Entry(index);
  if (entry == nullptr) return 0;
  T value;
  std::memcpy(&value, reinterpret_cast<const uint8_t*>(entry) + offset, sizeof(T));
  *out = static_cast<Out>(value);
  return 1;
}

template <class T, class In>
int WatermarkStore::SetField(uint16_t index, size_t offset, const In* in) {
  if (in == nullptr) return 0;
  WatermarkEntry* entry = Entry(index);
  if (entry == nullptr) return 0;
  const T value = static_cast<T>(*in);
  std::memcpy(reinterpret_cast<uint8_t*>(entry) + offset, &value, sizeof(T));
  return 1;
}

int WatermarkStore::GetBytes(uint16_t index, size_t offset, uint32_t field_size, void* out, uint32_t size) {
  if (out == nullptr || size != field_size) return 0;
  const WatermarkEntry* entry = Entry(index);
  if (entry == nullptr) return 0;
  std::memcpy(out, reinterpret_cast<const uint8_t*>(entry) + offset, field_size);
  return 1;
}

int WatermarkStore::SetBytes(uint16_t index, size_t offset, uint32_t field_size, const void* in, uint32_t size) {
  if (in == nullptr || size != field_size) return 0;
  WatermarkEntry* entry = Entry(index);
  if (entry == nullptr) return 0;
  std::memcpy(reinterpret_cast<uint8_t*>(entry) + offset, in, field_size);
  return 1;
}

int WatermarkStore::GetText(uint16_t index, size_t offset, size_t chars, char* out, size_t len) {
  if (out == nullptr) return 0;
  const WatermarkEntry* entry = Entry(index);
  if (entry == nullptr) return 0;
  platform::CopyStringNA(out, len, reinterpret_cast<const char*>(entry) + offset, chars);
  return 1;
}

#define WM_COUNT(name, member)                      \
  int WatermarkStore::name(uint32_t* out) {         \
    if (out == nullptr || !Ready()) return 0;       \
    *out = member;                                  \
    return 1;                                       \
  }
WM_COUNT(GetEntryCount, total_)
WM_COUNT(GetBuiltInCount, built_in_)
WM_COUNT(GetUserCount, user_)
WM_COUNT(GetUserCapacity, capacity_)
#undef WM_COUNT

int WatermarkStore::SetUserCount(const uint32_t* in) {
  if (in == nullptr || !Ready()) return 0;
  user_ = *in < capacity_ ? *in : capacity_;
  reinterpret_cast<WatFileHeader*>(header_.data())->user_count = static_cast<int32_t>(user_);
  return 1;
}

int WatermarkStore::SetEntryCount(const uint32_t* in) {
  if (in == nullptr || !Ready()) return 0;
  total_ = *in < built_in_ + capacity_ ? *in : built_in_ + capacity_;
  return 1;
}

#define WM_GET(name, type, out_type, field) \
  int WatermarkStore::name(uint16_t index, out_type* out) { return GetField<type>(index, offsetof(WatermarkEntry, field), out); }
#define WM_SET(name, type, in_type, field) \
  int WatermarkStore::name(uint16_t index, const in_type* in) { return SetField<type>(index, offsetof(WatermarkEntry, field), in); }
#define WM_GET_BYTES(name, field)                                                       \
  int WatermarkStore::name(uint16_t index, void* out, uint32_t size) {                  \
    return GetBytes(index, offsetof(WatermarkEntry, field), sizeof(WatermarkEntry::field), out, size); \
  }
#define WM_SET_BYTES(name, field)                                                       \
  int WatermarkStore::name(uint16_t index, const void* in, uint32_t size) {             \
    return SetBytes(index, offsetof(WatermarkEntry, field), sizeof(WatermarkEntry::field), in, size); \
  }
#define WM_TEXT(name, field)                                                   \
  int WatermarkStore::name(uint16_t index, char* out, size_t len) {            \
    return GetText(index, offsetof(WatermarkEntry, field), sizeof(WatermarkEntry::field), out, len); \
  }

WM_TEXT(GetEntryName, name)
WM_TEXT(GetBitmapPath, bitmap_path)
WM_TEXT(GetThumbnailPath, thumbnail_path)
WM_GET(GetEntryValue6, int32_t, int32_t, kind)
WM_GET(GetBitmapId, int32_t, int32_t, bitmap_id)
WM_GET_BYTES(GetEntryColor, color)
WM_GET(GetEntryValue280, int16_t, int32_t, density_percent)
WM_GET(GetEntryValue90, int16_t, int32_t, position_code)
WM_GET_BYTES(GetEntryBlock94, box)
WM_GET(GetEntryValue266, int16_t, int32_t, size_percent)
WM_GET(GetEntryValue92, uint16_t, uint32_t, flags)
WM_GET(GetAspectRatio, int16_t, int32_t, aspect_ratio)
WM_SET(SetEntryValue90, int16_t, int32_t, position_code)
WM_SET_BYTES(SetEntryBlock94, box)
WM_SET(SetEntryValue266, int16_t, int32_t, size_percent)
WM_SET(SetEntryValue92, uint16_t, uint32_t, flags)
WM_SET(SetAspectRatio, int16_t, int32_t, aspect_ratio)

int WatermarkStore::GetEntry(uint16_t index, void* out, uint32_t size) {
  return GetBytes(index, 0, sizeof(WatermarkEntry), out, size);
}

int WatermarkStore::SetEntry(uint16_t index, const void* in, uint32_t size) {
  return SetBytes(index, 0, sizeof(WatermarkEntry), in, size);
}

WatermarkEntry* WatermarkStore::GetEntries() {
  if (!Ready() || !entries_.held()) return nullptr;
  return reinterpret_cast<WatermarkEntry*>(entries_.data());
}

int WatermarkStore::SetEntries(const void* entries, uint32_t size) {
  if (entries == nullptr || !Ready() || !entries_.held()) return 0;
  if (size == 0 || size > (uint64_t{capacity_} + built_in_) * sizeof(WatermarkEntry)) return 0;
  std::memcpy(entries_.data(), entries, size);
  return 1;
}

}  // namespace kalimu::storage
