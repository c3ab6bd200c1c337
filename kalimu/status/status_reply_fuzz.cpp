// libFuzzer target for the status-reply parser: raw replies, and the input as the body of
// either form, on one reading that carries over between parses as a status object's does.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kalimu/status/status_reply.h"

namespace {

void Touch(const kalimu::status::StatusReading& reading) {
  volatile size_t sink = std::strlen(reading.sb_text) + std::strlen(reading.serial_text);
  sink = sink + reading.warnings.count() + reading.ink_codes.count() + reading.channels.values.count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the model shape and the form the body is wrapped in.
  const kalimu::status::StatusShape shape{data[0] & 0x1F, static_cast<uint16_t>(data[0] & 0x20 ? 2 : 1)};
  const int mode = data[0] >> 6;
  ++data;
  --size;

  static const char* const kHeaders[] = {"", "@BDC ST2\r\n", "@BDC ST\r\n", "@BDC ST\r"};
  std::vector<uint8_t> reply(kHeaders[mode], kHeaders[mode] + std::strlen(kHeaders[mode]));
  reply.insert(reply.end(), data, data + size);

  kalimu::status::StatusReading reading;
  kalimu::status::ParseStatusReply(reply.data(), reply.size(), shape, reading);
  Touch(reading);
  kalimu::status::ParseTextBody(data, size, reading);
  kalimu::status::ParseBinaryBody(data, size, shape, reading);
  Touch(reading);
  return 0;
}
