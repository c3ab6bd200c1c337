// The grey engine's "ic_data" markup (resource 990): the printer's side of the rank
// correction, read line by line into the engine's markup record.
#include <cstring>
#include <string_view>

#include "tonvar/grey/grey_engine.h"
#include "tonvar/grey/grey_text.h"

namespace tonvar::grey {
namespace {

constexpr size_t kLineCapacity = 128;  // 127 characters and the NUL
constexpr int32_t kMaxPairValue = 20;
constexpr int32_t kMaxReferenceRows = 4;  // an id_row of this or more ends the reading
constexpr int32_t kAnyResolution = -999;

using std::string_view;

// Reads the next line; false for an empty line (the end of the text included) or one that is
// too long: wherever the markup reads a line, it requires one.
bool ReadGreyMarkupLine(GreyText& text, char* line, string_view* out) {
  const int length = text.ReadLine(line, kLineCapacity, false);
  if (length <= 0) return false;
  *out = string_view(line, static_cast<size_t>(length));
  return true;
}

bool CheckGreyMarkupDigits(string_view s) {
  for (char ch : s) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

// A number of digits only (empty reads 0); false for any other character or one that does not
// fit 31 bits.
bool MarkupNumber(string_view s, int32_t* value) {
  if (!CheckGreyMarkupDigits(s)) return false;
  int64_t v = 0;
  for (char ch : s) {
    v = v * 10 + (ch - '0');
    if (v > INT32_MAX) return false;
  }
  *value = static_cast<int32_t>(v);
  return true;
}

// "<" key "=" number ">"; text after the ">" is not read.
bool ReadGreyMarkupNumber(string_view line, const char* key, int32_t* number) {
  *number = kUnset;
  const size_t key_length = std::strlen(key);
  if (line.size() < key_length + 2 || line[0] != '<' || line.substr(1, key_length) != key ||
      line[key_length + 1] != '=') {
    return false;
  }
  const string_view rest = line.substr(key_length + 2);
  const size_t close = rest.find('>');
  return close != string_view::npos && MarkupNumber(rest.substr(0, close), number);
}

// Splits text at `separator` into at most max_parts parts; false when there are more. Empty
// text has no parts.
template <typename Fn>
bool ForEachPart(string_view text, char separator, int max_parts, int* count, Fn fn) {
  *count = 0;
  if (text.empty()) return true;
  while (true) {
    const size_t at = text.find(separator);
    if (*count >= max_parts || !fn(*count, text.substr(0, at))) return false;
    ++*count;
    if (at == string_view::npos) return true;
    text = text.substr(at + 1);
  }
}

EngineStatus ParseGreyIdRow(string_view line, int32_t r, int32_t* row, int32_t n) {
  if (line.size() < 7 || line.substr(0, 4) != "<id=" || line[4] != '0' + r || line[5] != ':') {
    return kStatusBadResource;
  }
  const string_view rest = line.substr(6);
  const size_t close = rest.find('>');
  if (close == string_view::npos) return kStatusBadResource;
  int count = 0;
  const bool read =
      ForEachPart(rest.substr(0, close), '-', kMarkupMaxInks, &count,
                  [&](int k, string_view part) { return MarkupNumber(part, &row[k]); });
  return read && count == n ? kStatusOk : kStatusBadResource;
}

bool IsLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

// The text after "<color_cnv=". The line applies when its digit is the job's ink set and its
// name, when both it and the row's ink_set name are given, is that name; only then are its
// pairs read.
EngineStatus ParseGreyColorCnv(string_view text, int32_t ink_set, const char* ink_set_name,
                               int32_t n, GreyMarkup* markup) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return kStatusBadResource;
  markup->ink_set_digit = text[0] - '0';
  if (markup->ink_set_digit != ink_set) {
    markup->ink_set_digit = kUnset;
    return kStatusOk;
  }
  text = text.substr(1);
  if (text.substr(0, 2) != "::") {
    if (text.size() < 2 || text[0] != ':' || !IsLetter(text[1])) return kStatusBadResource;
    text = text.substr(1);
    const size_t end = text.find(':');
    if (end == string_view::npos) return kStatusBadResource;
    const string_view name = text.substr(0, end);
    for (char ch : name) {
      if (!IsLetter(ch) && !(ch >= '0' && ch <= '9') && ch != '_') return kStatusBadResource;
    }
    if (ink_set_name[0] != 0 && name != ink_set_name) {
      markup->ink_set_digit = kUnset;
      return kStatusOk;
    }
    text = text.substr(end);
    if (text.substr(0, 2) != "::") return kStatusBadResource;
  }
  text = text.substr(2);
  const size_t close = text.find('>');
  if (close == string_view::npos) return kStatusBadResource;
  int count = 0;
  const bool read = ForEachPart(
      text.substr(0, close), ':', kMarkupMaxInks, &count, [&](int k, string_view entry) {
        const size_t comma = entry.find(',');
        int32_t a = 0, b = 0;
        if (!MarkupNumber(entry.substr(0, comma), &a)) return false;
        b = a;
        if (comma != string_view::npos && !MarkupNumber(entry.substr(comma + 1), &b)) return false;
        if (a > kMaxPairValue || b > kMaxPairValue) return false;
        markup->pair_first[k] = a;
        markup->pair_second[k] = b;
        return true;
      });
  return read && count == n ? kStatusOk : kStatusBadResource;
}

bool MethodLetter(string_view token, int32_t* letter) {
  if (token.empty() || (token[0] != 'a' && token[0] != 'm' && token[0] != 'n')) return false;
  *letter = token[0];
  return true;
}

// Tokens from the fourth on, by kind; `index` counts from 4.
bool ParseGreyModeToken(int index, string_view token, GreyModeRecord* mode) {
  switch (mode->kind) {
    case kModeSingle:
      if (index == 4) return MethodLetter(token, &mode->letters[0]);
      if (index == 5) return MarkupNumber(token, &mode->rows[0]);
      return index == 6 && token == "&";
    case kModeDual:  // ParseGreyDualTokens
      if (index >= 4 && index <= 9) {
        const int pair = (index - 4) / 2;
        return index % 2 == 0 ? MethodLetter(token, &mode->letters[pair])
                              : MarkupNumber(token, &mode->rows[pair]);
      }
      return index == 10 && token == "&";
    case kModeSmbRate:  // ParseGreySmbrateTokens
      if (index == 4) return MethodLetter(token, &mode->letters[0]);
      if (index == 5) return MarkupNumber(token, &mode->rows[0]);
      if (index >= 6 && index <= 8) return MarkupNumber(token, &mode->rates[index - 6]);
      return index == 9 && token == "&";
    default:
      return false;
  }
}

bool Resolution(string_view token, int32_t* value) {
  if (!token.empty() && token[0] == '*') {
    *value = kAnyResolution;
    return true;
  }
  return MarkupNumber(token, value);
}

EngineStatus ParseGreyModeLine(string_view line, const GreyJob& job, GreyModeRecord* mode) {
  Tokens tokens(line);
  string_view token;
  if (!tokens.Next(&token) || !Resolution(token, &mode->h_res)) return kStatusBadResource;
  if (!tokens.Next(&token) || !Resolution(token, &mode->v_res)) return kStatusBadResource;
  const bool fits = (mode->h_res < 0 || mode->h_res == job.h_res) &&
                    (mode->v_res < 0 || mode->v_res == job.v_res);
  if (!fits) {
    mode->kind = kModeNone;
    return kStatusOk;
  }
  if (!tokens.Next(&token)) return kStatusBadResource;
  if (token == "single") {
    mode->kind = kModeSingle;
  } else if (token == "dual") {
    mode->kind = kModeDual;
  } else if (token == "smbrate") {
    mode->kind = kModeSmbRate;
  } else {
    return kStatusBadResource;
  }
  for (int index = 4; tokens.Next(&token); ++index) {
    if (!ParseGreyModeToken(index, token, mode)) return kStatusBadResource;
  }
  return kStatusOk;
}

bool LineIs(GreyText& text, char* buffer, const char* expected) {
  string_view line;
  return ReadGreyMarkupLine(text, buffer, &line) && line == expected;
}

EngineStatus ParseGreyIcDataBody(GreyText& text, const CmGreyEngine& engine, GreyMarkup* markup) {
  char buffer[kLineCapacity];
  string_view line;
  if (!ReadGreyMarkupLine(text, buffer, &line) ||
      !ReadGreyMarkupNumber(line, "ink_num", &markup->ink_count) ||
      markup->ink_count > kMarkupMaxInks) {
    return kStatusBadResource;
  }
  if (!ReadGreyMarkupLine(text, buffer, &line) ||
      !ReadGreyMarkupNumber(line, "id_row", &markup->row_count)) {
    return kStatusBadResource;
  }
  if (markup->row_count >= kMaxReferenceRows) return kStatusOk;
  for (int32_t r = 0; r < markup->row_count; ++r) {
    if (!ReadGreyMarkupLine(text, buffer, &line)) return kStatusBadResource;
    const EngineStatus row = ParseGreyIdRow(line, r, markup->rows[r], markup->ink_count);
    if (row != kStatusOk) return row;
  }

  for (int k = 0; k < kMarkupMaxInks; ++k) markup->pair_first[k] = markup->pair_second[k] = kUnset;
  markup->ink_set_digit = kUnset;
  constexpr string_view kColorCnv = "<color_cnv=";
  bool taken = false;
  while (true) {
    if (!ReadGreyMarkupLine(text, buffer, &line)) return kStatusBadResource;
    if (line.substr(0, kColorCnv.size()) != kColorCnv) break;
    if (taken) continue;
    const EngineStatus cnv =
        ParseGreyColorCnv(line.substr(kColorCnv.size()), engine.job.ink_set,
                          engine.header.ink_set_name, markup->ink_count, markup);
    if (cnv != kStatusOk) return cnv;
    taken = markup->ink_set_digit != kUnset;
  }
  if (!taken) return kStatusBadResource;

  const struct {
    const char* key;
    int32_t* value;
  } defaults[] = {{"default_id_step", &markup->id_step},
                  {"default_id_lowest_value", &markup->id_lowest_value},
                  {"default_rank_lower_limmt", &markup->rank_lower_limit},
                  {"default_rank_upper_limmt", &markup->rank_upper_limit},
                  {"default_nc_range", &markup->nc_range}};
  bool first = true;
  for (const auto& d : defaults) {
    // The line that ended the "<color_cnv=" lines is the first of them.
    if (!first && !ReadGreyMarkupLine(text, buffer, &line)) return kStatusBadResource;
    first = false;
    if (!ReadGreyMarkupNumber(line, d.key, d.value)) return kStatusBadResource;
  }

  if (!LineIs(text, buffer, "<mode>")) return kStatusBadResource;
  if (!ReadGreyMarkupLine(text, buffer, &line)) return kStatusBadResource;  // not read
  markup->mode = GreyModeRecord{};
  markup->mode.kind = kModeNone;
  while (true) {
    if (!ReadGreyMarkupLine(text, buffer, &line)) return kStatusBadResource;
    if (line == "</mode>") break;
    if (markup->mode.kind != kModeNone) continue;
    const EngineStatus mode = ParseGreyModeLine(line, engine.job, &markup->mode);
    if (mode != kStatusOk) return mode;
  }
  if (markup->mode.kind == kModeNone) return kStatusBadResource;
  return LineIs(text, buffer, "</ic_data>") ? kStatusOk : kStatusBadResource;
}

}  // namespace

EngineStatus ReadGreyIcData(common::ResourceBytes resource, CmGreyEngine* engine) {
  engine->markup = GreyMarkup{};
  GreyText text(resource);
  char buffer[kLineCapacity];
  if (!LineIs(text, buffer, "zzzz") || !LineIs(text, buffer, "<ic_data>") ||
      !LineIs(text, buffer, "<version=\"10_03\">")) {
    return kStatusBadResource;
  }
  return ParseGreyIcDataBody(text, *engine, &engine->markup);
}

}  // namespace tonvar::grey
