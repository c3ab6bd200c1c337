// Fuzz target: the four tag readers on arbitrary tag data. The first byte picks the driver name
// compared with "drvn" (a fixed name, or text taken from the input); the rest is the tag.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "kalimu/settings/icc_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::span<const uint8_t> tag(data + 1, size - 1);
  const std::string name = (data[0] & 1) ? std::string(reinterpret_cast<const char*>(tag.data()),
                                                       tag.size() < 8 ? tag.size() : 8)
                                         : std::string("Kalimu WF-7000");
  using namespace kalimu::settings;
  if (const auto description = ParseDescriptionTag(tag)) {
    if (description->text.size() >= description->count + 1u) __builtin_trap();
  }
  if (ParseMediaIdTag(tag).size() > kProfileMediaIdCount) __builtin_trap();
  DriverNamesTagNames(tag, name.c_str());
  DriverNamesTagCount(tag);
  if (const auto codes = ParseInkCodesTag(tag)) {
    if (codes->size() > kProfileInkCodeCapacity) __builtin_trap();
  }
  return 0;
}
