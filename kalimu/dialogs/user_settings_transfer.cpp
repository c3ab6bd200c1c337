#include "kalimu/dialogs/user_settings_transfer.h"

#include <cstring>
#include <string>

#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::dialogs {
namespace {

constexpr size_t kNameChars = 32;
constexpr size_t kProfileChars = 16;

void ToAnsiField(const wchar_t* text, size_t text_chars, char* field, size_t field_bytes) {
  const std::wstring_view wide(text, wcsnlen(text, text_chars));
  const auto ansi = platform::AnsiFromWide(wide);
  platform::CutAnsiText(ansi ? ansi->c_str() : "", field, field_bytes, field_bytes - 1);
}

void ToWideField(const char* field, wchar_t* out, size_t out_chars) {
  const auto wide = platform::WideFromAnsi(field);  // the reader ended the field's text
  std::memset(out, 0, out_chars * sizeof(wchar_t));
  if (wide) platform::CopyStringNW(out, out_chars, wide->c_str(), out_chars - 1);
}

}  // namespace

uint32_t UserSettingsCount(settings::JobSettings& settings) {
  uint32_t count = 0;
  settings.GetSettingsCount(&count);
  return count;
}

uint32_t ModelPresetCount(settings::JobSettings& settings) {
  uint32_t count = 0;
  settings.GetPresetCount(&count);
  return count;
}

bool GetSettingsExportIdentity(settings::JobSettings& settings, SettingsExportIdentity* out) {
  *out = SettingsExportIdentity{};
  uint32_t version = 0;
  settings.GetCfgVersion(&version);
  out->cfg_version = static_cast<uint16_t>(version);
  model::QueryOut<uint16_t> ink_set = 0;
  if (!settings.GetModelHeaderValue112(&ink_set) ||
      !settings.GetInkSetCodes(static_cast<uint16_t>(ink_set), out->ink_codes, sizeof(out->ink_codes))) {
    return false;
  }
  PutFieldText(out->driver_name, sizeof(out->driver_name), settings.GetDriverName());
  return true;
}

uint16_t FindSettingsEntryByName(settings::JobSettings& settings, const wchar_t* name) {
  if (name == nullptr) return kNoSettingsEntry;
  const uint32_t count = UserSettingsCount(settings);
  const uint32_t presets = ModelPresetCount(settings);
  for (uint32_t i = 0; i < count; ++i) {
    wchar_t stored[kNameChars + 1] = {};
    if (!settings.GetSettingsName(static_cast<uint16_t>(i), stored, kNameChars + 1)) continue;
    if (lstrcmpW(stored, name) == 0) return static_cast<uint16_t>(presets + i);
  }
  return kNoSettingsEntry;
}

void EntryToExportRecord(const storage::UserSettingsEntry& entry, SettingsExportRecord* out) {
  static_assert(sizeof(SettingsExportRecord) == sizeof(storage::UserSettingsEntry));
  std::memcpy(out, &entry, sizeof(*out));
  ToAnsiField(entry.name, kNameChars, out->name, sizeof(out->name));
  for (int i = 0; i < 6; ++i) {
    ToAnsiField(entry.profile_names[i], kProfileChars, out->profile_names[i], sizeof(out->profile_names[i]));
  }
}

void ExportRecordToEntry(const SettingsExportRecord& record, storage::UserSettingsEntry* out) {
  std::memcpy(out, &record, sizeof(*out));
  ToWideField(record.name, out->name, kNameChars);
  for (int i = 0; i < 6; ++i) ToWideField(record.profile_names[i], out->profile_names[i], kProfileChars);
  out->preset.kind = storage::kEntryInUse;
}

int InsertSettingsEntryFirst(settings::JobSettings& settings, const storage::UserSettingsEntry& entry) {
  uint32_t capacity = 0;
  settings.GetUserSettingsCapacity(&capacity);
  const uint32_t count = UserSettingsCount(settings);
  if (count >= capacity) return 0;
  const uint32_t grown = count + 1;
  if (!settings.SetSettingsCount(&grown)) return 0;
  storage::UserSettingsEntry moved{};
  for (uint32_t i = count; i > 0; --i) {
    settings.GetSettingsEntry(static_cast<uint16_t>(i - 1), &moved, sizeof(moved));
    settings.SetSettingsEntry(static_cast<uint16_t>(i), &moved, sizeof(moved));
  }
  return settings.SetSettingsEntry(0, &entry, sizeof(entry));
}

int ExportUserSettings(settings::JobSettings& settings, std::span<const int> positions, const char* path) {
  if (positions.empty() || path == nullptr) return 0;
  SettingsExportIdentity identity;
  if (!GetSettingsExportIdentity(settings, &identity)) return 0;
  // A new file, or an old one cut to nothing: a longer old file must not leave its tail behind.
  platform::UniqueFileHandle file(
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return 0;
  const uint32_t count = UserSettingsCount(settings);
  const SettingsExportHeader header = MakeSettingsExportHeader(identity, static_cast<uint16_t>(positions.size()));
  auto write = [&](const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file.get(), data, size, &written, nullptr) && written == size;
  };
  bool ok = write(&header, sizeof(header));
  for (size_t i = 0; ok && i < positions.size(); ++i) {
    const int p = positions[i];
    storage::UserSettingsEntry entry{};
    ok = p >= 0 && static_cast<uint32_t>(p) < count &&
         settings.GetSettingsEntry(static_cast<uint16_t>(count - 1 - p), &entry, sizeof(entry)) != 0;
    SettingsExportRecord record{};
    if (ok) EntryToExportRecord(entry, &record);
    ok = ok && write(&record, sizeof(record));
  }
  file.Reset();
  if (!ok) DeleteFileA(path);
  return ok ? 1 : 0;
}

int ImportSettingsEntry(settings::JobSettings& settings, storage::UserSettingsEntry* entry, ImportPrompts& prompts) {
  const uint16_t found = FindSettingsEntryByName(settings, entry->name);
  if (found == kNoSettingsEntry && prompts.IsNameAllowed(entry->name)) {
    return InsertSettingsEntryFirst(settings, *entry) ? 1 : 0;
  }
  wchar_t name[64] = {};
  platform::CopyStringNW(name, 64, entry->name, kNameChars);
  switch (prompts.ResolveClash(name, 64)) {
    case kClashOverwrite: {
      const uint32_t presets = ModelPresetCount(settings);
      if (found == kNoSettingsEntry || found < presets) return 1;  // nothing to overwrite: the store refuses
      settings.SetSettingsEntry(static_cast<uint16_t>(found - presets), entry, sizeof(*entry));
      return 1;
    }
    case kClashRename:
      std::memset(entry->name, 0, sizeof(entry->name));
      platform::CopyStringNW(entry->name, kNameChars, name, kNameChars - 1);
      return InsertSettingsEntryFirst(settings, *entry) ? 1 : 0;
    default:
      return 0;
  }
}

int ImportUserSettings(settings::JobSettings& settings, const char* path, ImportPrompts& prompts) {
  if (path == nullptr) return 0;
  platform::UniqueFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return 0;
  auto read = [&](void* data, DWORD size) {
    DWORD got = 0;
    return ReadFile(file.get(), data, size, &got, nullptr) && got == size;
  };
  uint8_t bytes[sizeof(SettingsExportRecord)];
  SettingsExportHeader header{};
  if (!read(bytes, sizeof(SettingsExportHeader)) ||
      ReadSettingsExportHeader(std::span(bytes, sizeof(SettingsExportHeader)), &header) != ExportFileStatus::kOk) {
    return 0;
  }
  SettingsExportIdentity identity;
  if (!GetSettingsExportIdentity(settings, &identity)) return 0;
  uint32_t capacity = 0;
  settings.GetUserSettingsCapacity(&capacity);
  const HeaderVerdict verdict = CheckSettingsExportHeader(header, identity, UserSettingsCount(settings), capacity);
  if (verdict != HeaderVerdict::kAccept) {
    prompts.ShowRow(static_cast<int>(verdict));
    return 0;
  }
  for (uint32_t i = 0; i < header.record_count; ++i) {
    SettingsExportRecord record{};
    if (!read(bytes, sizeof(bytes)) || DecodeSettingsExportRecord(bytes, &record) != ExportFileStatus::kOk) return 0;
    if (IsRecordRefused(header, record)) {
      prompts.ShowRefusedRecord(record.name);
      continue;
    }
    storage::UserSettingsEntry entry{};
    ExportRecordToEntry(record, &entry);
    ImportSettingsEntry(settings, &entry, prompts);
  }
  return 1;
}

int RunSettingsImport(settings::JobSettings& settings, const char* path, ImportPrompts& prompts) {
  const int done = ImportUserSettings(settings, path, prompts);
  if (done) {
    prompts.ShowRow(kRowImportDone);
    settings.SaveUserStore();
  } else {
    settings.Reload();
    prompts.ShowRow(kRowImportFailed);
  }
  return done;
}

}  // namespace kalimu::dialogs
