#include "testkit/settings/icc_tag_writer.h"

namespace testkit {

IccTagWriter::IccTagWriter(uint32_t type) : data_(8, 0) {
  for (int i = 0; i < 4; ++i) data_[i] = uint8_t(type >> (24 - 8 * i));
}

IccTagWriter& IccTagWriter::U8(uint8_t value) {
  data_.push_back(value);
  return *this;
}
IccTagWriter& IccTagWriter::U16(uint16_t value) {
  data_.push_back(uint8_t(value >> 8));
  data_.push_back(uint8_t(value));
  return *this;
}
IccTagWriter& IccTagWriter::U32(uint32_t value) { return U16(uint16_t(value >> 16)).U16(uint16_t(value)); }
IccTagWriter& IccTagWriter::Bytes(const std::vector<uint8_t>& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}
IccTagWriter& IccTagWriter::Text(const std::string& text) {
  data_.insert(data_.end(), text.begin(), text.end());
  return *this;
}

std::vector<uint8_t> DescriptionTag(const std::string& text) {
  IccTagWriter tag(IccCode("desc"));
  tag.U32(uint32_t(text.size() + 1)).Text(text).U8(0);
  // No Unicode text, no ScriptCode text (its fixed 67-byte field left zero).
  tag.U32(0).U32(0).U16(0).U8(0).Bytes(std::vector<uint8_t>(67, 0));
  return tag.data();
}

std::vector<uint8_t> DriverNamesTag(const std::vector<std::string>& names) {
  IccTagWriter tag(IccCode("drvn"));
  tag.U16(uint16_t(names.size()));
  for (const std::string& name : names) tag.U16(uint16_t(name.size() + 1)).Text(name).U8(0);
  return tag.data();
}

std::vector<uint8_t> MediaIdsTag(const std::vector<uint32_t>& ids, uint16_t skipped_items) {
  IccTagWriter tag(IccCode("mdea"));
  tag.U16(skipped_items);
  for (uint16_t i = 0; i < skipped_items; ++i) tag.U32(0xEEEE0000u + i);
  tag.U16(uint16_t(ids.size()));
  for (uint32_t id : ids) tag.U32(id);
  return tag.data();
}

std::vector<uint8_t> InkCodesTag(const std::vector<uint8_t>& codes) {
  return IccTagWriter(IccCode("inks")).U16(uint16_t(codes.size())).Bytes(codes).data();
}

}  // namespace testkit
