// Colour mode table: tokenizer, layouts by version, parse into rows and row choice.
#include "tonvar/colour/mode_table.h"

#include <cstring>

#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

// A run of bytes inside the text; names are compared in place, never copied.
struct Span {
  uint32_t offset;
  uint32_t size;
};

struct ModeRow {
  int32_t table_id, table_a_id, table_b_id, gamma_matrix_id, correction_offset;
  int32_t colour_dot_curve_id, mono_dot_curve_id;
  int32_t smb_id, bsmb_id, upper, lower, left, right;
  int32_t first_halftone_id;
  int32_t sub_type, h_res, v_res, bits_per_dot;
  int32_t colour_second, mono_second;
  Span method, media, mode, ink_set, micro;
  int32_t method_number, media_number, mode_number;
};

struct NameList {
  int count;
  Span names[kModeTableMaxMedia];
};

// Work of one parse; allocated per call with the rows (the text lives only for it).
struct ParseWork {
  ModeRow rows[kModeTableMaxRows];
  NameList methods, media, modes;
  int32_t media_base;
};

// The text ends at the first NUL or 0x1A, or at the end of a bounded resource. It is read
// forward only and never past that end, so a plain (unbounded) text is read no further than
// the parse needs.
class Text {
 public:
  Text(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t pos() const { return pos_; }
  uint8_t At(size_t p) const {
    if (p >= size_) return 0;
    return data_[p] == 0x1A ? 0 : data_[p];
  }
  bool AtEnd() const { return At(pos_) == 0; }
  // A line longer than the parser's 511-byte line was met.
  bool overlong() const { return overlong_; }
  const uint8_t* Bytes(Span s) const { return data_ + s.offset; }

  static bool IsLineEnd(uint8_t b) { return b == '\r' || b == '\n' || b == 0; }

  // Moves to the first "//" and past it; false when the text has none.
  bool FindVersionMark() {
    while (!AtEnd()) {
      if (At(pos_) == '/' && At(pos_ + 1) == '/') {
        Step();
        Step();
        return true;
      }
      if (At(pos_) == '\r' || At(pos_) == '\n') {
        EndLine();
      } else {
        Step();
      }
    }
    return false;
  }

  // Next token. `at_line_end` is set when the line ended before a token began (the position
  // then stays at the line end). An '@' ends the token and continues the row on the next line.
  Span Next(bool* at_line_end, bool* too_long) {
    while (At(pos_) == ' ' || At(pos_) == '\t') Step();
    *at_line_end = IsLineEnd(At(pos_));
    Span token{static_cast<uint32_t>(pos_), 0};
    if (*at_line_end) return token;
    while (true) {
      uint8_t b = At(pos_);
      if (b == ' ' || b == '\t' || b == '@' || IsLineEnd(b)) break;
      Step();
    }
    token.size = static_cast<uint32_t>(pos_ - token.offset);
    if (token.size > static_cast<uint32_t>(kModeTableMaxToken)) *too_long = true;
    if (At(pos_) == '@') SkipLine();
    return token;
  }

  void SkipLine() {
    while (!IsLineEnd(At(pos_))) Step();
    EndLine();
  }

  int32_t Number(Span s) const {
    uint32_t value = 0;
    bool negative = false;
    for (uint32_t i = 0; i < s.size; ++i) {
      uint8_t b = data_[s.offset + i];
      if (b == '-') {
        negative = true;
      } else {
        value = value * 10u + static_cast<uint32_t>(static_cast<int32_t>(b) - '0');
      }
    }
    // Overlong numbers wrap as 32-bit values; the sign is applied without overflow.
    return static_cast<int32_t>(negative ? 0u - value : value);
  }

  bool Equal(Span a, Span b) const {
    return a.size == b.size && std::memcmp(data_ + a.offset, data_ + b.offset, a.size) == 0;
  }
  bool Equal(Span a, const char* literal) const {
    size_t n = std::strlen(literal);
    return a.size == n && std::memcmp(data_ + a.offset, literal, n) == 0;
  }
  bool StartsWith(Span a, const char* literal) const {
    size_t n = std::strlen(literal);
    return a.size >= n && std::memcmp(data_ + a.offset, literal, n) == 0;
  }

 private:
  void Step() {
    ++pos_;
    if (pos_ - line_start_ > static_cast<size_t>(kModeTableMaxLine)) overlong_ = true;
  }
  void EndLine() {
    while (At(pos_) == '\r' || At(pos_) == '\n') ++pos_;
    line_start_ = pos_;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  size_t line_start_ = 0;
  bool overlong_ = false;
};

// Column positions of a layout of version 500 and above (-1 = absent).
struct Columns {
  int ink_set = -1, out_bit = -1, smb = -1, bsmb = -1, csmb = -1, msmb = -1;
  int upper = -1, lower = -1, left = -1, right = -1, micro = -1;
};

struct ColumnName {
  const char* name;
  int Columns::*slot;
};

constexpr ColumnName kColumnNames[] = {
    {"ink_set", &Columns::ink_set}, {"OUT_BIT", &Columns::out_bit}, {"SMB-ID", &Columns::smb},
    {"bSMB-ID", &Columns::bsmb},    {"cSMB-ID", &Columns::csmb},    {"mSMB-ID", &Columns::msmb},
    {"upper", &Columns::upper},     {"lower", &Columns::lower},     {"left", &Columns::left},
    {"right", &Columns::right},     {"Micro", &Columns::micro},
};

bool ReadColumns(Text& text, Columns* columns) {
  bool line_end = false, too_long = false;
  for (int position = 0;; ++position) {
    Span token = text.Next(&line_end, &too_long);
    if (line_end) break;
    for (const ColumnName& c : kColumnNames) {
      if (columns->*c.slot < 0 && text.Equal(token, c.name)) columns->*c.slot = position;
    }
  }
  text.SkipLine();
  return !too_long;
}

bool ColumnsValid(const Columns& c, int version) {
  if (c.ink_set >= 0 && (c.out_bit < 0 || c.ink_set != c.out_bit + 1)) return false;
  if (c.ink_set >= 0 && version < 501) return false;
  if (version >= 510) {
    if (c.smb < 0 && c.bsmb < 0) return c.csmb >= 0 && c.msmb == c.csmb + 1;
    bool zones_follow = c.upper >= 0 && c.lower == c.upper + 1 && c.left == c.lower + 1 &&
                        c.right == c.left + 1;
    bool upper_placed = (c.out_bit >= 0 && c.upper == c.out_bit + 1) ||
                        (c.ink_set >= 0 && c.upper == c.ink_set + 1);
    return c.smb >= 0 && c.bsmb == c.smb + 1 && zones_follow && upper_placed;
  }
  return c.smb < 0 && c.bsmb < 0;
}

bool ReadNames(Text& text, NameList* list, int max_count, int max_bytes, bool media,
               int32_t* media_base) {
  bool line_end = false, too_long = false;
  list->count = 0;
  bool first = true;
  while (true) {
    Span token = text.Next(&line_end, &too_long);
    if (line_end) break;
    if (media && first) {
      first = false;
      if (token.size == 0 || text.At(token.offset) != 'P') {
        *media_base = text.Number(token);
        continue;
      }
    }
    first = false;
    if (list->count >= max_count || token.size > static_cast<uint32_t>(max_bytes)) return false;
    list->names[list->count++] = token;
  }
  text.SkipLine();
  return !too_long;
}

// Index of the last equal name, or -1.
int FindName(const Text& text, const NameList& list, Span name) {
  int found = -1;
  for (int i = 0; i < list.count; ++i) {
    if (text.Equal(list.names[i], name)) found = i;
  }
  return found;
}

bool CopyShortName(const Text& text, Span s, char out[16]) {
  if (s.size > static_cast<uint32_t>(kModeTableMaxShortName)) return false;
  std::memcpy(out, text.Bytes(s), s.size);
  out[s.size] = 0;
  return true;
}

bool ReadOffsetsLine(Text& text, int32_t offsets[4]) {
  bool line_end = false, too_long = false;
  text.SkipLine();
  Span count_token = text.Next(&line_end, &too_long);
  if (!line_end && text.StartsWith(count_token, "//")) {
    text.SkipLine();
    count_token = text.Next(&line_end, &too_long);
  }
  if (line_end) return false;
  int32_t count = text.Number(count_token);
  if (count < 0 || count > 3) return false;
  for (int32_t i = 0; i < count; ++i) {
    Span t = text.Next(&line_end, &too_long);
    if (line_end) return false;
    offsets[i + 1] = text.Number(t);
  }
  text.Next(&line_end, &too_long);
  return line_end && !too_long;
}

// Reads one row of `columns` tokens; returns false on a token beyond 255 bytes.
bool ReadRowTokens(Text& text, Span first, Span* tokens, int columns) {
  bool line_end = false, too_long = false;
  tokens[0] = first;
  for (int i = 1; i < columns; ++i) tokens[i] = text.Next(&line_end, &too_long);
  text.SkipLine();
  return !too_long;
}

constexpr int kMaxRowColumns = 15 + 1 + 4 + 9 + 2;

bool FillRow(const Text& text, const Span* t, int version, const Columns& c, ModeRow* row) {
  *row = ModeRow{};
  auto num = [&](int i) { return text.Number(t[i]); };
  int k = 0;
  if (version < 500) {
    row->table_id = num(0);
    row->first_halftone_id = num(1);
    row->method = t[2];
    row->media = t[3];
    row->h_res = num(4);
    row->v_res = num(5);
    row->mode = t[6];
    row->sub_type = num(7);
    row->bits_per_dot = num(8);
    row->table_a_id = row->table_b_id = row->gamma_matrix_id = row->correction_offset = -1;
    row->colour_dot_curve_id = row->mono_dot_curve_id = -1;
    row->smb_id = row->bsmb_id = row->upper = row->lower = row->left = row->right = -1;
    row->colour_second = row->mono_second = 1;
  } else {
    row->table_id = num(0);
    row->table_a_id = num(1);
    row->table_b_id = num(2);
    row->gamma_matrix_id = num(3);
    row->correction_offset = num(4);
    row->smb_id = row->bsmb_id = row->upper = row->lower = row->left = row->right = -1;
    row->colour_dot_curve_id = row->mono_dot_curve_id = -1;
    if (c.smb >= 0) {
      row->smb_id = num(5);
      row->bsmb_id = num(6);
    } else {
      row->colour_dot_curve_id = num(5);
      row->mono_dot_curve_id = num(6);
    }
    row->first_halftone_id = num(7);
    row->method = t[8];
    row->media = t[9];
    row->h_res = num(10);
    row->v_res = num(11);
    row->mode = t[12];
    row->sub_type = num(13);
    row->bits_per_dot = num(14);
    k = 15;
    if (c.ink_set >= 0) row->ink_set = t[k++];
    if (c.smb >= 0) {
      row->upper = num(k);
      row->lower = num(k + 1);
      row->left = num(k + 2);
      row->right = num(k + 3);
      k += 4;
    }
    if (c.micro >= k && c.micro < k + 9) row->micro = t[c.micro];
    row->colour_second = num(k + 9);
    row->mono_second = num(k + 10);
  }
  if (row->first_halftone_id == 0) row->first_halftone_id = -1;
  if (row->method.size > static_cast<uint32_t>(kModeTableMaxShortName) ||
      row->mode.size > static_cast<uint32_t>(kModeTableMaxShortName) ||
      row->media.size > static_cast<uint32_t>(kModeTableMaxMediaBytes) ||
      row->ink_set.size > static_cast<uint32_t>(kModeTableMaxShortName) ||
      row->micro.size > static_cast<uint32_t>(kModeTableMaxShortName)) {
    return false;
  }
  return true;
}

int RowColumnCount(int version, const Columns& c) {
  if (version < 500) return 9;
  return 15 + (c.ink_set >= 0 ? 1 : 0) + (c.smb >= 0 ? 4 : 0) + 9 + 2;
}

EngineStatus Parse(Text& text, ParseWork* work, ModeTableChoice* choice) {
  if (!text.FindVersionMark()) return kStatusBadResource;
  bool line_end = false, too_long = false;
  int version = 200;
  if (text.At(text.pos()) >= '3') version = static_cast<int16_t>(text.Number(text.Next(&line_end, &too_long)));
  text.SkipLine();
  text.SkipLine();
  choice->version = static_cast<int16_t>(version);

  Columns columns;
  if (version >= 500) {
    if (!ReadColumns(text, &columns) || !ColumnsValid(columns, version)) return kStatusBadResource;
  }
  const int column_count = RowColumnCount(version, columns);

  Span tokens[kMaxRowColumns];
  int rows = 0;
  while (true) {
    if (text.AtEnd() || text.overlong()) return kStatusBadResource;  // no end row
    Span first = text.Next(&line_end, &too_long);
    if (too_long) return kStatusBadResource;
    if (first.size > 0 && text.At(first.offset) == '/') {
      text.SkipLine();
      break;
    }
    if (rows >= kModeTableMaxRows) return kStatusBadResource;
    if (!ReadRowTokens(text, first, tokens, column_count)) return kStatusBadResource;
    if (!FillRow(text, tokens, version, columns, &work->rows[rows])) return kStatusBadResource;
    ++rows;
  }

  work->media_base = 0;
  if (!ReadNames(text, &work->methods, kModeTableMaxNames, kModeTableMaxNameBytes, false, nullptr) ||
      !ReadNames(text, &work->media, kModeTableMaxMedia, kModeTableMaxMediaBytes, true,
                 &work->media_base) ||
      !ReadNames(text, &work->modes, kModeTableMaxNames, kModeTableMaxNameBytes, false, nullptr)) {
    return kStatusBadResource;
  }

  Span mono = text.Next(&line_end, &too_long);
  choice->default_mono_mode = 0;
  if (!line_end && !text.StartsWith(mono, "CA") && version > 300) {
    int index = FindName(text, work->modes, mono);
    if (index > 0) choice->default_mono_mode = index;
  }
  if (version >= 401 && !ReadOffsetsLine(text, choice->table_a_offsets)) return kStatusBadResource;

  for (int i = 0; i < rows; ++i) {
    ModeRow& row = work->rows[i];
    int m = FindName(text, work->methods, row.method);
    int d = FindName(text, work->media, row.media);
    int o = FindName(text, work->modes, row.mode);
    row.method_number = m < 0 ? 0 : m;
    row.media_number = d < 0 ? 0 : work->media_base + d;
    row.mode_number = o < 0 ? 0 : o;
  }
  choice->row_count = rows;
  return text.overlong() ? kStatusBadResource : kStatusOk;
}

void RecordRow(const Text& text, const ModeRow& row, int version, const ModeTableJob& job,
               ModeTableChoice* choice) {
  choice->matched = true;
  choice->table_id = row.table_id;
  choice->first_halftone_id = row.first_halftone_id;
  choice->table_a_id = row.table_a_id;
  choice->table_b_id = row.table_b_id;
  choice->gamma_matrix_id = row.gamma_matrix_id;
  choice->correction_offset = row.correction_offset;
  const bool colour = job.channel_order != 0;
  if (version >= 510 && row.smb_id != -1) {
    choice->dot_curve_id = row.smb_id;
    const int32_t values[5] = {row.bsmb_id, row.upper, row.lower, row.left, row.right};
    std::memcpy(choice->row_values, values, sizeof values);
  } else {
    choice->dot_curve_id = colour ? row.colour_dot_curve_id : row.mono_dot_curve_id;
    for (int32_t& v : choice->row_values) v = -1;
  }
  choice->second_value = colour ? row.colour_second : row.mono_second;
  if (row.ink_set.size > 0) CopyShortName(text, row.ink_set, choice->ink_set_name);
  if (row.micro.size > 0) CopyShortName(text, row.micro, choice->micro_name);
}

}  // namespace

EngineStatus ReadModeTable(common::ResourceBytes resource, const ModeTableJob& job, ModeTableChoice* choice) {
  *choice = ModeTableChoice{};
  if (resource.data == nullptr) return kStatusBadResource;
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(ParseWork), false);
  if (allocated != kStatusOk) return allocated;
  auto* work = block.data<ParseWork>();
  Text text(resource.data, resource.size);
  EngineStatus status = Parse(text, work, choice);
  if (status == kStatusOk) {
    const int version = choice->version;
    const int32_t mode = job.channel_order == 0 ? (version > 300 ? choice->default_mono_mode : 0)
                                                : job.mode;
    for (int i = 0; i < choice->row_count; ++i) {
      const ModeRow& row = work->rows[i];
      if (row.method_number != job.method || row.mode_number != mode ||
          row.media_number != job.media || row.sub_type != job.sub_type ||
          static_cast<uint32_t>(row.h_res) != job.h_res ||
          static_cast<uint32_t>(row.v_res) != job.v_res) {
        continue;
      }
      if (version >= 300 && static_cast<uint32_t>(row.bits_per_dot) != job.bits_per_dot) continue;
      RecordRow(text, row, version, job, choice);
    }
  }
  const EngineStatus released = block.Release();
  return status != kStatusOk ? status : released;
}

}  // namespace tonvar::colour
