// Grey header table (resource 0): the version line, the column line, the name lists and the
// rows; the first row that fits the job names the grey engine's further resources.
#include <cstring>
#include <string_view>

#include "tonvar/grey/grey_engine.h"
#include "tonvar/grey/grey_text.h"

namespace tonvar::grey {
namespace {

constexpr int32_t kMinVersion = 500;
constexpr size_t kLineCapacity = 1024;  // 1023 characters and the NUL
constexpr int kMaxHalftoneNames = 12;
constexpr int kMaxMediaNames = 256;
constexpr int kMaxDocTypeNames = 12;
constexpr size_t kMaxNameBytes = 32;
constexpr size_t kMaxRowNameBytes = 15;

enum Column {
  kCmmId,
  kInkId,
  kSmbId,
  kHalftone,
  kMedia,
  kHRes,
  kVRes,
  kDocType,
  kSubType,
  kOutBit,
  kInkSet,
  kMicro,
  kColumnCount
};

struct ColumnName {
  const char* name;
  Column column;
};

constexpr ColumnName kColumnNames[] = {
    {"CMM-ID", kCmmId},      {"INK-ID", kInkId},    {"SMB-ID", kSmbId},   {"cSMB-ID", kSmbId},
    {"Halftone", kHalftone}, {"media", kMedia},     {"H-RES", kHRes},     {"V-RES", kVRes},
    {"DocType", kDocType},   {"subType", kSubType}, {"OUT_BIT", kOutBit}, {"ink_set", kInkSet},
    {"Micro", kMicro},
};

// A name of a list, as a copy: the lists are read from lines that do not outlive the call.
struct Name {
  char text[kMaxNameBytes + 1];
};

struct NameList {
  int count = 0;
  Name names[kMaxMediaNames];
  // Position of the name equal to token, or -1.
  int Find(std::string_view token) const {
    for (int i = 0; i < count; ++i) {
      if (token == names[i].text) return i;
    }
    return -1;
  }
};

// One row's values; kept from row to row, so a short row keeps the values before it.
struct HeaderRow {
  int32_t values[kColumnCount];
  char ink_set[16];
  char micro[16];
};

struct HeaderReader {
  int columns[kColumnCount];
  NameList halftones, media, doc_types;
  int32_t media_base = 0;
  HeaderRow row;
  char line[kLineCapacity];
};

// Reads lines until one holds "//"; the number right after the first "//" is the version.
// 0 when the text ends first.
int32_t ReadGreyHeaderVersion(GreyText& text, char* line) {
  while (!text.AtEnd()) {
    if (text.ReadLine(line, kLineCapacity, true) < 0) return 0;
    const char* mark = std::strstr(line, "//");
    if (mark == nullptr) continue;
    bool has_digits = false;
    const std::string_view after(mark + 2, std::strcspn(mark + 2, " "));
    const int32_t version = LeadingNumber(after, &has_digits);
    return has_digits ? version : 0;
  }
  return 0;
}

EngineStatus ReadGreyColumnLine(GreyText& text, HeaderReader* reader) {
  for (int& c : reader->columns) c = -1;
  reader->columns[kCmmId] = 0;
  if (text.AtEnd() || text.ReadLine(reader->line, kLineCapacity, true) < 0)
    return kStatusBadResource;
  Tokens tokens(reader->line);
  std::string_view token;
  for (int position = 0; tokens.Next(&token); ++position) {
    for (const ColumnName& c : kColumnNames) {
      if (token == c.name) reader->columns[c.column] = position;  // the later column counts
    }
  }
  const int ink_set = reader->columns[kInkSet];
  const int out_bit = reader->columns[kOutBit];
  if (ink_set >= 1 && (out_bit < 0 || ink_set != out_bit + 1)) return kStatusBadResource;
  return kStatusOk;
}

bool ReadNameLine(GreyText& text, char* line, NameList* list, int max_count, int32_t* base) {
  list->count = 0;
  if (text.AtEnd()) return true;  // a missing list names nothing
  if (text.ReadLine(line, kLineCapacity, true) < 0) return false;
  Tokens tokens(line);
  std::string_view token;
  while (tokens.Next(&token)) {
    if (base != nullptr && list->count == 0 && token[0] >= '0' && token[0] <= '9') {
      *base = LeadingNumber(token);
      continue;
    }
    if (list->count >= max_count || token.size() > kMaxNameBytes) return false;
    Name& name = list->names[list->count++];
    std::memcpy(name.text, token.data(), token.size());
    name.text[token.size()] = 0;
  }
  return true;
}

EngineStatus ReadGreyNameLines(GreyText text, HeaderReader* reader) {
  reader->row.values[kHalftone] = reader->row.values[kMedia] = reader->row.values[kDocType] = -1;
  reader->media_base = 0;
  if (!text.SkipPastMarkLine()) return kStatusBadResource;
  const bool read =
      ReadNameLine(text, reader->line, &reader->halftones, kMaxHalftoneNames, nullptr) &&
      ReadNameLine(text, reader->line, &reader->media, kMaxMediaNames, &reader->media_base) &&
      ReadNameLine(text, reader->line, &reader->doc_types, kMaxDocTypeNames, nullptr);
  return read ? kStatusOk : kStatusBadResource;
}

bool CopyRowName(std::string_view token, char* out) {
  if (token.size() > kMaxRowNameBytes) return false;
  std::memcpy(out, token.data(), token.size());
  out[token.size()] = 0;
  return true;
}

EngineStatus ParseGreyHeaderRow(HeaderReader* reader) {
  const int* columns = reader->columns;
  HeaderRow& row = reader->row;
  Tokens tokens(reader->line);
  std::string_view token;
  for (int position = 0; tokens.Next(&token); ++position) {
    for (Column c : {kCmmId, kInkId, kSmbId, kHRes, kVRes, kSubType, kOutBit}) {
      if (columns[c] == position) row.values[c] = LeadingNumber(token);
    }
    const struct {
      Column column;
      const NameList* list;
      int32_t base;
    } lookups[] = {{kHalftone, &reader->halftones, 0},
                   {kMedia, &reader->media, reader->media_base},
                   {kDocType, &reader->doc_types, 0}};
    for (const auto& lookup : lookups) {
      if (columns[lookup.column] != position) continue;
      const int index = lookup.list->Find(token);
      if (index < 0) return kStatusBadResource;
      // Numbers are 32-bit values: a base near the top wraps as the client's would.
      row.values[lookup.column] =
          static_cast<int32_t>(static_cast<uint32_t>(lookup.base) + static_cast<uint32_t>(index));
    }
    if (columns[kInkSet] == position && !CopyRowName(token, row.ink_set)) return kStatusBadResource;
    if (columns[kMicro] == position && !CopyRowName(token, row.micro)) return kStatusBadResource;
  }
  return kStatusOk;
}

// The row's CMM-ID when it fits the job and the parameters, else -1; a fitting row's ids and
// names are copied into the engine.
int32_t MatchGreyHeaderRow(const HeaderReader& reader, CmGreyEngine* engine) {
  const int32_t* v = reader.row.values;
  const bool fits = v[kHalftone] == engine->job.method && v[kDocType] == engine->document_type &&
                    v[kMedia] == engine->media && v[kSubType] == engine->sub_type &&
                    v[kHRes] == engine->job.h_res && v[kVRes] == engine->job.v_res &&
                    v[kOutBit] == engine->job.bits_per_dot;
  if (!fits) return -1;
  GreyHeaderChoice& choice = engine->header;
  choice.cmm_id = static_cast<uint32_t>(v[kCmmId]);
  choice.ink_id = static_cast<uint32_t>(v[kInkId]);
  choice.smb_id = static_cast<uint32_t>(v[kSmbId]);
  std::memcpy(choice.ink_set_name, reader.row.ink_set, sizeof choice.ink_set_name);
  std::memcpy(choice.micro_name, reader.row.micro, sizeof choice.micro_name);
  return v[kCmmId];
}

}  // namespace

EngineStatus ReadCmGreyHeader(common::ResourceBytes resource, CmGreyEngine* engine) {
  HeaderReader reader{};
  GreyText text(resource);
  engine->header.version = ReadGreyHeaderVersion(text, reader.line);
  if (engine->header.version < kMinVersion) return kStatusBadResource;
  text.SkipPhysicalLine();
  const EngineStatus columns = ReadGreyColumnLine(text, &reader);
  if (columns != kStatusOk) return columns;
  const EngineStatus names = ReadGreyNameLines(text, &reader);
  if (names != kStatusOk) return names;
  while (!text.AtEnd()) {
    if (text.ReadLine(reader.line, kLineCapacity, true) < 0) return kStatusBadResource;
    if (std::strstr(reader.line, "//") != nullptr) return kStatusBadResource;
    const EngineStatus parsed = ParseGreyHeaderRow(&reader);
    if (parsed != kStatusOk) return parsed;
    if (MatchGreyHeaderRow(reader, engine) >= 1) return kStatusOk;
  }
  return kStatusBadResource;
}

}  // namespace tonvar::grey
