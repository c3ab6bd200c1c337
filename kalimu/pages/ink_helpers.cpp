// Ink positions of the model, their names and the driver data file's ink texts.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::pages {
namespace {

// Keys of the driver data file's section "InkInfo", by ink index (16 is the second "CL").
constexpr const char* kInkInfoKeys[] = {"BK", "CY", "MA", "YE", "LC", "LM", "DY", "PK",
                                        "MK", "LK", "RD", "BL", "CL", "LLK", "", "", "CL"};
// Name strings by ink index (7 and 8 take 3025 and 3024 in that order).
constexpr uint16_t kInkNameStrings[] = {3017, 3018, 3019, 3020, 3021, 3022, 3023,
                                        3025, 3024, 3026, 3027, 3028, 3029, 3030};
constexpr int kInkPositions = 16;

}  // namespace

int GetInkInfoText(int ink_index, const PageParam& param, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  buffer[0] = '\0';
  if (param.settings == nullptr) return 0;
  const char* key = ink_index >= 0 && static_cast<size_t>(ink_index) < std::size(kInkInfoKeys) ? kInkInfoKeys[ink_index] : "";
  char path[MAX_PATH] = {};
  param.settings->GetDriverDataFilePath(path, sizeof(path));
  char text[kInkInfoChars + 1] = {};
  const int n = param.settings->ReadDriverIniString("InkInfo", key, text, sizeof(text), "", path);
  platform::CopyStringA(buffer, size, text);
  return n < static_cast<int>(kInkInfoChars) && std::strlen(text) > 1 ? 1 : 0;
}

uint8_t GetInkPositionCode(JobSettings& settings, int position) {
  uint8_t codes[kInkPositions] = {};
  if (position < 0 || position >= kInkPositions || !settings.GetModelHeaderBlock96(codes, sizeof(codes))) return kNoInk;
  const uint8_t code = codes[position];
  return code >= 1 && code <= 14 ? static_cast<uint8_t>(code - 1) : kNoInk;
}

uint16_t GetInkNameStringId(JobSettings& settings, int position) {
  const uint8_t index = GetInkPositionCode(settings, position);
  return index < std::size(kInkNameStrings) ? kInkNameStrings[index] : 0;
}

int IsInkSetDifferent(JobSettings& settings, const model::InkInfoValue& ink_set) {
  uint8_t model_id[model::kInkCodeCount] = {};
  settings.GetModelId(model_id, sizeof(model_id));
  // A count read from a reply or a stored value may claim more codes than the record holds.
  const uint32_t count = std::min<uint32_t>(ink_set.ink_id_length, model::kInkCodeCount);
  return std::equal(ink_set.codes, ink_set.codes + count, model_id) ? 0 : 1;
}

}  // namespace kalimu::pages
