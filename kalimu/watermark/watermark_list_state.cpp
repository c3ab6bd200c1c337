// Path lists and name lookups of the watermark list dialog.
#include "kalimu/watermark/watermark_list_state.h"

#include <cstring>

#include "kalimu/watermark/shared_files.h"

namespace kalimu::watermark {

void PathList::Append(const char* path) {
  if (path != nullptr && path[0] != '\0') paths_.emplace_back(path);
}

void PathList::DeleteListedFiles() {
  for (const std::string& path : paths_) DeleteFileA(path.c_str());
  paths_.clear();
}

namespace {

bool NameIs(const storage::WatermarkEntry& entry, const char* name) {
  return std::strncmp(entry.name, name, sizeof(entry.name)) == 0;
}

}  // namespace

bool IsFixedName(const WatermarkListState& state, const char* name) {
  const storage::WatermarkEntry* entries = state.Entries();
  for (int32_t i = 0; entries != nullptr && i < state.count; ++i) {
    if (entries[i].bitmap_id != 0 && NameIs(entries[i], name)) return true;
  }
  return false;
}

int32_t FindUserEntry(const WatermarkListState& state, const char* name) {
  const storage::WatermarkEntry* entries = state.Entries();
  for (int32_t i = state.FirstUser(); entries != nullptr && i < state.count; ++i) {
    if (entries[i].bitmap_id == 0 && NameIs(entries[i], name)) return i;
  }
  return -1;
}

bool IsBlank(const char* text) {
  for (; text != nullptr && *text != '\0'; ++text) {
    if (*text != ' ' && *text != '\t') return false;
  }
  return true;
}

}  // namespace kalimu::watermark
