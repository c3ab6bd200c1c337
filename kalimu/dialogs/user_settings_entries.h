// Saving and deleting user-settings entries as the user settings dialog does it, over the job's
// settings and store; the two questions it asks reach the dialog through SavePrompts.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {

// Name lengths of the name edit, in bytes of the system code page.
inline constexpr size_t kExtendedNameBytes = 31;
inline constexpr size_t kSimpleNameBytes = 16;

// Cuts a typed name to 31 (extended) or 16 bytes, whole characters only; answers the new length
// (where the caret goes), or -1 when the name already fits.
int LimitSettingsNameText(char* text, size_t size, bool extended);

// The questions of a save.
class SavePrompts {
 public:
  virtual ~SavePrompts() = default;
  // Before an entry is overwritten: true to go on.
  virtual bool ConfirmOverwrite() = 0;
  // The store has no free entry.
  virtual void ShowStoreFull() = 0;
};

// Builds the entry from the device mode under `name`, stores it at store_index in use, and
// applies the stored entry back to the device mode. 1 when stored.
int StoreUserSettingsEntry(settings::JobSettings& settings, const wchar_t* name, uint16_t store_index);

// Saves the job's settings under `name`: a new name goes to store index 0, an existing one is
// overwritten after the user agrees. The advanced dialog's snapshot (may be null) that names the
// overwritten entry as its user preset (kind 2) turns to custom settings (kind 5). 1 saved and the
// store written, with the entry's combined index in *entry_index; 0 refused.
int SaveUserSettingsEntry(settings::JobSettings& settings, const wchar_t* name, settings::DriverDevMode* snapshot,
                          SavePrompts& prompts, uint32_t* entry_index);

// Removes the entry of combined index k: later entries move down, the last slot becomes free,
// and the store is written. 1 when removed.
int DeleteUserSettingsEntry(settings::JobSettings& settings, uint16_t combined_index);

}  // namespace kalimu::dialogs
