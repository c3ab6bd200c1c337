// The user-interface resource library: loaded as a data file and read by number (strings,
// built-in watermark bitmaps, the version language).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::platform {

inline constexpr uint16_t kDefaultResourceLanguage = 1033;
inline constexpr UINT kBuiltInCountString = 1830;
inline constexpr UINT kBuiltInColorString = 1831;
inline constexpr UINT kBuiltInNameString = 1840;    // + i
inline constexpr UINT kBuiltInBitmapString = 1860;  // + i
inline constexpr WORD kBuiltInBitmapType = 16000;

// Owns a library loaded with LOAD_LIBRARY_AS_DATAFILE.
class ResourceLibrary {
 public:
  bool Load(const char* path);
  void Release() { module_.Reset(); }
  HMODULE module() const { return module_.get(); }
  bool held() const { return module_.valid(); }

 private:
  UniqueModule module_;
};

// First language of "\VarFileInfo\Translation"; 1033 when the library has none.
uint16_t GetResourceLanguage(HMODULE module);
// The first language of a version-information block's Translation; the default without one.
uint16_t VersionBlockLanguage(void* version_block);

// The bytes of the resource of type 16000 with the given id; empty when there is none.
std::span<const uint8_t> FindBuiltInBitmap(HMODULE module, UINT id);

// Width x 100 / height of a BMP image ("BM" file header, then a core or info header), by
// absolute values; 0 when the bytes are not such an image or the height is 0.
int16_t BitmapAspectRatio(std::span<const uint8_t> bmp);

}  // namespace kalimu::platform
