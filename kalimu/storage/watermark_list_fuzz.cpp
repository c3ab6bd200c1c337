// libFuzzer target for the watermark-list file's reader: the input is the file, alone in a heap
// block of exactly its size. An accepted header must promise no entry the file does not hold:
// the counted entries are copied out as the store copies them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "kalimu/storage/watermark_list_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using kalimu::storage::WatermarkEntry;
  std::unique_ptr<uint8_t[]> file(new uint8_t[size]);
  if (size != 0) std::memcpy(file.get(), data, size);
  kalimu::storage::WatListLayout layout;
  if (!kalimu::storage::ReadWatListHeader({file.get(), size}, size, &layout)) return 0;
  if (layout.total > layout.room) __builtin_trap();
  std::vector<WatermarkEntry> entries(layout.total);
  if (layout.total != 0) {
    std::memcpy(entries.data(), file.get() + sizeof(kalimu::storage::WatFileHeader),
                entries.size() * sizeof(WatermarkEntry));
  }
  size_t named = 0;
  for (const WatermarkEntry& entry : entries) named += strnlen(entry.name, sizeof(entry.name)) != 0;
  volatile size_t sink = named;
  (void)sink;
  return 0;
}
