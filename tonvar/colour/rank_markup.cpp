// The "ic_data" markup of the rank correction's reference block: value elements set the
// references and the defaults of the rank selection, "color_cnv" regroups inks into colour-table
// channels, and the mode element's rows choose the correction mode by resolution.
#include <cstring>

#include "tonvar/colour/rank_correction.h"

namespace tonvar::colour {
namespace {

constexpr size_t kMaxName = 40;
constexpr size_t kMaxHeaderWord = 20;
constexpr int kMaxDigits = 10;
constexpr uint32_t kMaxModeColumns = 6;
constexpr uint32_t kMaxPairs = 20;
constexpr uint8_t kNoChannel = 0xFF;

// The markup's bytes from a start offset. A resource without a length ends at its first NUL.
class Markup {
 public:
  Markup(common::ResourceBytes data, uint64_t start) : data_(data.data), pos_(start) {
    if (data.size != common::kUnboundedSize) {
      end_ = data.size;
    } else {
      end_ = start;
      while (data_[end_] != 0) ++end_;
    }
    if (pos_ > end_) pos_ = end_;
  }

  int Peek() const { return pos_ < end_ ? data_[pos_] : -1; }
  uint64_t Pos() const { return pos_; }
  void Seek(uint64_t pos) { pos_ = pos <= end_ ? pos : end_; }
  void Skip(uint64_t n) { pos_ = n <= end_ - pos_ ? pos_ + n : end_; }
  bool Has(uint64_t n) const { return n <= end_ - pos_; }
  const uint8_t* Here() const { return data_ + pos_; }

  void SkipSpace() {
    while (pos_ < end_ && data_[pos_] <= 0x20) ++pos_;
  }
  bool Take(int c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  // Moves to the next `c` (false at the end of the text); `past` also consumes it.
  bool SkipTo(int c, bool past) {
    while (pos_ < end_ && data_[pos_] != c) ++pos_;
    if (pos_ == end_) return false;
    if (past) ++pos_;
    return true;
  }

  // An element name or mode-header word: a first byte from 'A' on, then bytes above 'A' or
  // digits, 1..max bytes.
  bool Name(size_t max, char* out) {
    size_t n = 0;
    if (Peek() < 'A') return false;
    while (pos_ < end_) {
      const uint8_t b = data_[pos_];
      const bool ok = n == 0 ? b >= 'A' : (b > 'A' || (b >= '0' && b <= '9'));
      if (!ok) break;
      if (n == max) return false;
      out[n++] = static_cast<char>(b);
      ++pos_;
    }
    out[n] = 0;
    return true;
  }

  // A word of a mode row: bytes from 'A' on or digits.
  size_t RowWord(char* out, size_t max) {
    size_t n = 0;
    while (pos_ < end_ && n < max) {
      const uint8_t b = data_[pos_];
      if (!(b >= 'A' || (b >= '0' && b <= '9'))) break;
      out[n++] = static_cast<char>(b);
      ++pos_;
    }
    out[n] = 0;
    return n;
  }

  // 1..10 decimal digits; values past the signed 32-bit range are refused.
  bool Number(int32_t* value) {
    int64_t v = 0;
    int digits = 0;
    while (pos_ < end_ && data_[pos_] >= '0' && data_[pos_] <= '9') {
      if (++digits > kMaxDigits) return false;
      v = v * 10 + (data_[pos_] - '0');
      ++pos_;
    }
    if (digits == 0 || v > INT32_MAX) return false;
    *value = static_cast<int32_t>(v);
    return true;
  }

 private:
  const uint8_t* data_;
  uint64_t pos_;
  uint64_t end_;
};

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A closing-tag name passes when it is a prefix of the expected one.
bool PrefixOf(const char* name, const char* expected) {
  return std::strncmp(name, expected, std::strlen(name)) == 0 && std::strlen(name) <= std::strlen(expected);
}

bool ReadClosingTag(Markup& m, const char* name) {
  char found[kMaxName + 1];
  m.SkipSpace();
  if (!m.Take('<') || !m.Take('/')) return false;
  m.SkipSpace();
  if (!m.Name(kMaxName, found) || !PrefixOf(found, name)) return false;
  m.SkipSpace();
  return m.Take('>');
}

struct Context {
  RankCorrection* state;
  uint32_t ink_set;
  uint32_t h_res;
  uint32_t v_res;
};

using Handler = bool (*)(Context&, Markup&);

bool ReadVersion(Context&, Markup& m) {
  if (!m.Has(7) || std::memcmp(m.Here(), "\"10_0", 5) != 0) return false;
  m.Skip(7);
  return true;
}

bool ReadInkNum(Context& c, Markup& m) {
  int32_t v;
  if (!m.Number(&v) || v > static_cast<int32_t>(kRankMaxInks)) return false;
  c.state->references.count = static_cast<uint32_t>(v);
  return true;
}

bool ReadIdRowLimit(Context& c, Markup& m) { return m.Number(&c.state->id_row_limit); }

bool ReadIdRow(Context& c, Markup& m) {
  int32_t row;
  if (!m.Number(&row) || row > 3 || !m.Take(':')) return false;
  uint8_t values[kRankMaxInks];
  uint32_t count = 0;
  do {
    int32_t v;
    if (count == kRankMaxInks || !m.Number(&v)) return false;
    values[count++] = static_cast<uint8_t>(v);
  } while (m.Take('-'));
  std::memcpy(c.state->id_rows.values[row], values, count);
  c.state->id_rows.count = count;
  return true;
}

bool ReadColorCnv(Context& c, Markup& m) {
  RankCorrection* state = c.state;
  int32_t code;
  if (!m.Number(&code) || !m.Take(':')) return false;
  char name[kMaxName + 1] = {};
  if (!m.Take(':')) {
    if (m.RowWord(name, kMaxName) == 0 || !m.Take(':') || !m.Take(':')) return false;
  }
  const bool applies = static_cast<uint32_t>(code) == c.ink_set &&
                       (name[0] == 0 || std::strcmp(name, state->engine->ink_set_name) == 0);
  if (!applies) return m.SkipTo('>', false);
  if (state->color_cnv) return false;
  state->color_cnv = true;
  std::memset(state->pairs, kNoChannel, sizeof state->pairs);
  for (uint32_t p = 0;; ++p) {
    if (p == kMaxPairs) return false;
    int32_t first, second;
    if (!m.Number(&first) || first >= static_cast<int32_t>(kMaxPairs)) return false;
    state->pairs[p][0] = static_cast<uint8_t>(first);
    if (m.Take(',')) {
      if (!m.Number(&second) || second >= static_cast<int32_t>(kMaxPairs) || m.Peek() == ',') return false;
      state->pairs[p][1] = static_cast<uint8_t>(second);
    }
    if (m.Peek() == '>') return true;
    if (!m.Take(':')) return false;
  }
}

template <int32_t RankCorrection::*Field>
bool ReadDefault(Context& c, Markup& m) {
  return m.Number(&(c.state->*Field));
}

bool ReadRow(Context& c, Markup& m);

// The rows of the mode element; leaves the text at the '<' after the chosen row.
bool ReadMode(Context& c, Markup& m) {
  enum Column { kHorizontal, kVertical };
  Column columns[kMaxModeColumns];
  uint32_t column_count = 0;
  for (;;) {
    char word[kMaxHeaderWord + 1];
    m.SkipSpace();
    if (!m.Name(kMaxHeaderWord, word)) return false;
    if (StartsWith(word, "mode")) break;
    if (column_count == kMaxModeColumns) return false;
    if (StartsWith(word, "h_res")) {
      columns[column_count++] = kHorizontal;
    } else if (StartsWith(word, "v_res")) {
      columns[column_count++] = kVertical;
    } else {
      return false;
    }
  }
  if (!m.SkipTo('&', true)) return false;
  for (;;) {
    bool matched = true;
    for (uint32_t k = 0; k < column_count && matched; ++k) {
      m.SkipSpace();
      if (m.Peek() == '<' || m.Peek() < 0) return false;
      if (m.Take('*')) continue;
      int32_t value;
      if (!m.Number(&value)) return false;
      const uint32_t wanted = columns[k] == kHorizontal ? c.h_res : c.v_res;
      matched = static_cast<uint32_t>(value) == wanted;
    }
    if (!matched) {
      if (!m.SkipTo('&', true)) return false;
      continue;
    }
    if (!ReadRow(c, m)) return false;
    return m.SkipTo('<', false);
  }
}

bool ReadRow(Context& c, Markup& m) {
  RankCorrection* state = c.state;
  char word[kMaxName + 1];
  m.SkipSpace();
  m.RowWord(word, kMaxName);
  uint32_t sets;
  if (std::strcmp(word, "single") == 0) {
    sets = 1;
    state->mode = kRankSingle;
  } else if (std::strcmp(word, "dual") == 0) {
    sets = 3;
    state->mode = kRankDual;
  } else if (std::strcmp(word, "smbrate") == 0) {
    sets = 1;
    state->mode = kRankSmbRate;
  } else {
    return false;
  }
  const uint32_t n = state->lists.values_per_list;
  const uint32_t count = state->id_rows.count < n ? state->id_rows.count : n;
  state->value_sets.count = state->references.count = count;
  state->value_sets.set_count = state->references.set_count = sets;
  for (uint32_t j = 0; j < sets; ++j) {
    m.SkipSpace();
    m.RowWord(word, kMaxName);
    m.SkipSpace();
    int32_t d;
    if (!m.Number(&d)) return false;
    // Lists and id rows are numbered from 1 here.
    if (d < 1 || static_cast<uint32_t>(d) > state->lists.list_count || d > state->id_row_limit) return false;
    const uint8_t* list = state->lists.values[d - 1];
    const uint8_t* row = state->id_rows.values[d - 1];
    uint8_t* values = state->value_sets.values[j];
    uint8_t* references = state->references.values[j];
    if (std::strcmp(word, "n") == 0) {
      std::memcpy(values, list, count);
      std::memcpy(references, row, count);
    } else if (std::strcmp(word, "a") == 0 && count > 0) {
      ShiftToMean50(values, list, count);
      ShiftToMean50(references, row, count);
    } else if (std::strcmp(word, "m") == 0 && count > 0) {
      ScaleAboutMean50(values, list, count);
      ScaleAboutMean50(references, row, count);
    } else {
      return false;
    }
  }
  if (state->mode == kRankSmbRate) {
    for (int32_t& r : state->smbrate_weights) {
      m.SkipSpace();
      if (!m.Number(&r)) return false;
    }
  }
  return true;
}

struct Keyword {
  const char* name;
  Handler handler;
};

// In this order: a name takes the first keyword it begins with.
const Keyword kKeywords[] = {
    {"version", ReadVersion},
    {"ink_num", ReadInkNum},
    {"id_row", ReadIdRowLimit},
    {"id", ReadIdRow},
    {"color_cnv", ReadColorCnv},
    {"default_id_step", ReadDefault<&RankCorrection::id_step>},
    {"default_id_lowest_value", ReadDefault<&RankCorrection::lowest>},
    {"default_rank_lower_limmt", ReadDefault<&RankCorrection::lower>},
    {"default_rank_upper_limmt", ReadDefault<&RankCorrection::upper>},
    {"default_nc_range", ReadDefault<&RankCorrection::nc_range>},
    {"mode", ReadMode},
};

const Keyword* FindKeyword(const char* name) {
  for (const Keyword& k : kKeywords) {
    if (StartsWith(name, k.name)) return &k;
  }
  return nullptr;
}

// The elements up to the closing tag of the block; leaves the text at that tag's '<'.
bool ReadBody(Context& c, Markup& m) {
  for (;;) {
    m.SkipSpace();
    const uint64_t element = m.Pos();
    if (!m.Take('<')) return false;
    m.SkipSpace();
    const int next = m.Peek();
    if (next == '!') {
      if (!m.SkipTo('>', true)) return false;
      continue;
    }
    if (next == '/') {
      m.Seek(element);
      return true;
    }
    char name[kMaxName + 1];
    if (next < 'A' || !m.Name(kMaxName, name)) return false;
    const Keyword* keyword = FindKeyword(name);
    if (keyword == nullptr) return false;
    m.SkipSpace();
    if (keyword->handler == ReadMode) {
      if (!m.Take('>') || !ReadMode(c, m) || !ReadClosingTag(m, "mode")) return false;
      continue;
    }
    if (!m.Take('=')) return false;
    m.SkipSpace();
    if (!keyword->handler(c, m)) return false;
    m.SkipSpace();
    if (!m.Take('>')) return false;
  }
}

}  // namespace

void ShiftToMean50(uint8_t* dst, const uint8_t* src, uint32_t count) {
  const int32_t n = static_cast<int32_t>(count);
  int32_t sum = 0;
  for (int32_t k = 0; k < n; ++k) sum += src[k];
  const int32_t d = (n / 2 + 50 * n - sum) / n;
  for (int32_t k = 0; k < n; ++k) dst[k] = static_cast<uint8_t>(src[k] + d);
}

void ScaleAboutMean50(uint8_t* dst, const uint8_t* src, uint32_t count) {
  const int32_t n = static_cast<int32_t>(count);
  int32_t sum = 0;
  for (int32_t k = 0; k < n; ++k) sum += src[k];
  const int32_t e = (sum - 50 * n) / n;
  for (int32_t k = 0; k < n; ++k) dst[k] = static_cast<uint8_t>(((src[k] - e + 50) * (e + 100) + 50) / 100 - 50);
}

int32_t ApplyChannelPairs(RankCorrection* state) {
  const uint32_t n = state->lists.values_per_list;
  uint32_t pairs = 0;
  while (pairs < kMaxPairs && state->pairs[pairs][0] != kNoChannel) ++pairs;
  // Every pair becomes a channel of the remap buffer, which holds n.
  if (pairs > n) return 0;
  for (uint32_t p = 0; p < pairs; ++p) {
    if (state->pairs[p][0] >= n) return 0;
    if (state->pairs[p][1] != kNoChannel && state->pairs[p][1] >= n) return 0;
  }
  RankValueSets* groups[2] = {&state->value_sets, &state->references};
  for (RankValueSets* group : groups) {
    uint8_t copy[kRankMaxSets][kRankMaxInks];
    std::memcpy(copy, group->values, sizeof copy);
    for (uint32_t p = 0; p < pairs; ++p) {
      const uint8_t a = state->pairs[p][0], b = state->pairs[p][1];
      for (uint32_t s = 0; s < kRankMaxSets; ++s) {
        group->values[s][p] = b == kNoChannel ? copy[s][a] : static_cast<uint8_t>((copy[s][a] + copy[s][b]) / 2);
      }
    }
    group->count = pairs;
  }
  for (uint32_t i = 0; i < kRankMaxInks; ++i) state->map[i] = static_cast<uint8_t>(i);
  return 1;
}

int32_t ReadIcDataBlock(RankCorrection* state, common::ResourceBytes data, uint64_t start) {
  Context c{state, state->engine->job.ink_set, state->engine->job.resolution_x_dpi,
            state->engine->job.resolution_y_dpi};
  Markup m(data, start);
  char name[kMaxName + 1];
  m.SkipSpace();
  if (!m.Take('<')) return 0;
  m.SkipSpace();
  if (!m.Name(kMaxName, name) || !PrefixOf(name, "ic_data")) return 0;
  m.SkipSpace();
  if (!m.Take('>')) return 0;
  if (!ReadBody(c, m)) return 0;
  return ReadClosingTag(m, "ic_data") ? 1 : 0;
}

}  // namespace tonvar::colour
