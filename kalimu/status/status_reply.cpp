// The reply envelope: form, body and the choice of parser.
#include "kalimu/status/status_reply.h"

#include <cstring>

namespace kalimu::status {

ReplyForm DetectReplyForm(const uint8_t* reply, size_t size) {
  if (reply == nullptr) return ReplyForm::kNone;
  // The longer header first: a binary reply is never read as text.
  const size_t binary = sizeof(kBinaryReplyHeader) - 1;
  const size_t text = sizeof(kTextReplyHeader) - 1;
  if (size >= binary && std::memcmp(reply, kBinaryReplyHeader, binary) == 0) return ReplyForm::kBinary;
  if (size >= text && std::memcmp(reply, kTextReplyHeader, text) == 0) return ReplyForm::kText;
  return ReplyForm::kNone;
}

bool LocateReplyBody(const uint8_t* reply, size_t size, ReplyBody* out) {
  const ReplyForm form = DetectReplyForm(reply, size);
  if (form == ReplyForm::kNone) return false;
  const void* cr = std::memchr(reply, 0x0D, size);
  if (cr == nullptr) return false;
  // The body begins after the carriage return and the byte that follows it; a reply that ends
  // before that has no body.
  const size_t start = static_cast<size_t>(static_cast<const uint8_t*>(cr) - reply) + 2;
  if (start > size) return false;
  *out = ReplyBody{form, start, size - start};
  return true;
}

int ParseStatusReply(const uint8_t* reply, size_t size, const StatusShape& shape,
                     StatusReading& reading) {
  ReplyBody body;
  if (!LocateReplyBody(reply, size, &body)) return -1;
  reading.form = body.form;
  const uint8_t* bytes = reply + body.start;
  return body.form == ReplyForm::kBinary ? ParseBinaryBody(bytes, body.length, shape, reading)
                                         : ParseTextBody(bytes, body.length, reading);
}

}  // namespace kalimu::status
