// libFuzzer target for the model configuration file's reader: the input is a file (after one
// byte of the base file's ink-set count), alone in a heap block of exactly its size, read as a
// base file and as a variant file; every block the reader hands back is read through.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "kalimu/model/cfg_parser.h"

namespace {

void Touch(std::span<const uint8_t> bytes) {
  volatile uint8_t sink = 0;
  for (uint8_t b : bytes) sink = sink ^ b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kalimu::model;
  if (size < 1) return 0;
  const size_t length = size - 1;
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[length]);
  if (length != 0) std::memcpy(bytes.get(), data + 1, length);
  const std::span<const uint8_t> file(bytes.get(), length);
  CfgInkSetImage ink_sets;
  if (ParseInkSetTable(file, &ink_sets) == CfgParseStatus::kOk) Touch(ink_sets.records);
  CfgImage image;
  if (ParseCfgImage(file, data[0], &image) == CfgParseStatus::kOk) {
    Touch(image.presets);
    Touch(image.tables);
    Touch(image.lfp_records);
  }
  return 0;
}
