// Status replies of the printer: the binary form ("@BDC ST2") and the text form ("@BDC ST"),
// parsed into a StatusReading. Plain C++ over bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kalimu/status/status_reading.h"

namespace kalimu::status {

inline constexpr char kBinaryReplyHeader[] = "@BDC ST2";
inline constexpr char kTextReplyHeader[] = "@BDC ST";

// What the parser needs of the printer model: the binary channel record holds
// ink_count * bytes_per_ink channel values.
struct StatusShape {
  int32_t ink_count = 0;
  uint16_t bytes_per_ink = 1;
};

// Where a reply's body lies: two bytes after its first carriage return.
struct ReplyBody {
  ReplyForm form = ReplyForm::kNone;
  size_t start = 0;
  size_t length = 0;
};

// The reply's form from its header; kNone when it is no status reply.
ReplyForm DetectReplyForm(const uint8_t* reply, size_t size);
// False when the reply is no status reply or has no body.
bool LocateReplyBody(const uint8_t* reply, size_t size, ReplyBody* out);

// Each answers 0 when the reply is accepted and -1 when it is rejected. A parse does not clear
// the reading first: fields the reply does not carry keep their earlier values.
int ParseStatusReply(const uint8_t* reply, size_t size, const StatusShape& shape,
                     StatusReading& reading);
int ParseBinaryBody(const uint8_t* body, size_t length, const StatusShape& shape,
                    StatusReading& reading);
int ParseTextBody(const uint8_t* body, size_t length, StatusReading& reading);

}  // namespace kalimu::status
