// libFuzzer target for the user-settings file's reader: the input is the file (after two bytes
// that give the model's capacities), alone in a heap block of exactly its size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "kalimu/storage/ucf_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t settings_capacity = data[0] % 32, paper_capacity = data[1] % 64;
  const size_t length = size - 2;
  std::unique_ptr<uint8_t[]> file(new uint8_t[length]);
  if (length != 0) std::memcpy(file.get(), data + 2, length);
  kalimu::storage::UcfImage image;
  kalimu::storage::ParseUcfImage({file.get(), length}, settings_capacity, paper_capacity, &image);
  volatile uint32_t sink = kalimu::storage::CountSettingsInUse(image.settings) +
                           kalimu::storage::CountPapersInUse(image.papers);
  (void)sink;
  return 0;
}
