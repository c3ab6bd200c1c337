// The watermark list dialog (template 2900): its controls, state record and the
// lists of files it created or made obsolete.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kalimu/platform/global_block.h"
#include "kalimu/storage/watermark_records.h"
#include "kalimu/watermark/watermark_geometry.h"

namespace kalimu::watermark {

inline constexpr int kListTemplate = 2900;
enum WatermarkListControl : int {
  kListTextRadio = 2868,
  kListBitmapRadio = 2869,
  kListNames = 2901,
  kListNameEdit = 2902,
  kListContentEdit = 2903,
  kListBrowse = 2904,
  kListBitmapLabel = 2907,
  kListAddReplace = 2908,
  kListOkToo = 2909,
  kListDelete = 2910,
  kListTextLabel = 2911,
  kListHelp = 2928,
};
inline constexpr int kListNameChars = 30;
inline constexpr int kListTextChars = 62;
inline constexpr int kListPathChars = 255;
inline constexpr int kListAutoFillNameChars = 29;
inline constexpr DWORD kListHelpContext = 5632;
inline constexpr UINT kBrowseFilterString = 2949;
inline constexpr UINT kBrowseTitleString = 8035;

// Files to delete on one of the two ways out of the dialog.
class PathList {
 public:
  void Append(const char* path);
  // Deletes every listed file (failures ignored) and empties the list.
  void DeleteListedFiles();
  // Empties the list; the files stay.
  void Forget() { paths_.clear(); }
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  std::vector<std::string> paths_;
};

// The help block the layout page hands over: a help file path followed by a 16-bit word.
#pragma pack(push, 1)
struct WatermarkHelpBlock {
  char help_path[MAX_PATH];
  int16_t flags;
};
#pragma pack(pop)
static_assert(sizeof(WatermarkHelpBlock) == 262);

struct WatermarkListState {
  HMODULE module;
  int32_t user_capacity;
  platform::GlobalBlock entries;  // count x 816 bytes; none when empty
  int32_t count;
  int32_t user_count;             // the last user_count entries have bitmap id 0
  int32_t selection;
  int32_t initial_selection;
  PageExtent extent;
  PageMargins margins;
  WatermarkHelpBlock help;
  int32_t auto_fill;
  int32_t auto_fill_source;       // 0, kListNameEdit or kListContentEdit
  int32_t initial_deleted;
  int32_t adjusted_initial;
  PathList obsolete_files;        // deleted when the user confirms
  PathList new_files;             // deleted when the user cancels

  storage::WatermarkEntry* Entries() const {
    return reinterpret_cast<storage::WatermarkEntry*>(entries.data());
  }
  int32_t FirstUser() const { return count - user_count; }
};

// Whether a name is a fixed watermark's (exact case).
bool IsFixedName(const WatermarkListState& state, const char* name);
// Index of the user entry of that name (exact case), or -1.
int32_t FindUserEntry(const WatermarkListState& state, const char* name);
// A text with a character other than space and tab.
bool IsBlank(const char* text);

}  // namespace kalimu::watermark
