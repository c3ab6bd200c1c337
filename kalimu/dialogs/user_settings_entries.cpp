#include "kalimu/dialogs/user_settings_entries.h"

#include <cstring>

#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/user_settings_records.h"

namespace kalimu::dialogs {
int LimitSettingsNameText(char* text, size_t size, bool extended) {
  const size_t limit = extended ? kExtendedNameBytes : kSimpleNameBytes;
  if (text == nullptr || strnlen(text, size) <= limit || strnlen(text, size) == size) return -1;
  platform::TruncateAnsiString(text, size, limit);
  return static_cast<int>(strnlen(text, size));
}

int StoreUserSettingsEntry(settings::JobSettings& settings, const wchar_t* name, uint16_t store_index) {
  storage::UserSettingsEntry entry{};
  static_assert(sizeof(settings::DevModeColorSettings) == offsetof(storage::UserSettingsEntry, preset));
  static_assert(sizeof(settings::DevModeSettingsRecord) == sizeof(entry.preset));
  settings::DevModeColorSettings colour{};
  settings.GetColorSettings(&colour);
  std::memcpy(&entry, &colour, sizeof(colour));
  std::memset(entry.name, 0, sizeof(entry.name));
  platform::CopyStringNW(entry.name, 32, name, 31);
  settings::DevModeSettingsRecord record{};
  settings.GetSettingsRecord(&record);
  std::memcpy(&entry.preset, &record, sizeof(record));
  settings.FillMediaSourceMask(&entry.preset);
  settings.FillMediaSourceMaskSimple(&entry.preset);
  entry.preset.kind = storage::kEntryInUse;
  if (!settings.SetSettingsEntry(store_index, &entry, sizeof(entry))) return 0;

  storage::UserSettingsEntry stored{};
  if (!settings.GetSettingsEntry(store_index, &stored, sizeof(stored))) return 0;
  std::memcpy(&colour, &stored, sizeof(colour));
  settings.SetColorSettings(&colour);
  std::memcpy(&record, &stored.preset, sizeof(record));
  settings.ApplyPresetColor(&record);
  return 1;
}

int SaveUserSettingsEntry(settings::JobSettings& settings, const wchar_t* name, settings::DriverDevMode* snapshot,
                          SavePrompts& prompts, uint32_t* entry_index) {
  if (name == nullptr) return 0;
  const uint32_t presets = ModelPresetCount(settings);
  const uint16_t found = FindSettingsEntryByName(settings, name);
  if (found == kNoSettingsEntry) {
    uint32_t capacity = 0;
    settings.GetUserSettingsCapacity(&capacity);
    const uint32_t count = UserSettingsCount(settings);
    if (count >= capacity) {
      prompts.ShowStoreFull();
      return 0;
    }
    // Make room at store index 0 (the entry written there is replaced at once).
    storage::UserSettingsEntry placeholder{};
    if (!InsertSettingsEntryFirst(settings, placeholder) || !StoreUserSettingsEntry(settings, name, 0)) return 0;
    *entry_index = presets;
  } else {
    if (!prompts.ConfirmOverwrite()) return 0;
    if (!StoreUserSettingsEntry(settings, name, static_cast<uint16_t>(found - presets))) return 0;
    *entry_index = found;
  }
  if (snapshot != nullptr) {
    settings::DevModeAccessor advanced(snapshot);
    if (lstrcmpW(advanced.GetPresetName(), name) == 0 && advanced.GetPresetKind() == 2) advanced.SetPresetKind(5);
  }
  settings.SaveUserStore();
  return 1;
}

int DeleteUserSettingsEntry(settings::JobSettings& settings, uint16_t combined_index) {
  const uint32_t presets = ModelPresetCount(settings);
  const uint32_t count = UserSettingsCount(settings);
  if (combined_index < presets || combined_index - presets >= count) return 0;
  storage::UserSettingsEntry moved{};
  for (uint32_t i = combined_index - presets + 1; i < count; ++i) {
    settings.GetSettingsEntry(static_cast<uint16_t>(i), &moved, sizeof(moved));
    settings.SetSettingsEntry(static_cast<uint16_t>(i - 1), &moved, sizeof(moved));
  }
  settings.GetSettingsEntry(static_cast<uint16_t>(count - 1), &moved, sizeof(moved));
  moved.preset.kind = storage::kEntryFree;
  settings.SetSettingsEntry(static_cast<uint16_t>(count - 1), &moved, sizeof(moved));
  const uint32_t shrunk = count - 1;
  settings.SetSettingsCount(&shrunk);
  settings.SaveUserStore();
  return 1;
}

}  // namespace kalimu::dialogs
