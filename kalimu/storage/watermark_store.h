// The watermark list: built-in entries made from the resource library, followed by the user's
// own, kept in the watermark-list file of the driver's shared folder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/platform/resource_library.h"
#include "kalimu/storage/watermark_records.h"

namespace kalimu::storage {

inline constexpr char kWatVersionMessage[] = "Version Error of wat file";
inline constexpr uint32_t kModelHasNoWatermarks = 0x80;  // model header word 20

class WatermarkStore : public virtual model::ModelCapabilities {
 public:
  WatermarkStore() = default;
  ~WatermarkStore() override = default;

  int EnsureLoaded();
  int Load();
  int BuildBuiltInEntries();
  int Save();

  int GetEntryCount(uint32_t* out);
  int GetBuiltInCount(uint32_t* out);
  int GetUserCount(uint32_t* out);
  int GetUserCapacity(uint32_t* out);
  // U in the store and the held header (at most C); T alone (at most B + C).
  int SetUserCount(const uint32_t* in);
  int SetEntryCount(const uint32_t* in);

  int GetEntryName(uint16_t index, char* out, size_t len);
  int GetBitmapPath(uint16_t index, char* out, size_t len);
  int GetThumbnailPath(uint16_t index, char* out, size_t len);
  int GetEntryValue6(uint16_t index, int32_t* out);
  int GetBitmapId(uint16_t index, int32_t* out);
  int GetEntryColor(uint16_t index, void* out, uint32_t size);
  int GetEntryValue280(uint16_t index, int32_t* out);
  int GetEntryValue90(uint16_t index, int32_t* out);
  int GetEntryBlock94(uint16_t index, void* out, uint32_t size);
  int GetEntryValue266(uint16_t index, int32_t* out);
  int GetEntryValue92(uint16_t index, uint32_t* out);
  int GetEntry(uint16_t index, void* out, uint32_t size);
  int GetAspectRatio(uint16_t index, int32_t* out);
  int SetEntryValue90(uint16_t index, const int32_t* in);
  int SetEntryBlock94(uint16_t index, const void* in, uint32_t size);
  int SetEntryValue266(uint16_t index, const int32_t* in);
  int SetEntryValue92(uint16_t index, const uint32_t* in);
  int SetEntry(uint16_t index, const void* in, uint32_t size);
  int SetAspectRatio(uint16_t index, const int32_t* in);

  // The entry array itself (room for B + C entries); null when nothing could be loaded.
  WatermarkEntry* GetEntries();
  // Copies size bytes over the entry array when 0 < size <= (B + C) x 816.
  int SetEntries(const void* entries, uint32_t size);

  // Language of the resource library (loaded when needed); 1033 without one.
  uint16_t GetResourceLanguage();
  // Width x 100 / height of entry `index`'s bitmap: the built-in resource, else its file.
  int16_t GetBitmapAspectRatio(const WatermarkEntry* entry, uint16_t index, int ensure_loaded);

 private:
  bool Ready();
  bool LoadResources();
  WatermarkEntry* Entry(uint16_t index);
  template <class T, class Out>
  int GetField(uint16_t index, size_t offset, Out* out);
  template <class T, class In>
  int SetField(uint16_t index, size_t offset, const In* in);
  int GetBytes(uint16_t index, size_t offset, uint32_t field_size, void* out, uint32_t size);
  int SetBytes(uint16_t index, size_t offset, uint32_t field_size, const void* in, uint32_t size);
  int GetText(uint16_t index, size_t offset, size_t chars, char* out, size_t len);
  void Forget();

  platform::GlobalBlock header_;   // WatFileHeader; none = not loaded
  platform::GlobalBlock entries_;  // (B + C) entries
  uint32_t total_ = 0;      // T
  uint32_t built_in_ = 0;   // B
  uint32_t user_ = 0;       // U
  uint32_t capacity_ = 0;   // C
  char resource_path_[MAX_PATH] = {};
  char list_path_[MAX_PATH] = {};
  platform::ResourceLibrary resources_;
};

}  // namespace kalimu::storage
