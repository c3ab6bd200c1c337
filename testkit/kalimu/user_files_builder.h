// Generators of user-settings ("ucf") and watermark-list ("wat") files, good and damaged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kalimu/storage/user_settings_records.h"
#include "kalimu/storage/watermark_records.h"

namespace testkit {

namespace ks = kalimu::storage;

// A user preset in use (kind 2) with a name and recognisable fields.
ks::UserSettingsEntry UserSettings(const std::wstring& name, int seed);
// A user paper in slot `slot` (id 768 + slot) in use (state 2) with a name and extent.
ks::UserPaperEntry UserPaper(int slot, const std::string& name, int32_t width, int32_t length);
// A free paper slot as the store makes it.
ks::UserPaperEntry FreePaper(int slot);

// version word, then exactly `settings` and `papers` (the caller pads them to the capacities).
std::vector<uint8_t> BuildUcfFile(const std::vector<ks::UserSettingsEntry>& settings,
                                  const std::vector<ks::UserPaperEntry>& papers, int16_t version = 1808);

// A user watermark entry (kind 0, text) at position `position`.
ks::WatermarkEntry UserWatermark(int position, const std::string& name);
// Header then entries; built-in B, user U and capacity C as given (they need not match the
// entries, for damaged files).
std::vector<uint8_t> BuildWatFile(int16_t language, int32_t built_in, int32_t user, int32_t capacity,
                                  const std::vector<ks::WatermarkEntry>& entries, int32_t version = 1808);

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace testkit
