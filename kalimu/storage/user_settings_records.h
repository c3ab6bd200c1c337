// Byte layouts of the user-settings file: version word, user presets and user papers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "kalimu/model/cfg_records.h"

namespace kalimu::storage {

inline constexpr int16_t kUcfVersion = 1808;
inline constexpr int16_t kEntryInUse = 2;
inline constexpr int16_t kEntryFree = 3;
inline constexpr int16_t kFirstUserPaperId = 768;  // user paper slot j has the id 768 + j

#pragma pack(push, 1)

// A user preset: the device mode's colour settings block followed by a preset record. Its texts
// are UTF-16 in wchar_t, so the record itself is declared where wchar_t has 16 bits (Windows);
// plain readers elsewhere use its size and the place of its state word.
inline constexpr size_t kUserSettingsEntryBytes = 408;
inline constexpr size_t kUserSettingsStateAt = 404;  // preset.kind: 2 in use
#ifdef _WIN32
struct UserSettingsEntry {
  wchar_t name[32];
  wchar_t profile_names[6][16];  // 8.3 names
  uint32_t intents[3];
  uint32_t profile_flags;
  uint32_t color_management_mode;
  uint8_t reserved276[4];
  model::PresetRecord preset;  // preset.kind 2 = in use
};
static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(UserSettingsEntry) == 408);
static_assert(offsetof(UserSettingsEntry, profile_names) == 64);
static_assert(offsetof(UserSettingsEntry, intents) == 256);
static_assert(offsetof(UserSettingsEntry, profile_flags) == 268);
static_assert(offsetof(UserSettingsEntry, color_management_mode) == 272);
static_assert(offsetof(UserSettingsEntry, preset) == 280);
static_assert(offsetof(UserSettingsEntry, preset) + offsetof(model::PresetRecord, kind) == kUserSettingsStateAt);
static_assert(sizeof(UserSettingsEntry) == kUserSettingsEntryBytes);
static_assert(std::is_trivially_copyable_v<UserSettingsEntry>);
#endif

// A user paper: a paper-size record (word 4 is the unit: 1 = 0.1 mm, else 1/100 inch), its
// slot number, its state and its name.
struct UserPaperEntry {
  model::PaperSizeRecord paper;
  int16_t slot;   // -1 for a free slot
  int16_t state;  // 2 in use, 3 free
  char name[32];
};
static_assert(sizeof(UserPaperEntry) == 92);
static_assert(offsetof(UserPaperEntry, slot) == 56);
static_assert(offsetof(UserPaperEntry, state) == 58);
static_assert(offsetof(UserPaperEntry, name) == 60);

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<UserPaperEntry>);

// Size of a user-settings file for the given capacities.
constexpr size_t UcfFileSize(size_t settings_capacity, size_t paper_capacity) {
  return 2 + settings_capacity * kUserSettingsEntryBytes + paper_capacity * sizeof(UserPaperEntry);
}
static_assert(UcfFileSize(10, 20) == 5922);

}  // namespace kalimu::storage
