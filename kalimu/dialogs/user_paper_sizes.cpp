// Limits, range texts, units, source masks and ids of the user paper sizes.
#include <cstdio>
#include <cstring>

#include "kalimu/dialogs/user_paper_dialog.h"
#include "kalimu/model/cfg_records.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/settings/length_units.h"

namespace kalimu::dialogs {

SizeLimits CurrentSizeLimits(JobSettings& settings) {
  SizeLimits limits{};
  settings.GetCustomSizeLimitsForDefaultSource(&limits.min_width, &limits.max_width, &limits.min_length,
                                               &limits.max_length);
  return limits;
}

int32_t ClampSize(int32_t value, int32_t minimum, int32_t maximum) {
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return value;
}

void FormatSizeRange(int32_t minimum, int32_t maximum, char* out, size_t size) {
  std::snprintf(out, size, "[%5ld ... %5ld]", static_cast<long>(minimum), static_cast<long>(maximum));
}

int32_t ConvertSizeUnit(int32_t value, int to_unit) {
  return to_unit == kUnitMetric ? settings::FromInch100To01mm(value) : settings::From01mmToInch100(value);
}

uint32_t UserPaperSourceMask(JobSettings& settings, int unit, int32_t width, int32_t length, uint32_t old_mask) {
  uint32_t mask = old_mask;
  uint32_t sources = 0;
  settings.GetPaperSourceCount(&sources);
  for (uint32_t i = 0; i < sources && i < 16; ++i) {
    int32_t id = 0;
    settings.GetPaperSourceId(static_cast<uint16_t>(i), &id);
    settings.SetCustomPaperUnit(static_cast<uint32_t>(unit));
    SizeLimits limits{};
    settings.GetCustomSizeLimits(&limits.min_width, &limits.max_width, &limits.min_length, &limits.max_length, id);
    const uint32_t pair = 3u << (2 * i);
    const bool fits = limits.min_width <= width && width <= limits.max_width && limits.min_length <= length &&
                      length <= limits.max_length;
    mask = fits ? (mask | pair) : (mask & ~pair);
  }
  settings.SetCustomPaperUnit(static_cast<uint32_t>(unit));
  // The sources the model's user-defined size takes; a model without one restricts nothing.
  uint32_t papers = 0;
  settings.GetPaperSizeCount(&papers);
  for (uint32_t i = 0; i < papers; ++i) {
    model::PaperSizeRecord record{};
    if (settings.GetPaperSizeRecord(static_cast<uint16_t>(i), &record, sizeof(record)) &&
        record.id == model::kCustomPaperId) {
      return mask & record.source_flags;
    }
  }
  return mask;
}

int16_t ChooseUserPaperId(JobSettings& settings, uint16_t index) {
  uint32_t count = 0;
  settings.GetPaperCount(&count);
  int32_t id = kUserPaperIdBase + index;
  for (bool taken = true; taken; ) {
    taken = false;
    for (uint32_t j = 0; j < count; ++j) {
      int32_t other = 0;
      if (j != index && settings.GetPaperId(static_cast<uint16_t>(j), &other) && other == id) {
        taken = true;
        ++id;
        break;
      }
    }
  }
  return static_cast<int16_t>(id);
}

int FindUserPaper(JobSettings& settings, const char* name) {
  uint32_t count = 0;
  settings.GetPaperCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    char stored[32] = {};
    settings.GetPaperName(static_cast<uint16_t>(i), stored, sizeof(stored));
    if (std::strcmp(stored, name) == 0) return static_cast<int>(i);
  }
  return -1;
}

int IsModelPaperName(const PageParam& param, const char* name) {
  char cut[64] = {};
  std::snprintf(cut, sizeof(cut), "%s", name);
  for (size_t n = std::strlen(cut); n > 0 && cut[n - 1] == ' '; --n) cut[n - 1] = '\0';
  JobSettings& settings = *param.settings;
  uint32_t papers = 0;
  settings.GetPaperSizeCount(&papers);
  for (uint32_t i = 0; i < papers; ++i) {
    int32_t id = 0;
    if (!settings.GetPaperSizeId(static_cast<uint16_t>(i), &id)) continue;
    char display[64] = {};
    if (pages::LoadPageString(param, static_cast<UINT>(id), display, sizeof(display)) > 0 &&
        std::strcmp(display, cut) == 0) {
      return 1;
    }
  }
  return 0;
}

}  // namespace kalimu::dialogs
