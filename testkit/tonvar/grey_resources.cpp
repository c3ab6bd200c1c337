// Generator of the grey colour-matching engine's resources and client records.
#include "testkit/tonvar/grey_resources.h"

#include <cstring>

#include "testkit/tonvar/correction_resources.h"

namespace testkit {
namespace {

void Put16(std::vector<uint8_t>& out, int32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::string GreyHeaderRowText(const GreyHeaderRowShape& r) {
  return std::to_string(r.cmm_id) + " " + std::to_string(r.ink_id) + " " +
         std::to_string(r.smb_id) + " " + r.halftone + " " + r.media + " " + r.doc_type + " " +
         std::to_string(r.sub_type) + " " + std::to_string(r.h_res) + " " +
         std::to_string(r.v_res) + " " + std::to_string(r.out_bit) + " " + r.ink_set + " " +
         r.micro;
}

std::string GreyHeaderTableText(const std::string& version_line, const std::string& columns,
                                const std::vector<std::string>& rows, const std::string& names) {
  std::string text = "Grey colour-matching table\r\n" + version_line + "\r\n";
  text += "-- ids of the resources of each kind of grey job --\r\n";
  text += columns + "\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  text += "// names\r\n" + names;
  return text;
}

std::string GreyHeaderTable(const std::vector<GreyHeaderRowShape>& rows, int version,
                            const std::string& columns) {
  std::vector<std::string> lines;
  for (const GreyHeaderRowShape& row : rows) lines.push_back(GreyHeaderRowText(row));
  return GreyHeaderTableText("//" + std::to_string(version) + " grey header", columns, lines);
}

uint16_t GreyRampAmount(uint32_t level, uint32_t column) {
  return static_cast<uint16_t>(level * 200 + column * 10);
}

std::vector<uint8_t> GreyTableChunk(const GreyTableShape& shape) {
  const uint8_t inks =
      shape.ink_count == 0xFF ? static_cast<uint8_t>(shape.ink_ids.size()) : shape.ink_count;
  std::vector<uint8_t> out = {'t', 'g', 'v', 'm', shape.byte4, inks, shape.channels};
  Put16(out, shape.levels);
  Put16(out, shape.gamma_base);
  out.push_back(shape.byte11);
  out.push_back(shape.full_scale_code);
  Put16(out, 0);
  out.insert(out.end(), shape.ink_ids.begin(), shape.ink_ids.end());
  const uint32_t levels = shape.levels > 0 ? static_cast<uint32_t>(shape.levels) : 0;
  for (uint32_t i = 0; i < levels; ++i) {
    out.push_back(shape.level_bytes.empty() ? static_cast<uint8_t>(i) : shape.level_bytes[i]);
  }
  const uint32_t columns = static_cast<uint32_t>(shape.ink_ids.size());
  for (uint32_t i = 0; i < levels; ++i) {
    for (uint32_t j = 0; j < columns; ++j) {
      Put16(out, shape.amounts.empty() ? GreyRampAmount(i, j) : shape.amounts[i * columns + j]);
    }
  }
  return out;
}

std::vector<uint8_t> GreyInkdChunk(int16_t limit, int16_t others) {
  std::vector<uint8_t> out = {'i', 'n', 'k', 'd'};
  for (int i = 0; i < 18; ++i) Put16(out, i == 11 ? limit : others);
  return out;
}

std::vector<GreyTintRecord> GreyDefaultTint() {
  std::vector<GreyTintRecord> records;
  for (uint8_t id : {0, 1, 2, 3, 4, 5, 7, 11}) {
    records.push_back({id, {0, -40, 40, 20}, {75, -75, 0, -40, 40, 20}});
  }
  return records;
}

std::vector<uint8_t> GreyCtcnChunk(const GreyCtcnShape& shape) {
  const std::vector<GreyTintRecord> records =
      shape.records.empty() ? GreyDefaultTint() : shape.records;
  std::vector<uint8_t> out = {
      'c', 't', 'c', 'n', shape.ink_count, shape.channels, shape.knots_per_ink, shape.scale_kind};
  for (const GreyTintRecord& r : records) out.push_back(r.ink_id);
  for (const auto& pair : shape.ranges) {
    Put16(out, pair[0]);
    Put16(out, pair[1]);
  }
  for (const GreyTintRecord& r : records) {
    for (int16_t k : r.knots) Put16(out, k);
  }
  for (const GreyTintRecord& r : records) {
    for (int16_t v : r.values) Put16(out, v);
  }
  return out;
}

std::vector<uint8_t> GreyChunk(const char tag[4], const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out;
  out.reserve(4 + body.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
  for (uint8_t b : body) out.push_back(b);
  return out;
}

std::vector<uint8_t> GreyChunkContainer(const std::vector<GreyChunkEntry>& entries,
                                        std::optional<int32_t> count) {
  std::vector<uint8_t> out(20, 0);
  Put32(out, static_cast<uint32_t>(count.value_or(static_cast<int32_t>(entries.size()))));
  const size_t directory = out.size();
  out.resize(directory + 8 * entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    std::memcpy(&out[directory + 8 * i], entries[i].tag.data(), 4);
    Set32(out, directory + 8 * i + 4,
          static_cast<uint32_t>(entries[i].offset >= 0 ? entries[i].offset
                                                       : static_cast<int64_t>(out.size())));
    out.insert(out.end(), entries[i].chunk.begin(), entries[i].chunk.end());
  }
  return out;
}

std::string GreyIcData(const GreyIcDataShape& shape) {
  std::string text = "zzzz\r\n<ic_data>\r\n<version=\"10_03\">\r\n";
  text += "<ink_num=" + std::to_string(shape.ink_num) + ">\r\n";
  text += "<id_row=" + std::to_string(shape.rows.size()) + ">\r\n";
  for (size_t r = 0; r < shape.rows.size(); ++r) {
    text += "<id=" + std::to_string(r) + ":";
    for (size_t i = 0; i < shape.rows[r].size(); ++i) {
      if (i > 0) text += '-';
      text += std::to_string(shape.rows[r][i]);
    }
    text += ">\r\n";
  }
  for (const std::string& line : shape.color_cnv) text += line + "\r\n";
  text += "<default_id_step=" + std::to_string(shape.id_step) + ">\r\n";
  text += "<default_id_lowest_value=" + std::to_string(shape.id_lowest_value) + ">\r\n";
  text += "<default_rank_lower_limmt=" + std::to_string(shape.rank_lower) + ">\r\n";
  text += "<default_rank_upper_limmt=" + std::to_string(shape.rank_upper) + ">\r\n";
  text += "<default_nc_range=" + std::to_string(shape.nc_range) + ">\r\n";
  text += "<mode>\r\nh_res v_res kind\r\n";
  for (const std::string& line : shape.mode_lines) text += line + "\r\n";
  text += "</mode>\r\n</ic_data>\r\n";
  return text;
}

std::vector<uint8_t> GreyCorrectionBlock(const std::vector<uint16_t>& knots,
                                         const std::vector<std::vector<uint16_t>>& rows) {
  std::vector<uint8_t> out = {'t', 'g', 'v', 'm'};
  Put16(out, static_cast<int32_t>(knots.size()));
  for (uint16_t k : knots) Put16(out, k);
  for (const auto& row : rows) {
    for (uint16_t v : row) Put16(out, v);
  }
  return out;
}

std::vector<uint8_t> GreyCorrectionCurves() {
  std::vector<std::vector<uint16_t>> rows;
  for (uint16_t r = 0; r <= 6; ++r) {
    rows.push_back({static_cast<uint16_t>(r * 1000), static_cast<uint16_t>(r * 1000 + 16384),
                    static_cast<uint16_t>(r * 1000 + 32768)});
  }
  return GreyCorrectionBlock({0, 32768, 65535}, rows);
}

GreyOptionList& GreyOptionList::Value(uint32_t id, uint32_t value) {
  std::vector<uint8_t> data;
  Put32(data, value);
  entries_.emplace_back(id, data);
  return *this;
}

GreyOptionList& GreyOptionList::Bytes(uint32_t id, const std::vector<uint8_t>& data) {
  entries_.emplace_back(id, data);
  return *this;
}

const tonvar::CmOptionList* GreyOptionList::Get() const {
  // Entries hold their first four bytes; the rest of a byte value runs on after the list.
  storage_.clear();
  Put32(storage_, static_cast<uint32_t>(entries_.size()));
  for (const auto& [id, data] : entries_) {
    Put32(storage_, id);
    for (size_t i = 0; i < 4; ++i) storage_.push_back(i < data.size() ? data[i] : 0);
  }
  for (size_t e = 0; e < entries_.size(); ++e) {
    const std::vector<uint8_t>& data = entries_[e].second;
    if (data.size() <= 4) continue;
    // Only the last entry can run on; earlier ones are cut to their value field.
    if (e + 1 == entries_.size()) storage_.insert(storage_.end(), data.begin() + 4, data.end());
  }
  storage_.resize(storage_.size() + 16, 0);
  return reinterpret_cast<const tonvar::CmOptionList*>(storage_.data());
}

std::vector<uint8_t> GreyTextResource(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0x1A);
  return bytes;
}

GreyColourJob::GreyColourJob() {
  params.document_type = 7;
  params.tone_adjustments = tone;
  job.method = 1;
  job.channel_order = 3;
  job.ink_set = 9;
  job.resolution_x_dpi = 720;
  job.resolution_y_dpi = 720;
  job.bits_per_dot = 2;
}

void GreyColourJob::AddMinimalResources() {
  resources[0] = GreyTextResource(GreyHeaderTable({GreyHeaderRowShape{}}));
  resources[100] = GreyChunkContainer({{"tgvm", GreyTableChunk({})}});
}

std::vector<uint8_t> GreyColourJob::CwList() { return BuildCwLists('a', {{20, 20, 30}}); }

void GreyColourJob::AddCorrectionResources() {
  resources[990] = GreyTextResource(GreyIcData({}));
  DotCurveKind4Shape dots;
  dots.entries = DotCurveEntriesFor(9);
  resources[200] = BuildDotCurveKind4(dots);
  resources[300] = GreyCorrectionCurves();
}

}  // namespace testkit
