// Reading the resource library by number.
#include "kalimu/platform/resource_library.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace kalimu::platform {

bool ResourceLibrary::Load(const char* path) {
  Release();
  if (path == nullptr || path[0] == '\0') return false;
  module_.Reset(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  return module_.valid();
}

uint16_t GetResourceLanguage(HMODULE module) {
  if (module == nullptr) return kDefaultResourceLanguage;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));  // RT_VERSION
  if (found == nullptr) return kDefaultResourceLanguage;
  const DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return kDefaultResourceLanguage;
  // VerQueryValue may write into its block: work on a copy with room to spare.
  std::vector<uint8_t> copy(size_t{size} * 2);
  std::memcpy(copy.data(), bytes, size);
  return VersionBlockLanguage(copy.data());
}

uint16_t VersionBlockLanguage(void* version_block) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(version_block, "\\VarFileInfo\\Translation", &value, &length) || value == nullptr ||
      length < sizeof(WORD)) {
    return kDefaultResourceLanguage;
  }
  WORD language;
  std::memcpy(&language, value, sizeof(language));
  return language;
}

std::span<const uint8_t> FindBuiltInBitmap(HMODULE module, UINT id) {
  if (module == nullptr) return {};
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kBuiltInBitmapType));
  if (found == nullptr) return {};
  const DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const auto* bytes = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (bytes == nullptr) return {};
  return {bytes, size};
}

int16_t BitmapAspectRatio(std::span<const uint8_t> bmp) {
  constexpr size_t kFileHeader = 14;
  if (bmp.size() < kFileHeader + 12 || bmp[0] != 'B' || bmp[1] != 'M') return 0;
  const uint8_t* info = bmp.data() + kFileHeader;
  uint32_t header_size;
  std::memcpy(&header_size, info, 4);
  int64_t width, height;
  if (header_size == 12) {
    uint16_t w, h;
    std::memcpy(&w, info + 4, 2);
    std::memcpy(&h, info + 6, 2);
    width = w;
    height = h;
  } else {
    if (bmp.size() < kFileHeader + 40) return 0;
    int32_t w, h;
    std::memcpy(&w, info + 4, 4);
    std::memcpy(&h, info + 8, 4);
    width = std::llabs(w);
    height = std::llabs(h);
  }
  if (height == 0) return 0;
  const int64_t ratio = width * 100 / height;
  return static_cast<int16_t>(ratio > INT16_MAX ? INT16_MAX : ratio);
}

}  // namespace kalimu::platform
