// Loading the parts of a settings object's data on demand.
#include "kalimu/settings/settings_stores.h"

namespace kalimu::settings {

int SettingsStores::EnsurePartLoaded(uint16_t part) {
  switch (part) {
    case 0: return EnsureCfgLoaded();
    case 1: return EnsureTablesLoaded();
    case 2: return UserSettingsStore::EnsureLoaded();
    case 3: return GetEntries() != nullptr ? 1 : 0;  // loads the list once
    default: return 0;
  }
}

}  // namespace kalimu::settings
