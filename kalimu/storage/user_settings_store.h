// User presets and user paper sizes: the user-settings file, loaded on first use, changed in
// memory and written back on request.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/storage/user_settings_records.h"

namespace kalimu::storage {

inline constexpr char kUcfVersionMessage[] = "Version Error of ucf file";

class UserSettingsStore : public virtual model::ModelCapabilities {
 public:
  UserSettingsStore() = default;
  ~UserSettingsStore() override = default;

  int Save();
  int EnsureLoaded();
  int Load();
  int Reload();
  void FillDefaultPapers();

  // Counts in use; the setters clamp to the file's capacity.
  int GetSettingsCount(uint32_t* out);
  int GetPaperCount(uint32_t* out);
  int SetSettingsCount(const uint32_t* in);
  int SetPaperCount(const uint32_t* in);

  // Paper name: copies at most 32 characters into out of len; stores at most 31 and the terminator.
  int GetPaperName(uint16_t index, char* out, size_t len);
  int SetPaperName(uint16_t index, const char* text, size_t text_length);
  int CompareSettingsEntry(uint16_t index, const void* entry, uint32_t size);
  // Removes a paper entry in use: later entries move down, the last slot becomes free.
  int DeletePaperEntry(uint16_t index);

#define US_TEST(name, array, offset, type) int name(uint16_t index, uint32_t mask);
#define US_GET(name, array, offset, type) int name(uint16_t index, model::QueryOut<type>* out);
#define US_SET(name, array, offset, type) int name(uint16_t index, const model::QueryOut<type>* in);
#define US_GET_BYTES(name, array, offset, field_size) int name(uint16_t index, void* out, uint32_t size);
#define US_SET_BYTES(name, array, offset, field_size) int name(uint16_t index, const void* in, uint32_t size);
#define US_GET_WTEXT(name, offset, chars) int name(uint16_t index, wchar_t* out, size_t len);
#define US_SET_WTEXT(name, offset, chars) int name(uint16_t index, const wchar_t* text, size_t text_length);
#include "kalimu/storage/user_settings_query_list.inc"

 private:
  enum class Array { kSettings, kPapers };
  uint8_t* Entry(Array array, uint32_t index) const;
  template <class T>
  int TestField(Array array, uint32_t offset, uint16_t index, uint32_t mask);
  template <class T>
  int GetField(Array array, uint32_t offset, uint16_t index, model::QueryOut<T>* out);
  template <class T>
  int SetField(Array array, uint32_t offset, uint16_t index, const model::QueryOut<T>* in);
  int GetBytes(Array array, uint32_t offset, uint32_t field_size, uint16_t index, void* out, uint32_t size);
  int SetBytes(Array array, uint32_t offset, uint32_t field_size, uint16_t index, const void* in, uint32_t size);
  int GetWideText(uint32_t offset, uint32_t chars, uint16_t index, wchar_t* out, size_t len);
  int SetWideText(uint32_t offset, uint32_t chars, uint16_t index, const wchar_t* text, size_t text_length);
  void Forget();
  // Paper slots from `first` on become free slots (ids 768 + slot), without saving.
  void FillFreePapers(uint16_t first);

  uint16_t version_word_ = 0;  // 0 = not loaded
  uint16_t settings_in_use_ = 0;
  uint16_t papers_in_use_ = 0;
  uint16_t settings_capacity_ = 0;
  uint16_t paper_capacity_ = 0;
  platform::GlobalBlock settings_;  // settings_capacity_ x 408 bytes
  platform::GlobalBlock papers_;    // paper_capacity_ x 92 bytes
  char path_[MAX_PATH] = {};
};

}  // namespace kalimu::storage
