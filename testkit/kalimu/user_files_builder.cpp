// User-settings and watermark-list file generators.
#include "testkit/kalimu/user_files_builder.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace testkit {
namespace {

template <class Record>
void Append(std::vector<uint8_t>& out, const Record& record) {
  const size_t at = out.size();
  out.resize(at + sizeof(Record));
  std::memcpy(out.data() + at, &record, sizeof(Record));
}

void CopyName(char* field, size_t field_size, const std::string& name) {
  std::memset(field, 0, field_size);
  std::memcpy(field, name.data(), name.size() < field_size ? name.size() : field_size);
}

}  // namespace

ks::UserSettingsEntry UserSettings(const std::wstring& name, int seed) {
  ks::UserSettingsEntry entry{};
  auto* bytes = reinterpret_cast<uint8_t*>(&entry);
  for (size_t o = 0; o < sizeof(entry); ++o) bytes[o] = static_cast<uint8_t>(o * 7 + seed * 13);
  std::memset(entry.name, 0, sizeof(entry.name));
  std::wmemcpy(entry.name, name.c_str(), name.size() < 32 ? name.size() : 32);
  for (int k = 0; k < 6; ++k) {
    std::memset(entry.profile_names[k], 0, sizeof(entry.profile_names[k]));
    entry.profile_names[k][0] = static_cast<wchar_t>(L'A' + k);
  }
  entry.preset.kind = ks::kEntryInUse;
  return entry;
}

ks::UserPaperEntry UserPaper(int slot, const std::string& name, int32_t width, int32_t length) {
  ks::UserPaperEntry entry{};
  entry.paper.id = static_cast<int16_t>(ks::kFirstUserPaperId + slot);
  entry.paper.value4 = 1;
  entry.paper.width = width;
  entry.paper.length = length;
  entry.paper.source_flags = 0x55;
  entry.slot = static_cast<int16_t>(slot);
  entry.state = ks::kEntryInUse;
  CopyName(entry.name, sizeof(entry.name), name);
  return entry;
}

ks::UserPaperEntry FreePaper(int slot) {
  ks::UserPaperEntry entry{};
  entry.paper.id = static_cast<int16_t>(ks::kFirstUserPaperId + slot);
  entry.slot = -1;
  entry.state = ks::kEntryFree;
  return entry;
}

std::vector<uint8_t> BuildUcfFile(const std::vector<ks::UserSettingsEntry>& settings,
                                  const std::vector<ks::UserPaperEntry>& papers, int16_t version) {
  std::vector<uint8_t> out;
  Append(out, version);
  for (const auto& entry : settings) Append(out, entry);
  for (const auto& entry : papers) Append(out, entry);
  return out;
}

ks::WatermarkEntry UserWatermark(int position, const std::string& name) {
  ks::WatermarkEntry entry{};
  entry.position = static_cast<int16_t>(position);
  entry.kind = 0;
  CopyName(entry.name, sizeof(entry.name) - 1, name);
  CopyName(entry.text, sizeof(entry.text) - 1, name);
  entry.position_code = 5;
  entry.flags = 1;
  entry.size_percent = 40;
  entry.density_percent = 30;
  entry.aspect_ratio = 123;
  return entry;
}

std::vector<uint8_t> BuildWatFile(int16_t language, int32_t built_in, int32_t user, int32_t capacity,
                                  const std::vector<ks::WatermarkEntry>& entries, int32_t version) {
  ks::WatFileHeader header{language, version, built_in, user, capacity};
  std::vector<uint8_t> out;
  Append(out, header);
  for (const auto& entry : entries) Append(out, entry);
  return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testkit
