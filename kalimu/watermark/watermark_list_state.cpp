// Help table, path lists and name lookups of the watermark list dialog.
#include "kalimu/watermark/watermark_list_state.h"

#include <cstring>

#include "kalimu/watermark/shared_files.h"

namespace kalimu::watermark {

const std::array<DWORD, 32> kWatermarkListHelpTable = {
    2900, 5632, 2868, 5637, 2869, 5637, 2905, 5637, 2901, 5637, 2906, 5648, 2902, 5648, 2907, 5653,
    2911, 5653, 2903, 5653, 2904, 5680, 2908, 5669, 2910, 5664, 2928, static_cast<DWORD>(-1),
    2927, static_cast<DWORD>(-1), 0, 0,
};

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
