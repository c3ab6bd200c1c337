// Line reader of the grey engine's two text resources (the header table and the "ic_data"
// markup): logical lines with tabs as spaces, runs of spaces collapsed and no spaces at either
// end. The text ends at NUL, Ctrl-Z or the end of a bounded resource, and is never read past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tonvar/common/resource_bytes.h"

namespace tonvar::grey {

class GreyText {
 public:
  explicit GreyText(common::ResourceBytes text) : data_(text.data), size_(text.size) {}

  // The byte at p, or 0 at and past the end of the text.
  uint8_t At(size_t p) const {
    if (data_ == nullptr || p >= size_) return 0;
    return data_[p] == 0x1A ? 0 : data_[p];
  }
  bool AtEnd() const { return At(pos_) == 0; }
  size_t pos() const { return pos_; }
  void Seek(size_t p) { pos_ = p; }

  // Reads one logical line into buffer (capacity bytes, NUL-terminated) and moves past the CR
  // and LF that follow it. With continuation, '@' joins the next physical line in place of the
  // rest of its own. Returns the line's length, or -1 when it is longer than capacity - 1.
  int ReadLine(char* buffer, size_t capacity, bool continuation);
  // Moves past the rest of the physical line and the CR and LF that follow it.
  void SkipPhysicalLine();
  // Moves to the start of the line after the first "//" from the cursor on; false when the
  // text ends first.
  bool SkipPastMarkLine();

 private:
  void SkipLineBreaks();

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Tokens of a logical line, split at single spaces.
class Tokens {
 public:
  explicit Tokens(std::string_view line) : rest_(line) {}
  // False when the line has no more tokens.
  bool Next(std::string_view* token);

 private:
  std::string_view rest_;
};

// Signed decimal from the start of the token: optional sign, digits, anything after them
// ignored; no digits give 0. Longer numbers wrap as 32-bit values.
int32_t LeadingNumber(std::string_view token, bool* has_digits = nullptr);

}  // namespace tonvar::grey
