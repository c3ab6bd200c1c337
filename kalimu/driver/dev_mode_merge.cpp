// Part-by-part merge of device modes.
#include "kalimu/driver/dev_mode_merge.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "kalimu/platform/win32_helpers.h"

namespace kalimu::driver {
namespace {

constexpr WORD kPublicSize351 = 188;
constexpr WORD kSpecVersion351 = 0x320;
constexpr WORD kPublicSize400 = 220;
constexpr WORD kSpecVersion400 = 0x401;
// A public part must hold the header words up to dmFields.
constexpr size_t kHeaderBytes = offsetof(DEVMODEW, dmFields);

const BYTE* PrivatePart(const DEVMODEW* record) { return reinterpret_cast<const BYTE*>(record) + record->dmSize; }

}  // namespace

int MergeDevModeParts(const DEVMODEW* source, DEVMODEW* destination) {
  if (source == nullptr || destination == nullptr || source->dmDriverVersion != destination->dmDriverVersion ||
      source->dmSize < kHeaderBytes || destination->dmSize < kHeaderBytes) {
    return -1;
  }
  const WORD spec_version = destination->dmSize == kPublicSize351   ? kSpecVersion351
                            : destination->dmSize == kPublicSize400 ? kSpecVersion400
                                                                    : destination->dmSpecVersion;
  const WORD driver_version = destination->dmDriverVersion;
  const WORD size = destination->dmSize;
  const WORD extra = destination->dmDriverExtra;

  const size_t public_bytes = std::min(source->dmSize, size);
  std::memmove(destination, source, public_bytes);
  destination->dmSpecVersion = spec_version;
  destination->dmDriverVersion = driver_version;
  destination->dmSize = size;
  destination->dmDriverExtra = extra;

  const size_t private_bytes = std::min(source->dmDriverExtra, extra);
  std::memmove(const_cast<BYTE*>(PrivatePart(destination)), PrivatePart(source), private_bytes);
  return static_cast<int>(public_bytes + private_bytes);
}

int MergeDevModeToOutput(const DEVMODEW* source, const DEVMODEW* input, DEVMODEW* output) {
  if (source == nullptr || output == nullptr) return 0;
  if (input != nullptr) {
    const bool input_public_smaller = input->dmSize < source->dmSize;
    const bool input_private_smaller = input->dmDriverExtra < source->dmDriverExtra;
    output->dmSpecVersion = input_public_smaller ? input->dmSpecVersion : source->dmSpecVersion;
    output->dmSize = input_public_smaller ? input->dmSize : source->dmSize;
    output->dmDriverVersion = input_private_smaller ? input->dmDriverVersion : source->dmDriverVersion;
    output->dmDriverExtra = input_private_smaller ? input->dmDriverExtra : source->dmDriverExtra;
    if (MergeDevModeParts(source, output) > 0) return 1;
  }
  platform::CopyDevModeRecord(source, output);
  return 1;
}

}  // namespace kalimu::driver
