// The user files of a settings object: user presets and papers, then the watermark list.
#pragma once

#include <cstdint>

#include "kalimu/storage/user_settings_store.h"
#include "kalimu/storage/watermark_store.h"

namespace kalimu::settings {

// Both stores share the capability database of the object they belong to (their virtual base).
class SettingsStores : public storage::UserSettingsStore, public storage::WatermarkStore {
 public:
  SettingsStores() = default;
  ~SettingsStores() override = default;

  // Loads one part on demand and answers its result: 0 the model configuration file, 1 the
  // capability tables, 2 the user-settings store, 3 the watermark store; 0 for any other part.
  int EnsurePartLoaded(uint16_t part);
};

}  // namespace kalimu::settings
