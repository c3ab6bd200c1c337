// Exporting user-settings entries to a ".csf" file and importing them again, over the job's
// user-settings store. The windows around it (file dialogs, message boxes, the name clash
// dialog) reach it through ImportPrompts, so the whole transfer runs without them in tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "kalimu/dialogs/settings_export_file.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/user_settings_records.h"

namespace kalimu::dialogs {

// Combined index answered when no user entry has a name.
inline constexpr uint16_t kNoSettingsEntry = 0xFFFF;

// Answers of the name clash dialog.
enum ClashAnswer : int { kClashOverwrite = 100, kClashRename = 101, kClashSkip = 102 };

// Message-table rows of the transfer.
enum TransferRow : int {
  kRowExportWritten = 17,
  kRowExportFailed = 18,
  kRowImportDone = 19,
  kRowImportFailed = 20,
};

// What an import asks of the user and of the dialog around it.
class ImportPrompts {
 public:
  virtual ~ImportPrompts() = default;
  // A message-table row (21-24 refusals, 19 done, 20 failed).
  virtual void ShowRow(int row) = 0;
  // A record the file's refuse flag keeps out, by its ANSI name.
  virtual void ShowRefusedRecord(const char* name) = 0;
  // Whether a name may be used: not a model preset's display name, not the reserved name.
  virtual bool IsNameAllowed(const wchar_t* name) = 0;
  // The name clash dialog for `name` (kept in 64 characters): overwrite, rename (the new name
  // written into name) or skip.
  virtual int ResolveClash(wchar_t* name, size_t capacity) = 0;
};

// Entries in use, and the model's preset count that combined indexes start after.
uint32_t UserSettingsCount(settings::JobSettings& settings);
uint32_t ModelPresetCount(settings::JobSettings& settings);

// The identity written into and checked against a file's header; false when the model's ink
// set cannot be read.
bool GetSettingsExportIdentity(settings::JobSettings& settings, SettingsExportIdentity* out);

// Combined index (preset count + store index) of the first entry named `name`, or kNoSettingsEntry.
uint16_t FindSettingsEntryByName(settings::JobSettings& settings, const wchar_t* name);

// The entry with its texts as ANSI text (name at most 63 bytes, profiles 31, whole characters).
void EntryToExportRecord(const storage::UserSettingsEntry& entry, SettingsExportRecord* out);
// The record as an entry: name at most 31 characters, profiles 15, always in use.
void ExportRecordToEntry(const SettingsExportRecord& record, storage::UserSettingsEntry* out);

// Puts the entry at store index 0, moving the others up one place; 0 when the store is full.
int InsertSettingsEntryFirst(settings::JobSettings& settings, const storage::UserSettingsEntry& entry);

// Writes the entries at the given list positions (the list shows store index N-1-p at position
// p) into a new or truncated file: 1 written, 0 failed (a partly written file is deleted).
int ExportUserSettings(settings::JobSettings& settings, std::span<const int> positions, const char* path);

// Reads the file into the store in memory: 1 done, 0 refused or damaged (entries added so far
// stay in memory until the caller reloads the store).
int ImportUserSettings(settings::JobSettings& settings, const char* path, ImportPrompts& prompts);
// One entry from a file: 1 stored, 0 skipped.
int ImportSettingsEntry(settings::JobSettings& settings, storage::UserSettingsEntry* entry, ImportPrompts& prompts);

// The import as the user settings dialog runs it: on success the store is written and row 19
// shown; on failure the store is reloaded from its file, so nothing of the import stays, and row
// 20 is shown. Answers ImportUserSettings's result.
int RunSettingsImport(settings::JobSettings& settings, const char* path, ImportPrompts& prompts);

}  // namespace kalimu::dialogs
