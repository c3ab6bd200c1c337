// Logical lines and tokens of the grey engine's text resources.
#include "tonvar/grey/grey_text.h"

namespace tonvar::grey {
namespace {

bool IsLineEnd(uint8_t b) { return b == '\r' || b == '\n' || b == 0; }

}  // namespace

void GreyText::SkipLineBreaks() {
  while (At(pos_) == '\r' || At(pos_) == '\n') ++pos_;
}

void GreyText::SkipPhysicalLine() {
  while (!IsLineEnd(At(pos_))) ++pos_;
  SkipLineBreaks();
}

bool GreyText::SkipPastMarkLine() {
  while (!AtEnd()) {
    if (At(pos_) == '/' && At(pos_ + 1) == '/') {
      SkipPhysicalLine();
      return true;
    }
    ++pos_;
  }
  return false;
}

int GreyText::ReadLine(char* buffer, size_t capacity, bool continuation) {
  size_t length = 0;
  bool too_long = false;
  // A pending space is written only when a further character follows it: runs collapse and
  // the line keeps no space at either end.
  bool pending_space = false;
  while (At(pos_) == ' ' || At(pos_) == '\t') ++pos_;
  while (true) {
    const uint8_t b = At(pos_);
    if (IsLineEnd(b)) break;
    ++pos_;
    if (continuation && b == '@') {
      pending_space = length > 0;
      SkipPhysicalLine();
      continue;
    }
    if (b == ' ' || b == '\t') {
      pending_space = length > 0;
      continue;
    }
    const size_t needed = length + (pending_space ? 2 : 1);
    if (needed >= capacity) {
      too_long = true;
      continue;
    }
    if (pending_space) buffer[length++] = ' ';
    pending_space = false;
    buffer[length++] = static_cast<char>(b);
  }
  SkipLineBreaks();
  if (capacity > 0) buffer[length < capacity ? length : capacity - 1] = 0;
  return too_long ? -1 : static_cast<int>(length);
}

bool Tokens::Next(std::string_view* token) {
  if (rest_.empty()) return false;
  const size_t space = rest_.find(' ');
  *token = rest_.substr(0, space);
  rest_ = space == std::string_view::npos ? std::string_view() : rest_.substr(space + 1);
  return true;
}

int32_t LeadingNumber(std::string_view token, bool* has_digits) {
  size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '-' || token[i] == '+')) {
    negative = token[i] == '-';
    ++i;
  }
  uint32_t value = 0;
  const size_t first_digit = i;
  while (i < token.size() && token[i] >= '0' && token[i] <= '9') {
    value = value * 10u + static_cast<uint32_t>(token[i] - '0');
    ++i;
  }
  if (has_digits != nullptr) *has_digits = i > first_digit;
  return static_cast<int32_t>(negative ? 0u - value : value);
}

}  // namespace tonvar::grey
